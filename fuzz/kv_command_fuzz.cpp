// Any command text a caller may hand over: the settings block, frame preparation in
// both forms and the allowed-character list, on a line whose module always agrees.
#include "fake_port.h"
#include "kv/kv_frame.h"
#include "kv_line/trilo.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>

namespace {

constexpr size_t kReplyBuffer = 256;

/// Blocks may ask for pauses of any length; those say nothing about parsing and would
/// only stall the search.
bool asksForPauses(const std::string& text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper.find("TACK") != std::string::npos || upper.find("TWAITRTS") != std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (asksForPauses(text)) {
        return 0;
    }
    // Frame preparation directly, including texts with NUL bytes inside.
    for (int letterCase = 0; letterCase < 4; ++letterCase) {
        linkor::kv::prepareFrame(text, letterCase, letterCase % 3, {});
    }
    linkor::kv::prepareRaw(text);
    linkor::kv::AllowedControls allowed;
    allowed.assign(text);

    auto port = std::make_unique<linkor::test::FakePort>();
    port->responder = [](const linkor::test::FakePort::Bytes&) {
        return linkor::test::bytesOf("\x06\x13\x1a");
    };
    linkor::TTrilo line("COM1", std::move(port));
    line.initialise(115200, 0);
    const std::string command = text.substr(0, text.find('\0'));
    const auto reply = std::make_unique<char[]>(kReplyBuffer);
    line.dialogue(command.c_str(), reply.get());
    line.setSyntax(command.c_str());
    return 0;
}
