#include "display_digits.h"

#include "glyph_painter.h"
#include "radix_text.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

namespace tamsel::widgets {

namespace {

constexpr int kMargin = 3;
constexpr int kHeightHint = 26;

} // namespace

TKVDisplayDigits::TKVDisplayDigits(int widthChars, QWidget* parent)
    : QWidget(parent), m_widthChars(qMax(widthChars, 1)) {
    QFont digits = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    digits.setBold(true);
    setFont(digits);
}

void TKVDisplayDigits::setValue(std::int32_t value, bool error) {
    if (value == m_value && error == m_error) {
        return;
    }
    m_value = value;
    m_error = error;
    update();
}

void TKVDisplayDigits::setError(bool error) {
    setValue(m_value, error);
}

void TKVDisplayDigits::setViewMode(int mode) {
    if (mode == m_mode) {
        return;
    }
    m_mode = mode;
    update();
}

int TKVDisplayDigits::viewMode() const {
    return reportedViewMode(m_mode);
}

QSize TKVDisplayDigits::sizeHint() const {
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(u'0') * (m_widthChars + 1) + 2 * kMargin, kHeightHint};
}

void TKVDisplayDigits::paintEvent(QPaintEvent* /*event*/) {
    if (m_error) {
        m_shown = errorText(m_widthChars, m_bullet);
        m_bullet = nextBulletPosition(m_bullet, m_widthChars);
    } else {
        m_shown = radixText(m_value, m_mode);
    }
    QPainter painter(this);
    painter.fillRect(rect(), face::kBackground);
    // The font fills the height, and shrinks when the widest text would not fit.
    QFont digits = font();
    digits.setPixelSize(qMax(6, height() - 2 * kMargin - 4));
    const int available = width() - 2 * kMargin;
    const int needed = QFontMetrics(digits).horizontalAdvance(QString(m_widthChars, u'0'));
    if (needed > available && needed > 0) {
        digits.setPixelSize(qMax(6, digits.pixelSize() * available / needed));
    }
    painter.setFont(digits);
    painter.setPen(m_error ? face::kInvalid : face::kLit);
    painter.drawText(rect().adjusted(kMargin, 0, -kMargin, 0), Qt::AlignRight | Qt::AlignVCenter,
                     m_shown);
}

void TKVDisplayDigits::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        emit rightClicked(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

} // namespace tamsel::widgets
