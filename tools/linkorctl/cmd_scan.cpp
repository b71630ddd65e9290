// Which modules answer: the identity request at each address, through the binding's line
// probe, at one setting or with the configuration window's Automatic sweep (the same scan
// engine, so both try the same configurations in the same order).
#include "commands.h"
#include "discovery/scan_engine.h"
#include "errors.h"
#include "identity.h"
#include "interrupt.h"
#include "line_options.h"
#include "output.h"
#include "port_loss.h"
#include "progress.h"
#include <comm/capability_lists.h>
#include <comm/texts.h>

namespace linkorctl {

namespace {

constexpr int kLastAddress = tamsel::discovery::kLastAddress;

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

namespace scan = tamsel::discovery;

/// The binding's capability lists, as the configuration window's drop-downs hold them.
class CapabilityLists final : public scan::ScanLists {
  public:
    explicit CapabilityLists(const tkv::TagConfigDLL& c) : m_c(c) {}

    scan::NameList targets(int selected) const {
        scan::NameList out;
        for (int t = 0; t < tkv::caps::targetCount(m_c); ++t) {
            out.names.push_back(tkv::caps::target(m_c, t));
        }
        out.selected = selected;
        return out;
    }
    scan::NameList protocolsOf(const std::string& target) override {
        scan::NameList out;
        const int t = tkv::caps::targetIndex(m_c, target);
        for (int p = 0; p < tkv::caps::protocolCount(m_c, t); ++p) {
            out.names.push_back(tkv::caps::protocol(m_c, t, p));
        }
        return out;
    }
    scan::NameList baudsOf(const std::string& target, const std::string& protocol) override {
        const int t = tkv::caps::targetIndex(m_c, target);
        int p = 0;
        while (p < tkv::caps::protocolCount(m_c, t) && tkv::caps::protocol(m_c, t, p) != protocol) {
            ++p;
        }
        return {bauds(m_c, t, p), 0};
    }

  private:
    const tkv::TagConfigDLL& m_c;
};

/// The engine's tries through the binding; the modules of the sweep after address 00 are
/// printed as they answer.
class ScannerProbe final : public scan::ScanProbe {
  public:
    explicit ScannerProbe(Scanner& scanner) : m_scanner(scanner) {}

    std::optional<std::string> probe(const scan::ProbeTry& t) override {
        const LineSetting s{t.target, t.port, t.protocol, t.baud};
        std::string reply;
        if (!m_scanner.probe({s, t.address, t.openFirst, t.closeAfter}, false, reply)) {
            return std::nullopt;
        }
        if (t.address != 0) {
            m_scanner.report(t.address, reply, s);
        }
        return reply;
    }

  private:
    Scanner& m_scanner;
};

/// The progress line: what is tried and how long the sweep may still take.
class ProgressView final : public scan::ScanView {
  public:
    explicit ProgressView(Scanner& scanner) : m_scanner(scanner) {}

    bool stopRequested() override { return interrupted(); }
    void trying(const scan::ProbeTry& t) override {
        ++m_tried;
        std::string text =
            t.address == 0
                ? tkv::text::format("[%d/%d] try %s , %s , %s on address 00", m_tried, m_total,
                                    t.target.c_str(), t.protocol.c_str(), t.baud.c_str())
                : tkv::text::format("address %02d in %s %s as %s", t.address, t.protocol.c_str(),
                                    t.baud.c_str(), t.target.c_str());
        if (m_left) {
            text += tkv::text::format(" , %s left", remainingText(*m_left).c_str());
        }
        m_scanner.show(text);
    }
    void remainingTime(std::chrono::milliseconds left) override { m_left = left; }
    /// A new sweep of at most @p total tries: its first estimate comes with its first try.
    void restart(int total) {
        m_tried = 0;
        m_total = total;
        m_left.reset();
    }

  private:
    static std::string remainingText(std::chrono::milliseconds left) {
        const long long seconds = (left.count() + 999) / 1000;
        if (seconds < 60) {
            return tkv::text::format("about %llds", seconds);
        }
        return tkv::text::format("about %lldm%02llds", seconds / 60, seconds % 60);
    }

    Scanner& m_scanner;
    int m_tried = 0;
    int m_total = 0;
    std::optional<std::chrono::milliseconds> m_left;
};

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
    CapabilityLists lists(c);
    const scan::NameList targets = lists.targets(tkv::caps::targetIndex(c, given.target));
    int rememberedBaud = 0;
    if (const std::optional<std::string> firstBaud = a.value("baud")) {
        const scan::NameList protocols = lists.protocolsOf(given.target);
        if (!protocols.names.empty()) {
            const scan::NameList first = lists.baudsOf(given.target, protocols.names.front());
            for (int i = 0; i < first.size(); ++i) {
                rememberedBaud =
                    first.names[static_cast<std::size_t>(i)] == *firstBaud ? i : rememberedBaud;
            }
        }
    }
    ScannerProbe probe(scanner);
    ProgressView view(scanner);
    scan::ScanTable table;
    scan::ScanEngine engine(probe, lists, view, table);
    const scan::AutomaticZeroStart start{given.port, 0, targets, rememberedBaud};
    view.restart(scan::automaticZeroTries(start, lists));
    const scan::ScanEnd zero = engine.automaticZero(start);
    checkStopped();
    if (zero != scan::ScanEnd::Answered) {
        throw LineError("module 00 not found with any target, protocol and baud rate on " +
                        given.port + "; check the cable and the power supply, or the port");
    }
    const scan::ProbeTry& hit = engine.lastTry();
    const LineSetting found{hit.target, hit.port, hit.protocol, hit.baud};
    if (!g.json) {
        printLine("line setting: " + found.text());
    }
    scanner.report(0, table.records[0].reply, found);
    if (to >= 1) {
        const scan::AutomaticRestStart rest{found.port, found.protocol, found.baud, to};
        view.restart(scan::automaticRestTries(rest));
        engine.automaticRest(rest);
        checkStopped();
    }
    return kExitOk;
}

} // namespace linkorctl
