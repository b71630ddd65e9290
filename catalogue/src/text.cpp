#include "text.h"

#include "codes.h"

#include <algorithm>
#include <cstring>

namespace modtyp {

std::string_view inputText(const char* text) noexcept {
    return inputText(text, kMaxInputLength);
}

std::string_view inputText(const char* text, std::size_t bufferSize) noexcept {
    if (text == nullptr) {
        return {};
    }
    return {text, ::strnlen(text, bufferSize)};
}

void writeText(char* destination, std::string_view text, std::size_t size) noexcept {
    if (destination == nullptr || size == 0) {
        return;
    }
    const std::size_t length = std::min(text.size(), size - 1);
    std::memcpy(destination, text.data(), length);
    destination[length] = '\0';
}

} // namespace modtyp
