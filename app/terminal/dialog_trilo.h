// TDialogTRILO: the "Quick Command" window (dialog 1450). The user types one raw module
// command, sends it and reads the reply; history, glossary, the target's command menu and
// an address selector help him write it. Everything goes through the application's
// requests: the window never reaches the driver or the project itself.
#pragma once

#include "terminal_codes.h"

#include <app_request.h>
#include <contract/module_window.h>
#include <contract/records.h>
#include <tool_plugin_api.h>

#include <QComboBox>
#include <QPointer>
#include <QSize>
#include <QWidget>

#include <memory>

class QLabel;
class QMenu;
class QPushButton;
class QToolButton;

namespace tamsel::shell {
class TPrompter;
}

namespace tamsel::terminal {

class TFindDialog;
class TKV_EditStyle1;

/// Control 1451: a drop-down list that tells when its pop-up closes, chosen or not.
class TListBox final : public QComboBox {
    Q_OBJECT
  public:
    explicit TListBox(QWidget* parent = nullptr);
    void hidePopup() override;

  signals:
    /// After the pop-up closed: the row chosen, -1 when the user cancelled.
    void closed(int selection);

  private:
    int m_chosen = -1;
};

/// Control 1462: the up-down control beside the address. Like its model it reports a
/// delta that is -1 for the up arrow and +1 for the down arrow.
class TUpDown final : public QWidget {
    Q_OBJECT
  public:
    explicit TUpDown(QWidget* parent = nullptr);
    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

  signals:
    void deltaPos(int delta);

  protected:
    void wheelEvent(QWheelEvent* event) override;

  private:
    QToolButton* m_up = nullptr;
    QToolButton* m_down = nullptr;
};

class TDialogTRILO final : public QWidget, public contract::TModuleWindow {
    Q_OBJECT
  public:
    static constexpr const char* kCaption = " Dialog TRILO";
    static constexpr const char* kOvertypeTitle = "Overtype mode";
    static constexpr const char* kHistoryTitle = "history command list";
    static constexpr const char* kNotLocalized = "This tool is not localized";
    static constexpr const char* kNotLocalizedTitle = "contact QZ";

    TDialogTRILO(shell::TRequestSink& app, shell::TPrompter& prompter, QWidget* parent = nullptr);
    ~TDialogTRILO() override;

    // The controls, for the shell and for tests (each also carries its number as its name).
    TKV_EditStyle1* commandEdit() const { return m_command; }
    TKV_EditStyle1* replyEdit() const { return m_reply; }
    TListBox* list() const { return m_list; }
    QComboBox* targets() const { return m_targets; }
    QLabel* addressLabel() const { return m_addressLabel; }
    TUpDown* upDown() const { return m_upDown; }
    QPushButton* sendButton() const { return m_send; }
    QPushButton* historyButton() const { return m_historyButton; }
    QPushButton* glossaryButton() const { return m_glossaryButton; }
    /// Menu 102 and the target menu in its first entry (null before the first load).
    QMenu* commandPopup() const { return m_popup; }
    QMenu* targetMenu() const { return m_targetMenu; }
    QMenu* replyPopup() const { return m_replyPopup; }
    TFindDialog* findDialog() const { return m_find; }

    int address() const { return m_address; }
    int historyPosition() const { return m_history; }
    TListMode listMode() const { return m_listMode; }
    int freeTextMode() const { return m_freeText.mode; }
    bool targetChanged() const { return m_targetChanged; }
    QSize sizeHint() const override;

  public slots:
    /// "Send" or Enter in the command edit.
    void send();
    void openHistory();
    void openGlossary();
    /// A list closed with row @p selection chosen (-1: cancelled).
    void closeList(int selection);
    /// One step of the up-down control.
    void stepAddress(int delta);
    /// Up (-1) or Down (+1) in the command edit.
    void stepHistory(int direction);
    /// A quick-command menu item chosen.
    void chooseMenuItem(const QString& item);
    /// The pop-up of the command edit, at a screen point.
    void showCommandPopup(const QPoint& screenPoint);
    /// Orders of the shell: refresh (0x2001) and configuration changed (0x2006).
    void shellCommand(int id) override;
    /// The window keeps no poll entries: nothing completes for it.
    void pollCompleted(int first, int kind) override;

  private:
    void buildControls();
    void buildHelp();
    void buildMenus();
    void fillTargets();
    void targetSelected(int index);
    void loadTargetMenu();
    void insertChanged(bool insert);
    void setAddress(int address);
    void selectMarker(const QString& marker);
    int lastCommandCount();
    QString lastCommand(int i);
    void runTool(const QByteArray& name);
    void diagnostic(const QString& text);
    void askGeometry();

    shell::TRequestSink& m_app;
    shell::TPrompter& m_prompter;

    TKV_EditStyle1* m_command = nullptr;
    TKV_EditStyle1* m_reply = nullptr;
    TListBox* m_list = nullptr;
    QComboBox* m_targets = nullptr;
    QPushButton* m_send = nullptr;
    QPushButton* m_historyButton = nullptr;
    QPushButton* m_glossaryButton = nullptr;
    QLabel* m_addressLabel = nullptr;
    TUpDown* m_upDown = nullptr;
    QMenu* m_popup = nullptr;
    QMenu* m_targetMenu = nullptr;
    QAction* m_targetMenuPlace = nullptr;
    QMenu* m_replyPopup = nullptr;
    TFindDialog* m_find = nullptr;

    int m_address = 0;
    int m_history = 0;
    TListMode m_listMode = TListMode::None;
    int m_targetIndex = -1;
    bool m_targetChanged = true;
    contract::TagFreeText m_freeText;
    TagToolRequest m_tool{};
    QSize m_preferred;
};

} // namespace tamsel::terminal
