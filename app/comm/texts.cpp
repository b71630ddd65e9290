#include "comm/texts.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace tkv::text {

namespace {
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
} // namespace

void copy(char* dst, std::size_t size, std::string_view src) {
    if (dst == nullptr || size == 0) {
        return;
    }
    const std::size_t n = src.size() < size - 1 ? src.size() : size - 1;
    std::memmove(dst, src.data(), n);
    dst[n] = '\0';
}

std::string format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(nullptr, 0, fmt, args);
    va_end(args);
    std::string out;
    if (n > 0) {
        out.resize(static_cast<std::size_t>(n) + 1);
        std::vsnprintf(out.data(), out.size(), fmt, again);
        out.resize(static_cast<std::size_t>(n));
    }
    va_end(again);
    return out;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    return trimEnd(s);
}

std::string_view trimEnd(std::string_view s) {
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

std::vector<std::string> words(std::string_view list) {
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < list.size()) {
        while (i < list.size() && isBlank(list[i])) {
            ++i;
        }
        const std::size_t start = i;
        while (i < list.size() && !isBlank(list[i])) {
            ++i;
        }
        if (i > start) {
            out.emplace_back(list.substr(start, i - start));
        }
    }
    return out;
}

int count(std::string_view list) {
    return static_cast<int>(words(list).size());
}

std::string item(std::string_view list, int n) {
    const auto w = words(list);
    if (n < 0 || n >= static_cast<int>(w.size())) {
        return {};
    }
    return w[static_cast<std::size_t>(n)];
}

int indexOf(std::string_view list, std::string_view name) {
    const auto w = words(list);
    for (std::size_t i = 0; i < w.size(); ++i) {
        if (w[i] == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

} // namespace tkv::text
