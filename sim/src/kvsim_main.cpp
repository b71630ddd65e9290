// kvsim: a line of emulated drive modules on a pseudo-terminal, published as COMn.

#include "kvsim/virtual_line.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <pthread.h>
#include <string>

namespace {

constexpr const char* kUsage =
    R"(Usage: kvsim [options] LINE_FILE

Emulates the drive modules described in LINE_FILE on a pseudo-terminal and
publishes its slave device as the link COMn in a ports directory, where the
line driver (LINKOR_PORTS=<dir>) or any serial terminal program finds it.
Runs until Ctrl-C or SIGTERM, then removes the link.

Options:
  --ports DIR   directory of the link (default: $LINKOR_PORTS, else ./ports)
  --com N       publish the line as COMN (default 1)
  --pacing      delay every byte by its wire time at the line's speed
  --log FILE    write a time-stamped log of every byte ("-" = standard error)
  --help        show this text

Example:
  kvsim --ports /tmp/ports --com 3 sim/lines/demo.line
  LINKOR_PORTS=/tmp/ports tamsel2        # the tool then sees the line as COM3
  picocom -b 19200 /tmp/ports/COM3       # talk to the console-mode module

Line file: one module a line, "#" starts a comment:
  <address> <family> [key=value ...]
  family    TRILO MICROTRILO VRX17 DVRX VRX23 VRX34 JBUS
  address   decimal 00-63; VRX23/VRX34: the two hexadecimal digits of its
            frames (00-7F); JBUS: slave number 1-247
  type=     16-bit type code its identity decodes to (0x0205, 0x1002, ...)
  protocol= xon acknak console jbus232 jbus485   baud= speed
  version= 1.05   serial= number   inputs= hex   power= on|off
  fault= nak bel can checksum length silent garbage long [:count]
  slow= ms between bytes   garbage= bytes   noise (noise at other speeds)
See sim/README.md for the full description.
)";

std::FILE* g_log = nullptr;
std::mutex g_logMutex;
std::chrono::steady_clock::time_point g_start;

void logTraffic(std::chrono::steady_clock::time_point t, kvsim::Direction d,
                std::span<const std::uint8_t> bytes) {
    std::lock_guard lock(g_logMutex);
    const double s = std::chrono::duration<double>(t - g_start).count();
    std::fprintf(g_log, "%12.6f %s", s, d == kvsim::Direction::ToModules ? ">>" : "<<");
    for (std::uint8_t b : bytes) {
        std::fprintf(g_log, " %02X", b);
    }
    std::fputs("  |", g_log);
    for (std::uint8_t b : bytes) {
        std::fputc(b >= 0x20 && b < 0x7F ? b : '.', g_log);
    }
    std::fputs("|\n", g_log);
    std::fflush(g_log);
}

int fail(const std::string& message) {
    std::fprintf(stderr, "kvsim: %s\n", message.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    std::string ports;
    if (const char* env = std::getenv("LINKOR_PORTS"); env != nullptr && *env != '\0') {
        ports = env;
    } else {
        ports = "ports";
    }
    int com = 1;
    bool pacing = false;
    std::string logPath;
    std::string lineFile;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](const char* what) -> std::string {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "kvsim: %s needs %s\n", arg.c_str(), what);
                std::exit(2);
            }
            return argv[++i];
        };
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--ports") {
            ports = value("a directory");
        } else if (arg == "--com") {
            const std::string n = value("a number");
            char* end = nullptr;
            const long v = std::strtol(n.c_str(), &end, 10);
            if (n.empty() || *end != '\0' || v < 1 || v > 255) {
                return fail("--com takes a port number 1-255, not \"" + n + "\"");
            }
            com = static_cast<int>(v);
        } else if (arg == "--pacing") {
            pacing = true;
        } else if (arg == "--log") {
            logPath = value("a file");
        } else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr, "kvsim: unknown option %s\n%s", arg.c_str(), kUsage);
            return 2;
        } else if (lineFile.empty()) {
            lineFile = arg;
        } else {
            return fail("only one line file, please");
        }
    }
    if (lineFile.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    // Read while the stop signals still end the program: nothing is set up to undo yet.
    std::optional<kvsim::LineDescription> description;
    try {
        description = kvsim::readLineFile(lineFile);
    } catch (const std::exception& e) {
        return fail(e.what());
    }

    // The signals are taken by sigwait below; the line's thread must never get them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    std::unique_ptr<kvsim::VirtualLine> line;
    try {
        line = std::make_unique<kvsim::VirtualLine>(std::move(*description));
    } catch (const std::exception& e) {
        return fail(e.what());
    }

    std::unique_ptr<std::FILE, int (*)(std::FILE*)> logFile(nullptr, std::fclose);
    if (!logPath.empty()) {
        if (logPath == "-") {
            g_log = stderr;
        } else {
            logFile.reset(std::fopen(logPath.c_str(), "w"));
            if (!logFile) {
                return fail("cannot write the log " + logPath + ": " + std::strerror(errno));
            }
            g_log = logFile.get();
        }
        g_start = std::chrono::steady_clock::now();
        line->setTrafficSink(logTraffic);
    }
    line->setPacing(pacing);

    try {
        line->start(ports, com);
    } catch (const std::exception& e) {
        return fail(e.what());
    }
    std::printf("kvsim: %s -> %s (%zu module%s%s)\n", line->linkPath().c_str(),
                line->devicePath().c_str(), line->description().modules.size(),
                line->description().modules.size() == 1 ? "" : "s", pacing ? ", paced" : "");
    for (const std::string& s : line->summary()) {
        std::printf("  %s\n", s.c_str());
    }
    std::printf("kvsim: ready, Ctrl-C to stop\n");
    std::fflush(stdout);

    int sig = 0;
    sigwait(&stopSignals, &sig);
    line->stop();
    std::printf("kvsim: stopped (%s), %s removed\n", strsignal(sig), line->linkPath().c_str());
    return 0;
}
