// The main MDI frame: menu bar, dockable tool bar with the device selector, status bar.
// The frame only shows; every command goes to the application.
#pragma once

#include "lock_keys.h"

#include <QHash>
#include <QList>
#include <QMainWindow>

class QAction;
class QComboBox;
class QLabel;
class QMdiArea;
class QMenu;
class QToolBar;

namespace tamsel::shell {

class TMainFrame final : public QMainWindow {
    Q_OBJECT
  public:
    explicit TMainFrame(QWidget* parent = nullptr);

    QMdiArea* mdiArea() const { return m_area; }
    QComboBox* deviceSelector() const { return m_selector; }
    QToolBar* toolBar() const { return m_toolBar; }
    QMenu* fileMenu() const { return m_fileMenu; }

    /// The action of a command identifier, or null.
    QAction* action(int id) const { return m_actions.value(id); }
    QList<int> commandIds() const { return m_actions.keys(); }

    /// Rebuilds the family group of the tool bar for a family mask.
    void setFamilyGroup(int mask);
    /// Command identifiers shown in the family group, left to right.
    QList<int> familyGroup() const;

    /// The message area (0x5556 traces) and the 13-character line field.
    void setMessage(const QString& text);
    QString message() const;
    void setLineStatus(const QString& text);
    QString lineStatus() const;
    void setOvertype(bool on);
    /// The Caps Lock and Num Lock indicators beside the overtype one.
    void setLockKeys(const TLockKeys& keys);

    /// Shows the recent-files entries in the File menu, before "E&xit".
    void setRecentFiles(const QStringList& paths);

    /// Puts the menus of the active child into the menu bar (an empty list restores the
    /// frame's own menu).
    void mergeMenus(const QList<QMenu*>& menus);

  signals:
    void command(int id);
    void recentChosen(const QString& path);
    /// Asked before the frame closes; the handler sets @p agree.
    void closeQuery(bool& agree);
    void aboutToUpdate();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    QAction* addCommand(QMenu* menu, int id, const QString& text);
    QAction* makeCommand(int id, const QString& text);
    void addGap(int pixels);

    QMdiArea* m_area = nullptr;
    QComboBox* m_selector = nullptr;
    QToolBar* m_toolBar = nullptr;
    QMenu* m_fileMenu = nullptr;
    QAction* m_exitAction = nullptr;
    QAction* m_recentSeparator = nullptr;
    QList<QAction*> m_recentActions;
    QAction* m_familyEnd = nullptr;
    QList<QAction*> m_familyActions;
    QList<QAction*> m_frameMenus;
    QList<QAction*> m_mergedMenus;
    QAction* m_windowMenuAction = nullptr;
    QLabel* m_message = nullptr;
    QLabel* m_line = nullptr;
    QLabel* m_caps = nullptr;
    QLabel* m_num = nullptr;
    QLabel* m_overtype = nullptr;
    QHash<int, QAction*> m_actions;
};

} // namespace tamsel::shell
