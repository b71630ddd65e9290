#include "trilo_module.h"

#include "text_util.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kvsim {

namespace {

// Parameter names as the module's write commands call them; "WD" is the separate
// deceleration time, "SEP" tells whether it is in use.
constexpr const char* kStartSpeed = "WL";
constexpr const char* kMaxSpeed = "WH";
constexpr const char* kRamp = "WT";
constexpr const char* kDecel = "WD";
constexpr const char* kSeparateDecel = "SEP";
constexpr const char* kResolution = "WN";
constexpr const char* kDirection = "DR";
constexpr const char* kCurrent = "GI";
constexpr const char* kSliding = "DG";
constexpr const char* kStandby = "MS";
constexpr const char* kEndSensors = "MB";
constexpr const char* kReverse = "REV";
constexpr const char* kPowerOnFunction = "SD";
constexpr const char* kAutoValues = "AOV";
constexpr const char* kAutoUsed = "AOU";
constexpr const char* kAutoOptions = "AOOPT";
constexpr const char* kAutoSet = "GPS";
constexpr const char* kAutoReset = "GPR";
constexpr const char* kAutoPosOptions = "GPOPT";
constexpr const char* kAuto = "AUTO";

constexpr long kMaxCurrentCode = 255;
constexpr long kMaxResolution = 256;
// Steps a stored function moves per function number (the emulated function is a move).
constexpr long kFunctionStep = 100;
constexpr int kFunctionDone = 255;
constexpr std::uint32_t kPowerBit = 1U << 24;
constexpr std::uint32_t kMovingBit = 1U << 0;
constexpr std::uint32_t kErrorBit = 1U << 1;
constexpr const char kStandbyLetters[] = "NSB";

// Memory cells the family's configuration tools read.
struct Cell {
    unsigned page;
    unsigned offset;
};
constexpr Cell kPowerOnCells[] = {{0x26, 0x2F}, {0xC6, 0x05}, {0xC6, 0x04}, {0xC6, 0x84}};
constexpr Cell kSensorCell{0x21, 0xFF};
constexpr Cell kAutoOutputCell{0xC1, 0x94};
constexpr unsigned kSensorBit = 0x20;

} // namespace

TriloModule::TriloModule(const ModuleSetup& setup) : AsciiModule(setup) {
    auto& p = core().params;
    const bool firstGeneration = (setup.typeCode >> 8) == 0x01;
    p = {{kStartSpeed, 100},    {kMaxSpeed, 2000},   {kRamp, 200},
         {kDecel, 200},         {kSeparateDecel, 0}, {kResolution, firstGeneration ? 1 : 2},
         {kDirection, 0},       {kCurrent, 128},     {kSliding, 0},
         {kStandby, 0},         {kEndSensors, 0},    {kReverse, 0},
         {kPowerOnFunction, 0}, {kAutoValues, 0},    {kAutoUsed, 0},
         {kAutoOptions, 0},     {kAutoSet, 0},       {kAutoReset, 0},
         {kAutoPosOptions, 0},  {kAuto, 0}};
    applyProfile(Clock::now());
}

long TriloModule::param(const char* name) const {
    auto it = core().params.find(name);
    return it == core().params.end() ? 0 : it->second;
}

void TriloModule::applyProfile(Clock::time_point now) {
    Axis::Profile profile;
    profile.startSpeed = static_cast<double>(param(kStartSpeed));
    profile.maxSpeed = static_cast<double>(param(kMaxSpeed));
    profile.accelMs = static_cast<double>(param(kRamp));
    profile.decelMs = static_cast<double>(param(param(kSeparateDecel) ? kDecel : kRamp));
    core().axis.setProfile(profile, now);
}

std::uint32_t TriloModule::statusWord(Clock::time_point now) {
    core().axis.update(now);
    std::uint32_t w = 0;
    w |= core().power ? kPowerBit : 0;
    w |= core().axis.moving() ? kMovingBit : 0;
    w |= core().errorCode != 0 ? kErrorBit : 0;
    return w;
}

