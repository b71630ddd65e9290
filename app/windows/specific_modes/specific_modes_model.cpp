#include "specific_modes_model.h"

#include <algorithm>
#include <cstdio>

namespace tamsel::windows::specific_modes {

namespace {

constexpr std::int32_t kLargeStep = 100;
constexpr const char* kFunctionFormat = "n\xC2\xB0= %03d";
constexpr const char* kFunctionReading = "n\xC2\xB0= %d";

std::uint8_t flag(std::uint32_t bits, std::uint32_t bit) {
    return (bits & bit) != 0 ? 1 : 0;
}

std::uint32_t valueBit(int index) {
    return 1U << (kValueShift + index);
}

std::uint32_t usedBit(int index) {
    return 1U << (kUsedShift + index);
}

} // namespace

void clearRecord(contract::TagSpecificMode& record, std::uint32_t capabilities) {
    record = contract::TagSpecificMode{};
    record.autoOutputSettings = static_cast<std::int32_t>(kClearedSettings);
    record.capabilities = capabilities;
    record.powerOnSupported = flag(capabilities, kPowerOnBit);
    record.endSensorsSupported = flag(capabilities, kEndSensorsBit);
    record.reverseSupported = flag(capabilities, kReverseBit);
    record.slidingSupported = flag(capabilities, kSlidingBit);
    record.autoOutputSupported = flag(capabilities, kAutoOutputBit);
}

const char* outputText(OutputState state) {
    switch (state) {
    case OutputState::Off:
        return "OFF";
    case OutputState::On:
        return "ON";
    default:
        return "XX";
    }
}

OutputState outputStateOf(const std::string& text) {
    if (text == "OFF") {
        return OutputState::Off;
    }
    if (text == "ON") {
        return OutputState::On;
    }
    return OutputState::Unchanged;
}

OutputState nextOutputState(OutputState state) {
    switch (state) {
    case OutputState::Off:
        return OutputState::On;
    case OutputState::On:
        return OutputState::Unchanged;
    default:
        return OutputState::Off;
    }
}

TAutoOutputView autoOutputView(std::uint32_t settings) {
    TAutoOutputView v;
    v.absolute = (settings & kAbsolute) != 0;
    if ((settings & kEdgeSpecific) == 0) {
        v.transition = Transition::All;
    } else {
        v.transition = (settings & kIncrease) != 0 ? Transition::Increase : Transition::Decrease;
    }
    v.onEach = (settings & kOnEach) != 0;
    v.stored = (settings & kStored) != 0;
    for (int i = 0; i < kOutputs; ++i) {
        OutputState& out = v.outputs[static_cast<std::size_t>(i)];
        if ((settings & usedBit(i)) == 0) {
            out = OutputState::Unchanged;
        } else {
            out = (settings & valueBit(i)) != 0 ? OutputState::Off : OutputState::On;
        }
    }
    return v;
}

std::uint32_t settingsOf(const TAutoOutputView& view) {
    std::uint32_t s = 0;
    s += view.absolute ? kAbsolute : 0;
    if (view.transition != Transition::All) {
        s += kEdgeSpecific;
        s += view.transition == Transition::Increase ? kIncrease : 0;
    }
    s += view.onEach ? kOnEach : 0;
    s += view.stored ? kStored : 0;
    for (int i = 0; i < kOutputs; ++i) {
        switch (view.outputs[static_cast<std::size_t>(i)]) {
        case OutputState::On:
            s += usedBit(i);
            break;
        case OutputState::Off:
            s += usedBit(i) + valueBit(i);
            break;
        default:
            break;
        }
    }
    return s;
}

TRgb outputColour(const std::string& text) {
    switch (outputStateOf(text)) {
    case OutputState::Off:
        return {255, 255, 0};
    case OutputState::On:
        return {0, 255, 0};
    default:
        return text == "XX" ? TRgb{192, 192, 192} : TRgb{255, 0, 0};
    }
}

std::string functionText(std::int32_t number) {
    char text[32] = {};
    std::snprintf(text, sizeof text, kFunctionFormat, number);
    return text;
}

std::int32_t functionOf(const std::string& text) {
    int number = 0;
    return std::sscanf(text.c_str(), kFunctionReading, &number) == 1 ? number : 0;
}

std::int32_t stepFunction(std::int32_t number, bool up) {
    return std::clamp(number + (up ? 1 : -1), kFunctionMin, kFunctionMax);
}

std::int32_t stepSliding(std::int32_t distance, bool up) {
    return std::clamp(distance + (up ? 1 : -1), kSlidingMin, kSlidingMax);
}

std::int32_t stepPosition(std::int32_t position, bool up, bool large) {
    const std::int64_t delta = large ? kLargeStep : 1;
    const std::int64_t next = static_cast<std::int64_t>(position) + (up ? delta : -delta);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(next, INT32_MIN, INT32_MAX));
}

std::string slidingText(std::int32_t distance) {
    char text[16] = {};
    std::snprintf(text, sizeof text, "%3d", distance);
    return text;
}

void fillRecord(const TModesInput& in, contract::TagSpecificMode& record) {
    record.powerOnFunction = in.powerOn ? in.function : 0;
    record.endSensors = in.endSensors ? 1 : 0;
    record.reverseInputs = in.reverse ? 1 : 0;
    record.slidingDistance = in.sliding ? in.distance : 0;
    record.autoOutput = in.autoOutput ? 1 : 0;
    if (in.autoOutput) {
        record.setPosition = in.setPosition;
        record.resetPosition = in.resetPosition;
        record.autoOutputSettings = static_cast<std::int32_t>(settingsOf(in.outputs));
    }
}

std::string traceText(const contract::TagSpecificMode& record) {
    char text[64] = {};
    std::snprintf(text, sizeof text, " %d %d %X", record.setPosition, record.resetPosition,
                  static_cast<unsigned>(record.autoOutputSettings));
    return text;
}

} // namespace tamsel::windows::specific_modes
