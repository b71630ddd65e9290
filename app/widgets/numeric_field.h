/**
 * @file numeric_field.h
 * TNumericField: an edit for a whole number inside a range. It takes digits, "+", "-"
 * and blanks only, typed or pasted; what it holds is kept inside its range when set,
 * stepped, read and when the user leaves the field.
 */
#pragma once

#include <QLineEdit>

#include <cstdint>

#include "numeric_text.h"

namespace tamsel::widgets {

class TNumericField final : public QLineEdit {
    Q_OBJECT
  public:
    explicit TNumericField(QWidget* parent = nullptr);

    /// The number the field holds, read from its text and kept inside the range; the last
    /// value set when the text holds no number.
    std::int32_t value() const;
    /// Shows @p value, kept inside the range, with "%d".
    void setValue(std::int32_t value);
    /// A minimum above the maximum is taken as the maximum; the value is kept inside.
    void setRange(std::int32_t minimum, std::int32_t maximum);
    std::int32_t minimum() const { return m_minimum; }
    std::int32_t maximum() const { return m_maximum; }
    /// Moves the value by @p delta, kept inside the range.
    void stepBy(std::int32_t delta);

    /// kDecimalRadix or kHexaRadix: the digits taken and the way the value is written.
    void setRadix(int radix);
    int radix() const { return m_radix; }

  private:
    std::int32_t m_value = 0;
    std::int32_t m_minimum;
    std::int32_t m_maximum;
    int m_radix = kDecimalRadix;
};

} // namespace tamsel::widgets
