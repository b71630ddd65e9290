/**
 * @file radix_text.h
 * The texts of the radix digit display: one per view mode, and the moving bullet that
 * replaces the text while the value is in error.
 */
#pragma once

#include <QString>

#include <cstdint>

namespace tamsel::widgets {

/// View modes of the radix display.
namespace viewmode {
inline constexpr int kDecimal = 0;
inline constexpr int kHexadecimal = 1;
inline constexpr int kBinary = 2;
/// Function number and step, packed as function x 1000 + step.
inline constexpr int kFunction = 3;
inline constexpr int kUnused = 4;
} // namespace viewmode

/// Highest value the binary view shows; above it, and below 0, it shows "bOverflow".
inline constexpr std::int32_t kBinaryViewLimit = 512;
/// Number of bits the binary view shows.
inline constexpr int kBinaryViewBits = 10;
/// Values from here on are split into function and step.
inline constexpr std::int32_t kFunctionSplit = 1000;

/// The text of @p value in view mode @p mode; modes outside 0..3 show the unused form.
QString radixText(std::int32_t value, int mode);
/// The view mode as the owner reads it back: the binary view reads as decimal.
int reportedViewMode(int mode);

/// The bullet of the error form.
inline constexpr char16_t kBullet = u'\u2022';
/// @p width blanks with the bullet at @p position.
QString errorText(int width, int position);
/// Where the bullet goes at the next repaint.
int nextBulletPosition(int position, int width);

} // namespace tamsel::widgets
