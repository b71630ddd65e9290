#include "arrow_buttons.h"

#include <QToolButton>
#include <QVBoxLayout>

namespace tamsel::widgets {

namespace {

constexpr int kArrowHeight = 12;

QToolButton* makeArrow(Qt::ArrowType arrow, const char* name, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoRepeat(true);
    button->setFixedHeight(kArrowHeight);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

TArrowButtons::TArrowButtons(QWidget* parent)
    : QWidget(parent), m_up(makeArrow(Qt::UpArrow, "up", this)),
      m_down(makeArrow(Qt::DownArrow, "down", this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_up);
    layout->addWidget(m_down);
    connect(m_up, &QToolButton::clicked, this, [this] { emit stepped(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { emit stepped(-1); });
}

} // namespace tamsel::widgets
