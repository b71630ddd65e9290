#pragma once
// Small text helpers for the modules' command languages.

#include <common/text_words.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvsim::text {

using common::trim;
std::string upper(std::string_view s);
bool iequals(std::string_view a, std::string_view b);
bool istartsWith(std::string_view s, std::string_view prefix);
/// Splits at @p sep; pieces are trimmed, empty pieces kept.
std::vector<std::string_view> split(std::string_view s, char sep);
/// Splits at blanks and tabs; empty pieces dropped.
using common::words;
/// Whole text as a signed decimal number (an optional leading + or -).
std::optional<long> toLong(std::string_view s);
/// Whole text as hexadecimal digits.
std::optional<unsigned long> toHex(std::string_view s);
/// printf into a string (texts of the modules' replies stay well below 1000 characters).
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
/// A module's number: decimal, or hexadecimal after "h" / "H" / "0x".
std::optional<long> toNumber(std::string_view s);

} // namespace kvsim::text
