// The monitoring panel of the modules whose status carries function and stage numbers: the
// position on a digit display, power, function and stage, inputs and outputs as lamps, a
// turning motor while the axis moves, and the error spinner while the module is silent.
#pragma once

#include "monitor_rules.h"

#include <module_window_base.h>

#include <contract/records.h>

#include <array>
#include <memory>

class QTimer;

namespace tamsel::widgets {
class TDigital;
} // namespace tamsel::widgets

namespace tamsel::windows::monitoring {

class TMotorAnimation;

/// Control identifiers (the controls' object names) and numbers of the panel.
namespace ids {
inline constexpr int kPower = 100;
inline constexpr int kPosition = 101;
inline constexpr int kFunction = 102;
inline constexpr int kStage = 103;
inline constexpr int kAnimation = 104;
/// Input 1; inputs 2 ... 8 follow.
inline constexpr int kFirstInput = 111;
/// Output 1; outputs 2 ... 8 follow.
inline constexpr int kFirstOutput = 121;
} // namespace ids
inline constexpr int kDialogId = 1600;
inline constexpr int kHelpContext = 1600;

class TDial_SUIV final : public TModuleWindowBase {
    Q_OBJECT
  public:
    explicit TDial_SUIV(const TWindowSetup& setup, QWidget* parent = nullptr);
    ~TDial_SUIV() override;

    void pollCompleted(int first, int kind) override;
    void shellCommand(int id) override;

    const TPollSubscription* polls() const { return m_polls.get(); }
    bool inErrorMode() const { return m_errorMode.active; }
    int redraws() const { return m_redraws; }
    /// How many times each display was repainted, for the tests of "only what changed".
    const TPanelChanges& lastChanges() const { return m_lastChanges; }
    int frame() const { return m_frame; }

  private:
    void identify();
    void startPolling();
    void redraw();
    void spin();

    contract::TRequestSink* m_app;
    // The records first: the subscription below points at them and goes before them.
    contract::TagStatus m_status;
    contract::TagRequest m_request;
    std::unique_ptr<TPollSubscription> m_polls;

    TPanelValues m_shown = neverShown();
    TPanelChanges m_lastChanges;
    TErrorMode m_errorMode;
    int m_frame = 0;
    int m_redraws = 0;

    widgets::TDigital* m_position = nullptr;
    widgets::TDigital* m_function = nullptr;
    widgets::TDigital* m_stage = nullptr;
    widgets::TDigital* m_power = nullptr;
    std::array<widgets::TDigital*, kLampCount> m_inputs{};
    std::array<widgets::TDigital*, kLampCount> m_outputs{};
    TMotorAnimation* m_animation = nullptr;
    QTimer* m_spinner = nullptr;
};

} // namespace tamsel::windows::monitoring
