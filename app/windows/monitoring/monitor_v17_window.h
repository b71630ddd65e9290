// The monitoring panel of the VRX17 family and its kin: position, execute value, the 32-bit
// status word, inputs and outputs as lamp rows, power and error lights, two module variables
// the user chooses with their view menu, and three writes: position to 0, set a variable,
// toggle an output.
#pragma once

#include "monitor_rules.h"

#include <module_window_base.h>

#include <contract/records.h>

#include <array>
#include <memory>
#include <optional>
#include <string>

class QComboBox;
class QPushButton;

namespace tamsel::widgets {
class TKVDisplayDigits;
class TKVStaticSuivi;
class TStatusLight;
} // namespace tamsel::widgets

namespace tamsel::windows::monitoring {

namespace v17ids {
inline constexpr int kExecute = 100;
inline constexpr int kPosition = 101;
inline constexpr int kValue1 = 102;
inline constexpr int kValue2 = 103;
inline constexpr int kRaz = 107;
inline constexpr int kPowerLight = 108;
inline constexpr int kInputs = 110;
inline constexpr int kOutputs = 111;
inline constexpr int kErrorLight = 119;
inline constexpr int kName1 = 105;
inline constexpr int kName2 = 106;
inline constexpr int kStatusWord = 306;
} // namespace v17ids
inline constexpr int kV17DialogId = 17600;
inline constexpr int kV17HelpContext = 17600;
inline constexpr int kVariables = 2;

class TDial_SUIVV17 final : public TModuleWindowBase {
    Q_OBJECT
  public:
    explicit TDial_SUIVV17(const TWindowSetup& setup, QWidget* parent = nullptr);
    ~TDial_SUIVV17() override;

    void pollCompleted(int first, int kind) override;
    void shellCommand(int id) override;

    const TPollSubscription* polls() const { return m_polls.get(); }
    int redraws() const { return m_redraws; }
    bool writePending() const { return m_writePending; }
    /// The name the polls ask for in variable slot @p which (0 or 1).
    std::string askedVariable(int which) const;
    /// What the view menu's item does on the display of variable @p which.
    void viewItemChosen(int which, TViewItem item);
    /// Opens the value dialog for variable @p which and makes its write pending on OK.
    void inputValue(int which);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void build();
    void identify();
    void fillVariables();
    void startPolling();
    void redraw();
    void nameChosen(int which, int index);
    void viewMenu(int which, const QPoint& at);
    void makePending(const contract::TagVariable& write);
    void sendPendingWrite();

    contract::TRequestSink* m_app;
    // The records first: the subscription below points at them and goes before them.
    contract::TagStatus m_status;
    contract::TagRequest m_request;
    contract::TagVariable m_variable;
    contract::TagRequest m_write;
    std::unique_ptr<TPollSubscription> m_polls;

    bool m_writePending = false;
    /// Names chosen since the last poll: the poll thread reads the record's names while it
    /// asks, so they go in when it waits for the window.
    std::array<std::optional<std::string>, kVariables> m_pendingNames;
    std::array<std::string, kVariables> m_askedNames{kNoVariable, kNoVariable};
    int m_redraws = 0;

    widgets::TKVDisplayDigits* m_position = nullptr;
    widgets::TKVDisplayDigits* m_execute = nullptr;
    std::array<QComboBox*, kVariables> m_names{};
    std::array<widgets::TKVDisplayDigits*, kVariables> m_values{};
    widgets::TKVStaticSuivi* m_statusWord = nullptr;
    widgets::TKVStaticSuivi* m_inputs = nullptr;
    widgets::TKVStaticSuivi* m_outputs = nullptr;
    widgets::TStatusLight* m_powerLight = nullptr;
    widgets::TStatusLight* m_errorLight = nullptr;
    QPushButton* m_raz = nullptr;
};

} // namespace tamsel::windows::monitoring
