/**
 * @file glyph_painter.h
 * The artwork of the digit displays, drawn rather than cut from a strip: seven-segment
 * characters, two lamps and the six single segments, in the strip's order.
 */
#pragma once

#include <QColor>
#include <QRect>

class QPainter;

namespace tamsel::widgets {

/// Colours of the instrument faces.
namespace face {
inline const QColor kBackground{0x14, 0x10, 0x0e};
inline const QColor kLit{0xff, 0x4a, 0x2a};
inline const QColor kUnlit{0x2a, 0x15, 0x10};
inline const QColor kInvalid{0x80, 0x80, 0x80};
} // namespace face

/// Draws glyph @p index into @p cell, nothing outside it. A glyph beyond the strip is
/// drawn blank.
void paintGlyph(QPainter& painter, const QRect& cell, int index);

/// Draws a round lamp centred in @p cell: lit, unlit, or greyed when its value is invalid.
enum class TLampLook { kOff, kOn, kInvalid };
void paintLamp(QPainter& painter, const QRect& cell, TLampLook look, const QColor& litColour);

} // namespace tamsel::widgets
