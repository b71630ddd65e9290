#include "text_module.h"

#include "text_util.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <span>

namespace kvsim {

namespace {

// Speeds are given in 1/100 rpm; the emulated motor makes 200 steps a revolution.
constexpr double kStepsPerSecondPerUnit = 200.0 / 6000.0;
constexpr int kMaxAddress = 63;

// Variables that are views of the module's state rather than stored values.
enum class View { Stored, Position, ProfileSpeed, Speed, Status, Error, Output, Input, Line };

struct VarDef {
    const char* name;
    View view;
    bool writable;
    long initial;
};

constexpr VarDef kDvrxVars[] = {
    {"POSITION", View::Position, true, 0},
    {"PROFILE_SPEED", View::ProfileSpeed, false, 0},
    {"SPEED", View::Speed, false, 0},
    {"STATUS", View::Status, false, 0},
    {"ERROR", View::Error, true, 0},
    {"OUTPUT", View::Output, true, 0},
    {"OUTPUT_ANALOG", View::Stored, true, 0},
    {"INPUT", View::Input, false, 0},
    {"INPUT_ANALOG", View::Stored, false, 512},
    {"SUPPLY_VOLTAGE", View::Stored, false, 24000},
    {"CPU_TEMPERATURE", View::Stored, false, 35},
    {"HIGH_SPEED", View::Stored, true, 60000},
    {"LOW_SPEED", View::Stored, true, 3000},
    {"ACCEL_TIME", View::Stored, true, 200},
    {"DECEL_TIME", View::Stored, true, 200},
    {"RAMPING_TIME", View::Stored, true, 200},
    {"TORQUE_RATIO", View::Stored, true, 80},
    {"POSITIVE_END", View::Stored, true, 1000000},
    {"NEGATIVE_END", View::Stored, true, -1000000},
    {"LINE", View::Line, false, 0},
    {"ON_RESET", View::Stored, true, 0},
    {"CAPTURE", View::Stored, false, 0},
    {"COUNTER", View::Stored, true, 0},
    {"TIMER_1", View::Stored, true, 0},
    {"TIMER_2", View::Stored, true, 0},
    {"TIMER_3", View::Stored, true, 0},
};
constexpr int kDvrxUserVars = 32; // V1-V32
constexpr int kDvrxFlags = 8;     // M1-M8

constexpr VarDef kVrx17Vars[] = {
    {"POSITION", View::Position, true, 0},
    {"PROFILE_SPEED", View::ProfileSpeed, false, 0},
    {"STATUS", View::Status, false, 0},
    {"ERROR", View::Error, true, 0},
    {"OUTPUT", View::Output, true, 0},
    {"INPUT", View::Input, false, 0},
    {"INPUT_ANALOG", View::Stored, false, 512},
    {"SUPPLY_VOLTAGE", View::Stored, false, 24000},
    {"HIGH_SPEED", View::Stored, true, 60000},
    {"LOW_SPEED", View::Stored, true, 3000},
    {"RAMPING_TIME", View::Stored, true, 200},
    {"TORQUE_RATIO", View::Stored, true, 80},
    {"LOW_TORQUE", View::Stored, true, 30},
    {"POSITIVE_END", View::Stored, true, 1000000},
    {"NEGATIVE_END", View::Stored, true, -1000000},
    {"LINE", View::Line, false, 0},
    {"ON_RESET", View::Stored, true, 0},
};
constexpr int kVrx17UserVars = 4;
constexpr int kVrx17Flags = 4;

// Status word bits.
constexpr std::uint32_t kStandbyBit = 1U << 0;
constexpr std::uint32_t kMovingBit = 1U << 1;
constexpr std::uint32_t kErrorBit = 1U << 2;
constexpr std::uint32_t kOptimizedBit = 1U << 3;
constexpr std::uint32_t kSCurveBit = 1U << 4;
constexpr std::uint32_t kHardEndsBit = 1U << 5;
constexpr std::uint32_t kSoftEndsBit = 1U << 6;
constexpr std::uint32_t kPolarityBit = 1U << 7;
constexpr std::uint32_t kPowerBit = 1U << 24;

constexpr int kErrUnknownCommand = 0x10;
constexpr int kErrBadValue = 0x11;
constexpr int kErrPowerOff = 0x20;
constexpr int kErrUnknownVariable = 0x12;

// Short name of a variable name: a name without "_" stays as it is; otherwise its first
// character and the two after the first "_".
std::string abbreviate(std::string_view name) {
    const auto u = name.find('_');
    if (u == std::string_view::npos) {
        return std::string(name);
    }
    std::string s(1, name.front());
    s += name.substr(u + 1, 2);
    return s;
}

std::string shortName(std::string_view full) {
    return full.find('_') == std::string_view::npos ? std::string(full.substr(0, 3))
                                                    : abbreviate(full);
}

} // namespace

TextModule::TextModule(const ModuleSetup& setup)
    : AsciiModule(setup), m_vrx17(setup.family == Family::Vrx17) {
    auto& vars = core().variables;
    const auto defs =
        m_vrx17 ? std::span<const VarDef>(kVrx17Vars) : std::span<const VarDef>(kDvrxVars);
    for (const VarDef& d : defs) {
        if (d.view == View::Stored) {
            vars[d.name] = d.initial;
        }
    }
    const int users = m_vrx17 ? kVrx17UserVars : kDvrxUserVars;
    const int flags = m_vrx17 ? kVrx17Flags : kDvrxFlags;
    for (int i = 1; i <= users; ++i) {
        vars["V" + std::to_string(i)] = 0;
    }
    for (int i = 1; i <= flags; ++i) {
        vars["M" + std::to_string(i)] = 0;
    }
    applyProfile(Clock::now());
}

void TextModule::applyProfile(Clock::time_point now) {
    auto& v = core().variables;
    Axis::Profile p;
    p.startSpeed = static_cast<double>(v["LOW_SPEED"]) * kStepsPerSecondPerUnit;
    p.maxSpeed = static_cast<double>(v["HIGH_SPEED"]) * kStepsPerSecondPerUnit;
    p.accelMs = static_cast<double>(v[m_vrx17 ? "RAMPING_TIME" : "ACCEL_TIME"]);
    p.decelMs = static_cast<double>(v[m_vrx17 ? "RAMPING_TIME" : "DECEL_TIME"]);
    core().axis.setProfile(p, now);
}

std::uint32_t TextModule::statusWord(Clock::time_point now) {
    auto& c = core();
    c.axis.update(now);
    std::uint32_t w = 0;
    w |= m_standby ? kStandbyBit : 0;
    w |= c.axis.moving() ? kMovingBit : 0;
    w |= c.errorCode != 0 ? kErrorBit : 0;
    w |= m_optimized ? kOptimizedBit : 0;
    w |= m_sCurve ? kSCurveBit : 0;
    w |= m_hardEnds ? kHardEndsBit : 0;
    w |= m_softEnds ? kSoftEndsBit : 0;
    w |= m_polarity != 0 ? kPolarityBit : 0;
    w |= c.power ? kPowerBit : 0;
    return w;
}

namespace {

struct Resolved {
    const VarDef* def = nullptr; // null for V/M and other stored-only names
    std::string key;             // the name the value is kept under
};

std::optional<Resolved> resolveName(std::span<const VarDef> defs, std::string_view asked,
                                    const std::map<std::string, long>& stored) {
    const std::string name = text::upper(asked);
    for (const VarDef& d : defs) {
        if (name == d.name || name == shortName(d.name)) {
            return Resolved{&d, d.name};
        }
    }
    if (stored.count(name) != 0) {
        return Resolved{nullptr, name};
    }
    return std::nullopt;
}

} // namespace

Answer TextModule::readCommand(std::string_view arg, Clock::time_point now) {
    bool hexForm = false;
    if (arg.size() > 1 && (arg[0] == 'H' || arg[0] == 'h') && arg[1] == '#') {
        hexForm = true;
        arg.remove_prefix(1);
    }
    if (arg.size() < 2 || arg[0] != '#') {
        return fail(kErrBadValue);
    }
    const std::string_view asked = text::trim(arg.substr(1));
    const auto defs =
        m_vrx17 ? std::span<const VarDef>(kVrx17Vars) : std::span<const VarDef>(kDvrxVars);
    const auto r = resolveName(defs, asked, core().variables);
    if (!r) {
        return fail(kErrUnknownVariable);
    }
    auto& c = core();
    c.axis.update(now);
    long value = 0;
    switch (r->def ? r->def->view : View::Stored) {
    case View::Stored:
        value = c.variables[r->key];
        break;
    case View::Position:
        value = c.axis.position();
        break;
    case View::ProfileSpeed:
        value = std::lround(c.axis.profileSpeed() / kStepsPerSecondPerUnit);
        break;
    case View::Speed:
        value = std::lround(c.axis.speed() / kStepsPerSecondPerUnit);
        break;
    case View::Status:
        value = static_cast<long>(statusWord(now));
        break;
    case View::Error:
        value = c.errorCode;
        break;
    case View::Output:
        value = static_cast<long>(c.outputs);
        break;
    case View::Input:
        value = static_cast<long>(c.inputs);
        break;
    case View::Line:
        value = c.function;
        break;
    }
    // The VRX17 prints a blank between the equals sign and the number.
    const std::string label = "#" + abbreviate(text::upper(asked)) + (m_vrx17 ? "= " : "=");
    if (hexForm) {
        return Answer::reply(
            label + text::format("h%lX", static_cast<unsigned long>(value) & 0xFFFFFFFFUL));
    }
    return Answer::reply(label + text::format("%ld", value));
}

Answer TextModule::assign(std::string_view command, Clock::time_point now) {
    // #NAME := value, blanks allowed around ":=", value decimal or h-prefixed hexadecimal.
    const auto op = command.find(":=");
    if (op == std::string_view::npos) {
        return fail(kErrUnknownCommand, Answer::Kind::Rejected);
    }
    const std::string_view asked = text::trim(command.substr(1, op - 1));
    const auto value = text::toNumber(command.substr(op + 2));
    const auto defs =
        m_vrx17 ? std::span<const VarDef>(kVrx17Vars) : std::span<const VarDef>(kDvrxVars);
    const auto r = resolveName(defs, asked, core().variables);
    if (!r) {
        return fail(kErrUnknownVariable);
    }
    if (!value || (r->def && !r->def->writable)) {
        return fail(kErrBadValue);
    }
    auto& c = core();
    switch (r->def ? r->def->view : View::Stored) {
    case View::Position:
        c.axis.setPosition(*value, now);
        break;
    case View::Error:
        c.errorCode = static_cast<int>(*value);
        break;
    case View::Output:
        c.outputs = static_cast<std::uint32_t>(*value) & 0xFFU;
        break;
    case View::Stored:
        if ((r->key == "HIGH_SPEED" || r->key == "LOW_SPEED") && *value <= 0) {
            return fail(kErrBadValue);
        }
        c.variables[r->key] = *value;
        applyProfile(now);
        break;
    default:
        return fail(kErrBadValue);
    }
    return Answer::done();
}

long TextModule::clampToEnds(long target) const {
    if (!m_softEnds) {
        return target;
    }
    const auto& v = core().variables;
    return std::clamp(target, v.at("NEGATIVE_END"),
                      std::max(v.at("NEGATIVE_END"), v.at("POSITIVE_END")));
}

Answer TextModule::move(const std::string& word, std::string_view arg, Clock::time_point now) {
    auto& c = core();
    const auto value = text::toNumber(arg);
    if (!value) {
        return fail(kErrBadValue);
    }
    if (!c.power) {
        return fail(kErrPowerOff);
    }
    c.axis.update(now);
    if (word == "MOVE_SPEED") {
        c.axis.run(static_cast<double>(*value) * kStepsPerSecondPerUnit, now);
    } else if (word == "MOVE_TO") {
        c.axis.moveTo(clampToEnds(*value), now);
    } else {
        c.axis.moveTo(clampToEnds(c.axis.position() + *value), now);
    }
    return Answer::done();
}

Answer TextModule::switchCommand(const std::string& word, const std::string& arg,
                                 Clock::time_point now) {
    auto& c = core();
    const auto onOff = [&](bool& flag) {
        if (arg != "ON" && arg != "OFF") {
            return fail(kErrBadValue);
        }
        flag = arg == "ON";
        return Answer::done();
    };
    if (word == "HALT" && arg.empty()) {
        c.axis.quickStop(now);
        return Answer::done();
    }
    if (word == "STOP" && arg.empty()) {
        c.axis.decelStop(now);
        return Answer::done();
    }
    if ((word == "MODULE_RESET" || word == "RESET") && arg.empty()) {
        c.axis.quickStop(now);
        c.errorCode = 0;
        c.function = 0;
        return Answer::done();
    }
    if (word == "POWER") {
        bool on = c.power;
        Answer a = onOff(on);
        if (!on) {
            c.axis.quickStop(now);
        }
        c.power = on;
        return a;
    }
    if (word == "S_CURVE") {
        return onOff(m_sCurve);
    }
    if (word == "OPTIMIZED_CURRENT") {
        return onOff(m_optimized);
    }
    if (word == "SMO") {
        return onOff(m_standby);
    }
    if (word == "SOFT_ENDS" || word == "SEN") {
        return onOff(m_softEnds);
    }
    if (word == "HARD_ENDS" || word == "HEN") {
        if (arg != "ON" && arg != "OFF" && arg != "ALL") {
            return fail(kErrBadValue);
        }
        m_hardEnds = arg != "OFF";
        return Answer::done();
    }
    if (word == "INVERSE_POLARITY") {
        static constexpr const char* kModes[] = {"OFF", "ALL", "IN", "OUT"};
        for (int i = 0; i < 4; ++i) {
            if (arg == kModes[i]) {
                m_polarity = i;
                return Answer::done();
            }
        }
        return fail(kErrBadValue);
    }
    if (word == "SET_ADDRESS") {
        const auto a = text::toLong(arg);
        if (!a || *a < 0 || *a > kMaxAddress) {
            return fail(kErrBadValue);
        }
        m_newAddress = static_cast<int>(*a);
        return Answer::done();
    }
    if (word == "SET_BAUDRATE") {
        const auto b = text::toLong(arg);
        if (!b || !baudAllowed(setup().family, static_cast<int>(*b))) {
            return fail(kErrBadValue);
        }
        m_newBaud = static_cast<int>(*b);
        return Answer::done();
    }
    if (word == "SET_PROTOCOL" && m_vrx17) {
        // The module speaks one protocol; naming it is accepted, any other is refused.
        if (arg.size() >= 3 && text::istartsWith("XON-XOFF.&.XON-EXTENDED", arg)) {
            return Answer::done();
        }
        return fail(kErrBadValue);
    }
    return fail(kErrUnknownCommand, Answer::Kind::Rejected);
}

Answer TextModule::executeOne(std::string_view command, Clock::time_point now) {
    if (command.empty()) {
        return Answer::done();
    }
    if (command.front() == '#') {
        return assign(command, now);
    }
    const auto w = text::words(command);
    const std::string word = text::upper(w.front());
    const std::string_view rest = text::trim(command.substr(w.front().size()));
    if (word == "RV" || word == "QV") {
        return rest.empty() ? Answer::reply(core().identity) : fail(kErrBadValue);
    }
    if (word == "REA" || word == "READ") {
        return readCommand(rest, now);
    }
    if (word == "MOVE_SPEED" || word == "MOVE_TO" || word == "MOVE_ON") {
        return move(word, rest, now);
    }
    return switchCommand(word, text::upper(rest), now);
}

} // namespace kvsim
