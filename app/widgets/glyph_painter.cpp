#include "glyph_painter.h"

#include "digit_text.h"

#include <QPainter>
#include <QPolygonF>
#include <QRadialGradient>

#include <array>
#include <cstdint>

namespace tamsel::widgets {

namespace {

/// Segments a to g, as the usual lettering of a seven-segment cell.
enum TSegment : std::uint8_t {
    kA = 1 << 0, ///< top
    kB = 1 << 1, ///< upper right
    kC = 1 << 2, ///< lower right
    kD = 1 << 3, ///< bottom
    kE = 1 << 4, ///< lower left
    kF = 1 << 5, ///< upper left
    kG = 1 << 6, ///< middle
};

constexpr std::uint8_t digitSegments(int digit) {
    constexpr std::array<std::uint8_t, 10> kDigits = {
        kA | kB | kC | kD | kE | kF, kB | kC,           kA | kB | kD | kE | kG,
        kA | kB | kC | kD | kG,      kB | kC | kF | kG, kA | kC | kD | kF | kG,
        kA | kC | kD | kE | kF | kG, kA | kB | kC,      kA | kB | kC | kD | kE | kF | kG,
        kA | kB | kC | kD | kF | kG,
    };
    return kDigits[static_cast<std::size_t>(digit)];
}

std::uint8_t segmentsOf(int index) {
    if (index >= glyph::kNine && index <= glyph::kZero) {
        return digitSegments(glyph::kZero - index);
    }
    if (index >= glyph::kSegmentA && index <= glyph::kSegmentF) {
        return static_cast<std::uint8_t>(1 << (index - glyph::kSegmentA));
    }
    switch (index) {
    case glyph::kMinus:
        return kG;
    case glyph::kLetterN:
        return kA | kB | kC | kE | kF;
    case glyph::kLetterF:
        return kA | kE | kF | kG;
    default:
        return 0;
    }
}

/// A segment as a long hexagon between two points.
QPolygonF segmentShape(QPointF from, QPointF to, qreal thickness) {
    const qreal half = thickness / 2;
    if (from.y() == to.y()) {
        return QPolygonF({{from.x(), from.y()},
                          {from.x() + half, from.y() - half},
                          {to.x() - half, to.y() - half},
                          {to.x(), to.y()},
                          {to.x() - half, to.y() + half},
                          {from.x() + half, from.y() + half}});
    }
    return QPolygonF({{from.x(), from.y()},
                      {from.x() + half, from.y() + half},
                      {to.x() + half, to.y() - half},
                      {to.x(), to.y()},
                      {to.x() - half, to.y() - half},
                      {from.x() - half, from.y() + half}});
}

void paintSegments(QPainter& painter, const QRectF& cell, std::uint8_t lit) {
    const qreal w = cell.width();
    const qreal h = cell.height();
    const qreal thickness = qMax<qreal>(1.5, qMin(w * 0.16, h * 0.09));
    const qreal gap = thickness * 0.18;
    const qreal left = cell.left() + w * 0.18;
    const qreal right = cell.right() - w * 0.18;
    const qreal top = cell.top() + h * 0.12;
    const qreal bottom = cell.bottom() - h * 0.12;
    const qreal middle = (top + bottom) / 2;
    struct TPlace {
        TSegment segment;
        QPointF from;
        QPointF to;
    };
    const std::array<TPlace, 7> places = {{
        {kA, {left + gap, top}, {right - gap, top}},
        {kB, {right, top + gap}, {right, middle - gap}},
        {kC, {right, middle + gap}, {right, bottom - gap}},
        {kD, {left + gap, bottom}, {right - gap, bottom}},
        {kE, {left, middle + gap}, {left, bottom - gap}},
        {kF, {left, top + gap}, {left, middle - gap}},
        {kG, {left + gap, middle}, {right - gap, middle}},
    }};
    painter.setPen(Qt::NoPen);
    for (const TPlace& place : places) {
        painter.setBrush((lit & place.segment) != 0 ? face::kLit : face::kUnlit);
        painter.drawPolygon(segmentShape(place.from, place.to, thickness));
    }
}

} // namespace

void paintLamp(QPainter& painter, const QRect& cell, TLampLook look, const QColor& litColour) {
    painter.save();
    painter.setClipRect(cell);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal radius = qMax<qreal>(2, qMin(cell.width(), cell.height()) * 0.34);
    const QPointF centre = QRectF(cell).center();
    painter.setPen(QPen(QColor(0x08, 0x08, 0x08), 1));
    switch (look) {
    case TLampLook::kOn: {
        QRadialGradient glow(centre - QPointF(radius / 3, radius / 3), radius * 1.3);
        glow.setColorAt(0, litColour.lighter(170));
        glow.setColorAt(1, litColour);
        painter.setBrush(glow);
        break;
    }
    case TLampLook::kOff:
        painter.setBrush(litColour.darker(420));
        break;
    case TLampLook::kInvalid:
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(face::kInvalid, 1, Qt::DotLine));
        break;
    }
    painter.drawEllipse(centre, radius, radius);
    painter.restore();
}

void paintGlyph(QPainter& painter, const QRect& cell, int index) {
    painter.save();
    painter.setClipRect(cell);
    painter.fillRect(cell, face::kBackground);
    if (index == glyph::kLampOff || index == glyph::kLampOn) {
        paintLamp(painter, cell, index == glyph::kLampOn ? TLampLook::kOn : TLampLook::kOff,
                  face::kLit);
    } else {
        painter.setRenderHint(QPainter::Antialiasing);
        paintSegments(painter, QRectF(cell), isDrawableGlyph(index) ? segmentsOf(index) : 0);
    }
    painter.restore();
}

} // namespace tamsel::widgets
