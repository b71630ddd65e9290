// The turning motor of the monitoring panel: a rotor drawn at one of twelve angles.
#pragma once

#include <QWidget>

namespace tamsel::windows::monitoring {

class TMotorAnimation final : public QWidget {
    Q_OBJECT
  public:
    explicit TMotorAnimation(QWidget* parent = nullptr);

    void setFrame(int frame);
    int frame() const { return m_frame; }
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int m_frame = 0;
};

} // namespace tamsel::windows::monitoring
