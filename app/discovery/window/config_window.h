// TDial_DES, "Configuration and Communication auto-setting" (dialog 1050): finds the modules
// of the line with the scan engine on a worker thread, lists them in the module table, and
// writes the configuration into the project on Accept. The rules live in the discovery model;
// this window moves values between the model and its controls, and sends the requests.
#pragma once

#include "config_codes.h"
#include "scan_worker.h"

#include <contract/module_window.h>
#include <contract/request_sink.h>
#include <discovery/localize_run.h>
#include <discovery/module_menu.h>
#include <discovery/module_table.h>
#include <discovery/scan_results.h>
#include <input_dialog.h>

#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;

namespace tamsel::shell {
class TPrompter;
struct TBox;
enum class TBoxAnswer;
} // namespace tamsel::shell

namespace tamsel::discovery {

class TModuleListView;
class TRequestCatalogue;

/// One working list: the names of a drop-down, the entry in use and the last configuration's.
struct TWorkingList {
    QStringList names;
    int current = 0;
    int remembered = 0;
    QString currentName() const;
};

class TDial_DES final : public QWidget, public contract::TModuleWindow {
    Q_OBJECT
  public:
    static constexpr const char* kCaption = "Configuration";
    using TInputAsker =
        std::function<widgets::TagInputResult(const widgets::TagInputRequest&, QWidget*)>;
    /// Shows a pop-up menu at a screen position and gives the item chosen, or null.
    using TMenuChooser = std::function<QAction*(QMenu&, const QPoint&)>;

    TDial_DES(contract::TRequestSink& app, shell::TPrompter& prompter, QWidget* parent = nullptr);
    ~TDial_DES() override;

    void pollCompleted(int, int) override {}
    void shellCommand(int id) override;

    void setInputAsker(TInputAsker asker) { m_askInput = std::move(asker); }
    void setMenuChooser(TMenuChooser chooser) { m_chooseMenu = std::move(chooser); }

    /// "&Start Scanning" / "&Stop Scanning" (control 1052), also the command 1052.
    void startOrStop();
    /// "Accept" (control 1).
    void accept();
    /// A right click on a row of the module list.
    void rowRightClick(int row, const QPoint& global);

    /// A scan runs, or its results are still being listed, or Automatic 01-63 is to follow.
    bool scanning() const;
    const ModuleTable& table() const { return m_table; }
    int32_t displayState() const { return m_display; }
    /// The display state is applied at the next idle pass.
    bool displayPending() const { return m_displayPending; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    // Building and opening.
    void buildControls();
    void loadConfiguration();
    void fillDropDowns();
    void fillSearchControls();
    void applySearchTarget();
    void modeChosen();
    void rebuildWorkingLists();
    /// The protocols and baud rates the drop-downs show, from their selection; the last
    /// configuration stays what it was.
    void takeShownLineLists();
    QString lastConfigurationText() const;

    // The idle handler and the display states.
    void idle();
    /// Starts the idle handler again when something is left for it to do.
    void wakeIdle();
    void finishScan();
    void showNextFound();
    void localizeStep();
    void applyDisplay(int32_t state);
    void setDisplay(int32_t state);
    void showGauge();
    void showCount();
    void setMessage(const QString& text, bool alert = false);

    // Scans.
    void startScan(ScanMode mode);
    ScanMode chosenMode();
    ScanJob jobFor(ScanMode mode);
    void apply(const ScanOutcome& outcome);
    void selectLine(const LineIndexes& line);
    void restoreRemembered();
    void selectByText(QComboBox* box, const std::string& text);

    // Accept and closing.
    bool closeCheck();

    // The pop-up menus.
    void runMenuItem(int id, const QPoint& global);
    void changeConfiguration(ConfigChange change);
    std::string directExchange(const std::string& target, const std::string& text);
    void refreshList();

    // Requests.
    void request(std::uint16_t code, void* record, std::uint16_t hi = 0);
    void trace(const std::string& text);
    void fillList(QComboBox* box, std::uint16_t code, const QString& target = {},
                  const QString& protocol = {});
    void help(int32_t context);
    shell::TBox box(const ResultBox& result) const;
    /// Asks the box; one with a help context gets a Help button that opens help there.
    shell::TBoxAnswer ask(shell::TBox b);

    contract::TRequestSink& m_app;
    shell::TPrompter& m_prompter;
    std::unique_ptr<TRequestCatalogue> m_catalogue;
    ModuleTable m_table;
    ScanResults m_results;
    ModuleMenus m_menus;
    LocalizeRun m_localize;
    ScanTable m_scan;
    TWorkingList m_ports;
    TWorkingList m_targets;
    TWorkingList m_protocols;
    TWorkingList m_bauds;
    std::vector<LabelItem> m_labels;
    ScanMode m_mode = ScanMode::AutomaticZero;
    int m_lastAutomaticPort = -1;
    bool m_module00Found = false;
    bool m_listPending = false;
    bool m_restPending = false;
    bool m_closeChecked = false;
    int32_t m_display = display::kNone;
    bool m_displayPending = false;
    QString m_gaugeCaption;
    TInputAsker m_askInput;
    TMenuChooser m_chooseMenu;

    QButtonGroup* m_modes = nullptr;
    QRadioButton* m_automatic = nullptr;
    QRadioButton* m_checking = nullptr;
    QRadioButton* m_search = nullptr;
    QRadioButton* m_fullDebug = nullptr;
    QComboBox* m_port = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_accept = nullptr;
    QPushButton* m_help = nullptr;
    QLabel* m_count = nullptr;
    QComboBox* m_searchTarget = nullptr;
    QCheckBox* m_withBaud = nullptr;
    QComboBox* m_searchBaud = nullptr;
    QCheckBox* m_onlyXon = nullptr;
    QComboBox* m_protocol = nullptr;
    QComboBox* m_target = nullptr;
    QComboBox* m_baud = nullptr;
    QComboBox* m_labelBox = nullptr;
    QLabel* m_lastConfiguration = nullptr;
    QLabel* m_gaugeText = nullptr;
    QLabel* m_remaining = nullptr;
    QLabel* m_message = nullptr;
    QProgressBar* m_gauge = nullptr;
    TModuleListView* m_list = nullptr;
    QTimer* m_idle = nullptr;

    // Declared last: the worker goes first, and its thread with it, before anything it reads.
    std::unique_ptr<TScanWorker> m_worker;
};

} // namespace tamsel::discovery
