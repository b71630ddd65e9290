// The driver's lists and texts: nothing here touches a line.
#include "commands.h"
#include "errors.h"
#include "line_setting.h"
#include "output.h"
#include <comm/capability_lists.h>
#include <comm/texts.h>

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

int runPorts(const Invocation& call) {
    GlobalOptions g;
    const Arguments a = parseFor(call, {}, g);
    noOperands(a, 0);
    DriverSession session(g);
    printNames(g.json, "port", tkv::text::words(session.config().ports));
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
