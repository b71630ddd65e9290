#include "monitor_rules.h"

#include <contract/record_codes.h>

#include <cstdio>

namespace tamsel::windows::monitoring {

namespace {

/// The module variable that holds the outputs of the VRX family.
constexpr const char* kOutputVariable = "OUT";

void copyText(char* to, std::size_t size, const std::string& text) {
    std::snprintf(to, size, "%s", text.c_str());
}

} // namespace

std::string powerText(std::uint8_t power) {
    return power != 0 ? " 0N" : "0FF";
}

char lampCharacter(std::int32_t value, int lamp) {
    const auto bits = static_cast<std::uint32_t>(value);
    return ((bits >> (lamp - 1)) & 1U) != 0 ? '#' : '*';
}

int nextFrame(int frame, std::int32_t previousPosition, std::int32_t position) {
    if (position > previousPosition) {
        return (frame + 1) % kAnimationFrames;
    }
    if (position < previousPosition) {
        return (frame + kAnimationFrames - 1) % kAnimationFrames;
    }
    return frame;
}

TPanelValues panelValues(const contract::TagStatus& status, bool failed,
                         std::int32_t lastPosition) {
    TPanelValues v;
    if (failed) {
        v.position = lastPosition;
        v.inputs = kAllLamps;
        v.outputs = kAllLamps;
        return v;
    }
    v.position = status.position;
    v.function = status.function;
    v.stage = status.stage;
    v.power = status.power == contract::kPowerOn ? 1 : 0;
    v.moving = status.moving != 0 ? 1 : 0;
    v.inputs = status.inputs;
    v.outputs = status.outputs;
    return v;
}

TPanelValues neverShown() {
    // No status holds negative function and stage numbers, flags or lamp rows.
    constexpr std::int32_t kImpossible = -1;
    TPanelValues v;
    v.position = kImpossible;
    v.power = kImpossible;
    v.moving = kImpossible;
    v.function = kImpossible;
    v.stage = kImpossible;
    v.inputs = kImpossible;
    v.outputs = kImpossible;
    return v;
}

TPanelChanges changesBetween(const TPanelValues& shown, const TPanelValues& next) {
    TPanelChanges c;
    c.position = shown.position != next.position;
    c.function = shown.function != next.function;
    c.stage = shown.stage != next.stage;
    c.power = shown.power != next.power;
    c.moving = shown.moving != next.moving;
    c.inputs = shown.inputs != next.inputs;
    c.outputs = shown.outputs != next.outputs;
    return c;
}

TErrorStep followRead(TErrorMode& mode, bool failed) {
    if (failed == mode.active) {
        return TErrorStep::None;
    }
    mode.active = failed;
    return failed ? TErrorStep::Enter : TErrorStep::Leave;
}

std::optional<std::string> listedName(const std::string& typed) {
    if (typed.empty() || typed == "#") {
        return std::nullopt;
    }
    return typed.front() == '#' ? typed : "#" + typed;
}

std::string askedName(const std::string& listed, bool firstEntry) {
    if (firstEntry || listed.empty()) {
        return kNoVariable;
    }
    return listed.front() == '#' ? listed.substr(1) : listed;
}

int viewModeOf(TViewItem item) {
    constexpr int kDecimalView = 0;
    constexpr int kHexadecimalView = 1;
    constexpr int kBinaryView = 2;
    switch (item) {
    case TViewItem::Decimal:
        return kDecimalView;
    case TViewItem::Hexadecimal:
        return kHexadecimalView;
    case TViewItem::Binary:
        return kBinaryView;
    case TViewItem::InputValue:
    case TViewItem::About:
        break;
    }
    return -1;
}

TViewMenu viewMenuFor(std::int32_t itemData) {
    return {itemData == kSettableItem, itemData > 0};
}

contract::TagVariable toggleOutput(int bit, std::int32_t outputs) {
    contract::TagVariable v;
    v.subKind = contract::kVariableToggleOutput;
    copyText(v.name, sizeof v.name, kOutputVariable);
    v.outputNumber = bit + 1;
    v.outputValue = outputs;
    return v;
}

contract::TagVariable clearPosition() {
    contract::TagVariable v;
    v.subKind = contract::kVariableResetPosition;
    return v;
}

contract::TagVariable assignVariable(const std::string& name, const std::string& value) {
    contract::TagVariable v;
    v.subKind = contract::kVariableAssign;
    copyText(v.name, sizeof v.name, askedName(name, false));
    copyText(v.value, sizeof v.value, value);
    return v;
}

int powerLightState(std::uint8_t power, bool failed) {
    return !failed && power == contract::kPowerOn ? 1 : 0;
}

int errorLightState(std::int32_t errorCode) {
    return errorCode != 0 ? 1 : 0;
}

} // namespace tamsel::windows::monitoring
