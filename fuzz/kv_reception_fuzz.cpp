// A module answering anything at all: the reception of every mode, the reply check and
// the acknowledgement, with the caller's 256-byte reply buffer allocated exactly.
#include "fake_port.h"
#include "kv/kv_types.h"
#include "kv_line/trilo.h"

#include <memory>

namespace {

constexpr size_t kReplyBuffer = 256;

struct Choice {
    int protocol;
    int lineType;
    bool repair;
    const char* command;
};

Choice choiceOf(uint8_t byte) {
    return {byte % 3, (byte & 0x08) != 0 ? linkor::kv::kTypeTrilo : linkor::kv::kTypeVrx17,
            (byte & 0x10) != 0, (byte & 0x20) != 0 ? "01QS" : "01GS"};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const Choice choice = choiceOf(data[0]);
    auto port = std::make_unique<linkor::test::FakePort>();
    const std::vector<uint8_t> answer(data + 1, data + size);
    port->responder = [&answer](const linkor::test::FakePort::Bytes&) { return answer; };
    linkor::TTrilo line("COM1", std::move(port));
    line.initialise(115200, choice.protocol);
    line.settings().lineType = choice.lineType;
    line.settings().repair = choice.repair;
    const auto reply = std::make_unique<char[]>(kReplyBuffer);
    line.dialogue(choice.command, reply.get());
    return 0;
}
