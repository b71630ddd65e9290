// The specific modes window of one module: the function run at power-on, end-sensor
// detection, reversed inputs, the sliding distance and the automatic outputs. The modes are
// read once per refresh through the poll table (three reads in a row) and written with one
// write; a mode the module type does not offer is shown disabled.
#pragma once

#include "specific_modes_model.h"

#include <module_window_base.h>

#include <contract/records.h>

#include <array>
#include <memory>

class QAbstractButton;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tamsel::widgets {
class TArrowButtons;
class TStatusLight;
} // namespace tamsel::widgets

namespace tamsel::windows::specific_modes {

/// Control identifiers (the controls' object names) and numbers of the window.
namespace ids {
inline constexpr int kHeader = 100;
inline constexpr int kLight = 101;
inline constexpr int kRestore = 1252;
inline constexpr int kSetDefault = 1253;
inline constexpr int kApply = 1254;
inline constexpr int kFunction = 1255;
inline constexpr int kFunctionArrows = 1256;
inline constexpr int kSliding = 1257;
inline constexpr int kSlidingArrows = 1258;
inline constexpr int kSetPosition = 1259;
inline constexpr int kSetArrows = 1260;
inline constexpr int kResetPosition = 1261;
inline constexpr int kResetArrows = 1262;
inline constexpr int kPowerOn = 1263;
inline constexpr int kEndSensors = 1264;
inline constexpr int kReverse = 1265;
inline constexpr int kSlidingBox = 1266;
inline constexpr int kAutoOutput = 1267;
inline constexpr int kAbsolute = 1268;
inline constexpr int kRelative = 1269;
inline constexpr int kIncrease = 1270;
inline constexpr int kDecrease = 1271;
inline constexpr int kAll = 1272;
inline constexpr int kOnEach = 1273;
inline constexpr int kStored = 1274;
inline constexpr int kOutputS8 = 1275; ///< the outputs S8 down to S1: 1275 to 1282
} // namespace ids
inline constexpr int kDialogId = 1250;
inline constexpr int kHelpContext = 1250;
inline constexpr int kLightValid = 1;
inline constexpr int kLightPending = 2;
inline constexpr int kLightError = 3;

class TSpecificModesWindow final : public TModuleWindowBase {
    Q_OBJECT
  public:
    explicit TSpecificModesWindow(const TWindowSetup& setup, QWidget* parent = nullptr);
    ~TSpecificModesWindow() override;

    void pollCompleted(int first, int kind) override;
    void shellCommand(int id) override;
    void errorData(contract::TagErrorData& out) override;

    const TPollSubscription& polls() const { return *m_polls; }
    int lightState() const;
    /// Reads that completed, good or not.
    int completions() const { return m_completions; }
    /// Times the modes were shown from a read.
    int showings() const { return m_showings; }
    /// The completion whose record was shown last: equal to completions() once the last
    /// good read is on screen.
    int shownCompletion() const { return m_shownCompletion; }
    std::int32_t lastStatus() const { return m_request.status; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void build();
    void refresh(bool newTitle);
    void showOff();
    void showUnsupported();
    void showData();
    void showAutoOutput(bool on, std::uint32_t settings, std::int32_t set, std::int32_t reset);
    void setOutput(int index, OutputState state);
    void showFunction(bool on, std::int32_t number);
    void showSliding(bool on, std::int32_t distance);
    void apply();
    void step(int arrowsId, bool up);

    // The records first: the subscription below points at them and goes before them.
    contract::TagSpecificMode m_record;
    contract::TagRequest m_request;
    std::unique_ptr<TPollSubscription> m_polls;

    contract::TRequestSink* m_appSink = nullptr;
    contract::TagSpecificMode m_arrived; ///< copied while the poll thread waits
    bool m_reportArmed = false;
    bool m_failed = false;
    int m_completions = 0;
    int m_showings = 0;
    int m_arrivedCompletion = 0;
    int m_shownCompletion = 0;
    bool m_largeStep = false;

    QLabel* m_header = nullptr;
    widgets::TStatusLight* m_light = nullptr;
    QCheckBox* m_powerOn = nullptr;
    QLineEdit* m_function = nullptr;
    widgets::TArrowButtons* m_functionArrows = nullptr;
    QCheckBox* m_endSensors = nullptr;
    QCheckBox* m_reverse = nullptr;
    QCheckBox* m_slidingBox = nullptr;
    QLineEdit* m_sliding = nullptr;
    widgets::TArrowButtons* m_slidingArrows = nullptr;
    QCheckBox* m_autoOutput = nullptr;
    QRadioButton* m_absolute = nullptr;
    QRadioButton* m_relative = nullptr;
    QRadioButton* m_increase = nullptr;
    QRadioButton* m_decrease = nullptr;
    QRadioButton* m_all = nullptr;
    QCheckBox* m_onEach = nullptr;
    QCheckBox* m_stored = nullptr;
    std::array<QLabel*, kOutputs> m_outputs = {}; ///< [0] = S1
    QLineEdit* m_setPosition = nullptr;
    QLineEdit* m_resetPosition = nullptr;
    widgets::TArrowButtons* m_setArrows = nullptr;
    widgets::TArrowButtons* m_resetArrows = nullptr;
    QPushButton* m_apply = nullptr;
};

} // namespace tamsel::windows::specific_modes