Answer TriloModule::executeOne(std::string_view command, Clock::time_point now) {
    if (command.size() < 2) {
        return fail(errc::kUnknownCommand, Answer::Kind::Rejected);
    }
    const std::string word = text::upper(command.substr(0, 2));
    std::string_view arg = text::trim(command.substr(2));
    // The specific-mode write puts the input sense (" H" or " L") after whichever of its
    // settings comes last before it.
    static constexpr const char* kSenseCarriers[] = {"GS", "SR", "SD", "DG", "MB", "MN"};
    if (std::find(std::begin(kSenseCarriers), std::end(kSenseCarriers), word) !=
        std::end(kSenseCarriers)) {
        const auto w = text::words(arg);
        if (!w.empty() && (text::iequals(w.back(), "H") || text::iequals(w.back(), "L"))) {
            core().params[kReverse] = text::iequals(w.back(), "H") ? 1 : 0;
            arg = text::trim(arg.substr(0, arg.size() - 1));
        }
    }
    if (auto extra = extraCommand(word, arg, now)) {
        return *extra;
    }
    // Reads come in an older R form and a newer Q form; the module takes both.
    if (word[0] == 'Q' || word[0] == 'R') {
        const char what = word[1];
        switch (what) {
        case 'V':
            return Answer::reply(core().identity);
        case 'D':
            return status(now);
        case 'L':
            return word[0] == 'R' ? parametersShort() : parametersLabelled();
        case 'M':
            return memory(arg);
        case 'C':
            return automaticOutputs();
        case 'X': {
            // Reading the error report also clears it.
            const int code = core().errorCode;
            core().errorCode = errc::kNone;
            return Answer::reply(text::format("X %02X", static_cast<unsigned>(code)));
        }
        case 'E':
            return Answer::reply(text::format("E I_NOM-%.2f_", setup().currentFactor));
        case 'N': {
            std::string_view n = arg;
            if (!n.empty() && n.front() == '#') {
                n.remove_prefix(1);
            }
            const auto number = text::toLong(text::trim(n));
            if (!number || *number < 0 || *number > 255) {
                return fail(errc::kBadValue);
            }
            const std::string key = text::format("#%02ld", *number);
            const long value = core().variables.count(key) ? core().variables[key] : 0;
            return Answer::reply(text::format("N#%02ld:%ld", *number, value));
        }
        default:
            break;
        }
    }
    if (word == "GL") {
        return setOutputs(arg);
    }
    if (word == "GP") {
        return setPositions(arg);
    }
    if (word == "PD") {
        // PD #nn:value
        std::string_view a = arg;
        if (!a.empty() && a.front() == '#') {
            a.remove_prefix(1);
        }
        const auto colon = a.find(':');
        if (colon == std::string_view::npos) {
            return fail(errc::kBadValue);
        }
        const auto number = text::toLong(text::trim(a.substr(0, colon)));
        const auto value = text::toNumber(a.substr(colon + 1));
        if (!number || !value || *number < 0 || *number > 255) {
            return fail(errc::kBadValue);
        }
        core().variables[text::format("#%02ld", *number)] = *value;
        return Answer::done();
    }
    static constexpr const char* kMotion[] = {"MR", "GS", "GE", "GM", "GR", "GA", "GF", "DI", "SS"};
    for (const char* m : kMotion) {
        if (word == m) {
            return motion(word, arg, now);
        }
    }
    return writeParameter(word, arg, now);
}

std::optional<Answer> TriloModule::extraCommand(std::string_view, std::string_view,
                                                Clock::time_point) {
    return std::nullopt;
}

Answer TriloModule::status(Clock::time_point now) {
    auto& c = core();
    c.axis.update(now);
    const bool moving = c.axis.moving();
    int stage = 0;
    if (c.function != 0) {
        stage = moving ? 1 : kFunctionDone;
    }
    return Answer::reply(text::format("D %03d %03d E%02X %s %ld %02X %02X %s", c.function, stage,
                                      static_cast<unsigned>(c.errorCode), moving ? "MV" : "XX",
                                      c.axis.position(), static_cast<unsigned>(c.inputs & 0xFF),
                                      static_cast<unsigned>(c.outputs & 0xFF),
                                      c.power ? "MO" : "MF"));
}

Answer TriloModule::parametersShort() const {
    return Answer::reply(text::format("L %ld %ld %ld %c %ld %ld %ld %ld", param(kStartSpeed),
                                      param(kMaxSpeed), param(kRamp),
                                      kStandbyLetters[param(kStandby)], param(kResolution),
                                      param(kCurrent), param(kDirection), param(kSliding)));
}

Answer TriloModule::parametersLabelled() const {
    std::string ramp = text::format("%ld", param(kRamp));
    if (param(kSeparateDecel)) {
        ramp += text::format(":%ld", param(kDecel));
    }
    return Answer::reply(text::format(
        "L WL:%ld WH:%ld WT:%s WN:%ld DR:%ld GI:%ld DG:%ld MD:%c%c %s %c", param(kStartSpeed),
        param(kMaxSpeed), ramp.c_str(), param(kResolution), param(kDirection), param(kCurrent),
        param(kSliding), param(kPowerOnFunction) ? 'D' : 'R', kStandbyLetters[param(kStandby)],
        param(kEndSensors) ? "MB" : "MN", param(kReverse) ? 'H' : 'L'));
}

