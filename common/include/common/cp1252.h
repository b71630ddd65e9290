// Windows-1252, the code page of every 8-bit text of the driver, the modules and the
// files: Latin-1 except for the 32 bytes 0x80-0x9F.
#pragma once

#include <array>
#include <cstddef>
#include <optional>

namespace common {

/// The characters of bytes 0x80-0x9F; 0 marks the five bytes the code page leaves
/// undefined.
inline constexpr std::array<char16_t, 32> kCp1252High{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

inline constexpr unsigned char kCp1252HighFirst = 0x80;
inline constexpr unsigned char kCp1252HighLast = 0x9F;

/// The character of a byte. An undefined byte stands for the C1 control of the same
/// value, so that every byte survives a round trip through Unicode.
constexpr char32_t cp1252Character(unsigned char byte) {
    if (byte >= kCp1252HighFirst && byte <= kCp1252HighLast) {
        const char16_t mapped = kCp1252High[byte - kCp1252HighFirst];
        if (mapped != 0) {
            return mapped;
        }
    }
    return byte;
}

/// The byte of a character, or nullopt when the code page cannot hold it. Characters
/// below 0x100 are their own byte.
constexpr std::optional<unsigned char> cp1252Byte(char32_t character) {
    if (character < 0x100) {
        return static_cast<unsigned char>(character);
    }
    for (std::size_t i = 0; i < kCp1252High.size(); ++i) {
        if (kCp1252High[i] == character) {
            return static_cast<unsigned char>(kCp1252HighFirst + i);
        }
    }
    return std::nullopt;
}

} // namespace common
