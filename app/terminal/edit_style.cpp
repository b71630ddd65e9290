#include "edit_style.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QProxyStyle>

namespace tamsel::terminal {

namespace {

// The edit's caret is the text cursor of its style; a style of its own gives it the
// width of a character cell (the block) or the usual thin line.
class TCaretStyle final : public QProxyStyle {
  public:
    int width = 1;
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_TextCursorWidth) {
            return width;
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

} // namespace

TKV_EditStyle1::TKV_EditStyle1(int textLimit, QWidget* parent) : QLineEdit(parent) {
    setMaxLength(textLimit);
    m_caretStyle = new TCaretStyle;
    setStyle(m_caretStyle);
    makeCaret();
}

TKV_EditStyle1::~TKV_EditStyle1() {
    delete m_caretStyle;
}

void TKV_EditStyle1::setInsertFlag(bool on) {
    if (on != m_insert) {
        m_insert = on;
        makeCaret();
    }
}

QString TKV_EditStyle1::caretName() const {
    return QString::fromLatin1(m_insert ? kBlockCaret : kLineCaret);
}

void TKV_EditStyle1::makeCaret() {
    auto* style = static_cast<TCaretStyle*>(m_caretStyle);
    style->width = m_insert ? fontMetrics().horizontalAdvance(QLatin1Char('M')) : 2;
    update();
}

void TKV_EditStyle1::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Up:
        emit historyStep(-1);
        event->accept();
        return;
    case Qt::Key_Down:
        emit historyStep(+1);
        event->accept();
        return;
    case Qt::Key_Insert:
        if (event->modifiers() == Qt::NoModifier) {
            m_insert = !m_insert;
            makeCaret();
            emit insertToggled(m_insert);
            event->accept();
            return;
        }
        break;
    default:
        break;
    }
    const bool printable = !event->text().isEmpty() && event->text().at(0).isPrint();
    if (!m_insert && printable && !(event->modifiers() & Qt::ControlModifier)) {
        if (m_clearPending && cursorPosition() == 0) {
            clear();
            m_clearPending = false;
        }
        const int at = cursorPosition();
        if (!hasSelectedText() && at < maxLength() && at < text().size()) {
            setSelection(at, 1);
        }
    }
    QLineEdit::keyPressEvent(event);
}

void TKV_EditStyle1::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        m_rightClick = event->globalPosition().toPoint();
        emit rightClicked(m_rightClick);
        event->accept();
        return;
    }
    QLineEdit::mousePressEvent(event);
}

void TKV_EditStyle1::contextMenuEvent(QContextMenuEvent* event) {
    // The window shows its own pop-up on the right click; the edit's standard one would
    // come up over it. The menu key asks for the same pop-up at the caret.
    if (event->reason() != QContextMenuEvent::Mouse) {
        m_rightClick = event->globalPos();
        emit rightClicked(m_rightClick);
    }
    event->accept();
}

} // namespace tamsel::terminal
