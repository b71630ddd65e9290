// Which modules answer: the identity request at each address, through the binding's line
// probe, at one setting or with the configuration window's Automatic sweep.
#include "capability_lists.h"
#include "commands.h"
#include "errors.h"
#include "identity.h"
#include "interrupt.h"
#include "line_options.h"
#include "output.h"
#include "port_loss.h"
#include "progress.h"
#include "texts.h"

namespace linkorctl {

namespace {

constexpr int kLastAddress = 63;
/// Automatic 01-63 asks as TRILO first; a module that keeps silent then is asked as VRX23.
constexpr const char* kFirstTarget = "TRILO";
constexpr const char* kSecondTarget = "VRX23";

constexpr int32_t kModelBits = 0xFFFF;

/// The firmware version an identity carries in bits 16-31, as "major.minor"; empty if none.
std::string version(int32_t code) {
    const auto bits = static_cast<uint32_t>(code);
    if ((bits >> 16) == 0) {
        return {};
    }
    return tkv::text::format("%u.%02u", bits >> 24, (bits >> 16) & 0xFFU);
}

struct Try {
    LineSetting setting;
    int address = 0;
    bool openFirst = false;
    bool closeAfter = false;
};

class Scanner {
  public:
    Scanner(DriverSession& session, bool json) : m_session(session), m_json(json) {}

    /**
     * @brief One probe; true when the module answered, its reply in @p reply.
     * @throws LineError when the port cannot be opened, and when @p strict and the line
     *         cannot be initialised or given its target.
     */
    bool probe(const Try& t, bool strict, std::string& reply) {
        tkv::TagProbe p;
        tkv::text::copy(p.target, t.setting.target);
        tkv::text::copy(p.lastTarget, m_lastTarget);
        tkv::text::copy(p.port, t.setting.port);
        tkv::text::copy(p.baud, t.setting.baud);
        tkv::text::copy(p.protocol, t.setting.protocol);
        p.openFirst = t.openFirst ? 1 : 0;
        p.closeAfter = t.closeAfter ? 1 : 0;
        p.address = t.address;
        const bool answered = m_session.comm().probeAsk(p);
        m_lastTarget = std::string(tkv::text::view(p.lastTarget));
        if (answered) {
            m_opened = true;
            reply = std::string(tkv::text::view(p.result));
            return true;
        }
        // A port this scan has had open and can no longer write to, or open again, has
        // gone: the addresses after it were never asked, so the list is not the line's.
        if ((p.step == tkv::kProbeOpening && m_opened) ||
            (p.step == tkv::kProbeAsking && portLost(probeStatus(p)))) {
            m_progress.clear();
            throw LineError(portLostText(t.setting.port));
        }
        if (p.step != tkv::kProbeOpening) {
            m_opened = true;
        }
        const tkv::TagConfigDLL& c = m_session.config();
        // The driver opens the device only as it initialises the line: a port it did not
        // list fails there, and no other setting would do better.
        const bool listed = tkv::text::indexOf(c.ports, t.setting.port) >= 0;
        if (p.step == tkv::kProbeOpening || (p.step == tkv::kProbeInitialising && !listed)) {
            throw LineError(m_session.portFailure(t.setting.port));
        }
        // Nor would it with a start-up script that fails, or a port taken meanwhile.
        if (p.step == tkv::kProbeInitialising) {
            m_session.throwIfHopeless(t.setting);
        }
        if (strict && p.step != tkv::kProbeAsking) {
            throw LineError(
                "the line \"" + t.setting.text() + "\" could not be " +
                (p.step == tkv::kProbeInitialising ? "initialised" : "given its target"));
        }
        return false;
    }

    void report(int address, const std::string& reply, const LineSetting& setting) {
        ++m_found;
        m_progress.clear();
        const DecodedIdentity id = decodeIdentity(reply);
        if (m_json) {
            printLine(JsonObject()
                          .number("address", address)
                          .text("type", id.typeName)
                          .number("code", id.code & kModelBits)
                          .text("version", version(id.code))
                          .text("target", id.target)
                          .text("serial", id.serial)
                          .text("reply", reply)
                          .text("setting", setting.text())
                          .str());
            return;
        }
        printLine(readable(tkv::text::format("%02d  %-11s  %-10s  %-15s  %s", address,
                                             id.typeName.c_str(), id.target.c_str(),
                                             id.serial.empty() ? "-" : id.serial.c_str(),
                                             std::string(tkv::text::trimEnd(reply)).c_str())));
    }

    void show(const std::string& text) { m_progress.show(text); }
    int found() const { return m_found; }

