#include "backup/module_settings.h"

#include <comm/read_commands.h>
#include <comm/texts.h>

#include <algorithm>
#include <set>

namespace tamsel::backup {

namespace {

// Bit 0 of the VRX17 status word: the standby current is on.
constexpr uint32_t kStandbyBit = 1U;

long get(const SettingValues& v, const std::string& key, long otherwise = 0) {
    const auto it = v.find(key);
    return it == v.end() ? otherwise : it->second;
}

bool has(const SettingValues& v, const std::string& key) {
    return v.count(key) != 0;
}

uint8_t flag(long v) {
    return v != 0 ? 1 : 0;
}

tkv::TagRequest requestFor(int32_t kind, int address, int32_t typeCode, void* data) {
    tkv::TagRequest r;
    r.kind = kind;
    r.address = address;
    r.typeCode = typeCode;
    r.data = data;
    return r;
}

/// One read request and its sub-reads; the status of the first that fails.
int32_t readAll(ModuleLine& line, tkv::TagRequest& r) {
    const int32_t count = tkv::cmdset::repeatCount(r.kind, r.typeCode);
    for (int32_t sub = count == 0 ? 0 : 1; sub <= count; ++sub) {
        r.subIndex = sub;
        if (!line.read(r)) {
            return r.status == 0 ? -1 : r.status;
        }
    }
    return 0;
}

// ---- parameters --------------------------------------------------------------------------

void takeParameters(const tkv::TagParamBlock& p, SettingValues& out) {
    out["parameters.resolution"] = p.resolution;
    out["parameters.start_speed"] = p.startSpeed;
    out["parameters.max_speed"] = p.maxSpeed;
    out["parameters.ramp_time"] = p.rampTime;
    out["parameters.decel_time"] = p.decelTime;
    out["parameters.separate_decel"] = p.separateDecel;
    out["parameters.current_code"] = p.currentCode;
    out["parameters.standby_mode"] = p.standbyMode;
}

tkv::TagParamBlock parametersOf(const SettingValues& v) {
    tkv::TagParamBlock p;
    p.resolution = static_cast<int32_t>(get(v, "parameters.resolution", 1));
    p.startSpeed = static_cast<int32_t>(get(v, "parameters.start_speed"));
    p.maxSpeed = static_cast<int32_t>(get(v, "parameters.max_speed"));
    p.rampTime = static_cast<int32_t>(get(v, "parameters.ramp_time"));
    p.decelTime = static_cast<int32_t>(get(v, "parameters.decel_time", p.rampTime));
    p.separateDecel = flag(get(v, "parameters.separate_decel"));
    p.currentCode = static_cast<int32_t>(get(v, "parameters.current_code"));
    p.standbyMode = static_cast<int32_t>(get(v, "parameters.standby_mode"));
    return p;
}

// ---- specific modes ----------------------------------------------------------------------

void takeSpecific(const tkv::TagSpecificMode& m, SettingValues& out) {
    out["specific.power_on_function"] = m.powerOnFunction;
    out["specific.end_sensors"] = m.endSensors;
    out["specific.reverse_inputs"] = m.reverseInputs;
    out["specific.sliding_distance"] = m.slidingDistance;
    out["specific.auto_output"] = m.autoOutput;
    out["specific.auto_output_settings"] = static_cast<uint32_t>(m.autoOutputSettings);
    out["specific.set_position"] = m.setPosition;
    out["specific.reset_position"] = m.resetPosition;
}

/// The record with a mode marked supported exactly when the type lists its setting, so that
/// the write carries what the reads gave.
tkv::TagSpecificMode specificOf(const SettingValues& v) {
    tkv::TagSpecificMode m;
    m.powerOnSupported = flag(has(v, "specific.power_on_function"));
    m.endSensorsSupported = flag(has(v, "specific.end_sensors"));
    m.reverseSupported = flag(has(v, "specific.reverse_inputs"));
    m.slidingSupported = flag(has(v, "specific.sliding_distance"));
    m.autoOutputSupported = flag(has(v, "specific.auto_output"));
    m.powerOnFunction = static_cast<int32_t>(get(v, "specific.power_on_function"));
    m.endSensors = flag(get(v, "specific.end_sensors"));
    m.reverseInputs = flag(get(v, "specific.reverse_inputs"));
    m.slidingDistance = static_cast<int32_t>(get(v, "specific.sliding_distance"));
    m.autoOutput = flag(get(v, "specific.auto_output"));
    m.autoOutputSettings =
        static_cast<int32_t>(static_cast<uint32_t>(get(v, "specific.auto_output_settings")));
    m.setPosition = static_cast<int32_t>(get(v, "specific.set_position"));
    m.resetPosition = static_cast<int32_t>(get(v, "specific.reset_position"));
    return m;
}

/// The reads of the specific modes the type has: the oldest family keeps its modes in other
/// cells than the labelled reply of the later ones.
std::vector<int32_t> specificReads(int32_t typeCode, const std::set<std::string>& keys) {
    const bool oldest = tkv::familyOf(typeCode) == tkv::kFamilyTrilo;
    std::vector<int32_t> kinds;
    if (keys.count("specific.power_on_function") != 0) {
        kinds.push_back(tkv::kKindPowerOnFunction);
    }
    if (oldest) {
        if (keys.count("specific.end_sensors") != 0) {
            kinds.push_back(tkv::kKindEndSensorCell);
        }
        if (keys.count("specific.sliding_distance") != 0) {
            kinds.push_back(tkv::kKindSlidingShort);
        }
    } else if (keys.count("specific.end_sensors") != 0 ||
               keys.count("specific.reverse_inputs") != 0 ||
               keys.count("specific.sliding_distance") != 0) {
        kinds.push_back(tkv::kKindSpecificLabelled);
    }
    if (keys.count("specific.auto_output") != 0) {
        kinds.push_back(tkv::kKindAutoOutput);
    }
    return kinds;
}

// ---- VRX17 and DVRX motion -----------------------------------------------------------------

void takeMotion(const tkv::TagMotion& m, SettingValues& out) {
    out["motion.low_speed"] = m.lowSpeed;
    out["motion.high_speed"] = m.highSpeed;
    out["motion.accel_time"] = m.accelTime;
    out["motion.decel_time"] = m.decelTime;
    out["motion.torque_ratio"] = m.torqueRatio;
    out["motion.low_torque"] = m.lowTorque;
    out["motion.standby"] = (static_cast<uint32_t>(m.statusWord) & kStandbyBit) != 0 ? 1 : 0;
    out["motion.optimized_current"] = m.optimizedCurrent;
    out["motion.hard_ends"] = m.hardEnds;
    out["motion.soft_ends"] = m.softEnds;
    out["motion.positive_end"] = m.positiveEnd;
    out["motion.negative_end"] = m.negativeEnd;
}

tkv::TagMotion motionOf(const SettingValues& v, int32_t subKind) {
    tkv::TagMotion m;
    m.subKind = subKind;
    m.lowSpeed = static_cast<int32_t>(get(v, "motion.low_speed"));
    m.highSpeed = static_cast<int32_t>(get(v, "motion.high_speed"));
    m.accelTime = static_cast<int32_t>(get(v, "motion.accel_time"));
    m.decelTime = static_cast<int32_t>(get(v, "motion.decel_time"));
    m.torqueRatio = static_cast<int32_t>(get(v, "motion.torque_ratio"));
    m.lowTorque = static_cast<int32_t>(get(v, "motion.low_torque"));
    m.standbyMode = flag(get(v, "motion.standby"));
    m.optimizedCurrent = flag(get(v, "motion.optimized_current"));
    m.hardEnds = flag(get(v, "motion.hard_ends"));
    m.softEnds = flag(get(v, "motion.soft_ends"));
    m.positiveEnd = static_cast<int32_t>(get(v, "motion.positive_end"));
    m.negativeEnd = static_cast<int32_t>(get(v, "motion.negative_end"));
    return m;
}

// ---- VRX23 and VRX34 panel -----------------------------------------------------------------

void takePanel(const tkv::TagV2334Settings& s, SettingValues& out) {
    out["panel.negative_end"] = s.bn;
    out["panel.positive_end"] = s.bp;
    out["panel.hard_ends"] = s.flagR;
    out["panel.soft_ends"] = s.flagS;
    out["panel.torque"] = s.gi;
    out["panel.standby"] = s.ms;
    out["panel.tolerance"] = s.dg;
    out["panel.adjust_speed"] = s.wl;
    out["panel.high_speed"] = s.wh;
    out["panel.ramping_time"] = s.wt;
}

tkv::TagV2334Settings panelOf(const SettingValues& v, int32_t subKind) {
    tkv::TagV2334Settings s;
    s.subKind = subKind;
    s.bn = static_cast<int32_t>(get(v, "panel.negative_end"));
    s.bp = static_cast<int32_t>(get(v, "panel.positive_end"));
    s.flagR = flag(get(v, "panel.hard_ends"));
    s.flagS = flag(get(v, "panel.soft_ends"));
    s.gi = static_cast<int32_t>(get(v, "panel.torque"));
    s.ms = flag(get(v, "panel.standby"));
    s.dg = static_cast<int32_t>(get(v, "panel.tolerance"));
    s.wl = static_cast<int32_t>(get(v, "panel.adjust_speed"));
    s.wh = static_cast<int32_t>(get(v, "panel.high_speed"));
    s.wt = static_cast<int32_t>(get(v, "panel.ramping_time"));
    return s;
}

/// Reads one group into @p out, keeping only the keys the type has.
int32_t readGroup(ModuleLine& line, int address, int32_t typeCode, SettingGroup group,
                  const std::set<std::string>& keys, SettingValues& out) {
    SettingValues all;
    int32_t status = 0;
    switch (group) {
    case SettingGroup::Parameters: {
        tkv::TagParamBlock p;
        tkv::TagRequest r = requestFor(tkv::kKindParameters, address, typeCode, &p);
        status = readAll(line, r);
        takeParameters(p, all);
        break;
    }
    case SettingGroup::SpecificModes: {
        tkv::TagSpecificMode m;
        for (int32_t kind : specificReads(typeCode, keys)) {
            tkv::TagRequest r = requestFor(kind, address, typeCode, &m);
            status = readAll(line, r);
            if (status != 0) {
                break;
            }
        }
        takeSpecific(m, all);
        break;
    }
    case SettingGroup::MotionSpeeds:
    case SettingGroup::MotionTorque:
    case SettingGroup::MotionEnds: {
        tkv::TagMotion m;
        tkv::TagRequest r = requestFor(tkv::kKindMotionRead, address, typeCode, &m);
        status = readAll(line, r);
        takeMotion(m, all);
        break;
    }
    case SettingGroup::PanelEnds:
    case SettingGroup::PanelTorque:
    case SettingGroup::PanelSpeeds: {
        tkv::TagV2334Settings s;
        tkv::TagRequest r = requestFor(tkv::kKindV2334Read, address, typeCode, &s);
        status = readAll(line, r);
        takePanel(s, all);
        break;
    }
    case SettingGroup::Variable:
        for (const std::string& key : keys) {
            const auto n = variableNumber(key);
            if (!n) {
                continue;
            }
            tkv::TagVariableValue v;
            tkv::TagRequest r = requestFor(tkv::kKindVariableBase + *n, address, typeCode, &v);
            const int32_t s = readAll(line, r);
            if (s != 0) {
                status = s;
                break;
            }
            all[key] = v.value;
        }
        break;
    }
    for (const std::string& key : keys) {
        if (const auto it = all.find(key);
            it != all.end() && (status == 0 || variableNumber(key))) {
            out[key] = it->second;
        }
    }
    return status;
}

/// Which groups hold @p keys, each once; the motion and panel groups share one read.
std::vector<std::pair<SettingGroup, std::set<std::string>>>
groupsOf(int32_t typeCode, const std::vector<std::string>& keys) {
    std::vector<std::pair<SettingGroup, std::set<std::string>>> out;
    const auto readGroupOf = [](SettingGroup g) {
        switch (g) {
        case SettingGroup::MotionTorque:
        case SettingGroup::MotionEnds:
            return SettingGroup::MotionSpeeds;
        case SettingGroup::PanelTorque:
        case SettingGroup::PanelSpeeds:
            return SettingGroup::PanelEnds;
        default:
            return g;
        }
    };
    for (const std::string& key : keys) {
        const std::optional<SettingRule> rule = findSetting(typeCode, key);
        if (!rule) {
            continue;
        }
        const SettingGroup g = readGroupOf(rule->group);
        auto it = std::find_if(out.begin(), out.end(), [g](const auto& e) { return e.first == g; });
        if (it == out.end()) {
            out.push_back({g, {}});
            it = out.end() - 1;
        }
        it->second.insert(key);
    }
    return out;
}

} // namespace

std::vector<std::string> groupKeys(int32_t typeCode, SettingGroup group) {
    std::vector<std::string> out;
    for (const SettingRule& s : settingsOf(typeCode)) {
        if (s.group == group) {
            out.push_back(s.key);
        }
    }
    return out;
}

SettingsRead readKeys(ModuleLine& line, int address, int32_t typeCode,
                      const std::vector<std::string>& keys) {
    SettingsRead out;
    for (const auto& [group, groupKeySet] : groupsOf(typeCode, keys)) {
        const int32_t status = readGroup(line, address, typeCode, group, groupKeySet, out.values);
        if (status != 0) {
            out.status = status;
        }
    }
    for (const std::string& key : keys) {
        if (out.values.count(key) == 0) {
            out.unread.push_back(key);
        }
    }
    return out;
}

SettingsRead readSettings(ModuleLine& line, int address, int32_t typeCode,
                          const std::vector<int>& variables) {
    std::vector<std::string> keys;
    for (const SettingRule& s : settingsOf(typeCode)) {
        keys.push_back(s.key);
    }
    if (hasNumberedVariables(typeCode)) {
        for (int n : variables) {
            keys.push_back(variableKey(n));
        }
    }
    return readKeys(line, address, typeCode, keys);
}

bool writeGroup(ModuleLine& line, int address, int32_t typeCode, SettingGroup group,
                const SettingValues& values, int32_t& status) {
    const auto send = [&](int32_t kind, void* data) {
        tkv::TagRequest r = requestFor(kind, address, typeCode, data);
        const bool ok = line.write(r);
        status = r.status;
        return ok;
    };
    switch (group) {
    case SettingGroup::Parameters: {
        tkv::TagParamBlock p = parametersOf(values);
        return send(tkv::kKindParameters, &p);
    }
    case SettingGroup::SpecificModes: {
        tkv::TagSpecificMode m = specificOf(values);
        return send(tkv::kKindSpecificGroup, &m);
    }
    case SettingGroup::MotionSpeeds:
    case SettingGroup::MotionTorque:
    case SettingGroup::MotionEnds: {
        const int32_t sub = group == SettingGroup::MotionSpeeds   ? tkv::kMotionSpeeds
                            : group == SettingGroup::MotionTorque ? tkv::kMotionTorque
                                                                  : tkv::kMotionEnds;
        tkv::TagMotion m = motionOf(values, sub);
        return send(tkv::kKindMotionWrite, &m);
    }
    case SettingGroup::PanelEnds:
    case SettingGroup::PanelTorque:
    case SettingGroup::PanelSpeeds: {
        const int32_t sub = group == SettingGroup::PanelEnds     ? tkv::kV2334Brake
                            : group == SettingGroup::PanelTorque ? tkv::kV2334Current
                                                                 : tkv::kV2334Motion;
        tkv::TagV2334Settings s = panelOf(values, sub);
        return send(tkv::kKindV2334Write, &s);
    }
    case SettingGroup::Variable: {
        if (values.size() != 1) {
            return false;
        }
        const auto n = variableNumber(values.begin()->first);
        if (!n) {
            return false;
        }
        // The variables window's way: the coded command with the number and the value.
        tkv::TagCodedCommand c;
        c.code = tkv::kCodedVariable;
        c.address = address;
        const std::string parameter =
            std::to_string(*n) + " " + std::to_string(values.begin()->second);
        tkv::text::copy(c.parameter, parameter);
        const bool ok = line.coded(c);
        status = c.status;
        return ok;
    }
    }
    return false;
}

} // namespace tamsel::backup
