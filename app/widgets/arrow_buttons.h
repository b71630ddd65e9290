/**
 * @file arrow_buttons.h
 * TArrowButtons: the pair of up and down arrows beside a numeric edit.
 */
#pragma once

#include <QWidget>

class QToolButton;

namespace tamsel::widgets {

class TArrowButtons final : public QWidget {
    Q_OBJECT
  public:
    explicit TArrowButtons(QWidget* parent = nullptr);

    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

  signals:
    /// +1 for the up arrow, -1 for the down arrow.
    void stepped(int delta);

  private:
    QToolButton* m_up;
    QToolButton* m_down;
};

} // namespace tamsel::widgets
