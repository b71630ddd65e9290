// The foreground exchanges of the windows: free text, command-file lines, coded commands,
// write and read requests.
#include "coded_command.h"
#include "comm/comm_dll.h"
#include "comm/free_text.h"
#include "comm/read_commands.h"
#include "comm/reply_parsers.h"
#include "comm/texts.h"
#include "extra_queries.h"
#include "write_builders.h"

namespace tkv {

bool TKV_CommDLL::sendFreeText(TagFreeText& r) {
    TKV_LineHold hold(m_guard);
    noteWait(hold.steps());
    std::string t(text::view(r.text));
    if (r.mode == kFreeTextCleaned) {
        // The record takes the text as it goes out: the terminal shows it, and the project
        // keeps it among the last commands.
        t = freetext::clean(t);
        text::copy(r.text, t);
    }
    r.address = freetext::addressOf(t);
    int32_t status = kStatusOk;
    std::string reply;
    switch (freetext::macroOf(t)) {
    case freetext::Macro::Unknown:
        reply = freetext::kMacroUnknown;
        break;
    case freetext::Macro::Syntax: {
        const std::string dump = freetext::syntaxDump(t);
        if (auto setSyntax = reinterpret_cast<drv::SyntaxFn>(lookUp(drv::kSetSyntaxeKv))) {
            std::lock_guard<std::recursive_mutex> wire(m_guard.wire());
            setSyntax(m_line.load(), dump.c_str());
        }
        reply = freetext::kMacroDone;
        break;
    }
    case freetext::Macro::None:
        status = exchange(t, reply);
        if (status != kStatusOk) {
            reply = messageOf(status);
        }
        break;
    }
    text::copy(r.reply, reply);
    r.status = status;
    return status == kStatusOk;
}

bool TKV_CommDLL::sendFileLine(const char* line, int32_t mode, std::string& result) {
    result.clear();
    if (mode == kFileLineStopPolling) {
        requestStop();
        return true;
    }
    if (mode == kFileLineStartPolling) {
        startPolling();
        return true;
    }
    if (mode != kFileLineSend || line == nullptr) {
        return false;
    }
    const freetext::FileLine f = freetext::cleanFileLine(line);
    if (f.what == freetext::FileLine::What::Skip) {
        return true;
    }
    if (f.what == freetext::FileLine::What::Local || f.text.empty()) {
        result = f.text;
        return true;
    }
    // The editor has asked for polling to stop; the wire lock covers the pass that may
    // still be running.
    std::string reply;
    const int32_t status = exchange(f.text, reply);
    if (status != kStatusOk) {
        result = messageOf(status);
        return false;
    }
    result = reply;
    return true;
}

bool TKV_CommDLL::sendCodedCommand(TagCodedCommand& r) {
    TKV_LineHold hold(m_guard);
    noteWait(hold.steps());
    const auto command = cmdset::codedCommand(r);
    if (!command) {
        r.status = kStatusNotBuilt;
        return false;
    }
    trace(*command);
    std::string reply;
    r.status = exchange(*command, reply);
    if (r.status == kStatusOk) {
        cmdset::takeCodedReply(r, reply.c_str());
    }
    return r.status == kStatusOk;
}

bool TKV_CommDLL::writeRequest(TagRequest& r) {
    cmdset::TKV_WriteCommands w = cmdset::buildWrite(r);
    // The box is shown before the line is held: the user may take a while.
    if (!w.boxText.empty()) {
        m_shell.showBox(w.boxText, w.boxTitle);
    }
    // The line is taken even when nothing goes out: its release is what enables polling
    // again, so a write that builds nothing leaves the poll thread as any other write does.
    TKV_LineHold hold(m_guard);
    noteWait(hold.steps());
    if (!w.built) {
        // Sending the builder's starting text would reach every module without address.
        r.status = kStatusNotBuilt;
        return false;
    }
    std::vector<std::string> texts{w.first};
    for (int i = 0; i < w.extraCount; ++i) {
        texts.emplace_back(text::view(w.extras[i]));
    }
    int32_t status = kStatusOk;
    for (const std::string& t : texts) {
        diagnose(t);
        trace(t);
        std::string reply;
        status = exchange(t, reply);
    }
    r.status = status;
    return status == kStatusOk;
}

int32_t TKV_CommDLL::read(TagRequest& r, bool quiet) {
    std::lock_guard<std::recursive_mutex> wire(m_guard.wire());
    if (r.kind == kKindParameters) {
        cmdset::runExtraQueries(
            r, [this](const std::string& c, std::string& reply) { return exchange(c, reply); });
    }
    const std::string command = text::format("%02d%s", r.address, cmdset::readCommand(r).c_str());
    if (!quiet) {
        trace(command);
    }
    std::string reply;
    r.status = exchange(command, reply);
    if (r.status == kStatusOk) {
        diagnose(command);
        diagnose(reply);
        if (!quiet) {
            trace(reply);
        }
        cmdset::parseReply(r, reply.c_str());
    }
    return r.status;
}

bool TKV_CommDLL::readRequest(TagRequest& r, bool quiet) {
    if (quiet) {
        return read(r, true) == kStatusOk;
    }
    TKV_LineHold hold(m_guard);
    noteWait(hold.steps());
    return read(r, false) == kStatusOk;
}

} // namespace tkv
