#include "output.h"

#include <array>
#include <cstdio>
#include <iostream>

namespace linkorctl {

namespace {

// Windows-1252 bytes 0x80-0x9F; 0 where the code page leaves the byte undefined.
constexpr std::array<char32_t, 32> kHigh{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string hexEscape(unsigned char b) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\x%02X", b);
    return buffer;
}

std::string jsonString(std::string_view cp1252) {
    std::string out = "\"";
    for (const char ch : cp1252) {
        const auto b = static_cast<unsigned char>(ch);
        switch (b) {
        case '"':
            out += "\\\"";
            continue;
        case '\\':
            out += "\\\\";
            continue;
        case '\n':
            out += "\\n";
            continue;
        case '\r':
            out += "\\r";
            continue;
        case '\t':
            out += "\\t";
            continue;
        default:
            break;
        }
        if (b < 0x20 || b == 0x7F) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04X", b);
            out += buffer;
        } else if (b >= 0x80 && b < 0xA0) {
            const char32_t c = kHigh[b - 0x80];
            if (c == 0) {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\u%04X", b);
                out += buffer;
            } else {
                appendUtf8(out, c);
            }
        } else {
            appendUtf8(out, b);
        }
    }
    out += '"';
    return out;
}

} // namespace

std::string readable(std::string_view cp1252) {
    std::string out;
    for (const char ch : cp1252) {
        const auto b = static_cast<unsigned char>(ch);
        if ((b < 0x20 && b != '\t') || b == 0x7F) {
            out += hexEscape(b);
        } else if (b >= 0x80 && b < 0xA0) {
            const char32_t c = kHigh[b - 0x80];
            if (c == 0) {
                out += hexEscape(b);
            } else {
                appendUtf8(out, c);
            }
        } else {
            appendUtf8(out, b);
        }
    }
    return out;
}

JsonObject& JsonObject::text(const std::string& name, std::string_view cp1252) {
    m_fields.emplace_back(name, jsonString(cp1252));
    return *this;
}

JsonObject& JsonObject::number(const std::string& name, long long value) {
    m_fields.emplace_back(name, std::to_string(value));
    return *this;
}

JsonObject& JsonObject::boolean(const std::string& name, bool value) {
    m_fields.emplace_back(name, value ? "true" : "false");
    return *this;
}

JsonObject& JsonObject::null(const std::string& name) {
    m_fields.emplace_back(name, "null");
    return *this;
}

std::string JsonObject::str() const {
    std::string out = "{";
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        if (i > 0) {
            out += ",";
        }
        out += jsonString(m_fields[i].first);
        out += ":";
        out += m_fields[i].second;
    }
    out += "}";
    return out;
}

void printLine(const std::string& line) {
    std::cout << line << '\n' << std::flush;
}

void printError(const std::string& text) {
    std::cerr << "linkorctl: " << text << '\n' << std::flush;
}

} // namespace linkorctl
