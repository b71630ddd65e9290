// The rules of the monitoring panels, as plain functions: what each display shows of the
// status record, what a failed read shows instead, what changed since the last redraw (only
// that is repainted), how the motor animation turns, and the variable choices and writes of
// the VRX17 panel.
#pragma once

#include <contract/records.h>

#include <cstdint>
#include <optional>
#include <string>

namespace tamsel::windows::monitoring {

/// The shell's order to query the module again.
inline constexpr int kUpdateCommand = 0x2006;
/// The period of the error spinner and of nothing else.
inline constexpr int kSpinnerPeriodMs = 300;
inline constexpr int kAnimationFrames = 12;
inline constexpr int kLampCount = 8;
/// What a failed read shows on the lamp rows: every lamp lit.
inline constexpr std::int32_t kAllLamps = 0xFF;

/// " 0N" or "0FF" on the three-cell power display.
std::string powerText(std::uint8_t power);
/// "#" for a set bit, "*" for a clear one; lamp n (1-based) shows bit n - 1.
char lampCharacter(std::int32_t value, int lamp);
/// The next frame of the turning motor: forward when the position grew, back when it fell.
int nextFrame(int frame, std::int32_t previousPosition, std::int32_t position);

/// What the panel shows of one status.
struct TPanelValues {
    std::int32_t position = 0;
    std::int32_t function = 0;
    std::int32_t stage = 0;
    std::int32_t power = 0;  ///< 1 = on
    std::int32_t moving = 0; ///< 1 = a motion or function runs
    std::int32_t inputs = 0;
    std::int32_t outputs = 0;
    bool operator==(const TPanelValues&) const = default;
};
/// The values of @p status; after a failed read, no function, no power, no motion and every
/// lamp lit, the position kept as it was.
TPanelValues panelValues(const contract::TagStatus& status, bool failed, std::int32_t lastPosition);
/// Values that differ from every real status in every field, so that the first redraw paints
/// every display.
TPanelValues neverShown();

/// The displays a redraw repaints.
struct TPanelChanges {
    bool position = false;
    bool function = false;
    bool stage = false;
    std::int32_t power = 0;  ///< 1 = on
    std::int32_t moving = 0; ///< 1 = a motion or function runs
    bool inputs = false;
    bool outputs = false;
    bool operator==(const TPanelChanges&) const = default;
    bool any() const {
        return position || function || stage || power || moving || inputs || outputs;
    }
};
TPanelChanges changesBetween(const TPanelValues& shown, const TPanelValues& next);

/// The error mode of the panel: entered at the first failed read, left at the first good one.
struct TErrorMode {
    bool active = false;
};
/// What a read's outcome does to the error mode.
enum class TErrorStep { None, Enter, Leave };
TErrorStep followRead(TErrorMode& mode, bool failed);

// ---- the VRX17 panel ----------------------------------------------------------------------

/// The entry of a variable list that asks for a new name.
inline constexpr const char* kAddInput = "--add_input--";
/// The item data of the names the user may set.
inline constexpr std::int32_t kSettableItem = 3;
/// The name the status record carries when no variable is asked for.
inline constexpr const char* kNoVariable = "none";
/// The variable the error light's click asks to set.
inline constexpr const char* kErrorVariable = "#ERROR";

/// A typed name as the list holds it: with a leading "#"; none for an empty name.
std::optional<std::string> listedName(const std::string& typed);
/// The name the module is asked for: the listed name without its leading "#"; the first
/// entry of a list asks for nothing.
std::string askedName(const std::string& listed, bool firstEntry);

/// The items of the view menu of a variable display.
enum class TViewItem { InputValue, Decimal, Hexadecimal, Binary, About };
/// The radix display's view mode of a view item; -1 for the others.
int viewModeOf(TViewItem item);
/// Which menu items are offered for an entry with @p itemData.
struct TViewMenu {
    bool inputValue = false;
    bool about = false;
    bool operator==(const TViewMenu&) const = default;
};
TViewMenu viewMenuFor(std::int32_t itemData);

/// The variable write of a click on output lamp @p bit (0 = rightmost) with @p outputs.
contract::TagVariable toggleOutput(int bit, std::int32_t outputs);
/// Set the position to 0.
contract::TagVariable clearPosition();
/// Set variable @p name (as listed, the "#" dropped) to @p value.
contract::TagVariable assignVariable(const std::string& name, const std::string& value);

/// The power light's state: 0 while the read failed, else the power flag.
int powerLightState(std::uint8_t power, bool failed);
/// The error light's state: 1 while the module holds an error code.
int errorLightState(std::int32_t errorCode);

} // namespace tamsel::windows::monitoring
