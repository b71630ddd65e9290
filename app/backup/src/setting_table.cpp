#include "backup/setting_table.h"

#include "modtyp.h"
#include <comm/comm_codes.h>

#include <charconv>
#include <climits>
#include <cstdio>

namespace tamsel::backup {

namespace {

// Strategy kinds of the catalogue.
constexpr int32_t kStrategyResolution = 1;
constexpr int32_t kStrategySpecificModes = 7;

// Bits of the specific-mode capabilities.
constexpr int32_t kCanEndSensors = 1 << 0;
constexpr int32_t kCanReverse = 1 << 1;
constexpr int32_t kCanAutoOutput = 1 << 2;
constexpr int32_t kCanPowerOn = 1 << 3;
constexpr int32_t kCanSliding = 1 << 4;

// Resolution kinds.
constexpr int32_t kResolutionOne = 1;
constexpr int32_t kResolutionTwo = 2;
constexpr int32_t kResolutionStepped = 3;
constexpr int32_t kResolutionDoubling = 4;
constexpr long kFinestStepped = 256;
constexpr long kFinestDoubling = 64;

// The ranges the windows allow.
constexpr long kSpeedLow = 1;
constexpr long kSpeedHigh = 20000;
constexpr long kTimeLow = 1;
constexpr long kTimeHigh = 65535;
constexpr long kCurrentCodeHigh = 255;
constexpr long kStandbyModeHigh = 2;
constexpr long kPowerOnFunctionHigh = 100;
constexpr long kSlidingHigh = 255;
constexpr long kPercentHigh = 100;
constexpr long kPanelSpeedHigh = 1000000;
constexpr long kWordHigh = 0xFFFFFFFFL;

constexpr long kInt32Low = INT32_MIN;
constexpr long kInt32High = INT32_MAX;

bool isTriloV(int32_t family) {
    return family >= tkv::kFamilyTriloV40 && family <= tkv::kFamilyTriloV80;
}

bool hasParameters(int32_t family) {
    return family == tkv::kFamilyTrilo || isTriloV(family) || family == tkv::kFamilyMicroTrilo;
}

/// Automatic outputs are read back only by these families.
bool readsAutoOutputs(int32_t family) {
    return family == tkv::kFamilyTriloV72 || family == tkv::kFamilyTriloV80 ||
           family == tkv::kFamilyMicroTrilo;
}

std::pair<long, long> resolutionRange(int32_t typeCode) {
    switch (RechercheStrategie(typeCode, kStrategyResolution)) {
    case kResolutionOne:
        return {1, 1};
    case kResolutionTwo:
        return {2, 2};
    case kResolutionStepped:
        return {1, kFinestStepped};
    case kResolutionDoubling:
        return {1, kFinestDoubling};
    default:
        return {1, 1};
    }
}

void addParameters(std::vector<SettingRule>& out, int32_t typeCode, int32_t family) {
    const auto g = SettingGroup::Parameters;
    if (family == tkv::kFamilyTrilo) {
        out.push_back({"parameters.start_speed", g, kSpeedLow, kSpeedHigh});
        out.push_back({"parameters.max_speed", g, kSpeedLow, kSpeedHigh});
        out.push_back({"parameters.ramp_time", g, kTimeLow, kTimeHigh});
        out.push_back({"parameters.current_code", g, 0, kCurrentCodeHigh});
        return;
    }
    const auto [low, high] = resolutionRange(typeCode);
    out.push_back({"parameters.resolution", g, low, high});
    out.push_back({"parameters.start_speed", g, kSpeedLow, kSpeedHigh});
    out.push_back({"parameters.max_speed", g, kSpeedLow, kSpeedHigh});
    out.push_back({"parameters.ramp_time", g, kTimeLow, kTimeHigh});
    out.push_back({"parameters.decel_time", g, kTimeLow, kTimeHigh});
    out.push_back({"parameters.separate_decel", g, 0, 1});
    // Odd type codes are the models whose current is not set by command.
    if ((typeCode & 1) == 0) {
        out.push_back({"parameters.current_code", g, 0, kCurrentCodeHigh});
    }
    out.push_back({"parameters.standby_mode", g, 0, kStandbyModeHigh});
}

void addSpecificModes(std::vector<SettingRule>& out, int32_t typeCode, int32_t family) {
    const int32_t can = RechercheStrategie(typeCode, kStrategySpecificModes);
    const auto g = SettingGroup::SpecificModes;
    if ((can & kCanPowerOn) != 0) {
        out.push_back({"specific.power_on_function", g, 0, kPowerOnFunctionHigh});
    }
    if ((can & kCanEndSensors) != 0) {
        out.push_back({"specific.end_sensors", g, 0, 1});
    }
    // The oldest family's replies carry no input sense.
    if ((can & kCanReverse) != 0 && family != tkv::kFamilyTrilo) {
        out.push_back({"specific.reverse_inputs", g, 0, 1});
    }
    if ((can & kCanSliding) != 0) {
        out.push_back({"specific.sliding_distance", g, 0, kSlidingHigh});
    }
    if ((can & kCanAutoOutput) != 0 && readsAutoOutputs(family)) {
        out.push_back({"specific.auto_output", g, 0, 1});
        out.push_back({"specific.auto_output_settings", g, 0, kWordHigh});
        out.push_back({"specific.set_position", g, kInt32Low, kInt32High});
        out.push_back({"specific.reset_position", g, kInt32Low, kInt32High});
    }
}

void addMotion(std::vector<SettingRule>& out, int32_t family) {
    const bool dvrx = family == tkv::kFamilyDvrx;
    out.push_back({"motion.low_speed", SettingGroup::MotionSpeeds, 1, kPanelSpeedHigh});
    out.push_back({"motion.high_speed", SettingGroup::MotionSpeeds, 1, kPanelSpeedHigh});
    out.push_back({"motion.accel_time", SettingGroup::MotionSpeeds, kTimeLow, kTimeHigh});
    if (dvrx) {
        out.push_back({"motion.decel_time", SettingGroup::MotionSpeeds, kTimeLow, kTimeHigh});
    }
    out.push_back({"motion.torque_ratio", SettingGroup::MotionTorque, 0, kPercentHigh});
    if (dvrx) {
        out.push_back({"motion.optimized_current", SettingGroup::MotionTorque, 0, 1});
    } else {
        out.push_back({"motion.low_torque", SettingGroup::MotionTorque, 0, kPercentHigh});
        out.push_back({"motion.standby", SettingGroup::MotionTorque, 0, 1});
    }
    out.push_back({"motion.hard_ends", SettingGroup::MotionEnds, 0, 1});
    out.push_back({"motion.soft_ends", SettingGroup::MotionEnds, 0, 1});
    out.push_back({"motion.positive_end", SettingGroup::MotionEnds, kInt32Low, kInt32High});
    out.push_back({"motion.negative_end", SettingGroup::MotionEnds, kInt32Low, kInt32High});
}

void addPanel(std::vector<SettingRule>& out) {
    out.push_back({"panel.negative_end", SettingGroup::PanelEnds, kInt32Low, kInt32High});
    out.push_back({"panel.positive_end", SettingGroup::PanelEnds, kInt32Low, kInt32High});
    out.push_back({"panel.hard_ends", SettingGroup::PanelEnds, 0, 1});
    out.push_back({"panel.soft_ends", SettingGroup::PanelEnds, 0, 1});
    out.push_back({"panel.torque", SettingGroup::PanelTorque, 0, kPercentHigh});
    out.push_back({"panel.standby", SettingGroup::PanelTorque, 0, 1});
    out.push_back({"panel.tolerance", SettingGroup::PanelSpeeds, 0, kTimeHigh});
    out.push_back({"panel.adjust_speed", SettingGroup::PanelSpeeds, 0, kTimeHigh});
    out.push_back({"panel.high_speed", SettingGroup::PanelSpeeds, 0, kTimeHigh});
    out.push_back({"panel.ramping_time", SettingGroup::PanelSpeeds, 0, kTimeHigh});
}

} // namespace

std::vector<SettingRule> settingsOf(int32_t typeCode) {
    std::vector<SettingRule> out;
    const int32_t family = tkv::familyOf(typeCode);
    if (hasParameters(family)) {
        addParameters(out, typeCode, family);
        addSpecificModes(out, typeCode, family);
    } else if (family == tkv::kFamilyVrx17 || family == tkv::kFamilyDvrx) {
        addMotion(out, family);
    } else if (family == tkv::kFamilyVrx23 || family == tkv::kFamilyVrx34) {
        addPanel(out);
    }
    return out;
}

bool hasNumberedVariables(int32_t typeCode) {
    const int32_t family = tkv::familyOf(typeCode);
    return isTriloV(family) || family == tkv::kFamilyMicroTrilo;
}

std::string variableKey(int number) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", number);
    return std::string(kVariablePrefix) + buffer;
}

std::optional<int> variableNumber(std::string_view key) {
    if (key.substr(0, kVariablePrefix.size()) != kVariablePrefix) {
        return std::nullopt;
    }
    const std::string_view digits = key.substr(kVariablePrefix.size());
    int n = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (ec != std::errc() || end != digits.data() + digits.size() || digits.empty() ||
        n < kFirstVariable || n > kLastVariable) {
        return std::nullopt;
    }
    return n;
}

std::optional<SettingRule> findSetting(int32_t typeCode, std::string_view key) {
    if (variableNumber(key)) {
        if (!hasNumberedVariables(typeCode)) {
            return std::nullopt;
        }
        return SettingRule{std::string(key), SettingGroup::Variable, kInt32Low, kInt32High};
    }
    for (SettingRule& s : settingsOf(typeCode)) {
        if (s.key == key) {
            return s;
        }
    }
    return std::nullopt;
}

} // namespace tamsel::backup
