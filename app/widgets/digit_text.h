/**
 * @file digit_text.h
 * What the cells of a digit display hold: the glyph of each character, the number
 * formats, and the fixed forms (blank, overflow, error spinner). One character per cell;
 * every function returns exactly as many characters as there are cells.
 */
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tamsel::widgets {

/// Positions in the glyph strip.
namespace glyph {
inline constexpr int kMinus = 0;
inline constexpr int kBlank = 1;
inline constexpr int kNine = 2;
inline constexpr int kZero = 11;
/// A lamp that is off ("*") and one that is on ("#").
inline constexpr int kLampOff = 12;
inline constexpr int kLampOn = 13;
inline constexpr int kLetterN = 14;
inline constexpr int kLetterF = 15;
/// The six single segments "a" to "f", going round the cell; the error spinner's phases.
inline constexpr int kSegmentA = 16;
inline constexpr int kSegmentF = 21;
inline constexpr int kCount = 22;
} // namespace glyph

/// Glyph index of @p c. Characters without a glyph of their own take the digits'
/// formula, which may fall outside the strip; see isDrawableGlyph().
int glyphIndex(char c);
/// Whether @p index names a glyph of the strip; others are drawn blank.
bool isDrawableGlyph(int index);

/// A number format of the "%d" family: optional zero padding, a minimum width.
struct TNumberFormat {
    bool zeroPad = false;
    int width = 0;
};

/// The display's own format when none is given: "%%%dld" written with the cell count.
std::string defaultNumberFormat(int cells);
/// Reads "%[0][width][l]d"; anything else gives no format.
std::optional<TNumberFormat> parseNumberFormat(std::string_view text);
/// @p value as printf writes it with @p format.
std::string formatNumber(const TNumberFormat& format, std::int64_t value);

/// Every cell blank.
std::string blankCells(int cells);
/// @p text from the first cell on, cut at the last cell, blanks after it.
std::string textCells(std::string_view text, int cells);
/// The overflow form: every cell a minus sign, shown when a number needs more cells.
std::string overflowCells(int cells);
/// @p value with @p format, or the overflow form when it is wider than the cells.
std::string numberCells(const TNumberFormat& format, std::int64_t value, int cells);

/// Number of phases of the error spinner, one per segment "a" to "f".
inline constexpr int kSpinnerPhases = 6;
/// Cells 0, 2, 4, 6, 8 and 10 show the segment of @p phase, the others blank.
std::string spinnerCells(int cells, int phase);
/// The phase after @p phase.
int nextSpinnerPhase(int phase);

} // namespace tamsel::widgets
