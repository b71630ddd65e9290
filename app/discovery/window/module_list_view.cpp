#include "module_list_view.h"

#include "config_codes.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>

namespace tamsel::discovery {

namespace {

QColor colourOf(const Rgb& rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

// The highlighted row is drawn as selected, over whatever its state would fill it with.
const QColor kHighlight(0, 84, 166);
const QColor kHighlightText(255, 255, 255);

} // namespace

TModuleListView::TModuleListView(QWidget* parent) : QTableWidget(parent) {
    setObjectName(QString::number(ctl::kModuleList));
    setColumnCount(kListColumns);
    QStringList headers;
    for (const char* h : kListHeaders) {
        headers << QString::fromLatin1(h);
    }
    setHorizontalHeaderLabels(headers);
    verticalHeader()->hide();
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const QFontMetrics metrics(font());
    const int average = metrics.averageCharWidth();
    int width = 0;
    for (int c = 0; c < kListColumns; ++c) {
        // A little more than the average characters, so that the texts are not cut.
        const int w = (kListColumnWidths[static_cast<std::size_t>(c)] + 2) * average;
        setColumnWidth(c, w);
        width += w;
    }
    horizontalHeader()->setStretchLastSection(true);
    const int rowHeight = metrics.height() + 6;
    verticalHeader()->setDefaultSectionSize(rowHeight);
    setMinimumWidth(width + verticalScrollBar()->sizeHint().width() + 2 * frameWidth());
    setMinimumHeight(kVisibleRows * rowHeight + horizontalHeader()->sizeHint().height() +
                     2 * frameWidth());
}

void TModuleListView::refresh(const ModuleTable& table, const WorkingListNames& lists) {
    const int rows = table.liveCount();
    setRowCount(rows);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < kListColumns; ++c) {
            const ListCell cell = listCell(table, lists, r, c);
            auto* item = new QTableWidgetItem(QString::fromStdString(cell.text));
            if (cell.highlighted) {
                item->setBackground(kHighlight);
                item->setForeground(kHighlightText);
            } else {
                item->setForeground(colourOf(cell.textColour));
                if (const auto fill = rowBackground(cell.rowState)) {
                    item->setBackground(colourOf(*fill));
                }
            }
            setItem(r, c, item);
        }
    }
    // The list's widths are its narrowest: a name wider than the average characters still
    // shows whole.
    const QFontMetrics metrics(font());
    for (int c = 0; c < kListColumns - 1; ++c) {
        const int least =
            (kListColumnWidths[static_cast<std::size_t>(c)] + 2) * metrics.averageCharWidth();
        setColumnWidth(c, std::max(least, sizeHintForColumn(c)));
    }
    scrollToTop();
}

void TModuleListView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        const QModelIndex index = indexAt(event->position().toPoint());
        const int row = index.isValid() ? index.row() : rowCount();
        emit rightClicked(row, event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QTableWidget::mousePressEvent(event);
}

} // namespace tamsel::discovery
