/**
 * @file texts.h
 * Fixed-size text buffers and blank-separated lists, the way the records carry them.
 */
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tkv::text {

/// Copies @p src into a buffer of @p size bytes, cut to size - 1 characters; always ends
/// with a NUL.
void copy(char* dst, std::size_t size, std::string_view src);

template <std::size_t N> void copy(char (&dst)[N], std::string_view src) {
    copy(dst, N, src);
}

/// The text of a fixed buffer up to its NUL, never past its end.
template <std::size_t N> std::string_view view(const char (&src)[N]) {
    std::size_t n = 0;
    while (n < N && src[n] != '\0') {
        ++n;
    }
    return {src, n};
}

/// printf into a string of any length.
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

/// Without blanks (and tabs) at either end.
std::string_view trim(std::string_view s);
/// Without blanks (and tabs) at the end.
std::string_view trimEnd(std::string_view s);

/// The names of a list text (names separated by blanks).
std::vector<std::string> words(std::string_view list);
/// Number of names in a list text.
int count(std::string_view list);
/// The n-th name (0-based) of a list text; empty when there is none.
std::string item(std::string_view list, int n);
/// Index of a name in a list text by exact comparison, -1 when absent.
int indexOf(std::string_view list, std::string_view name);

/// Whether @p s begins with @p prefix (case-sensitive).
bool startsWith(std::string_view s, std::string_view prefix);

} // namespace tkv::text
