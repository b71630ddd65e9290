/**
 * @file setting_table.h
 * Which settings a module type has, in which group they are read and written, and the
 * range of each. The file reader checks against it, so that a value no window could give
 * never reaches a module.
 */
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamsel::backup {

/// The command sets a setting is read and written with; one write request per group.
enum class SettingGroup {
    Parameters,    ///< kind 0x02
    SpecificModes, ///< kinds 0x21-0x25 read, 0x20 written
    MotionSpeeds,  ///< VRX17/DVRX: kind 0x53 read, 0x80 written by sub-kind
    MotionTorque,
    MotionEnds,
    PanelEnds, ///< VRX23/VRX34: kind 0x52 read, 0x10 written by sub-kind
    PanelTorque,
    PanelSpeeds,
    Variable, ///< kind 0x100 + n read, coded command written
};

struct SettingRule {
    std::string key;
    SettingGroup group;
    long low;
    long high;
};

/// Prefix of the numbered variables' keys: "variable.05".
inline constexpr std::string_view kVariablePrefix = "variable.";
inline constexpr int kFirstVariable = 1;
inline constexpr int kLastVariable = 255;

/// The settings of a module type, variables left out, in the order a backup lists them.
std::vector<SettingRule> settingsOf(int32_t typeCode);

/// Whether the type's variables can be read and written by number.
bool hasNumberedVariables(int32_t typeCode);

/// "variable.05" for 5.
std::string variableKey(int number);
/// The number of a variable key; nothing for any other key.
std::optional<int> variableNumber(std::string_view key);

/// The rule of @p key for the type, variables included; nothing when the type has no such
/// setting.
std::optional<SettingRule> findSetting(int32_t typeCode, std::string_view key);

} // namespace tamsel::backup