Answer TriloModule::memory(std::string_view arg) const {
    const auto w = text::words(arg);
    if (w.size() != 2) {
        return Answer::notExecuted();
    }
    const auto page = text::toHex(w[0]);
    const auto offset = text::toHex(w[1]);
    if (!page || !offset) {
        return Answer::notExecuted();
    }
    long value = 0;
    for (const Cell& cell : kPowerOnCells) {
        if (cell.page == *page && cell.offset == *offset) {
            value = param(kPowerOnFunction);
        }
    }
    if (kSensorCell.page == *page && kSensorCell.offset == *offset) {
        value = param(kEndSensors) ? kSensorBit : 0;
    }
    if (kAutoOutputCell.page == *page && kAutoOutputCell.offset == *offset) {
        value = param(kAuto) ? 0 : 1;
    }
    return Answer::reply(text::format("M %02lX", static_cast<unsigned long>(value) & 0xFFUL));
}

Answer TriloModule::automaticOutputs() const {
    // Without automatic outputs the module shows its idle setting: no output used, all
    // values high, options cleared, no positions.
    const bool on = param(kAuto) != 0;
    const long opt = on ? param(kAutoOptions) : 0;
    const long pos = on ? param(kAutoPosOptions) : 0;
    const char* sign = (opt & 0x6) == 0x6 ? "+" : ((opt & 0x4) != 0 ? "-" : "");
    const char* letter = (opt & 0x1) != 0 ? "A" : "R";
    const char* mark = (pos & 0x8) != 0 ? "M" : "";
    const char* plus = (pos & 0x10) != 0 ? "P" : "";
    const char* none = (pos & 0x18) == 0 ? "." : "";
    return Answer::reply(text::format("C GL:%02lX:%02lX %s%s GP:%ld:%ld %s%s%s",
                                      on ? param(kAutoValues) : 0L, on ? param(kAutoUsed) : 0xFFL,
                                      sign, letter, on ? param(kAutoSet) : 0L,
                                      on ? param(kAutoReset) : 0L, mark, plus, none));
}

Answer TriloModule::setOutputs(std::string_view arg) {
    const auto w = text::words(arg);
    if (w.empty()) {
        return fail(errc::kBadValue);
    }
    const auto colon = w[0].find(':');
    const auto value = text::toHex(w[0].substr(0, colon));
    std::optional<unsigned long> second = 0xFFUL;
    if (colon != std::string_view::npos) {
        second = text::toHex(w[0].substr(colon + 1));
    }
    if (!value || !second || *value > 0xFF || *second > 0xFF) {
        return fail(errc::kBadValue);
    }
    if (w.size() >= 2) {
        // With option letters the values configure the automatic outputs.
        auto& p = core().params;
        p[kAutoValues] = static_cast<long>(*value);
        p[kAutoUsed] = static_cast<long>(*second);
        long opt = 0;
        for (std::size_t i = 1; i < w.size(); ++i) {
            for (char c : w[i]) {
                if (c == 'A' || c == 'a') {
                    opt |= 0x1;
                } else if (c == 'R' || c == 'r') {
                    opt &= ~0x1L;
                } else if (c == '+') {
                    opt |= 0x6;
                } else if (c == '-') {
                    opt = (opt & ~0x6L) | 0x4;
                }
            }
        }
        p[kAutoOptions] = opt;
        p[kAuto] = 1;
        return Answer::done();
    }
    // A set value bit switches its output on; a clear mask bit leaves the output as it is.
    const std::uint32_t mask = static_cast<std::uint32_t>(*second);
    const std::uint32_t on = static_cast<std::uint32_t>(*value) & 0xFFU;
    core().outputs = (core().outputs & ~mask) | (on & mask);
    return Answer::done();
}

Answer TriloModule::setPositions(std::string_view arg) {
    const auto w = text::words(arg);
    auto& p = core().params;
    if (w.size() == 1 && text::iequals(w[0], "A")) {
        p[kAuto] = 0;
        p[kAutoSet] = 0;
        p[kAutoReset] = 0;
        p[kAutoPosOptions] = 0;
        return Answer::done();
    }
    if (w.empty()) {
        return fail(errc::kBadValue);
    }
    const auto colon = w[0].find(':');
    if (colon == std::string_view::npos) {
        return fail(errc::kBadValue);
    }
    const auto set = text::toLong(w[0].substr(0, colon));
    const auto reset = text::toLong(w[0].substr(colon + 1));
    if (!set || !reset) {
        return fail(errc::kBadValue);
    }
    long opt = 0;
    for (std::size_t i = 1; i < w.size(); ++i) {
        for (char c : w[i]) {
            opt |= (c == 'M' || c == 'm') ? 0x8 : 0;
            opt |= (c == 'P' || c == 'p') ? 0x10 : 0;
        }
    }
    p[kAutoSet] = *set;
    p[kAutoReset] = *reset;
    p[kAutoPosOptions] = opt;
    p[kAuto] = 1;
    return Answer::done();
}

