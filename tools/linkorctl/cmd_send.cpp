// Command texts typed on the command line, sent as the terminal sends them.
#include "command_text.h"
#include "commands.h"
#include "errors.h"
#include "line_options.h"
#include "output.h"
#include <comm/texts.h>

namespace linkorctl {

namespace {

/// Sends one text; true when the module answered. A settings block's reply is empty, and
/// not worth a line of its own.
bool sendOne(DriverSession& session, bool json, const std::string& command, bool showReply = true) {
    tkv::TagFreeText r;
    r.mode = tkv::kFreeTextAsTyped;
    tkv::text::copy(r.text, command);
    const bool ok = session.comm().sendFreeText(r);
    const std::string reply(tkv::text::view(r.reply));
    if (json) {
        JsonObject o;
        o.text("command", command).number("status", r.status);
        if (ok) {
            o.text("reply", reply);
        } else {
            o.text("message", reply);
        }
        printLine(o.str());
    } else if (ok && showReply) {
        printLine(readable(reply));
    }
    if (!ok) {
        printError(
            readable(command + ": " + reply +
                     tkv::text::format(" (status 0x%04X)", static_cast<unsigned>(r.status))));
    }
    return ok;
}

} // namespace

int runSend(const Invocation& call) {
    GlobalOptions g;
    const auto options = withLineOptions({{"settings", true}, {"keep-going", false}});
    const Arguments a = parseFor(call, options, g);
    if (a.operands().empty()) {
        throw UsageError("send needs at least one COMMAND, as 01RV");
    }
    for (const std::string& c : a.operands()) {
        if (c.size() >= static_cast<std::size_t>(tkv::kTextSize)) {
            throw UsageError("command '" + readable(c.substr(0, 20)) + "...' is longer than " +
                             std::to_string(tkv::kTextSize - 1) + " characters");
        }
        if (const auto fault = commandFault(c)) {
            throw UsageError("command '" + readable(c) + "' " + *fault);
        }
    }
    const auto block = a.value("settings");
    if (block && (block->size() < 2 || block->front() != '/' || block->back() != '/')) {
        throw UsageError("a settings block is written between slashes, as \"/TACK 400/\"");
    }
    if (block) {
        if (const auto fault = commandFault(*block)) {
            throw UsageError("settings block '" + readable(*block) + "' " + *fault);
        }
    }
    DriverSession session(g);
    const LineSetting setting = lineSetting(a, session.config());
    session.connect(setting);
    if (block && !sendOne(session, g.json, *block, false)) {
        return kExitLine;
    }
    bool allOk = true;
    for (const std::string& c : a.operands()) {
        if (!sendOne(session, g.json, c)) {
            allOk = false;
            if (!a.has("keep-going")) {
                break;
            }
        }
    }
    return allOk ? kExitOk : kExitLine;
}

} // namespace linkorctl
