#include "output.h"

#include <common/cp1252.h>

#include <cstdio>
#include <iostream>

namespace linkorctl {

namespace {

// A control character, C0 or C1: the five bytes the code page leaves undefined read as
// the C1 control of the same value, and are shown escaped like the others.
bool isControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

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
        const char32_t c = common::cp1252Character(b);
        if (isControl(c)) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04X", b);
            out += buffer;
        } else {
            appendUtf8(out, c);
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
        const char32_t c = common::cp1252Character(b);
        if (isControl(c) && c != '\t') {
            out += hexEscape(b);
        } else {
            appendUtf8(out, c);
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
