// TKV_EditStyle1: the single-line edit of the command terminal. It leaves the arrows and
// the right click to its window, and knows an overtype mode for fixed-width commands.
#pragma once

#include <QLineEdit>
#include <QPoint>
#include <QString>

class QProxyStyle;

namespace tamsel::terminal {

class TKV_EditStyle1 final : public QLineEdit {
    Q_OBJECT
  public:
    static constexpr const char* kLineCaret = "line_caret";
    static constexpr const char* kBlockCaret = "bloc_caret";

    explicit TKV_EditStyle1(int textLimit, QWidget* parent = nullptr);
    ~TKV_EditStyle1() override;

    /// Set: typed characters are inserted; clear: they overwrite.
    bool insertFlag() const { return m_insert; }
    void setInsertFlag(bool on);
    /// Set after a send: the next character typed at position 0 in overtype mode first
    /// erases the whole command.
    bool clearPending() const { return m_clearPending; }
    void setClearPending(bool on) { m_clearPending = on; }
    /// The caret in use, "bloc_caret" or "line_caret".
    QString caretName() const;
    /// Screen point of the last right click.
    QPoint lastRightClick() const { return m_rightClick; }

  signals:
    /// Up (-1) or Down (+1) pressed: the window walks its history.
    void historyStep(int direction);
    void insertToggled(bool insert);
    void rightClicked(const QPoint& screenPoint);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void makeCaret();

    bool m_insert = true;
    bool m_clearPending = false;
    QPoint m_rightClick;
    QProxyStyle* m_caretStyle = nullptr;
};

} // namespace tamsel::terminal
