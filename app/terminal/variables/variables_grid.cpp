#include "variables_grid.h"

#include <QMouseEvent>
#include <QPainter>

namespace tamsel::terminal::variables {

namespace {
constexpr int kRowPadding = 6;
constexpr int kTextMargin = 4;
constexpr int kMinimumWidth = 360;
} // namespace

TGrille::TGrille(const TScanList& rows, QWidget* parent) : QWidget(parent), m_rows(rows) {
    setObjectName(QString::fromLatin1(kObjectName));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

int TGrille::rowHeight() const {
    return fontMetrics().height() + kRowPadding;
}

QSize TGrille::sizeHint() const {
    return {kMinimumWidth, rowHeight() * kRows + 1};
}

QRect TGrille::cellRect(int row, TColumn column) const {
    const std::array<int, 3> widths = columnWidths(width());
    int left = 0;
    for (int c = 0; c < static_cast<int>(column); ++c) {
        left += widths[static_cast<std::size_t>(c)];
    }
    return {left, row * rowHeight(), widths[static_cast<std::size_t>(column)], rowHeight()};
}

bool TGrille::cellAt(const QPoint& point, int& row, TColumn& column) const {
    row = point.y() / rowHeight();
    if (point.y() < 0 || row >= kRows || point.x() < 0 || point.x() >= width()) {
        return false;
    }
    for (const TColumn c : {TColumn::Name, TColumn::Init, TColumn::Current}) {
        if (cellRect(row, c).contains(point)) {
            column = c;
            return true;
        }
    }
    return false;
}

void TGrille::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    const QColor line = palette().color(QPalette::Mid);
    for (int r = 0; r < kRows; ++r) {
        const TRow& row = m_rows.row(r);
        painter.setPen(line);
        painter.drawLine(0, (r + 1) * rowHeight() - 1, width(), (r + 1) * rowHeight() - 1);
        if (!row.used) {
            continue;
        }
        const auto cell = [&](TColumn c) {
            return cellRect(r, c).adjusted(kTextMargin, 0, -kTextMargin, 0);
        };
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(cell(TColumn::Name), Qt::AlignVCenter | Qt::AlignLeft,
                         QString::fromStdString(nameText(row.number, row.name)));
        painter.drawText(cell(TColumn::Init), Qt::AlignVCenter | Qt::AlignRight,
                         QString::fromStdString(initText(row.initial)));
        QColor valueColour = palette().color(QPalette::Text);
        if (row.mode == TViewMode::Hexa) {
            valueColour = QColor::fromRgba(kHexaColour);
        } else if (row.mode == TViewMode::TwoBytes) {
            valueColour = QColor::fromRgba(kTwoBytesColour);
        }
        painter.setPen(valueColour);
        painter.drawText(cell(TColumn::Current), Qt::AlignVCenter | Qt::AlignRight,
                         QString::fromStdString(currentText(row.current, row.mode)));
    }
    painter.setPen(line);
    for (const TColumn c : {TColumn::Init, TColumn::Current}) {
        const int x = cellRect(0, c).left();
        painter.drawLine(x, 0, x, kRows * rowHeight());
    }
}

void TGrille::mousePressEvent(QMouseEvent* event) {
    int row = 0;
    TColumn column = TColumn::Name;
    const bool menu = event->button() == Qt::RightButton;
    if ((menu || event->button() == Qt::LeftButton) &&
        cellAt(event->position().toPoint(), row, column)) {
        emit cellPressed(row, column, event->globalPosition().toPoint(), menu);
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

} // namespace tamsel::terminal::variables
