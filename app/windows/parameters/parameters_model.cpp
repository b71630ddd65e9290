#include "parameters_model.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>

namespace tamsel::windows::parameters {

namespace {

constexpr std::int32_t kLargeStep = 100;
constexpr double kPercentPerCode = 0.39215686274509803;
constexpr double kCodePerPercent = 2.55;
constexpr double kHalf = 0.5;
constexpr double kPercentScale = 0.01;
constexpr float kAmperesFactor = 2.0F;
constexpr int kMaxExponent = 6;
constexpr std::int64_t kBaseLimit = 16000;
constexpr std::int64_t kTimeConstant = 63750000;
constexpr std::int64_t kFixedTimeConstant = 65000000;
constexpr std::int64_t kStepsPerSecond = 1280000;
constexpr std::int64_t kMinimumMs = 1000;
constexpr std::int64_t kLowestPulse = 62;
constexpr std::int64_t kFixedLowestSpeed = 20;
constexpr std::int64_t kFixedSpeedRatio = 128;
constexpr std::int64_t kMiddleRamp = 3984;

constexpr const char* kNominal = "Nominal";
constexpr const char* kNominalStandby = "Nominal & Standby";
constexpr const char* kBoost = "Boost Nominal & Standby";
constexpr const char* kBySwitch = "StandBy mode drive by S1";

std::int64_t ceilDiv(std::int64_t a, std::int64_t b) {
    return (a + b - 1) / b;
}

std::int32_t narrow(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

std::int32_t clampTo(std::int64_t value, const TRange& range) {
    return narrow(std::clamp<std::int64_t>(value, range.low, range.high));
}

} // namespace

TResolutionSetup resolutionSetup(std::int32_t kind) {
    switch (kind) {
    case 1:
        return {{1, 1}, ResolutionStep::Fixed, RangeRule::Fixed};
    case 2:
        return {{2, 2}, ResolutionStep::Fixed, RangeRule::Fixed};
    case 3:
        return {{1, 256}, ResolutionStep::ByOne, RangeRule::Variable};
    case 4:
        return {{1, 64}, ResolutionStep::DoubleHalve, RangeRule::Variable};
    default:
        return {{1, 1}, ResolutionStep::ByOne, RangeRule::Variable};
    }
}

std::int32_t stepResolution(std::int32_t value, bool up, const TResolutionSetup& setup) {
    std::int64_t next = value;
    switch (setup.step) {
    case ResolutionStep::Fixed:
        break;
    case ResolutionStep::ByOne:
        next += up ? 1 : -1;
        break;
    case ResolutionStep::DoubleHalve:
        next = up ? next * 2 : next / 2;
        break;
    }
    return clampTo(next, setup.range);
}

std::int32_t resolutionLeft(std::int32_t typed, const TResolutionSetup& setup) {
    return clampTo(typed, setup.range);
}

TCurrentSetup currentSetup(std::int32_t kind) {
    TCurrentSetup s;
    switch (kind) {
    case 1:
        s.standby = {kBySwitch};
        break;
    case 2:
        s.standby = {kNominal, kNominalStandby, kBoost};
        s.standbyEnabled = true;
        break;
    case 3:
        s.percentArrows = true;
        s.display = AmpsDisplay::None;
        s.standby = {kBySwitch};
        break;
    case 4:
        s.percentArrows = true;
        s.display = AmpsDisplay::None;
        s.standby = {kNominal, kNominalStandby};
        s.standbyEnabled = true;
        break;
    case 5:
        s.percentArrows = true;
        s.display = AmpsDisplay::Amperes;
        s.factor = kAmperesFactor;
        s.standby = {kNominal, kNominalStandby};
        s.standbyEnabled = true;
        break;
    default:
        s.initialPercent = 1;
        s.standbyVisible = false;
        break;
    }
    return s;
}

std::int32_t percentOfCode(std::int32_t code) {
    const float scaled = static_cast<float>(code * kPercentPerCode);
    return static_cast<std::int32_t>(std::trunc(scaled + kHalf));
}

std::int32_t codeOfPercent(std::int32_t percent) {
    return static_cast<std::int32_t>(std::trunc(static_cast<float>(percent * kCodePerPercent)));
}

std::string ampsText(std::int32_t percent, float factor) {
    char text[64] = {};
    std::snprintf(text, sizeof text, "=%3.2f Amps", percent * factor * kPercentScale);
    return text;
}

std::int32_t stepPercent(std::int32_t percent, bool up) {
    const std::int32_t next = percent + (up ? 1 : -1);
    return next < 0 || next > kPercentMax ? percent : next;
}

TRampView rampView(int mode) {
    TRampView v;
    if (mode == kRampSingleOrSeparate) {
        v.decEnabled = true;
    } else if (mode == kRampSeparate) {
        v.decEnabled = true;
        v.decChecked = true;
        v.decelFieldEnabled = true;
        v.label = "Acc.";
    }
    return v;
}

int rampModeOf(std::int32_t rampKind, std::uint8_t separateDecel, int current) {
    if (rampKind == 0) {
        return current;
    }
    return separateDecel != 0 ? kRampSeparate : kRampSingleOrSeparate;
}

int rampModeOfDecClick(bool checked) {
    return checked ? kRampSeparate : kRampSingleOrSeparate;
}

std::string rampModeText(int mode) {
    return "tatd : " + std::to_string(mode);
}

TRange hardRangeOf(Field field) {
    return field == kStart || field == kMax ? kSpeedHardRange : kTimeHardRange;
}

std::int32_t stepChecked(std::int32_t value, bool up, bool large, Field field) {
    const std::int64_t delta = large ? kLargeStep : 1;
    return clampTo(static_cast<std::int64_t>(value) + (up ? delta : -delta), hardRangeOf(field));
}

std::int32_t clampToHard(std::int32_t value, Field field) {
    return clampTo(value, hardRangeOf(field));
}

TRangeCalculator::TRangeCalculator() {
    reset();
}

void TRangeCalculator::reset() {
    for (int f = 0; f < kCheckedFields; ++f) {
        m_valid[static_cast<std::size_t>(f)] = hardRangeOf(static_cast<Field>(f));
    }
    m_fullDone = false;
}

bool TRangeCalculator::compute(Edited edited, const TRangeInputs& in, RangeRule rule) {
    const bool zero =
        in.resolution == 0 || in.startSpeed == 0 || in.maxSpeed == 0 || in.rampTime == 0;
    auto one = [](std::int32_t v) { return static_cast<std::int64_t>(v == 0 ? 1 : v); };
    const std::int64_t r = one(in.resolution);
    const std::int64_t vs = one(in.startSpeed);
    const std::int64_t vm = one(in.maxSpeed);
    const std::int64_t ta = one(in.rampTime);
    const std::int64_t td = one(in.decelTime);
    const std::int64_t t = std::max(ta, td);

    if (!m_fullDone) {
        edited = Edited::All;
    }
    if (edited == Edited::All) {
        m_r0 = static_cast<std::int32_t>(r);
        // The integer logarithm: for R >= 1 it is the position of the highest bit.
        m_k = std::min(static_cast<int>(std::bit_width(
                           static_cast<std::uint64_t>(std::max<std::int64_t>(r, 1)))) -
                           1,
                       kMaxExponent);
        m_limit = kBaseLimit << m_k;
        m_product = static_cast<float>(m_r0) * static_cast<float>(vm);
        m_class = m_product < static_cast<float>(kBaseLimit)
                      ? kClassSlow
                      : (m_product <= static_cast<float>(m_limit) ? kClassMiddle : kClassFast);
        m_fullDone = true;
    }
    const std::int64_t power = std::int64_t{1} << m_k;
    TRange& start = m_valid[kStart];
    TRange& max = m_valid[kMax];
    TRange& ramp = m_valid[kRamp];
    TRange& decel = m_valid[kDecel];
    const std::int64_t speedHigh = kSpeedHardRange.high;
    const std::int64_t timeHigh = kTimeHardRange.high;

    if (edited != Edited::StartSpeed) {
        if (rule == RangeRule::Variable) {
            start.low = narrow(std::max({std::int64_t{1}, kMinimumMs / (r * t), kLowestPulse / r}));
            start.high = narrow(std::min({kTimeConstant / (r * t), speedHigh / r, vm}));
        } else {
            start.low =
                narrow(std::max({kFixedLowestSpeed, kMinimumMs / ta, vm / kFixedSpeedRatio}));
            start.high = narrow(std::min(vm - 1, speedHigh));
        }
    }
    if (edited != Edited::MaxSpeed) {
        if (rule == RangeRule::Variable) {
            max.low = narrow(vs);
            if (t < kMiddleRamp) {
                max.high = narrow(std::min(
                    {kStepsPerSecond / r, ceilDiv(power * kTimeConstant, r * t), speedHigh}));
            } else if (t == kMiddleRamp) {
                max.high = narrow(std::min(ceilDiv(m_limit, r), speedHigh));
            } else {
                max.high =
                    narrow(std::min({kStepsPerSecond / r, kTimeConstant / (r * t), speedHigh}));
            }
        } else {
            max.low = narrow(vs + 1);
            max.high =
                narrow(std::min({kFixedTimeConstant / ta, vs * kFixedSpeedRatio, speedHigh}));
        }
    }
    if (edited != Edited::Time) {
        if (rule == RangeRule::Variable) {
            ramp.low = narrow(std::max(std::int64_t{1}, kMinimumMs / (r * ta)));
            decel.low = narrow(std::max(std::int64_t{1}, kMinimumMs / (r * td)));
            std::int64_t high = kMiddleRamp;
            const double product = static_cast<double>(m_product);
            if (m_class == kClassSlow) {
                high = std::min(timeHigh, static_cast<std::int64_t>(std::ceil(
                                              static_cast<double>(kTimeConstant) / product)));
            } else if (m_class == kClassFast) {
                high =
                    std::min(timeHigh, static_cast<std::int64_t>(std::ceil(
                                           static_cast<double>(power * kTimeConstant) / product)));
            }
            ramp.high = narrow(high);
            decel.high = narrow(high);
        } else {
            ramp.low = narrow(std::max(std::int64_t{1}, kMinimumMs / vs));
            ramp.high = narrow(std::min(timeHigh, kFixedTimeConstant / vm));
        }
    }
    return zero;
}

std::string divisionByZeroText(Edited edited, int callCode) {
    char text[64] = {};
    std::snprintf(text, sizeof text, "Grave erreur  appel = %d [%02d]", static_cast<int>(edited),
                  callCode);
    return text;
}

FieldColour colourOf(std::int32_t value, Field field, const TRange& valid) {
    const TRange hard = hardRangeOf(field);
    if (value < hard.low || value > hard.high) {
        return FieldColour::Red;
    }
    if (value > valid.high) {
        return FieldColour::Magenta;
    }
    if (value < valid.low) {
        return FieldColour::Cyan;
    }
    return FieldColour::Normal;
}

bool applyEnabled(const std::array<bool, kCheckedFields>& valid, bool decelEnabled) {
    return valid[kStart] && valid[kMax] && valid[kRamp] && (valid[kDecel] || !decelEnabled);
}

TIndicatorView indicatorView(int bit, std::int32_t supportedMask, std::int32_t bits) {
    TIndicatorView v;
    v.supported = (supportedMask & (1 << bit)) != 0;
    v.active = v.supported && (bits & (1 << bit)) != 0;
    v.bitmap = v.active ? kLampActive : kLampInactive;
    return v;
}

std::string fieldText(std::int32_t value) {
    return " " + std::to_string(value);
}

} // namespace tamsel::windows::parameters
