#include "text.h"

#include <cstdarg>
#include <cstdio>
#include <limits>

namespace tamsel::project::text {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

std::optional<int32_t> toInt(std::string_view s) {
    if (s.empty()) {
        return std::nullopt;
    }
    bool negative = false;
    if (s.front() == '+' || s.front() == '-') {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty()) {
        return std::nullopt;
    }
    while (s.size() > 1 && s.front() == '0') {
        s.remove_prefix(1);
    }
    if (s.size() > 10) {
        return std::nullopt;
    }
    int64_t value = 0;
    for (const char c : s) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    if (negative) {
        value = -value;
    }
    if (value < std::numeric_limits<int32_t>::min() ||
        value > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<int32_t>(value);
}

std::vector<std::string_view> split(std::string_view s, char sep) {
    std::vector<std::string_view> pieces;
    for (;;) {
        const auto at = s.find(sep);
        pieces.push_back(s.substr(0, at));
        if (at == std::string_view::npos) {
            return pieces;
        }
        s.remove_prefix(at + 1);
    }
}

std::vector<std::string_view> words(std::string_view s) {
    std::vector<std::string_view> result;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && isBlank(s[i])) {
            ++i;
        }
        const std::size_t start = i;
        while (i < s.size() && !isBlank(s[i])) {
            ++i;
        }
        if (i > start) {
            result.push_back(s.substr(start, i - start));
        }
    }
    return result;
}

bool hasControlBytes(std::string_view s) {
    for (const char c : s) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7F) {
            return true;
        }
    }
    return false;
}

bool contains(std::string_view s, std::string_view part) {
    return s.find(part) != std::string_view::npos;
}

std::string format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    va_list copy;
    va_copy(copy, args);
    const int size = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    std::string out;
    if (size > 0) {
        out.resize(static_cast<std::size_t>(size) + 1);
        std::vsnprintf(out.data(), out.size(), fmt, args);
        out.resize(static_cast<std::size_t>(size));
    }
    va_end(args);
    return out;
}

std::string join(const std::vector<std::string>& items, std::string_view sep) {
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) {
            out += sep;
        }
        out += items[i];
    }
    return out;
}

std::vector<Line> lines(std::string_view file) {
    std::vector<Line> result;
    while (!file.empty()) {
        const auto nl = file.find('\n');
        const std::size_t rawSize = nl == std::string_view::npos ? file.size() : nl + 1;
        std::string_view raw = file.substr(0, rawSize);
        std::string_view content = raw;
        if (!content.empty() && content.back() == '\n') {
            content.remove_suffix(1);
        }
        if (!content.empty() && content.back() == '\r') {
            content.remove_suffix(1);
        }
        result.push_back({content, raw});
        file.remove_prefix(rawSize);
    }
    return result;
}

std::string_view lineEnd(std::string_view file) {
    const auto nl = file.find('\n');
    if (nl != std::string_view::npos && nl > 0 && file[nl - 1] == '\r') {
        return "\r\n";
    }
    return "\n";
}

} // namespace tamsel::project::text
