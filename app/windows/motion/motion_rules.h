// The rules of the direct motion window, as plain functions: which command a control sends
// and with which argument, how the target fields follow the axis, what the status turns the
// buttons into, and how the output states cycle.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace tamsel::windows::motion {

/// Indexes of the coded-command request that the window sends.
namespace coded {
inline constexpr std::int32_t kReset = 1;
inline constexpr std::int32_t kPowerOff = 2;
inline constexpr std::int32_t kPowerOn = 3;
inline constexpr std::int32_t kQuickStop = 4;
inline constexpr std::int32_t kDecelStop = 5;
inline constexpr std::int32_t kStartFunction = 6;
inline constexpr std::int32_t kMoveAbsolute = 7;
inline constexpr std::int32_t kRunAtSpeed = 8;
inline constexpr std::int32_t kClearPosition = 9;
inline constexpr std::int32_t kOutputs = 10;
inline constexpr std::int32_t kSpeedLimit = 12;
} // namespace coded

/// How a motion is given.
enum class TMotionMode { None = 0, Defined = 1, Continuous = 2 };

/// The module type's speed mode (catalogue strategy 8).
inline constexpr std::int32_t kSpeedModeWh = 1;
inline constexpr std::int32_t kSpeedModeLimited = 2;
/// The module type's output mode (catalogue strategy 6) that lets an output stay as it is.
inline constexpr std::int32_t kOutputModeThreeState = 2;
/// Catalogue strategies the window looks up.
inline constexpr std::int32_t kStrategyOutputMode = 6;
inline constexpr std::int32_t kStrategySpeedMode = 8;

/// One command for the coded-command request.
struct TCommand {
    std::int32_t index = 0;
    std::string argument;
    bool operator==(const TCommand&) const = default;
};

/// The number a field's text holds, read as "%d" reads it; none when it holds no number.
std::optional<std::int32_t> numberIn(const std::string& text);

// ---- texts of the speed and function fields --------------------------------------------

inline constexpr const char* kRunForward = "+ Wh";
inline constexpr const char* kRunBackward = "- Wh";
inline constexpr std::int32_t kFirstFunction = 1;
inline constexpr std::int32_t kLastFunction = 100;
/// The step of an arrow clicked with the secondary button held.
inline constexpr std::int32_t kLargeStepFactor = 100;

/// What the speed field shows once the window is enabled: "+limit" or "+ Wh".
std::string initialSpeedText(std::int32_t speedMode, std::int32_t speedLimit);
/// "%d" below 1, "+%d" from 1 on.
std::string speedText(std::int32_t speed);
/// The speed field after an arrow click of @p step: a limited speed moves and stays within
/// the limit; "+ Wh" and "- Wh" swap.
std::string steppedSpeed(const std::string& text, std::int32_t step, std::int32_t speedMode,
                         std::int32_t speedLimit);
/// The function number after an arrow click, within 1-100.
std::int32_t steppedFunction(std::int32_t number, std::int32_t step);
/// "%03d".
std::string functionText(std::int32_t number);

// ---- commands ---------------------------------------------------------------------------

/// "&Motion Apply": to the position in defined mode, at the speed in continuous mode. A
/// field that holds no number (or no "+ Wh" / "- Wh") sends nothing.
std::optional<TCommand> motionApply(TMotionMode mode, const std::string& positionText,
                                    const std::string& speedText);

/// What "&Start" does: stop the module while it runs a motion, else start the function.
struct TStartAction {
    std::optional<TCommand> command;
    /// A limited-speed module runs its function in defined mode.
    bool switchToDefined = false;
};
TStartAction startButton(bool showsStop, std::int32_t speedMode, const std::string& functionText);

// ---- outputs ----------------------------------------------------------------------------

enum class TOutputState { Off, On, Unchanged };
inline constexpr int kOutputCount = 8;
/// The output states in the order S8 ... S1.
using TOutputs = std::array<TOutputState, kOutputCount>;

/// A click on an output: "OFF" -> "ON" -> ("XX" with three-state outputs) -> "OFF".
TOutputState nextOutputState(TOutputState state, std::int32_t outputMode);
/// "OFF", "ON" or "XX".
const char* outputText(TOutputState state);
/// The background of the state, 0xRRGGBB.
std::uint32_t outputColour(TOutputState state);
/// The argument of the outputs command: "F", "O" or "X" per output, S8 first.
std::string outputLetters(const TOutputs& outputs);

// ---- the target fields ------------------------------------------------------------------

/// The distance and position fields: the target is the distance from where the axis stands.
struct TTargets {
    std::int32_t current = 0;  ///< the position of the last status
    std::int32_t distance = 0; ///< relative
    std::int32_t position = 0; ///< absolute target
    /// After a motion has ended, the next arrow click re-bases distance and position.
    bool linkPending = false;
    bool operator==(const TTargets&) const = default;
};
void stepDistance(TTargets& t, std::int32_t step);
void stepPosition(TTargets& t, std::int32_t step);
/// Leaving the distance field: the target follows the typed distance.
void distanceEdited(TTargets& t, std::int32_t distance);
/// Leaving the position field: the distance follows the typed target.
void positionEdited(TTargets& t, std::int32_t position);
/// "&Home" checked or cleared; returns whether the box stays checked (at position 0 there is
/// nowhere to go and the box clears itself).
bool homeToggled(TTargets& t, bool checked);

// ---- what the status does to the controls -----------------------------------------------

/// How the window follows the motion flag.
enum class TTracking { Unknown = 0, JustStopped = 1, JustStarted = 2, Steady = 3 };
struct TMotionWatch {
    TTracking state = TTracking::Unknown;
    bool lastMoving = false;
};
/// What a new motion flag means for the controls.
enum class TMotionChange { None, Started, Stopped };
TMotionChange followMotion(TMotionWatch& watch, bool moving);

/// Which of the power buttons can be pressed.
struct TPowerButtons {
    bool onEnabled = false;
    bool offEnabled = false;
    bool operator==(const TPowerButtons&) const = default;
};
TPowerButtons powerButtons(std::uint8_t power);

/// The controls a motion mode enables.
struct TModeControls {
    bool applyVisible = false;
    bool applyEnabled = false;
    bool targetsEnabled = false; ///< distance, position, their arrows and "&Home"
    bool speedEnabled = false;   ///< speed and its arrows
    bool operator==(const TModeControls&) const = default;
};
TModeControls modeControls(TMotionMode mode);

/// The controls a start or a stop of the motion changes.
struct TMotionControls {
    bool applyEnabled = false;
    bool showsStop = false; ///< "&Start" reads "&Stop"
    bool functionEnabled = false;
    bool homeEnabled = false;
    bool clearPositionEnabled = false;
    bool operator==(const TMotionControls&) const = default;
};
TMotionControls motionControls(TMotionChange change, TMotionMode mode);

} // namespace tamsel::windows::motion