  private:
    DriverSession& m_session;
    bool m_json;
    Progress m_progress;
    std::string m_lastTarget;
    int m_found = 0;
    bool m_opened = false; ///< a probe has had the port open
};

void checkStopped() {
    if (interrupted()) {
        throw LineError("scan stopped by the user");
    }
}

/// Every address of the range at one setting; the line is opened once and closed at the end.
void scanAddresses(Scanner& scanner, const LineSetting& setting, int from, int to) {
    for (int address = from; address <= to; ++address) {
        checkStopped();
        scanner.show(tkv::text::format("address %02d (%d to %d) %s", address, from, to,
                                       setting.text().c_str()));
        std::string reply;
        if (scanner.probe({setting, address, address == from, address == to}, address == from,
                          reply)) {
            scanner.report(address, reply, setting);
        }
    }
}

std::vector<std::string> bauds(const tkv::TagConfigDLL& c, int target, int protocol) {
    std::vector<std::string> out;
    for (int i = 0; i < tkv::caps::validBaudCount(c, target, protocol); ++i) {
        out.push_back(tkv::caps::validBaud(c, target, protocol, i));
    }
    return out;
}

/// Address 00 with every target x protocol x baud, from the given target and baud on.
struct Answer {
    LineSetting setting;
    std::string reply;
};

std::optional<Answer> sweepAddressZero(Scanner& scanner, const tkv::TagConfigDLL& c,
                                       const std::string& port, int firstTarget,
                                       const std::optional<std::string>& firstBaud) {
    const int targets = tkv::caps::targetCount(c);
    int total = 0;
    for (int t = 0; t < targets; ++t) {
        for (int p = 0; p < tkv::caps::protocolCount(c, t); ++p) {
            total += tkv::caps::validBaudCount(c, t, p);
        }
    }
    int tried = 0;
    bool firstProtocol = true;
    for (int k = 0; k < targets; ++k) {
        const int t = (firstTarget + k) % targets;
        for (int p = 0; p < tkv::caps::protocolCount(c, t); ++p) {
            const std::vector<std::string> list = bauds(c, t, p);
            std::size_t start = 0;
            if (firstProtocol && firstBaud) {
                for (std::size_t i = 0; i < list.size(); ++i) {
                    start = list[i] == *firstBaud ? i : start;
                }
            }
            firstProtocol = false;
            for (std::size_t n = 0; n < list.size(); ++n) {
                checkStopped();
                LineSetting s{tkv::caps::target(c, t), port, tkv::caps::protocol(c, t, p),
                              list[(start + n) % list.size()]};
                scanner.show(tkv::text::format("[%d/%d] try %s , %s , %s on address 00", ++tried,
                                               total, s.target.c_str(), s.protocol.c_str(),
                                               s.baud.c_str()));
                std::string reply;
                if (scanner.probe({s, 0, true, true}, false, reply)) {
                    return Answer{s, reply};
                }
            }
        }
    }
    return std::nullopt;
}

/// Addresses 01 on at the setting found, as TRILO and then as VRX23.
void scanRest(Scanner& scanner, const LineSetting& found, int from, int to) {
    for (int address = from; address <= to; ++address) {
        checkStopped();
        scanner.show(tkv::text::format("address %02d (1 to %d) in %s %s", address, to,
                                       found.protocol.c_str(), found.baud.c_str()));
        const bool last = address == to;
        LineSetting s = found;
        s.target = kFirstTarget;
        std::string reply;
        if (scanner.probe({s, address, address == from, last}, false, reply)) {
            scanner.report(address, reply, s);
            continue;
        }
        s.target = kSecondTarget;
        if (scanner.probe({s, address, last, last}, false, reply)) {
            scanner.report(address, reply, s);
        }
    }
}

} // namespace

int runScan(const Invocation& call) {
    GlobalOptions g;
    const auto options = withLineOptions({{"auto", false}, {"from", true}, {"to", true}});
    const Arguments a = parseFor(call, options, g);
    if (!a.operands().empty()) {
        throw UsageError("unexpected operand '" + a.operands()[0] + "'");
    }
    const bool automatic = a.has("auto");
    if (automatic && (a.has("from") || a.has("protocol"))) {
        throw UsageError("--auto tries every protocol from address 00: leave out --from and "
                         "--protocol");
    }
    const int from =
        static_cast<int>(parseNumber(a.value("from").value_or("0"), 0, kLastAddress, "--from"));
    const int to = static_cast<int>(
        parseNumber(a.value("to").value_or(std::to_string(kLastAddress)), 0, kLastAddress, "--to"));
    if (to < from) {
        throw UsageError("--to " + std::to_string(to) + " comes before --from " +
                         std::to_string(from));
    }
    catchInterrupts();
    DriverSession session(g);
    const tkv::TagConfigDLL& c = session.config();
    Scanner scanner(session, g.json);
    if (!automatic) {
        scanAddresses(scanner, lineSetting(a, c), from, to);
        if (scanner.found() == 0) {
            throw LineError(
                tkv::text::format("no module answered at addresses %02d to %02d", from, to));
        }
        return kExitOk;
    }
    // Checked as any line setting would be, though only the port and the starting point
    // are taken from it.
    const LineSetting given = lineSetting(a, c);
    const std::optional<std::string> firstBaud = a.value("baud");
    const int firstTarget = tkv::caps::targetIndex(c, given.target);
    const auto found = sweepAddressZero(scanner, c, given.port, firstTarget, firstBaud);
    if (!found) {
        throw LineError("module 00 not found with any target, protocol and baud rate on " +
                        given.port + "; check the cable and the power supply, or the port");
    }
    if (!g.json) {
        printLine("line setting: " + found->setting.text());
    }
    scanner.report(0, found->reply, found->setting);
    if (to >= 1) {
        scanRest(scanner, found->setting, 1, to);
    }
    return kExitOk;
}

} // namespace linkorctl
