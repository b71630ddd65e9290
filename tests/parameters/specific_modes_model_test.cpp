// The specific modes window's rules by tables: the modes a type offers, the automatic output
// settings word both ways, the outputs' cycle and colours, the formats and the arrows.
#include <specific_modes_model.h>

#include <gtest/gtest.h>

#include <tuple>

namespace tamsel::windows::specific_modes {
namespace {

using O = OutputState;

TEST(SpecificModesRecord, ClearingLeavesEveryOutputUsedAndOffAndSpreadsTheCapabilities) {
    struct Case {
        std::uint32_t capabilities;
        std::array<std::uint8_t, 5> supported; ///< power-on, end sensors, reverse, sliding, auto
    };
    const Case cases[] = {
        {31, {1, 1, 1, 1, 1}}, {27, {1, 1, 1, 1, 0}}, {25, {1, 1, 0, 1, 0}},
        {0, {0, 0, 0, 0, 0}},  {4, {0, 0, 0, 0, 1}},  {8, {1, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        contract::TagSpecificMode m;
        m.dataValid = 1;
        m.powerOnFunction = 7;
        m.endSensors = 1;
        m.slidingDistance = 12;
        m.autoOutput = 1;
        m.setPosition = 5;
        m.resetPosition = 6;
        clearRecord(m, c.capabilities);
        EXPECT_EQ(m.dataValid, 0);
        EXPECT_EQ(m.powerOnFunction, 0);
        EXPECT_EQ(m.endSensors, 0);
        EXPECT_EQ(m.slidingDistance, 0);
        EXPECT_EQ(m.autoOutput, 0);
        EXPECT_EQ(m.setPosition, 0);
        EXPECT_EQ(m.resetPosition, 0);
        EXPECT_EQ(static_cast<std::uint32_t>(m.autoOutputSettings), 0xFFFF0000U);
        EXPECT_EQ(m.capabilities, c.capabilities);
        const std::array<std::uint8_t, 5> got = {m.powerOnSupported, m.endSensorsSupported,
                                                 m.reverseSupported, m.slidingSupported,
                                                 m.autoOutputSupported};
        EXPECT_EQ(got, c.supported) << c.capabilities;
    }
}

TEST(SpecificModesAutoOutput, TheSettingsWordFromTheControls) {
    const std::array<O, 8> none = {O::Unchanged, O::Unchanged, O::Unchanged, O::Unchanged,
                                   O::Unchanged, O::Unchanged, O::Unchanged, O::Unchanged};
    std::array<O, 8> s1On = none;
    s1On[0] = O::On;
    std::array<O, 8> s8Off = none;
    s8Off[7] = O::Off;
    std::array<O, 8> allOn;
    allOn.fill(O::On);
    std::array<O, 8> allOff;
    allOff.fill(O::Off);
    struct Case {
        TAutoOutputView view;
        std::uint32_t settings;
    };
    const Case cases[] = {
        // Increase, absolute, On each cleared, Stored set: 1 + 4 + 2 + 16.
        {{true, Transition::Increase, false, true, none}, 23},
        {{false, Transition::Decrease, true, false, none}, 4 + 8},
        {{false, Transition::All, false, false, none}, 0},
        {{true, Transition::All, true, true, none}, 1 + 8 + 16},
        {{false, Transition::All, false, false, s1On}, 0x01000000U},
        {{false, Transition::All, false, false, s8Off}, 0x80800000U},
        {{false, Transition::All, false, false, allOn}, 0xFF000000U},
        {{false, Transition::All, false, false, allOff}, 0xFFFF0000U},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(settingsOf(c.view), c.settings) << std::hex << c.settings;
        // And back: the controls a settings word shows.
        EXPECT_EQ(autoOutputView(c.settings), c.view) << std::hex << c.settings;
    }
    // A value bit without its used bit leaves the output unchanged.
    EXPECT_EQ(autoOutputView(0x00010000U).outputs[0], O::Unchanged);
    // "All" whatever bit 1 says while bit 2 is clear.
    EXPECT_EQ(autoOutputView(kIncrease).transition, Transition::All);
}

TEST(SpecificModesAutoOutput, OutputsCycleAndShowTheirColours) {
    EXPECT_EQ(nextOutputState(O::Off), O::On);
    EXPECT_EQ(nextOutputState(O::On), O::Unchanged);
    EXPECT_EQ(nextOutputState(O::Unchanged), O::Off);
    const std::tuple<O, std::string, TRgb> cases[] = {
        {O::Off, "OFF", {255, 255, 0}},
        {O::On, "ON", {0, 255, 0}},
        {O::Unchanged, "XX", {192, 192, 192}},
    };
    for (const auto& [state, text, colour] : cases) {
        EXPECT_EQ(outputText(state), text);
        EXPECT_EQ(outputStateOf(text), state);
        EXPECT_EQ(outputColour(text), colour) << text;
    }
    EXPECT_EQ(outputColour("??"), (TRgb{255, 0, 0}));
}

TEST(SpecificModesFields, FormatsAndArrows) {
    EXPECT_EQ(functionText(7), "n\xC2\xB0= 007");
    EXPECT_EQ(functionText(100), "n\xC2\xB0= 100");
    EXPECT_EQ(functionOf("n\xC2\xB0= 042"), 42);
    EXPECT_EQ(functionOf("garbage"), 0);
    EXPECT_EQ(slidingText(10), " 10");
    const std::tuple<std::int32_t, bool, std::int32_t> functions[] = {
        {100, true, 100}, {1, false, 1}, {99, true, 100}, {2, false, 1}, {50, true, 51},
    };
    for (const auto& [from, up, to] : functions) {
        EXPECT_EQ(stepFunction(from, up), to) << from;
    }
    const std::tuple<std::int32_t, bool, std::int32_t> slides[] = {
        {255, true, 255},
        {1, false, 1},
        {10, true, 11},
        {10, false, 9},
    };
    for (const auto& [from, up, to] : slides) {
        EXPECT_EQ(stepSliding(from, up), to) << from;
    }
    EXPECT_EQ(stepPosition(0, false, false), -1);
    EXPECT_EQ(stepPosition(0, true, true), 100);
    EXPECT_EQ(stepPosition(-50, false, true), -150);
}

TEST(SpecificModesApply, TheRecordFromTheControls) {
    contract::TagSpecificMode m;
    clearRecord(m, 31);
    TModesInput in;
    in.powerOn = true;
    in.function = 12;
    in.endSensors = true;
    in.sliding = true;
    in.distance = 30;
    in.autoOutput = true;
    in.outputs = autoOutputView(0x01000000U | 23);
    in.setPosition = 400;
    in.resetPosition = -20;
    fillRecord(in, m);
    EXPECT_EQ(m.powerOnFunction, 12);
    EXPECT_EQ(m.endSensors, 1);
    EXPECT_EQ(m.reverseInputs, 0);
    EXPECT_EQ(m.slidingDistance, 30);
    EXPECT_EQ(m.autoOutput, 1);
    EXPECT_EQ(static_cast<std::uint32_t>(m.autoOutputSettings), 0x01000017U);
    EXPECT_EQ(m.setPosition, 400);
    EXPECT_EQ(m.resetPosition, -20);
    EXPECT_EQ(traceText(m), " 400 -20 1000017");

    // Unchecked boxes write no function and no distance; automatic output off keeps the rest.
    TModesInput off;
    off.function = 12;
    off.distance = 30;
    off.setPosition = 9;
    fillRecord(off, m);
    EXPECT_EQ(m.powerOnFunction, 0);
    EXPECT_EQ(m.slidingDistance, 0);
    EXPECT_EQ(m.autoOutput, 0);
    EXPECT_EQ(m.setPosition, 400);
}

} // namespace
} // namespace tamsel::windows::specific_modes
