// The header (1857) above the variables grid: "Name", "Init" and "Current" in the grid's
// columns.
#pragma once

#include <QWidget>

namespace tamsel::terminal::variables {

class TVariablesHeader final : public QWidget {
    Q_OBJECT
  public:
    explicit TVariablesHeader(QWidget* parent = nullptr);
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tamsel::terminal::variables
