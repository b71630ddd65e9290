// The direct motion window: drives one module by hand (stops, power, position, moves, a
// stored function, the eight outputs) while it polls the module's status and follows it in
// its buttons and target fields.
#pragma once

#include "immediate_commands.h"
#include "motion_rules.h"

#include <module_window_base.h>

#include <contract/records.h>

#include <QPointer>

#include <array>
#include <memory>

class QAbstractButton;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tamsel::widgets {
class TArrowButtons;
class TNumericField;
class TStatusLight;
} // namespace tamsel::widgets

namespace tamsel::windows::motion {

/// Control identifiers (the controls' object names) and numbers of the window.
namespace ids {
inline constexpr int kHeader = 100;
inline constexpr int kLight = 101;
inline constexpr int kReset = 1397;
inline constexpr int kQuickStop = 1398;
inline constexpr int kDecelStop = 1399;
inline constexpr int kPowerOn = 1400;
inline constexpr int kPowerOff = 1401;
inline constexpr int kClearPosition = 1410;
inline constexpr int kDefined = 1411;
inline constexpr int kContinuous = 1412;
inline constexpr int kDistance = 1388;
inline constexpr int kDistanceArrows = 1392;
inline constexpr int kPosition = 1389;
inline constexpr int kPositionArrows = 1393;
inline constexpr int kHome = 1402;
inline constexpr int kSpeed = 1390;
inline constexpr int kSpeedArrows = 1394;
inline constexpr int kApply = 1403;
/// Output S8; S7 ... S1 follow.
inline constexpr int kFirstOutput = 1358;
inline constexpr int kOutputsApply = 1404;
inline constexpr int kFunction = 1391;
inline constexpr int kFunctionArrows = 1395;
inline constexpr int kStart = 1405;
} // namespace ids
inline constexpr int kDialogId = 1350;
inline constexpr int kHelpContext = 1350;
/// States of the status light.
inline constexpr int kLightValid = 1;
inline constexpr int kLightPending = 2;
inline constexpr int kLightError = 3;

class TDial_MOT final : public TModuleWindowBase {
    Q_OBJECT
  public:
    explicit TDial_MOT(const TWindowSetup& setup, QWidget* parent = nullptr);
    ~TDial_MOT() override;

    void pollCompleted(int first, int kind) override;
    void shellCommand(int id) override;

    /// The subscription while polling runs; null after a failed poll until a refresh.
    const TPollSubscription* polls() const { return m_polls.get(); }
    TMotionMode motionMode() const { return m_mode; }
    std::int32_t speedMode() const { return m_speedMode; }
    std::int32_t outputMode() const { return m_outputMode; }
    std::int32_t speedLimit() const { return m_speedLimit; }
    int statusCount() const { return m_statusCount; }

    /// Queries the module again and restarts polling (the header click, 0x2006).
    void refresh();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void build();
    QPushButton* addCommandButton(int id, TImmediate which);
    void scheduleIdle();
    void idle();
    void enableControls();
    void disableAfterError();
    void applyStatus();
    void applyMode(TMotionMode mode);
    void modeClicked(TMotionMode mode);
    void startPolling();

    void immediateClicked(QPushButton* button, TImmediate which);
    /// Sends one coded command; a failure lights the error light and opens the report.
    bool sendCommand(const TCommand& command, QAbstractButton* shownOn = nullptr);
    void motionApplyClicked();
    void startClicked();
    void outputsApplyClicked();
    void outputClicked(int index);
    void homeToggled(bool checked);
    void arrowStepped(int id, int delta);
    void distanceLeft();
    void positionLeft();
    void functionLeft();
    void showTargets();
    void setTargetsEnabled(bool enabled);
    void setSpeedEnabled(bool enabled);
    void showOutput(int index);
    std::int32_t strategy(std::int32_t which);

    contract::TRequestSink* m_app;
    TCodedCommands m_commands;

    // The records first: the subscription below points at them and goes before them.
    contract::TagStatus m_status;
    contract::TagRequest m_request;
    std::unique_ptr<TPollSubscription> m_polls;

    contract::TagStatus m_seen; ///< the status of the last good poll
    TTargets m_targets;
    TMotionWatch m_watch;
    TMotionMode m_mode = TMotionMode::Defined;
    TOutputs m_outputs{};
    std::int32_t m_outputMode = 0;
    std::int32_t m_speedMode = 0;
    std::int32_t m_speedLimit = 0;
    bool m_refreshRequested = false;
    bool m_enableRequested = false;
    bool m_statusArrived = false;
    bool m_errorReset = false;
    bool m_idleQueued = false;
    int m_statusCount = 0;

    QLabel* m_header = nullptr;
    widgets::TStatusLight* m_light = nullptr;
    std::array<QPushButton*, kImmediates.size()> m_immediate{};
    QCheckBox* m_defined = nullptr;
    QCheckBox* m_continuous = nullptr;
    widgets::TNumericField* m_distance = nullptr;
    widgets::TArrowButtons* m_distanceArrows = nullptr;
    widgets::TNumericField* m_position = nullptr;
    widgets::TArrowButtons* m_positionArrows = nullptr;
    QCheckBox* m_home = nullptr;
    QLineEdit* m_speed = nullptr;
    widgets::TArrowButtons* m_speedArrows = nullptr;
    QPushButton* m_apply = nullptr;
    std::array<QLabel*, kOutputCount> m_outputLabels{};
    QPushButton* m_outputsApply = nullptr;
    widgets::TNumericField* m_function = nullptr;
    widgets::TArrowButtons* m_functionArrows = nullptr;
    QPushButton* m_start = nullptr;
};

} // namespace tamsel::windows::motion
