#include "scan.h"

#include <common/text_words.h>

#include <algorithm>
#include <limits>

namespace modtyp {
namespace {

int digitValue(char c, int base) {
    int value = -1;
    if (c >= '0' && c <= '9') {
        value = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        value = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        value = c - 'A' + 10;
    }
    return value < base ? value : -1;
}

} // namespace

Scanner::Scanner(std::string_view text, std::size_t offset) noexcept
    : m_text(text), m_pos(offset < text.size() ? offset : text.size()) {}

void Scanner::skipBlanks() noexcept {
    while (m_pos < m_text.size() && common::isSpace(m_text[m_pos])) {
        ++m_pos;
    }
}

std::optional<std::string_view> Scanner::word() noexcept {
    skipBlanks();
    const std::size_t start = m_pos;
    while (m_pos < m_text.size() && !common::isSpace(m_text[m_pos])) {
        ++m_pos;
    }
    if (m_pos == start) {
        return std::nullopt;
    }
    return m_text.substr(start, m_pos - start);
}

bool Scanner::literal(char c) noexcept {
    if (m_pos < m_text.size() && m_text[m_pos] == c) {
        ++m_pos;
        return true;
    }
    return false;
}

std::optional<std::int32_t> Scanner::decimal() noexcept {
    return number(10);
}

std::optional<std::int32_t> Scanner::hexadecimal() noexcept {
    return number(16);
}

std::optional<std::int32_t> Scanner::number(int base) noexcept {
    skipBlanks();
    std::size_t pos = m_pos;
    bool negative = false;
    if (pos < m_text.size() && (m_text[pos] == '+' || m_text[pos] == '-')) {
        negative = m_text[pos] == '-';
        ++pos;
    }
    if (base == 16 && pos + 2 < m_text.size() && m_text[pos] == '0' &&
        (m_text[pos + 1] == 'x' || m_text[pos + 1] == 'X') &&
        digitValue(m_text[pos + 2], base) >= 0) {
        pos += 2;
    }
    if (pos >= m_text.size() || digitValue(m_text[pos], base) < 0) {
        return std::nullopt;
    }
    // Accumulate in 64 bits and stop growing once past the int32 range.
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (int digit = 0; pos < m_text.size() && (digit = digitValue(m_text[pos], base)) >= 0;
         ++pos) {
        if (magnitude <= kLimit) {
            magnitude = magnitude * base + digit;
        }
    }
    m_pos = pos;
    if (negative) {
        return static_cast<std::int32_t>(-std::min(magnitude, kLimit));
    }
    return static_cast<std::int32_t>(std::min(magnitude, kLimit - 1));
}

} // namespace modtyp
