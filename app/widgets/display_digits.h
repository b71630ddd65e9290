/**
 * @file display_digits.h
 * TKVDisplayDigits: a 32-bit value shown in one of several radixes, right-aligned. While
 * the value is in error a bullet runs along an otherwise blank display, one place at each
 * repaint. A right click is passed to the owner, which offers its view menu.
 */
#pragma once

#include <QPoint>
#include <QString>
#include <QWidget>

#include <cstdint>

namespace tamsel::widgets {

class TKVDisplayDigits final : public QWidget {
    Q_OBJECT
  public:
    /// @p widthChars: the number of character places, along which the bullet runs.
    explicit TKVDisplayDigits(int widthChars = 11, QWidget* parent = nullptr);

    /// Repaints only when the value or the error flag changes.
    void setValue(std::int32_t value, bool error);
    void setError(bool error);
    /// One of viewmode::k...; repaints only when it changes.
    void setViewMode(int mode);
    /// The view mode as set, except that the binary view reads as decimal.
    int viewMode() const;

    std::int32_t value() const { return m_value; }
    bool error() const { return m_error; }
    int widthChars() const { return m_widthChars; }
    /// The text drawn at the last repaint.
    const QString& shownText() const { return m_shown; }
    /// Where the bullet goes at the next repaint in error.
    int bulletPosition() const { return m_bullet; }

    QSize sizeHint() const override;

  signals:
    /// The user right-clicked the display, at @p screenPoint.
    void rightClicked(const QPoint& screenPoint);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    int m_widthChars;
    std::int32_t m_value = 0;
    bool m_error = false;
    int m_mode = 0;
    int m_bullet = 0;
    QString m_shown;
};

} // namespace tamsel::widgets
