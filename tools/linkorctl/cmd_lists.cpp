// The driver's lists and texts: nothing here touches a line.
#include "commands.h"
#include "errors.h"
#include "line_setting.h"
#include "output.h"
#include <comm/capability_lists.h>
#include <comm/texts.h>
#include <posix/device_answers.h>
#include <posix/device_setup.h>
#include <posix/line_handling.h>
#include <posix/port_check.h>
#include <posix/port_map.h>

#include <array>

namespace linkorctl {

namespace {

void noOperands(const Arguments& a, std::size_t most) {
    if (a.operands().size() > most) {
        throw UsageError("unexpected operand '" + a.operands()[most] + "'");
    }
}

void printNames(bool json, const std::string& field, const std::vector<std::string>& names,
                const std::vector<std::pair<std::string, std::string>>& context = {}) {
    for (const std::string& n : names) {
        if (json) {
            JsonObject o;
            for (const auto& [k, v] : context) {
                o.text(k, v);
            }
            printLine(o.text(field, n).str());
        } else {
            printLine(readable(n));
        }
    }
}

std::vector<std::string> protocolsOf(const tkv::TagConfigDLL& c, const std::string& target) {
    std::vector<std::string> out;
    const int t = tkv::caps::targetIndex(c, target);
    for (int i = 0; i < tkv::caps::protocolCount(c, t); ++i) {
        out.push_back(tkv::caps::protocol(c, t, i));
    }
    return out;
}

} // namespace

namespace {

constexpr std::array<OptionSpec, 1> kPortsOptions{{{"verbose", false}}};
/// Only the kernel's RS-485 delay depends on the speed, and it is not shown.
constexpr int kDescribedBaud = 9600;

/// One port with its device and how the driver will drive it, asked of the device now.
void describePort(bool json, const std::string& port, const std::string& driverDir) {
    const auto number = linkor::portNumberOf(port.c_str());
    const std::string path = number ? linkor::devicePathOf(*number, driverDir) : std::string();
    linkor::PortCheck check;
    linkor::UniqueFd fd = path.empty() ? linkor::UniqueFd() : linkor::openExclusive(path, check);
    if (!fd.valid()) {
        const std::string why = path.empty() ? "no device" : linkor::describePortCheck(check);
        printLine(json ? JsonObject().text("port", port).text("problem", why).str()
                       : port + "  " + why);
        return;
    }
    const linkor::DeviceAnswers answers = linkor::askDevice(fd.get());
    const std::string device = linkor::deviceNameOf(fd.get());
    // A device may answer the question about its RS-485 mode and still refuse the mode:
    // set it up as the driver would, and give everything back at once.
    linkor::DeviceSetup setup;
    const linkor::LineHandling h =
        setup.apply(fd.get(), linkor::decideHandling(answers), kDescribedBaud);
    setup.restore(fd.get());
    linkor::releaseExclusive(fd);
    const std::string advice =
        h.slowLatencyTimer ? linkor::latencyTimerAdvice(device, answers.latencyTimerMs) : "";
    if (json) {
        JsonObject o;
        o.text("port", port)
            .text("device", "/dev/" + device)
            .text("handling", linkor::describeHandling(h));
        if (answers.latencyTimerMs >= 0) {
            o.number("latency_timer_ms", answers.latencyTimerMs);
        } else {
            o.null("latency_timer_ms");
        }
        if (!advice.empty()) {
            o.text("advice", advice);
        }
        printLine(o.str());
        return;
    }
    printLine(port + "  /dev/" + device + ": " + linkor::describeHandling(h));
    if (!advice.empty()) {
        printLine("  " + advice);
    }
}

} // namespace

int runPorts(const Invocation& call) {
    GlobalOptions g;
    const Arguments a = parseFor(call, kPortsOptions, g);
    noOperands(a, 0);
    DriverSession session(g);
    const std::vector<std::string> ports = tkv::text::words(session.config().ports);
    if (!a.has("verbose")) {
        printNames(g.json, "port", ports);
        return kExitOk;
    }
    for (const std::string& port : ports) {
        describePort(g.json, port, session.driverDirectory());
    }
    return kExitOk;
}

int runTypes(const Invocation& call) {
    GlobalOptions g;
    const Arguments a = parseFor(call, {}, g);
    noOperands(a, 0);
    DriverSession session(g);
    printNames(g.json, "type", tkv::text::words(session.config().targets));
    return kExitOk;
}

int runProtocols(const Invocation& call) {
    GlobalOptions g;
    const Arguments a = parseFor(call, {}, g);
    noOperands(a, 1);
    DriverSession session(g);
    const tkv::TagConfigDLL& c = session.config();
    if (!a.operands().empty()) {
        const std::string target = targetName(c, a.operands()[0]);
        printNames(g.json, "protocol", protocolsOf(c, target), {{"type", target}});
        return kExitOk;
    }
    for (const std::string& target : tkv::text::words(c.targets)) {
        if (g.json) {
            printNames(true, "protocol", protocolsOf(c, target), {{"type", target}});
            continue;
        }
        std::string line = target + ":";
        for (const std::string& p : protocolsOf(c, target)) {
            line += " " + p;
        }
        printLine(readable(line));
    }
    return kExitOk;
}

int runBauds(const Invocation& call) {
    GlobalOptions g;
    const Arguments a = parseFor(call, {}, g);
    noOperands(a, 2);
    if (a.operands().empty()) {
        throw UsageError("bauds needs the target TYPE (see 'linkorctl types')");
    }
    DriverSession session(g);
    const tkv::TagConfigDLL& c = session.config();
    const std::string target = targetName(c, a.operands()[0]);
    const int t = tkv::caps::targetIndex(c, target);
    std::vector<std::string> bauds;
    std::vector<std::pair<std::string, std::string>> context{{"type", target}};
    if (a.operands().size() > 1) {
        const std::string protocol = protocolName(c, target, a.operands()[1]);
        const int p = tkv::caps::protocolIndex(c, t, protocol);
        for (int i = 0; i < tkv::caps::validBaudCount(c, t, p); ++i) {
            bauds.push_back(tkv::caps::validBaud(c, t, p, i));
        }
        context.emplace_back("protocol", protocol);
    } else {
        for (int i = 0; i < tkv::caps::baudCount(c, t); ++i) {
            bauds.push_back(tkv::caps::baud(c, t, i));
        }
    }
    printNames(g.json, "baud", bauds, context);
    return kExitOk;
}

int runIdentity(const Invocation& call) {
    GlobalOptions g;
    const Arguments a = parseFor(call, {}, g);
    noOperands(a, 0);
    DriverSession session(g);
    const std::string id = session.identity();
    printLine(g.json ? JsonObject().text("identity", id).str() : readable(id));
    return kExitOk;
}

int runMessage(const Invocation& call) {
    GlobalOptions g;
    const Arguments a = parseFor(call, {}, g);
    noOperands(a, 1);
    if (a.operands().empty()) {
        throw UsageError("message needs the status CODE, as 0x3002 or 12290");
    }
    const auto code = static_cast<int32_t>(parseNumber(a.operands()[0], 0, 0xFFFF, "status code"));
    DriverSession session(g);
    const std::string text = session.message(code);
    if (g.json) {
        printLine(JsonObject()
                      .number("code", code)
                      .text("language", g.language)
                      .text("message", text)
                      .str());
    } else {
        printLine(readable(text));
    }
    return kExitOk;
}

} // namespace linkorctl
