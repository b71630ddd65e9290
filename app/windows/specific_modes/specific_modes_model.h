/**
 * @file specific_modes_model.h
 * The rules of the specific modes window, without a widget: which modes a module type
 * offers, the record's cleared state, the automatic output settings word both ways, the
 * outputs' cycle and colours, the number formats and the arrows.
 */
#pragma once

#include <contract/records.h>

#include <array>
#include <cstdint>
#include <string>

namespace tamsel::windows::specific_modes {

/// The catalogue strategy that tells a module type's modes.
inline constexpr std::int32_t kStrategySpecificModes = 7;

// Bits of the strategy-7 word.
inline constexpr std::uint32_t kEndSensorsBit = 1U << 0;
inline constexpr std::uint32_t kReverseBit = 1U << 1;
inline constexpr std::uint32_t kAutoOutputBit = 1U << 2;
inline constexpr std::uint32_t kPowerOnBit = 1U << 3;
inline constexpr std::uint32_t kSlidingBit = 1U << 4;

// The automatic output settings word.
inline constexpr std::uint32_t kAbsolute = 1U << 0;
inline constexpr std::uint32_t kIncrease = 1U << 1;
inline constexpr std::uint32_t kEdgeSpecific = 1U << 2;
inline constexpr std::uint32_t kOnEach = 1U << 3;
inline constexpr std::uint32_t kStored = 1U << 4;
inline constexpr int kValueShift = 16;
inline constexpr int kUsedShift = 24;
inline constexpr int kOutputs = 8;
/// Every output used and off: the record's cleared settings.
inline constexpr std::uint32_t kClearedSettings = 0xFFFF0000U;
/// Every output used and on, relative, on both edges: automatic output just switched on.
inline constexpr std::uint32_t kSwitchedOnSettings = 0xFF000000U;

/// Clears the record as a refresh does, then spreads @p capabilities into its supported
/// flags.
void clearRecord(contract::TagSpecificMode& record, std::uint32_t capabilities);

/// What an output does when the position passes: switched off, on, or left unchanged.
enum class OutputState { Off, On, Unchanged };
/// "OFF", "ON" or "XX".
const char* outputText(OutputState state);
/// The state a text shows; any other text reads as unchanged.
OutputState outputStateOf(const std::string& text);
/// OFF -> ON -> XX -> OFF.
OutputState nextOutputState(OutputState state);

enum class Transition { Increase, Decrease, All };

/// The automatic output group as the controls show it.
struct TAutoOutputView {
    bool absolute = true;
    Transition transition = Transition::All;
    bool onEach = false;
    bool stored = false;
    std::array<OutputState, kOutputs> outputs{}; ///< [0] = S1
    bool operator==(const TAutoOutputView&) const = default;
};
TAutoOutputView autoOutputView(std::uint32_t settings);
std::uint32_t settingsOf(const TAutoOutputView& view);

/// Background of an output's text (RGB); a disabled output has the button face instead.
struct TRgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const TRgb&) const = default;
};
TRgb outputColour(const std::string& text);

/// The function number's text, "n°= %03d", and its reading, "n°= %d" (0 when it holds none).
std::string functionText(std::int32_t number);
std::int32_t functionOf(const std::string& text);
inline constexpr std::int32_t kFunctionMin = 1;
inline constexpr std::int32_t kFunctionMax = 100;
inline constexpr std::int32_t kSlidingMin = 1;
inline constexpr std::int32_t kSlidingMax = 255;
/// What a check box that becomes checked puts into its field.
inline constexpr std::int32_t kFunctionOnCheck = 1;
inline constexpr std::int32_t kSlidingOnCheck = 10;
std::int32_t stepFunction(std::int32_t number, bool up);
std::int32_t stepSliding(std::int32_t distance, bool up);
/// Set and reset positions: by one, or 100 with the secondary button, without limits.
std::int32_t stepPosition(std::int32_t position, bool up, bool large);
/// The sliding distance as its field shows it (width 3).
std::string slidingText(std::int32_t distance);

/// What the controls hold when "&Apply" is pressed.
struct TModesInput {
    bool powerOn = false;
    std::int32_t function = 0;
    bool endSensors = false;
    bool reverse = false;
    bool sliding = false;
    std::int32_t distance = 0;
    bool autoOutput = false;
    TAutoOutputView outputs;
    std::int32_t setPosition = 0;
    std::int32_t resetPosition = 0;
};
/// Fills the record's values for the write from the controls.
void fillRecord(const TModesInput& input, contract::TagSpecificMode& record);

/// The trace text of a record with automatic output on: " %d %d %X".
std::string traceText(const contract::TagSpecificMode& record);

} // namespace tamsel::windows::specific_modes
