// JBUS command texts into requests, and any answer bytes into the reply text that a
// caller's 256-byte buffer must hold.
#include "jbus/jbus_request.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr size_t kReplyBuffer = 256;
constexpr size_t kMaxFrame = 256;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const size_t split = text.find('\n');
    const std::string command = text.substr(0, std::min(split, text.find('\0')));
    const auto request = linkor::jbus::buildRequest(command);
    if (request.bytes.size() > kMaxFrame) {
        __builtin_trap(); // a request longer than any Modbus RTU frame
    }
    const std::vector<uint8_t> answer = split == std::string::npos
                                            ? std::vector<uint8_t>(request.bytes)
                                            : std::vector<uint8_t>(data + split + 1, data + size);
    std::string reply;
    linkor::jbus::convertAnswer(request, answer, 0, reply, kReplyBuffer - 1);
    const auto buffer = std::make_unique<char[]>(kReplyBuffer);
    if (reply.size() >= kReplyBuffer) {
        __builtin_trap(); // the caller's buffer would overflow
    }
    std::memcpy(buffer.get(), reply.c_str(), reply.size() + 1);
    return 0;
}
