#include "help_texts.h"

#include <map>

namespace linkorctl {

namespace {

constexpr const char* kCommon = R"(
Options of every subcommand:
  --json          one JSON object per result line
  --driver DIR    load liblinkor.so from DIR (else: the current directory, then the
                  "localize" value of Korvel/LINKOR.conf under $XDG_CONFIG_DIRS or /etc/xdg)
  --lang LANG     language of the driver's messages: EN (default, as tamsel2) or FR
  --verbose       show the traffic and the binding's notes on standard error
  -h, --help      this help
Exit status: 0 success, 1 a module or driver failure, 2 bad usage.
)";

constexpr const char* kLine = R"(
Line options:
  --port COMn          the port (required; see 'linkorctl ports')
  --target NAME        module target of the line (default TRILO; see 'linkorctl types')
  --protocol NAME      protocol of the target (default its first; XON-XOFF, ACK-NAK,
                       CONSOLE and other parts or prefixes of the listed names are taken)
  --baud RATE          baud rate valid for the target and protocol (default 9600)
)";

const std::map<std::string, std::string>& texts() {
    static const std::map<std::string, std::string> t{
        {"ports", R"(Usage: linkorctl ports [--verbose] [--json]
Lists the ports the driver can open now, one a line.
  --verbose   also the device of each port and how the driver drives it: who switches
              RTS (the driver, or the kernel's RS-485 mode), how the end of a frame is
              known, whether low latency is asked; and what to do about a USB adapter
              whose latency timer keeps replies waiting
)"},
        {"doctor", R"(Usage: linkorctl doctor [--json]
Examines every serial device (/dev/ttyS*, /dev/ttyUSB*, /dev/ttyACM*) and every port of
the port map, or of the LINKOR_PORTS folder when that is set, and tells for each whether
it can be used now, and if not why: no such device or a link to an adapter not plugged
in, not a serial device, a UART slot without hardware (a phantom), no permission (and the
group that gives it), or busy, with the processes that have it open as far as /proc
shows them, ModemManager and brltty among them. The driver is not needed; its folder,
found as by the other subcommands, tells where the port map is.
)"},
        {"types", R"(Usage: linkorctl types [--json]
Lists the module targets the driver carries, one a line.
)"},
        {"protocols", R"(Usage: linkorctl protocols [TYPE] [--json]
Lists the protocols of the target TYPE, one a line; without TYPE, each target with its
protocols.
)"},
        {"bauds", R"(Usage: linkorctl bauds TYPE [PROTOCOL] [--json]
Lists the baud rates of the target TYPE, or those valid with one of its protocols.
)"},
        {"identity", R"(Usage: linkorctl identity [--json]
Prints the driver's identity text.
)"},
        {"message", R"(Usage: linkorctl message CODE [--lang LANG] [--json]
Prints the driver's message for the status CODE (decimal, or hexadecimal with 0x).
)"},
        {"send", std::string(R"(Usage: linkorctl send --port COMn [line options] [--settings BLOCK]
                      [--keep-going] COMMAND...
Opens the line and sends each COMMAND (with its two-digit address, as "01RV"); prints
each reply, or the driver's message. A "$syntaxe=" text sets the line's control
characters as the terminal does.
  --settings BLOCK     a driver settings block sent first, as "/TACK 400/"
  --keep-going         send the remaining commands after a failure (the status is still 1)
)") + kLine},
        {"run", std::string(R"(Usage: linkorctl run FILE --port COMn [line options] [--keep-going]
Sends a command file line by line: empty lines and lines starting with "*" or ";" are
skipped, ";" starts a comment, lines starting with "~" are shown and not sent, every
other line is sent as it stands. Prints each line sent with its reply. A line of
control characters only is skipped, and told as skipped. A line holding a NUL byte, or
a carriage return with text after it, is refused with its line number: the driver would
send only a part of it. Stops at the first failure or refused line unless --keep-going
is given.
)") + kLine},
        {"scan", std::string(R"(Usage: linkorctl scan --port COMn [line options] [--from N] [--to N]
       linkorctl scan --auto --port COMn [--target NAME] [--baud RATE] [--to N]
Asks each address for its identity and prints the modules that answer: address,
decoded type name, target, serial number and the identity reply.
  --from N, --to N     the addresses to ask (0-63; default all)
  --auto               find the line's setting first, as the configuration window's
                       Automatic scan: every target x protocol x baud rate at address 00
                       (starting from --target and --baud when given), then addresses
                       01 to --to (default 63) with that setting, as TRILO, then VRX23
The exit status is 1 when no module answered, and when the port goes away during the
scan ("port COMn lost"; the modules found before stay printed). Progress goes to
standard error when it is a terminal.
)") + kLine},
        {"monitor", std::string(R"(Usage: linkorctl monitor --port COMn [line options] --address N
                         [--type NAME|CODE] [--interval MS] [--count N] [--csv]
                         [--keep-going]
Reads the status of the module at address N with its family's read commands, once per
interval, and prints one line per read: time stamp, position, power, moving, inputs,
outputs, error. The power is "?" (an empty CSV field, JSON null) for the VRX23 and VRX34
families, whose status replies do not tell it. Stops on Ctrl-C or after --count reads; a
port that goes away (adapter pulled) ends it with "port COMn lost" and status 1.
  --address N          module address (0-63)
  --type NAME|CODE     the module's type (a catalogue name such as "KB01 v40", or a type
                       code such as 0x0205); default: decoded from its identity
  --interval MS        time between two reads (default 1000)
  --count N            number of reads (default: until Ctrl-C)
  --csv                comma-separated values with a header line
  --keep-going         go on reading after a failed read (the status is then 1); a port
                       that goes away is opened again when it returns, and reading
                       goes on
)") + kLine},
        {"backup",
         std::string(R"(Usage: linkorctl backup FILE --port COMn [line options] [--from N] [--to N]
                        [--variables LIST] [--also-target NAMES]
Asks each address for its identity and reads every module that answers: its type and
serial number, parameters, specific modes, the VRX17/DVRX and VRX23/VRX34 panel
settings, and the numbered variables of LIST. Writes them to FILE, one section a
module and one setting a line; the file is replaced only once it is whole. A module
that does not answer is recorded as silent.
  --from N, --to N     the addresses to ask (0-63; default all)
  --variables LIST     variable numbers to keep, as 5,12,40 (modules that have them)
  --also-target NAMES  an address that does not answer as the line's target is asked as
                       these targets too, as VRX23 for the frame modules; each module
                       keeps the target it answered as, and compare and restore use it
)") + kLine},
        {"compare", std::string(R"(Usage: linkorctl compare FILE --port COMn [line options]
       linkorctl compare FILE FILE2
Compares the line (the backup's addresses and settings read again), or a second
backup, with the backup FILE: per module "same", "different", "replaced" (another
serial number), "type changed", "lost" or "found", and per setting "equal",
"different" (both values), "missing" (not on the line) or "extra".
With --json one object per module ("module") and one per setting ("setting").
The exit status is 0 when all is equal and 1 when anything differs (or the line fails);
a FILE that cannot be read or is no backup gives 2.
)") + kLine},
        {"restore",
         std::string(
             R"(Usage: linkorctl restore FILE --port COMn [line options] [--dry-run] [--force]
Writes the backup FILE back to the line, module by module: only the settings that
differ, each group with its window's command set, then reads them back and checks
them. A module of another type than the backup's is skipped; a module that stops
answering ends that module's restore, and the report tells which settings were
written and which not: running restore again finishes the job.
  --dry-run            read and list what would be written; nothing is written
  --force              write to a module of another type as well (the settings its
                       type has)
The exit status is 0 when every module is restored or equal, else 1.
)") + kLine},
    };
    return t;
}

} // namespace

std::string programHelp() {
    return std::string(R"(Usage: linkorctl [--json] [--driver DIR] [--lang LANG] SUBCOMMAND [ARGS]
The serial line of drive modules from a shell prompt, through the line driver tamsel2 uses.

Subcommands:
  ports                    ports the driver can open
  doctor                   why each serial device can or cannot be used
  types                    module targets
  protocols [TYPE]         protocols (of a target)
  bauds TYPE [PROTOCOL]    baud rates of a target (and protocol)
  identity                 the driver's identity
  message CODE             the driver's message of a status code
  send COMMAND...          send commands and print the replies
  run FILE                 send a command file
  scan                     find the modules of a line
  monitor                  read a module's status periodically
  backup FILE              the settings of every module into a backup file
  compare FILE [FILE2]     the line, or a second backup, against a backup
  restore FILE             write a backup's settings back to the line
'linkorctl SUBCOMMAND --help' tells more.
)") + kCommon;
}

std::optional<std::string> commandHelp(const std::string& name) {
    const auto it = texts().find(name);
    if (it == texts().end()) {
        return std::nullopt;
    }
    return it->second + kCommon;
}

} // namespace linkorctl
