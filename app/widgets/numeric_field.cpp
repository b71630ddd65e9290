#include "numeric_field.h"

#include <QValidator>

#include <limits>

namespace tamsel::widgets {

namespace {

/// Refuses, typed or pasted, any text with a character the field does not take.
class TNumericValidator final : public QValidator {
  public:
    TNumericValidator(const int& radix, QObject* parent) : QValidator(parent), m_radix(radix) {}
    State validate(QString& input, int& /*position*/) const override {
        return isNumericText(input, m_radix) ? Acceptable : Invalid;
    }

  private:
    const int& m_radix;
};

} // namespace

TNumericField::TNumericField(QWidget* parent)
    : QLineEdit(parent), m_minimum(std::numeric_limits<std::int32_t>::min()),
      m_maximum(std::numeric_limits<std::int32_t>::max()) {
    setValidator(new TNumericValidator(m_radix, this));
    setText(writeNumber(m_value, m_radix));
    // A value typed out of range comes back inside it when the user leaves the field.
    connect(this, &QLineEdit::editingFinished, this, [this] { setValue(value()); });
}

std::int32_t TNumericField::value() const {
    return clampToRange(readNumber(text(), m_radix).value_or(m_value), m_minimum, m_maximum);
}

void TNumericField::setValue(std::int32_t value) {
    m_value = clampToRange(value, m_minimum, m_maximum);
    const QString shown = writeNumber(m_value, m_radix);
    if (shown != text()) {
        setText(shown);
    }
}

void TNumericField::setRange(std::int32_t minimum, std::int32_t maximum) {
    m_minimum = qMin(minimum, maximum);
    m_maximum = maximum;
    setValue(value());
}

void TNumericField::stepBy(std::int32_t delta) {
    setValue(stepInRange(value(), delta, m_minimum, m_maximum));
}

void TNumericField::setRadix(int radix) {
    if (radix != kDecimalRadix && radix != kHexaRadix) {
        return;
    }
    const std::int32_t held = value();
    m_radix = radix;
    m_value = held;
    setText(writeNumber(held, m_radix));
}

} // namespace tamsel::widgets
