#pragma once
// Byte-level text helpers shared by the file readers. Every text here is 8-bit
// (Windows-1252) and may hold any byte, so nothing relies on a NUL terminator.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamsel::project::text {

/// Blanks are spaces and tabs, the two the files use between fields.
bool isBlank(char c);
std::string_view trim(std::string_view s);
/// Whole text as a signed decimal number that fits 32 bits.
std::optional<int32_t> toInt(std::string_view s);
/// Splits at @p sep; pieces are not trimmed, empty pieces kept.
std::vector<std::string_view> split(std::string_view s, char sep);
/// Splits at blanks; empty pieces dropped.
std::vector<std::string_view> words(std::string_view s);
/// True when the text holds a NUL or another control byte than a tab: such a
/// line cannot come from an editor and would be cut short by the C texts
/// downstream.
bool hasControlBytes(std::string_view s);
bool contains(std::string_view s, std::string_view part);
/// printf into a string.
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string join(const std::vector<std::string>& items, std::string_view sep);

/// One line of a text file: its content without the line end, and the raw
/// bytes including the line end, so that a copied line stays byte for byte.
struct Line {
    std::string_view content;
    std::string_view raw;
};
std::vector<Line> lines(std::string_view file);
/// The line end the file itself uses ("\r\n" when its first line ends so).
std::string_view lineEnd(std::string_view file);

} // namespace tamsel::project::text
