/**
 * @file digital.h
 * TDigital: a row of character cells drawn as seven-segment glyphs. The cell width is the
 * control's width divided by the number of cells; nothing is drawn outside the cells.
 */
#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>
#include <string>

#include "digit_text.h"

namespace tamsel::widgets {

class TDigital final : public QWidget {
    Q_OBJECT
  public:
    /// @p format is the number format ("%11ld", "%3d", "%03d", "%01d"...); empty, or one
    /// that cannot be read, gives the display's own "%<cells>ld".
    explicit TDigital(int cells, const QString& format = {}, QWidget* parent = nullptr);

    /// The number in the display's format; the overflow form when it needs more cells.
    void setNumber(std::int64_t value);
    /// The text from the first cell on; what does not fit is left out.
    void setText(const QString& text);
    /// One cell; a position outside the display is ignored.
    void setCharacter(int position, char c);
    /// Every cell blank.
    void blank();
    /// 0 blanks the display; any other value is shown as setNumber() shows it.
    void setNumberOrBlank(std::int64_t value);
    /// Shows the current phase of the error spinner, then moves to the next phase.
    void stepErrorSpinner();

    /// What the cells hold, one character each.
    const std::string& cells() const { return m_cells; }
    int cellCount() const { return static_cast<int>(m_cells.size()); }
    int spinnerPhase() const { return m_spinnerPhase; }

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void showCells(std::string cells);

    TNumberFormat m_format;
    std::string m_cells;
    int m_spinnerPhase = 0;
};

} // namespace tamsel::widgets
