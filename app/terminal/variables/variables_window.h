// TDial_VAR: the "Variables" window (dialog 1850). It watches up to eight variables of one
// module of the project: the user picks the module, fills the rows from the module's
// variable names, and each row is read periodically through its own poll entry. Labels,
// initial values and the view of each value can be changed; the scan list and the labels
// are kept in the project.
#pragma once

#include "row_poll.h"
#include "variables_model.h"

#include <input_dialog.h>
#include <module_window_base.h>

#include <contract/records.h>
#include <contract/window_records.h>

#include <QTimer>

#include <array>
#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;

namespace tamsel::shell {
class TPrompter;
}

namespace tamsel::terminal::variables {

class TGrille;
class TVariablesHeader;

/// Control identifiers (the controls' object names) and numbers of the window.
namespace ids {
inline constexpr int kModuleList = 1851;
inline constexpr int kNameList = 1852;
inline constexpr int kStatus = 1856;
inline constexpr int kHeader = 1857;
inline constexpr int kHint = 1858;
inline constexpr int kEdit = 1859;
inline constexpr int kValueMenu = 18500;
inline constexpr int kNameMenu = 18501;
} // namespace ids
inline constexpr int kDialogId = 1850;
inline constexpr int kHelpContext = 1850;

class TDial_VAR final : public windows::TModuleWindowBase {
    Q_OBJECT
  public:
    /// Asks the user for a text: the label and the initial value boxes.
    using TInputAsker =
        std::function<widgets::TagInputResult(const widgets::TagInputRequest&, QWidget*)>;

    TDial_VAR(const windows::TWindowSetup& setup, shell::TPrompter& prompter,
              QWidget* parent = nullptr);
    ~TDial_VAR() override;

    void setInputAsker(TInputAsker asker) { m_askInput = std::move(asker); }
    void pollCompleted(int first, int kind) override;

    const TScanList& scanList() const { return m_list; }
    /// The variable names of the chosen module, variable 1 first.
    const QStringList& names() const { return m_names; }
    std::int32_t moduleAddress() const { return m_address; }
    /// The poll completions of the window's rows so far.
    int completions() const { return m_completions; }
    /// The hint shown now, 0 when none is.
    int shownHint() const { return m_hintShown; }

    /// The pop-up of a row's column as a right click opens it (menu 18500 or 18501), or
    /// null where there is none.
    std::unique_ptr<QMenu> rowMenu(int row, TColumn column);
    /// Drops the variable-name list over an unused row's name column.
    void dropNameList(int row);
    /// Adds variable @p number in the first unused row, or in @p at.
    TAddResult addVariable(int number, int at = -1);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void fillModules();
    void chooseModule(int index);
    void loadModule(int index);
    void storeModule();
    void withdrawAll();
    void watchAgain();
    bool findModuleFacts(std::int32_t position);

    void cellPressed(int row, TColumn column, const QPoint& global, bool menu);
    void nameChosen(int index);
    void removeRow(int row);
    void stepRow(int row, int direction);
    void newLabel(int row);
    void eraseLabels();
    void changeValue(int row);
    void setView(int row, TViewMode mode);

    void showHint(const THint& hint);
    void hideHint();
    void setStatus(const QString& text);
    void trace(const QString& text);
    void closeWindow();
    std::int32_t ask(std::uint16_t code, std::uint16_t hi, void* record);

    contract::TRequestSink* m_app;
    shell::TPrompter& m_prompter;
    TInputAsker m_askInput;

    // The records first: the entries below point at them and are withdrawn before them.
    std::array<contract::TagVariableValue, kRows> m_values{};
    std::array<contract::TagRequest, kRows> m_requests{};
    std::unique_ptr<windows::TPollSubscription> m_polls;
    std::array<std::unique_ptr<TRowPoll>, kRows> m_rowPolls;

    TScanList m_list;
    contract::TagList m_modules;
    QStringList m_names;
    int m_module = -1;
    std::int32_t m_position = -1;
    std::int32_t m_address = 0;
    std::int32_t m_typeCode = 0;
    bool m_labelsChanged = false;
    TViewMode m_mode = TViewMode::Decimal;
    int m_dropRow = -1;
    int m_hintShown = 0;
    int m_completions = 0;

    QComboBox* m_moduleList = nullptr;
    QLabel* m_status = nullptr;
    TVariablesHeader* m_header = nullptr;
    TGrille* m_grid = nullptr;
    QComboBox* m_nameList = nullptr;
    QLabel* m_hint = nullptr;
    QLineEdit* m_edit = nullptr;
    QTimer m_autoClose;
};

} // namespace tamsel::terminal::variables
