/**
 * @file static_suivi.h
 * TKVStaticSuivi: a row of lamps, one per bit, the highest bit at the left. A clickable
 * row tells its owner which bit's lamp was clicked.
 */
#pragma once

#include <QColor>
#include <QWidget>

#include <cstdint>

namespace tamsel::widgets {

class TKVStaticSuivi final : public QWidget {
    Q_OBJECT
  public:
    explicit TKVStaticSuivi(int bits, bool clickable = false, QWidget* parent = nullptr);

    /// Repaints only when the shown bits or the error flag change.
    void setValue(std::uint32_t value, bool error);
    std::uint32_t value() const { return m_value; }
    bool error() const { return m_error; }
    int bits() const { return m_bits; }
    bool clickable() const { return m_clickable; }
    /// The bit whose lamp is under @p point (0 = rightmost), or -1.
    int bitUnderCursor(const QPoint& point) const;
    /// The colour of a lit lamp.
    void setLitColour(const QColor& colour);

    QSize sizeHint() const override;

  signals:
    /// A clickable row was clicked on the lamp of @p bit.
    void lampClicked(int bit);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    std::uint32_t shownBits(std::uint32_t value) const;

    int m_bits;
    bool m_clickable;
    std::uint32_t m_value = 0;
    bool m_error = false;
    QColor m_lit{0x2e, 0xd0, 0x3c};
};

} // namespace tamsel::widgets