Answer TriloModule::motion(std::string_view word, std::string_view arg, Clock::time_point now) {
    auto& c = core();
    if (word == "MR") {
        c.axis.quickStop(now);
        c.errorCode = errc::kNone;
        c.function = 0;
        return Answer::done();
    }
    if (word == "GS") {
        c.axis.quickStop(now);
        c.function = 0;
        return Answer::done();
    }
    if (word == "GE") {
        c.axis.decelStop(now);
        return Answer::done();
    }
    if (word == "GM") {
        c.power = true;
        return Answer::done();
    }
    if (word == "GR") {
        c.axis.quickStop(now);
        c.power = false;
        return Answer::done();
    }
    if (word == "DI") {
        c.axis.setPosition(0, now);
        return Answer::done();
    }
    if (!c.power) {
        return fail(errc::kPowerOff);
    }
    if (word == "GA") {
        const auto target = text::toLong(arg);
        if (!target) {
            return fail(errc::kBadValue);
        }
        c.axis.moveTo(*target, now);
        return Answer::done();
    }
    if (word == "GF") {
        // "+ Wh" / "- Wh": run at the maximum speed.
        const std::string a = text::upper(arg);
        double speed = 0.0;
        if (a == "+ WH" || a == "+WH") {
            speed = static_cast<double>(param(kMaxSpeed));
        } else if (a == "- WH" || a == "-WH") {
            speed = -static_cast<double>(param(kMaxSpeed));
        } else if (auto v = text::toLong(arg)) {
            speed = static_cast<double>(*v);
        } else {
            return fail(errc::kBadValue);
        }
        c.axis.run(speed, now);
        return Answer::done();
    }
    // SS: start stored function n; here a function is a move of n x 100 steps.
    const auto number = text::toLong(arg);
    if (!number || *number < 0 || *number > 999) {
        return fail(errc::kBadValue);
    }
    c.function = static_cast<int>(*number);
    c.axis.moveBy(*number * kFunctionStep, now);
    return Answer::done();
}

Answer TriloModule::writeParameter(std::string_view word, std::string_view arg,
                                   Clock::time_point now) {
    auto& p = core().params;
    if (word == "MS") {
        const std::string a = text::upper(arg);
        const auto pos = std::string_view(kStandbyLetters).find(a.empty() ? '?' : a[0]);
        if (a.size() != 1 || pos == std::string_view::npos) {
            return fail(errc::kBadValue);
        }
        p[kStandby] = static_cast<long>(pos);
        return Answer::done();
    }
    if (word == "MB" || word == "MN") {
        if (!arg.empty()) {
            return fail(errc::kBadValue);
        }
        p[kEndSensors] = word == "MB" ? 1 : 0;
        return Answer::done();
    }
    if (word == "SR") {
        p[kPowerOnFunction] = 0;
        return Answer::done();
    }
    if (word == "WT") {
        const auto colon = arg.find(':');
        const auto ramp = text::toLong(arg.substr(0, colon));
        std::optional<long> decel = ramp;
        if (colon != std::string_view::npos) {
            decel = text::toLong(arg.substr(colon + 1));
        }
        if (!ramp || !decel || *ramp < 1 || *decel < 1) {
            return fail(errc::kBadValue);
        }
        p[kRamp] = *ramp;
        p[kDecel] = *decel;
        p[kSeparateDecel] = colon != std::string_view::npos ? 1 : 0;
        applyProfile(now);
        return Answer::done();
    }
    struct Numeric {
        const char* word;
        const char* param;
        long min;
        long max;
    };
    static constexpr Numeric kNumeric[] = {
        {"WL", kStartSpeed, 1, 100000},         {"WH", kMaxSpeed, 1, 100000},
        {"WN", kResolution, 1, kMaxResolution}, {"DR", kDirection, 0, 1},
        {"GI", kCurrent, 0, kMaxCurrentCode},   {"DG", kSliding, 0, 65535},
        {"SD", kPowerOnFunction, 1, 999},
    };
    for (const Numeric& n : kNumeric) {
        if (word == n.word) {
            const auto v = text::toLong(arg);
            if (!v || *v < n.min || *v > n.max) {
                return fail(errc::kBadValue);
            }
            p[n.param] = *v;
            applyProfile(now);
            return Answer::done();
        }
    }
    return fail(errc::kUnknownCommand, Answer::Kind::Rejected);
}

