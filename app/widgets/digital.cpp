#include "digital.h"

#include "glyph_painter.h"

#include <QPainter>

#include <algorithm>

namespace tamsel::widgets {

namespace {

constexpr int kCellWidthHint = 16;
constexpr int kHeightHint = 28;

} // namespace

TDigital::TDigital(int cells, const QString& format, QWidget* parent)
    : QWidget(parent), m_cells(blankCells(std::max(cells, 1))) {
    const std::string own = defaultNumberFormat(cellCount());
    const std::string given = format.isEmpty() ? own : format.toStdString();
    m_format = parseNumberFormat(given).value_or(*parseNumberFormat(own));
}

void TDigital::setNumber(std::int64_t value) {
    showCells(numberCells(m_format, value, cellCount()));
}

void TDigital::setText(const QString& text) {
    showCells(textCells(text.toLatin1().toStdString(), cellCount()));
}

void TDigital::setCharacter(int position, char c) {
    if (position < 0 || position >= cellCount()) {
        return;
    }
    std::string cells = m_cells;
    cells[static_cast<std::size_t>(position)] = c;
    showCells(std::move(cells));
}

void TDigital::blank() {
    showCells(blankCells(cellCount()));
}

void TDigital::setNumberOrBlank(std::int64_t value) {
    if (value == 0) {
        blank();
    } else {
        setNumber(value);
    }
}

void TDigital::stepErrorSpinner() {
    showCells(spinnerCells(cellCount(), m_spinnerPhase));
    m_spinnerPhase = nextSpinnerPhase(m_spinnerPhase);
}

QSize TDigital::sizeHint() const {
    return {kCellWidthHint * cellCount(), kHeightHint};
}

void TDigital::showCells(std::string cells) {
    if (cells == m_cells) {
        return;
    }
    m_cells = std::move(cells);
    update();
}

void TDigital::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const int cellWidth = width() / cellCount();
    for (int i = 0; i < cellCount(); ++i) {
        const QRect cell(i * cellWidth, 0, cellWidth, height());
        paintGlyph(painter, cell, glyphIndex(m_cells[static_cast<std::size_t>(i)]));
    }
}

} // namespace tamsel::widgets
