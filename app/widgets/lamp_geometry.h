/**
 * @file lamp_geometry.h
 * Where the lamps of a lamp row sit. Bit 0 is the rightmost lamp; every lamp is one cell
 * of row width / bits, counted from the right end, so a remainder is left over at the left.
 */
#pragma once

#include <QRect>

namespace tamsel::widgets {

/// Width of one lamp's cell.
int lampCellWidth(int rowWidth, int bits);
/// The bit whose lamp is under @p x, or -1 when no lamp is there.
int bitUnderCursor(int x, int rowWidth, int bits);
/// The cell of bit @p bit in a row of @p rowWidth x @p rowHeight.
QRect lampCell(int bit, int rowWidth, int rowHeight, int bits);

} // namespace tamsel::widgets
