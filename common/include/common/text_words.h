// Blanks and words of the 8-bit texts of commands, lists and files.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace common {

/// A blank or a tab: what separates the words of a command or a list.
constexpr bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

/// Any white space of the C locale, line ends included: what may surround a line read
/// from a file written on another system.
constexpr bool isSpace(char c) {
    return isBlank(c) || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

using CharTest = bool (*)(char);

/// Without the leading characters that `skip` accepts (blanks by default).
constexpr std::string_view trimStart(std::string_view s, CharTest skip = isBlank) {
    while (!s.empty() && skip(s.front())) {
        s.remove_prefix(1);
    }
    return s;
}

/// Without the trailing characters that `skip` accepts (blanks by default).
constexpr std::string_view trimEnd(std::string_view s, CharTest skip = isBlank) {
    while (!s.empty() && skip(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

/// Without the characters that `skip` accepts at either end (blanks by default).
constexpr std::string_view trim(std::string_view s, CharTest skip = isBlank) {
    return trimEnd(trimStart(s, skip), skip);
}

/// The words of a text, split at blanks; empty words dropped.
inline std::vector<std::string_view> words(std::string_view s) {
    std::vector<std::string_view> out;
    for (s = trimStart(s); !s.empty(); s = trimStart(s)) {
        std::size_t end = 0;
        while (end < s.size() && !isBlank(s[end])) {
            ++end;
        }
        out.push_back(s.substr(0, end));
        s.remove_prefix(end);
    }
    return out;
}

} // namespace common
