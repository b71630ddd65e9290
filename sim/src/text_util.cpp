#include "text_util.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdarg>
#include <cstdio>

namespace kvsim::text {

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

bool iequals(std::string_view a, std::string_view b) {
    return upper(a) == upper(b);
}

bool istartsWith(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && iequals(s.substr(0, prefix.size()), prefix);
}

std::vector<std::string_view> split(std::string_view s, char sep) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    while (true) {
        const std::size_t pos = s.find(sep, start);
        out.push_back(trim(s.substr(start, pos - start)));
        if (pos == std::string_view::npos) {
            return out;
        }
        start = pos + 1;
    }
}

std::optional<long> toLong(std::string_view s) {
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
    }
    if (s.empty()) {
        return std::nullopt;
    }
    long value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc{} || end != s.data() + s.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<unsigned long> toHex(std::string_view s) {
    if (s.empty()) {
        return std::nullopt;
    }
    unsigned long value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, 16);
    if (ec != std::errc{} || end != s.data() + s.size()) {
        return std::nullopt;
    }
    return value;
}

std::string format(const char* fmt, ...) {
    char buf[1024];
    va_list args;
    va_start(args, fmt);
    const int n = std::vsnprintf(buf, sizeof buf, fmt, args);
    va_end(args);
    return n < 0 ? std::string{}
                 : std::string(buf,
                               std::min<std::size_t>(sizeof buf - 1, static_cast<std::size_t>(n)));
}

std::optional<long> toNumber(std::string_view s) {
    s = trim(s);
    if (!s.empty() && (s.front() == 'h' || s.front() == 'H')) {
        if (auto v = toHex(s.substr(1))) {
            return static_cast<long>(*v);
        }
        return std::nullopt;
    }
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        if (auto v = toHex(s.substr(2))) {
            return static_cast<long>(*v);
        }
        return std::nullopt;
    }
    return toLong(s);
}

} // namespace kvsim::text
