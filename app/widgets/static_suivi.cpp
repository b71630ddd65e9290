#include "static_suivi.h"

#include "glyph_painter.h"
#include "lamp_geometry.h"

#include <QMouseEvent>
#include <QPainter>

namespace tamsel::widgets {

namespace {

constexpr int kMaxBits = 32;
constexpr int kLampSizeHint = 16;

} // namespace

TKVStaticSuivi::TKVStaticSuivi(int bits, bool clickable, QWidget* parent)
    : QWidget(parent), m_bits(qBound(1, bits, kMaxBits)), m_clickable(clickable) {
    if (m_clickable) {
        setCursor(Qt::PointingHandCursor);
    }
}

std::uint32_t TKVStaticSuivi::shownBits(std::uint32_t value) const {
    return m_bits >= kMaxBits ? value : value & ((std::uint32_t{1} << m_bits) - 1);
}

void TKVStaticSuivi::setValue(std::uint32_t value, bool error) {
    value = shownBits(value);
    if (value == m_value && error == m_error) {
        return;
    }
    m_value = value;
    m_error = error;
    update();
}

int TKVStaticSuivi::bitUnderCursor(const QPoint& point) const {
    return widgets::bitUnderCursor(point.x(), width(), m_bits);
}

void TKVStaticSuivi::setLitColour(const QColor& colour) {
    if (colour == m_lit) {
        return;
    }
    m_lit = colour;
    update();
}

QSize TKVStaticSuivi::sizeHint() const {
    return {kLampSizeHint * m_bits, kLampSizeHint};
}

void TKVStaticSuivi::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    for (int bit = 0; bit < m_bits; ++bit) {
        const QRect cell = lampCell(bit, width(), height(), m_bits);
        TLampLook look = ((m_value >> bit) & 1U) != 0 ? TLampLook::kOn : TLampLook::kOff;
        if (m_error) {
            look = TLampLook::kInvalid;
        }
        paintLamp(painter, cell, look, m_lit);
    }
}

void TKVStaticSuivi::mousePressEvent(QMouseEvent* event) {
    if (m_clickable && event->button() == Qt::LeftButton) {
        const int bit = bitUnderCursor(event->position().toPoint());
        if (bit >= 0) {
            emit lampClicked(bit);
        }
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

} // namespace tamsel::widgets
