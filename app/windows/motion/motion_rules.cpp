#include "motion_rules.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace tamsel::windows::motion {

namespace {

constexpr int kNumberTextSize = 32;

std::string decimal(std::int32_t value, bool plusSign) {
    char text[kNumberTextSize] = {};
    std::snprintf(text, sizeof text, plusSign ? "%+d" : "%d", static_cast<int>(value));
    return text;
}

std::int64_t clamp64(std::int64_t value, std::int64_t low, std::int64_t high) {
    return std::min(std::max(value, low), high);
}

constexpr std::int32_t kInt32Max = 2147483647;
constexpr std::int32_t kInt32Min = -kInt32Max - 1;

std::int32_t saturated(std::int64_t value) {
    return static_cast<std::int32_t>(clamp64(value, kInt32Min, kInt32Max));
}

bool isRunText(const std::string& text) {
    return text == kRunForward || text == kRunBackward;
}

} // namespace

std::optional<std::int32_t> numberIn(const std::string& text) {
    int value = 0;
    if (std::sscanf(text.c_str(), "%d", &value) != 1) {
        return std::nullopt;
    }
    return value;
}

std::string initialSpeedText(std::int32_t speedMode, std::int32_t speedLimit) {
    if (speedMode == kSpeedModeLimited) {
        return "+" + decimal(speedLimit, false);
    }
    return kRunForward;
}

std::string speedText(std::int32_t speed) {
    return decimal(speed, speed >= 1);
}

std::string steppedSpeed(const std::string& text, std::int32_t step, std::int32_t speedMode,
                         std::int32_t speedLimit) {
    if (speedMode == kSpeedModeLimited) {
        const std::int64_t limit = std::abs(static_cast<std::int64_t>(speedLimit));
        const std::int64_t speed = static_cast<std::int64_t>(numberIn(text).value_or(0)) + step;
        return speedText(saturated(clamp64(speed, -limit, limit)));
    }
    return text == kRunForward ? kRunBackward : kRunForward;
}

std::int32_t steppedFunction(std::int32_t number, std::int32_t step) {
    return saturated(
        clamp64(static_cast<std::int64_t>(number) + step, kFirstFunction, kLastFunction));
}

std::string functionText(std::int32_t number) {
    char text[kNumberTextSize] = {};
    std::snprintf(text, sizeof text, "%03d", static_cast<int>(number));
    return text;
}

std::optional<TCommand> motionApply(TMotionMode mode, const std::string& positionText,
                                    const std::string& speedText) {
    if (mode == TMotionMode::Defined) {
        if (!numberIn(positionText)) {
            return std::nullopt;
        }
        return TCommand{coded::kMoveAbsolute, positionText};
    }
    if (mode == TMotionMode::Continuous) {
        if (!isRunText(speedText) && !numberIn(speedText)) {
            return std::nullopt;
        }
        return TCommand{coded::kRunAtSpeed, speedText};
    }
    return std::nullopt;
}

TStartAction startButton(bool showsStop, std::int32_t speedMode, const std::string& functionText) {
    TStartAction action;
    if (showsStop) {
        action.command = TCommand{coded::kQuickStop, {}};
        return action;
    }
    if (!numberIn(functionText)) {
        return action;
    }
    action.switchToDefined = speedMode == kSpeedModeLimited;
    action.command = TCommand{coded::kStartFunction, functionText};
    return action;
}

TOutputState nextOutputState(TOutputState state, std::int32_t outputMode) {
    switch (state) {
    case TOutputState::Off:
        return TOutputState::On;
    case TOutputState::On:
        return outputMode == kOutputModeThreeState ? TOutputState::Unchanged : TOutputState::Off;
    case TOutputState::Unchanged:
        break;
    }
    return TOutputState::Off;
}

const char* outputText(TOutputState state) {
    switch (state) {
    case TOutputState::On:
        return "ON";
    case TOutputState::Unchanged:
        return "XX";
    case TOutputState::Off:
        break;
    }
    return "OFF";
}

std::uint32_t outputColour(TOutputState state) {
    constexpr std::uint32_t kYellow = 0xFFFF00;
    constexpr std::uint32_t kGreen = 0x00FF00;
    constexpr std::uint32_t kLightGrey = 0xC0C0C0;
    switch (state) {
    case TOutputState::On:
        return kGreen;
    case TOutputState::Unchanged:
        return kLightGrey;
    case TOutputState::Off:
        break;
    }
    return kYellow;
}

std::string outputLetters(const TOutputs& outputs) {
    std::string letters;
    for (TOutputState s : outputs) {
        letters += s == TOutputState::On ? 'O' : (s == TOutputState::Unchanged ? 'X' : 'F');
    }
    return letters;
}

void stepDistance(TTargets& t, std::int32_t step) {
    if (t.linkPending) {
        // Repeat the last distance from where the axis now stands.
        t.position = saturated(static_cast<std::int64_t>(t.position) + t.distance);
        t.linkPending = false;
    }
    t.distance = saturated(static_cast<std::int64_t>(t.distance) + step);
    t.position = saturated(static_cast<std::int64_t>(t.position) + step);
}

void stepPosition(TTargets& t, std::int32_t step) {
    if (t.linkPending) {
        t.distance = 0;
        t.linkPending = false;
    }
    t.distance = saturated(static_cast<std::int64_t>(t.distance) + step);
    t.position = saturated(static_cast<std::int64_t>(t.position) + step);
}

void distanceEdited(TTargets& t, std::int32_t distance) {
    t.distance = distance;
    t.position = saturated(static_cast<std::int64_t>(t.current) + distance);
}

void positionEdited(TTargets& t, std::int32_t position) {
    t.position = position;
    t.distance = saturated(static_cast<std::int64_t>(position) - t.current);
}

bool homeToggled(TTargets& t, bool checked) {
    if (checked) {
        if (t.current == 0) {
            return false;
        }
        t.distance = saturated(-static_cast<std::int64_t>(t.current));
        t.position = 0;
        return true;
    }
    t.position = t.current;
    t.distance = 0;
    return false;
}

TMotionChange followMotion(TMotionWatch& watch, bool moving) {
    if (watch.state == TTracking::Steady && moving == watch.lastMoving) {
        return TMotionChange::None;
    }
    watch.lastMoving = moving;
    // The start or stop is applied at once, so the watch is steady again right after it.
    watch.state = TTracking::Steady;
    return moving ? TMotionChange::Started : TMotionChange::Stopped;
}

TPowerButtons powerButtons(std::uint8_t power) {
    const bool on = power != 0;
    return {!on, on};
}

TModeControls modeControls(TMotionMode mode) {
    switch (mode) {
    case TMotionMode::Defined:
        return {true, true, true, false};
    case TMotionMode::Continuous:
        return {true, true, false, true};
    case TMotionMode::None:
        break;
    }
    return {};
}

TMotionControls motionControls(TMotionChange change, TMotionMode mode) {
    TMotionControls c;
    // "&Home" is offered again at every status whenever the motion is a defined one.
    c.homeEnabled = mode == TMotionMode::Defined;
    if (change == TMotionChange::Started) {
        c.applyEnabled = mode == TMotionMode::Continuous;
        c.showsStop = true;
        c.functionEnabled = false;
        c.clearPositionEnabled = false;
    } else {
        c.applyEnabled = true;
        c.showsStop = false;
        c.functionEnabled = true;
        c.clearPositionEnabled = true;
    }
    return c;
}

} // namespace tamsel::windows::motion
