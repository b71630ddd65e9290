// The edit view of a command file with the terminal layer's menus: "&Search" and
// "Se&nd" beside the shell's "&Edit". The send commands hand the view to the sender.
#pragma once

#include "file_sender.h"

#include <command_docs.h>

#include <QPointer>

class QAction;
class QMenu;

namespace tamsel::terminal {

class TFindDialog;

class TCommandEditView final : public shell::TCommandFileView {
    Q_OBJECT
  public:
    explicit TCommandEditView(TCommandFileSender& sender, QWidget* parent = nullptr);

    QList<QMenu*> mergedMenus() override;
    bool runCommand(int id) override;
    bool canRun(int id) const override;

    QMenu* searchMenu() const { return m_searchMenu; }
    QMenu* sendMenu() const { return m_sendMenu; }
    /// The send command 1502, 1503 or 1504.
    QAction* sendAction(int id) const;
    TFindDialog* findDialog() const { return m_find; }

  private:
    void updateSendActions();

    QPointer<TCommandFileSender> m_sender;
    QMenu* m_searchMenu = nullptr;
    QMenu* m_sendMenu = nullptr;
    TFindDialog* m_find = nullptr;
};

} // namespace tamsel::terminal
