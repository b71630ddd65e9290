// The monitoring panels' rules by tables: texts, lamps, animation, error mode, what a redraw
// repaints, and the VRX17 panel's variable choices, view menu and writes.
#include <monitor_rules.h>

#include <contract/record_codes.h>

#include <gtest/gtest.h>

#include <cstring>

namespace tamsel::windows::monitoring {
namespace {

TEST(PanelTexts, PowerAndLamps) {
    EXPECT_EQ(powerText(1), " 0N");
    EXPECT_EQ(powerText(0), "0FF");
    // Lamp n shows bit n - 1.
    EXPECT_EQ(lampCharacter(0x01, 1), '#');
    EXPECT_EQ(lampCharacter(0x01, 2), '*');
    EXPECT_EQ(lampCharacter(0x80, 8), '#');
    EXPECT_EQ(lampCharacter(0x7F, 8), '*');
    EXPECT_EQ(lampCharacter(0x05, 3), '#');
}

TEST(Animation, TurnsWithThePositionAndWrapsBothWays) {
    struct Case {
        int frame;
        std::int32_t before;
        std::int32_t after;
        int expected;
    };
    const Case table[] = {{3, 10, 20, 4}, {3, 20, 10, 2}, {3, 20, 20, 3},
                          {11, 0, 5, 0},  {0, 5, 0, 11},  {0, -5, -4, 1}};
    for (const Case& c : table) {
        EXPECT_EQ(nextFrame(c.frame, c.before, c.after), c.expected)
            << c.frame << " " << c.before << "->" << c.after;
    }
}

contract::TagStatus statusOf(std::int32_t position, std::int32_t function, std::int32_t stage,
                             std::uint8_t power, std::uint8_t moving, std::int32_t inputs,
                             std::int32_t outputs) {
    contract::TagStatus s;
    s.position = position;
    s.function = function;
    s.stage = stage;
    s.power = power;
    s.moving = moving;
    s.inputs = inputs;
    s.outputs = outputs;
    return s;
}

TEST(PanelValues, AFailedReadShowsNoFunctionNoPowerNoMotionAndEveryLampLit) {
    const contract::TagStatus s = statusOf(500, 3, 2, 1, 1, 0x05, 0x10);
    const TPanelValues good = panelValues(s, false, 0);
    EXPECT_EQ(good, (TPanelValues{500, 3, 2, 1, 1, 0x05, 0x10}));
    const TPanelValues failed = panelValues(s, true, 480);
    EXPECT_EQ(failed, (TPanelValues{480, 0, 0, 0, 0, 0xFF, 0xFF}));
    // A family whose replies carry no power flag is not shown as powered.
    EXPECT_EQ(panelValues(statusOf(0, 0, 0, contract::kPowerUnknown, 0, 0, 0), false, 0).power, 0);
}

TEST(PanelChanges, OnlyWhatChangedIsRepaintedAndTheFirstRedrawPaintsAll) {
    const TPanelValues first = panelValues(statusOf(0, 0, 0, 0, 0, 0, 0), false, 0);
    const TPanelChanges all = changesBetween(neverShown(), first);
    EXPECT_EQ(all, (TPanelChanges{true, true, true, true, true, true, true}));

    const TPanelValues moved = panelValues(statusOf(10, 0, 0, 0, 0, 0, 0), false, 0);
    EXPECT_EQ(changesBetween(first, moved),
              (TPanelChanges{true, false, false, false, false, false, false}));
    const TPanelValues lit = panelValues(statusOf(10, 0, 0, 1, 0, 0, 0x02), false, 0);
    EXPECT_EQ(changesBetween(moved, lit),
              (TPanelChanges{false, false, false, true, false, false, true}));
    EXPECT_FALSE(changesBetween(lit, lit).any());
}

TEST(ErrorMode, EnteredAtTheFirstFailureLeftAtTheFirstGoodRead) {
    TErrorMode mode;
    EXPECT_EQ(followRead(mode, false), TErrorStep::None);
    EXPECT_EQ(followRead(mode, true), TErrorStep::Enter);
    EXPECT_TRUE(mode.active);
    EXPECT_EQ(followRead(mode, true), TErrorStep::None);
    EXPECT_EQ(followRead(mode, false), TErrorStep::Leave);
    EXPECT_FALSE(mode.active);
}

TEST(Variables, TypedNamesAreListedWithAHashAndAskedWithout) {
    EXPECT_EQ(listedName("POS"), std::optional<std::string>("#POS"));
    EXPECT_EQ(listedName("#POS"), std::optional<std::string>("#POS"));
    EXPECT_EQ(listedName(""), std::nullopt);
    EXPECT_EQ(listedName("#"), std::nullopt);
    EXPECT_EQ(askedName("#POS", false), "POS");
    EXPECT_EQ(askedName("SPEED", false), "SPEED");
    EXPECT_EQ(askedName("none", true), "none") << "the first entry asks for nothing";
    EXPECT_EQ(askedName("#POS", true), "none");
}

TEST(Variables, TheViewMenuOffersWhatTheEntryAllows) {
    EXPECT_EQ(viewMenuFor(3), (TViewMenu{true, true}));
    EXPECT_EQ(viewMenuFor(1), (TViewMenu{false, true}));
    EXPECT_EQ(viewMenuFor(0), (TViewMenu{false, false}));
    EXPECT_EQ(viewMenuFor(-1), (TViewMenu{false, false}));
    EXPECT_EQ(viewModeOf(TViewItem::Decimal), 0);
    EXPECT_EQ(viewModeOf(TViewItem::Hexadecimal), 1);
    EXPECT_EQ(viewModeOf(TViewItem::Binary), 2);
    EXPECT_EQ(viewModeOf(TViewItem::About), -1);
}

TEST(Writes, EachActionFillsTheVariableRecord) {
    const contract::TagVariable toggle = toggleOutput(0, 0x0C);
    EXPECT_EQ(toggle.subKind, contract::kVariableToggleOutput);
    EXPECT_EQ(toggle.outputNumber, 1) << "the rightmost lamp is output 1";
    EXPECT_EQ(toggle.outputValue, 0x0C);
    EXPECT_STREQ(toggle.name, "OUT");
    EXPECT_EQ(toggleOutput(7, 0).outputNumber, 8);

    EXPECT_EQ(clearPosition().subKind, contract::kVariableResetPosition);

    const contract::TagVariable set = assignVariable("#SPEED", "h1F");
    EXPECT_EQ(set.subKind, contract::kVariableAssign);
    EXPECT_STREQ(set.name, "SPEED");
    EXPECT_STREQ(set.value, "h1F");
}

TEST(Lights, PowerIsOffWhileInErrorAndTheErrorLightFollowsTheCode) {
    EXPECT_EQ(powerLightState(contract::kPowerOn, false), 1);
    EXPECT_EQ(powerLightState(contract::kPowerOn, true), 0);
    EXPECT_EQ(powerLightState(contract::kPowerOff, false), 0);
    EXPECT_EQ(errorLightState(0), 0);
    EXPECT_EQ(errorLightState(0x21), 1);
}

} // namespace
} // namespace tamsel::windows::monitoring
