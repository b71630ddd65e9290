// Bounded reading and writing of the caller's texts: the interface carries no
// sizes, so the catalogue's own limits are the bounds.
#pragma once

#include <cstddef>
#include <string_view>

namespace modtyp {

// The caller's text up to its NUL, never further than kMaxInputLength; a null
// pointer reads as the empty text.
std::string_view inputText(const char* text) noexcept;

// Same, bounded by the size of the caller's buffer.
std::string_view inputText(const char* text, std::size_t bufferSize) noexcept;

// Copies as much of text as fits in size bytes, NUL included; a null
// destination is left alone.
void writeText(char* destination, std::string_view text, std::size_t size) noexcept;

} // namespace modtyp
