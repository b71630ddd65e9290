// Context help: the help mode of command 7201 (the next left click inside the MDI area
// shows the help topic of the control clicked, a right click leaves the mode) and the help
// requests (0x6000) of the windows.
#pragma once

#include "app_request.h"

#include <QObject>

class QAction;
class QMdiArea;
class QWidget;

namespace tamsel::shell {

class THelp;
class TPrompter;

class THelpMode final : public QObject {
    Q_OBJECT
  public:
    /// @p owner parents the help windows and boxes; @p toggle shows the mode as checked.
    THelpMode(THelp& help, TPrompter& prompter, QWidget& owner, QMdiArea& area);
    ~THelpMode() override;

    void setToggle(QAction* toggle) { m_toggle = toggle; }
    void enter(bool on);
    bool active() const { return m_active; }
    /// Request 0x6000.
    void request(const TagHelpInfo& info);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    THelp& m_help;
    TPrompter& m_prompter;
    QWidget& m_owner;
    QMdiArea& m_area;
    QAction* m_toggle = nullptr;
    bool m_active = false;
};

} // namespace tamsel::shell
