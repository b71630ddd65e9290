#include "variables_header.h"

#include "variables_model.h"

#include <QPainter>
#include <QStyleOptionHeader>

namespace tamsel::terminal::variables {

namespace {
constexpr int kPadding = 8;
} // namespace

TVariablesHeader::TVariablesHeader(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize TVariablesHeader::sizeHint() const {
    return {QWidget::sizeHint().width(), fontMetrics().height() + kPadding};
}

void TVariablesHeader::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const std::array<int, 3> widths = columnWidths(width());
    const char* captions[] = {text::kHeaderName, text::kHeaderInit, text::kHeaderCurrent};
    int left = 0;
    for (std::size_t c = 0; c < widths.size(); ++c) {
        QStyleOptionHeader option;
        option.initFrom(this);
        option.rect = QRect(left, 0, widths[c], height());
        option.text = QString::fromLatin1(captions[c]);
        option.textAlignment = Qt::AlignCenter;
        style()->drawControl(QStyle::CE_Header, &option, &painter, this);
        left += widths[c];
    }
}

} // namespace tamsel::terminal::variables
