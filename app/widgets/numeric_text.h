/**
 * @file numeric_text.h
 * The rules of the numeric field without the field: which characters it takes, how its
 * text reads as a number, and how values are kept inside the range.
 */
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace tamsel::widgets {

/// The number is read from at most this many characters of the field.
inline constexpr int kNumericReadLimit = 30;

/// Radixes of the numeric field.
inline constexpr int kDecimalRadix = 10;
inline constexpr int kHexaRadix = 16;

/// Digits of @p radix, "+", "-" and blank.
bool isNumericChar(QChar c, int radix = kDecimalRadix);
/// Whether every character of @p text is one the field takes.
bool isNumericText(const QString& text, int radix = kDecimalRadix);

/// Reads the leading number of @p text as scanf's "%d" (or "%x" for radix 16) does:
/// blanks skipped, an optional sign, then digits. Nothing readable gives no value; a
/// number beyond the 32-bit range is held at its end.
std::optional<std::int32_t> readNumber(const QString& text, int radix = kDecimalRadix);
/// @p value in @p radix: "%d", or "%X" for radix 16.
QString writeNumber(std::int32_t value, int radix = kDecimalRadix);

/// @p value held inside [@p minimum, @p maximum].
std::int32_t clampToRange(std::int64_t value, std::int32_t minimum, std::int32_t maximum);
/// @p value moved by @p delta, held inside the range.
std::int32_t stepInRange(std::int32_t value, std::int32_t delta, std::int32_t minimum,
                         std::int32_t maximum);

} // namespace tamsel::widgets
