#include "ascii_module.h"

#include "identity.h"
#include "text_util.h"

#include <cctype>

namespace kvsim {

AsciiModule::AsciiModule(const ModuleSetup& setup) : KvModule(setup) {
    core().identity = asciiIdentity(setup);
}

KvModule::Target AsciiModule::resolve(std::string_view text) const {
    Target t;
    if (text.size() >= 2 && std::isdigit(static_cast<unsigned char>(text[0])) &&
        std::isdigit(static_cast<unsigned char>(text[1]))) {
        t.mine = (text[0] - '0') * 10 + (text[1] - '0') == setup().address;
        t.rest = text.substr(2);
    } else {
        t.everyone = true;
        t.rest = text;
    }
    return t;
}

Answer AsciiModule::execute(std::string_view rest, Clock::time_point now) {
    std::string replies;
    bool anyReply = false;
    Answer::Kind worst = Answer::Kind::Done;
    for (std::string_view command : text::split(rest, ',')) {
        if (command.empty()) {
            continue;
        }
        Answer a = executeOne(command, now);
        if (a.kind == Answer::Kind::Rejected) {
            return a;
        }
        if (a.kind == Answer::Kind::NotExecuted) {
            worst = a.kind;
        } else if (a.kind == Answer::Kind::Reply) {
            replies += (anyReply ? "," : "") + a.text;
            anyReply = true;
        }
    }
    if (worst == Answer::Kind::NotExecuted) {
        return Answer::notExecuted();
    }
    if (!anyReply) {
        return Answer::done();
    }
    return Answer::reply(wireAddress() + replies);
}

Answer AsciiModule::fail(int code, Answer::Kind kind) {
    core().errorCode = code;
    return {kind, {}};
}

} // namespace kvsim