// ---------------------------------------------------------------------------------------

namespace {
// Variables a MICROTRILO knows by name; the first few are views of its state.
constexpr const char* kMicroVariables[] = {
    "CPA", "VALIM", "IA1",     "IA2",     "IN",    "OA1",   "OA2", "Codeur", "TRS",
    "OUT", "GI",    "VSUPPLY", "AI1",     "AI2",   "VAUXP", "AO1", "AO2",    "SW",
    "SD",  "GI_S",  "GI_B",    "_MDEF",   "TDC",   "_MPA",  "AIA", "AIB",    "AOA",
    "AOB", "_SNSP", "_ERR",    "_STATUS", "WNCKS", "TEMP"};
constexpr long kByteMask = 0xFF;
} // namespace

MicroTriloModule::MicroTriloModule(const ModuleSetup& setup) : TriloModule(setup) {
    for (const char* name : kMicroVariables) {
        core().variables[name] = 0;
    }
    core().variables["VSUPPLY"] = 24000;
    core().variables["TEMP"] = 35;
}

std::optional<Answer> MicroTriloModule::extraCommand(std::string_view word, std::string_view arg,
                                                     Clock::time_point now) {
    if (word == "QR") {
        return readVariables(arg, now);
    }
    if (word == "PO") {
        return assign(arg, now);
    }
    return std::nullopt;
}

std::optional<long> MicroTriloModule::variable(const std::string& name, Clock::time_point now) {
    auto& c = core();
    c.axis.update(now);
    // Inputs and outputs are wired active-low: the module reports them inverted.
    if (name == "CPA") {
        return c.axis.position();
    }
    if (name == "IN") {
        return kByteMask - static_cast<long>(c.inputs & kByteMask);
    }
    if (name == "OUT") {
        return kByteMask - static_cast<long>(c.outputs & kByteMask);
    }
    if (name == "_STATUS") {
        return static_cast<long>(statusWord(now));
    }
    if (name == "_ERR") {
        return c.errorCode;
    }
    if (name == "_SNSP") {
        const int stage = c.function == 0 ? 0 : (c.axis.moving() ? 1 : 255);
        return (static_cast<long>(c.function) << 8) | stage;
    }
    if (name == "GI") {
        return param("GI");
    }
    auto it = c.variables.find(name);
    if (it == c.variables.end()) {
        return std::nullopt;
    }
    return it->second;
}

Answer MicroTriloModule::readVariables(std::string_view arg, Clock::time_point now) {
    std::string out;
    for (std::string_view w : text::words(arg)) {
        if (w.size() < 2 || w.front() != '#') {
            return fail(errc::kBadValue);
        }
        const std::string name(w.substr(1));
        const auto value = variable(name, now);
        if (!value) {
            return fail(errc::kBadValue);
        }
        char buf[96];
        std::snprintf(buf, sizeof buf, "%s#%s=%ld", out.empty() ? "" : " ", name.c_str(), *value);
        out += buf;
    }
    if (out.empty()) {
        return fail(errc::kBadValue);
    }
    return Answer::reply(out);
}

Answer MicroTriloModule::assign(std::string_view arg, Clock::time_point now) {
    // PO #NAME := value
    const auto eq = arg.find(":=");
    if (arg.empty() || arg.front() != '#' || eq == std::string_view::npos) {
        return fail(errc::kBadValue);
    }
    const std::string name(text::trim(arg.substr(1, eq - 1)));
    const auto value = text::toNumber(arg.substr(eq + 2));
    auto& c = core();
    if (!value || !c.variables.count(name)) {
        return fail(errc::kBadValue);
    }
    if (name == "CPA") {
        c.axis.setPosition(*value, now);
    } else if (name == "OUT") {
        c.outputs = static_cast<std::uint32_t>(kByteMask - (*value & kByteMask));
    } else if (name == "_ERR") {
        c.errorCode = static_cast<int>(*value);
    } else if (name == "GI") {
        c.params["GI"] = *value & kByteMask;
    } else if (name == "IN" || name == "_STATUS" || name == "_SNSP") {
        return fail(errc::kBadValue);
    } else {
        c.variables[name] = *value;
    }
    return Answer::done();
}

} // namespace kvsim
