#include "motor_animation.h"

#include "monitor_rules.h"

#include <QPainter>

namespace tamsel::windows::monitoring {

namespace {
constexpr int kSide = 48;
constexpr int kMargin = 4;
constexpr double kFullTurn = 360.0;
} // namespace

TMotorAnimation::TMotorAnimation(QWidget* parent) : QWidget(parent) {}

void TMotorAnimation::setFrame(int frame) {
    if (frame != m_frame) {
        m_frame = frame;
        update();
    }
}

QSize TMotorAnimation::sizeHint() const {
    return {kSide, kSide};
}

void TMotorAnimation::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int side = std::min(width(), height()) - 2 * kMargin;
    const QRectF body((width() - side) / 2.0, (height() - side) / 2.0, side, side);
    p.setPen(QPen(Qt::darkGray, 2));
    p.setBrush(QColor(0xd8, 0xd8, 0xd8));
    p.drawEllipse(body);
    p.translate(body.center());
    p.rotate(kFullTurn * m_frame / kAnimationFrames);
    p.setPen(QPen(Qt::darkBlue, 3));
    const double r = side / 2.0 - kMargin;
    p.drawLine(QPointF(0, 0), QPointF(0, -r));
    p.drawLine(QPointF(0, 0), QPointF(0, r / 2));
}

} // namespace tamsel::windows::monitoring
