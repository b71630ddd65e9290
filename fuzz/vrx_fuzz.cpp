// The VRX23/VRX34 frame path: any command text through the translation, any answers
// through the conversion, and both together over a line whose module answers anything.
#include "fake_port.h"
#include "frame/vrx_reply.h"
#include "frame/vrx_translate.h"
#include "kv/kv_types.h"
#include "kv_line/trilo.h"

#include <memory>
#include <string>

namespace {

constexpr size_t kReplyBuffer = 256;
constexpr char kSeparator = '\n';

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const uint8_t choice = data[0];
    const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
    // "command\nfirst answer\nsecond answer"
    const size_t a = rest.find(kSeparator);
    const std::string command = rest.substr(0, std::min(a, rest.find('\0')));
    const std::string answers = a == std::string::npos ? "" : rest.substr(a + 1);
    const size_t b = answers.find(kSeparator);
    const std::string first = answers.substr(0, b);
    const std::string second = b == std::string::npos ? "" : answers.substr(b + 1);

    const auto model = (choice & 1) != 0 ? linkor::vrx::Model::Vrx34 : linkor::vrx::Model::Vrx23;
    linkor::vrx::FrameState state;
    state.maxCurrent = choice;
    const auto translation = linkor::vrx::translate(command, (choice >> 1) & 3, model, state, {});
    linkor::vrx::ReplyContext context;
    context.plainText = translation.kind == linkor::vrx::Translation::Kind::PlainText;
    context.lowerCaseReply = translation.lowerCaseReply;
    context.unitFactor = translation.unitFactor;
    context.model = model;
    context.maxCurrent = state.maxCurrent;
    std::string out;
    linkor::vrx::convertReply(first, second, context, out);
    std::string identity;
    linkor::vrx::continueRead(state, first, identity);

    // The whole exchange: the module's answer is framed as a module frames it.
    auto port = std::make_unique<linkor::test::FakePort>();
    const std::string framedAnswer = [&] {
        const auto frame = linkor::vrx::framed(first, true);
        return "\x06\x13" + std::string(frame.bytes.begin(), frame.bytes.end()) + "\x1a";
    }();
    port->responder = [&framedAnswer](const linkor::test::FakePort::Bytes&) {
        return linkor::test::bytesOf(framedAnswer);
    };
    linkor::TTrilo line("COM1", std::move(port));
    line.initialise(115200, linkor::kv::kProtocolXon);
    line.settings().lineType =
        model == linkor::vrx::Model::Vrx34 ? linkor::kv::kTypeVrx34 : linkor::kv::kTypeVrx23;
    const auto reply = std::make_unique<char[]>(kReplyBuffer);
    if (command.find("TACK") == std::string::npos &&
        command.find("TWAITRTS") == std::string::npos) {
        line.dialogue(command.c_str(), reply.get());
    }
    return 0;
}
