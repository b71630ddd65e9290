// The direct motion window's rules by tables: commands from the fields, the target fields
// following the axis, the status turned into button states, the output states.
#include <immediate_commands.h>
#include <motion_rules.h>

#include <contract/records.h>
#include <contract/request_codes.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace tamsel::windows::motion {
namespace {

using S = TOutputState;

// ---- commands from the fields ---------------------------------------------------------------

struct ApplyCase {
    TMotionMode mode;
    const char* position;
    const char* speed;
    std::optional<TCommand> expected;
};

class MotionApply : public ::testing::TestWithParam<ApplyCase> {};

TEST_P(MotionApply, SendsTheFieldOfItsModeAndNothingForAFieldWithoutANumber) {
    const ApplyCase& c = GetParam();
    EXPECT_EQ(motionApply(c.mode, c.position, c.speed), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MotionApply,
    ::testing::Values(ApplyCase{TMotionMode::Defined, "1500", "+ Wh", TCommand{7, "1500"}},
                      ApplyCase{TMotionMode::Defined, "-20", "x", TCommand{7, "-20"}},
                      ApplyCase{TMotionMode::Defined, "", "+ Wh", std::nullopt},
                      ApplyCase{TMotionMode::Defined, " + ", "+ Wh", std::nullopt},
                      ApplyCase{TMotionMode::Continuous, "12", "+ Wh", TCommand{8, "+ Wh"}},
                      ApplyCase{TMotionMode::Continuous, "12", "- Wh", TCommand{8, "- Wh"}},
                      ApplyCase{TMotionMode::Continuous, "12", "+800", TCommand{8, "+800"}},
                      ApplyCase{TMotionMode::Continuous, "12", "-35", TCommand{8, "-35"}},
                      ApplyCase{TMotionMode::Continuous, "12", "", std::nullopt},
                      ApplyCase{TMotionMode::Continuous, "12", "Wh", std::nullopt},
                      ApplyCase{TMotionMode::None, "12", "+800", std::nullopt}));

TEST(StartButton, StopsWhileTheModuleMovesAndStartsTheFunctionOtherwise) {
    TStartAction stop = startButton(true, kSpeedModeLimited, "007");
    EXPECT_EQ(stop.command, (TCommand{coded::kQuickStop, ""}));
    EXPECT_FALSE(stop.switchToDefined);

    TStartAction wh = startButton(false, kSpeedModeWh, "007");
    EXPECT_EQ(wh.command, (TCommand{coded::kStartFunction, "007"}));
    EXPECT_FALSE(wh.switchToDefined);

    TStartAction limited = startButton(false, kSpeedModeLimited, "012");
    EXPECT_EQ(limited.command, (TCommand{coded::kStartFunction, "012"}));
    EXPECT_TRUE(limited.switchToDefined);

    TStartAction empty = startButton(false, kSpeedModeLimited, "");
    EXPECT_FALSE(empty.command.has_value());
    EXPECT_FALSE(empty.switchToDefined) << "nothing sent, nothing changed";
}

TEST(SpeedField, LimitedSpeedsMoveWithinTheLimitAndWhTextsSwap) {
    EXPECT_EQ(initialSpeedText(kSpeedModeLimited, 4000), "+4000");
    EXPECT_EQ(initialSpeedText(kSpeedModeWh, 4000), "+ Wh");
    struct Case {
        const char* text;
        int step;
        const char* expected;
    };
    for (const Case& c : std::vector<Case>{{"+4000", 1, "+4000"},
                                           {"+3999", 100, "+4000"},
                                           {"+1", -1, "0"},
                                           {"0", -1, "-1"},
                                           {"-3950", -100, "-4000"},
                                           {"0", 1, "+1"},
                                           {"", 5, "+5"}}) {
        EXPECT_EQ(steppedSpeed(c.text, c.step, kSpeedModeLimited, 4000), c.expected)
            << c.text << " " << c.step;
    }
    EXPECT_EQ(steppedSpeed("+ Wh", 1, kSpeedModeWh, 0), "- Wh");
    EXPECT_EQ(steppedSpeed("- Wh", -1, kSpeedModeWh, 0), "+ Wh");
}

TEST(FunctionField, StaysWithinOneToAHundredWithThreeDigits) {
    EXPECT_EQ(steppedFunction(1, -1), 1);
    EXPECT_EQ(steppedFunction(100, 1), 100);
    EXPECT_EQ(steppedFunction(99, 1), 100);
    EXPECT_EQ(steppedFunction(50, -100), 1);
    EXPECT_EQ(functionText(7), "007");
    EXPECT_EQ(functionText(100), "100");
}

// ---- outputs --------------------------------------------------------------------------------

TEST(Outputs, TwoStateOutputsSkipUnchangedThreeStateOutputsCycleThroughIt) {
    EXPECT_EQ(nextOutputState(S::Off, 1), S::On);
    EXPECT_EQ(nextOutputState(S::On, 1), S::Off);
    EXPECT_EQ(nextOutputState(S::Off, kOutputModeThreeState), S::On);
    EXPECT_EQ(nextOutputState(S::On, kOutputModeThreeState), S::Unchanged);
    EXPECT_EQ(nextOutputState(S::Unchanged, kOutputModeThreeState), S::Off);
    EXPECT_STREQ(outputText(S::Off), "OFF");
    EXPECT_STREQ(outputText(S::On), "ON");
    EXPECT_STREQ(outputText(S::Unchanged), "XX");
    EXPECT_EQ(outputColour(S::Off), 0xFFFF00U);
    EXPECT_EQ(outputColour(S::On), 0x00FF00U);
    EXPECT_EQ(outputColour(S::Unchanged), 0xC0C0C0U);
}

TEST(Outputs, LettersGoS8First) {
    TOutputs all{};
    all.fill(S::Off);
    EXPECT_EQ(outputLetters(all), "FFFFFFFF");
    const TOutputs mixed = {S::Off, S::On, S::Unchanged, S::Off, S::Off, S::Off, S::Off, S::On};
    EXPECT_EQ(outputLetters(mixed), "FOXFFFFO");
}

// ---- the target fields ---------------------------------------------------------------------

TEST(Targets, ArrowsMoveDistanceAndPositionTogetherAndRebaseOnceAfterAMotion) {
    TTargets t{100, 0, 100, false};
    stepDistance(t, 10);
    EXPECT_EQ(t, (TTargets{100, 10, 110, false}));
    stepPosition(t, -100);
    EXPECT_EQ(t, (TTargets{100, -90, 10, false}));

    // The axis stopped at 250 after a move of 150: the distance arrow repeats the distance
    // from there, the position arrow starts a new distance from there.
    TTargets after{250, 150, 250, true};
    stepDistance(after, 1);
    EXPECT_EQ(after, (TTargets{250, 151, 401, false}));
    TTargets again{250, 150, 250, true};
    stepPosition(again, 1);
    EXPECT_EQ(again, (TTargets{250, 1, 251, false}));
}

TEST(Targets, LeavingAFieldKeepsTheOtherConsistentWithTheAxis) {
    TTargets t{300, 0, 300, false};
    distanceEdited(t, -50);
    EXPECT_EQ(t.position, 250);
    positionEdited(t, 1000);
    EXPECT_EQ(t.distance, 700);
    EXPECT_EQ(t.position, 1000);
}

TEST(Targets, HomeGoesBackToZeroAndClearsItselfAtZero) {
    TTargets t{420, 5, 425, false};
    EXPECT_TRUE(homeToggled(t, true));
    EXPECT_EQ(t.distance, -420);
    EXPECT_EQ(t.position, 0);
    EXPECT_FALSE(homeToggled(t, false));
    EXPECT_EQ(t.distance, 0);
    EXPECT_EQ(t.position, 420);

    TTargets zero{0, 0, 0, false};
    EXPECT_FALSE(homeToggled(zero, true)) << "at position 0 the box only clears itself";
    EXPECT_EQ(zero, (TTargets{0, 0, 0, false}));
}

// ---- the status and the controls ---------------------------------------------------------

TEST(MotionWatch, TheFirstStatusAndEachChangeOfTheFlagCountOthersDoNot) {
    TMotionWatch w;
    EXPECT_EQ(followMotion(w, false), TMotionChange::Stopped) << "the first status counts";
    EXPECT_EQ(followMotion(w, false), TMotionChange::None);
    EXPECT_EQ(followMotion(w, true), TMotionChange::Started);
    EXPECT_EQ(followMotion(w, true), TMotionChange::None);
    EXPECT_EQ(followMotion(w, false), TMotionChange::Stopped);
    TMotionWatch moving;
    EXPECT_EQ(followMotion(moving, true), TMotionChange::Started);
}

TEST(StatusControls, PowerAndMotionDecideTheButtons) {
    EXPECT_EQ(powerButtons(0), (TPowerButtons{true, false}));
    EXPECT_EQ(powerButtons(1), (TPowerButtons{false, true}));

    const TMotionControls startedDefined =
        motionControls(TMotionChange::Started, TMotionMode::Defined);
    EXPECT_FALSE(startedDefined.applyEnabled);
    EXPECT_TRUE(startedDefined.showsStop);
    EXPECT_FALSE(startedDefined.functionEnabled);
    EXPECT_FALSE(startedDefined.clearPositionEnabled);
    EXPECT_TRUE(motionControls(TMotionChange::Started, TMotionMode::Continuous).applyEnabled)
        << "a run at a speed can be changed while it runs";
    EXPECT_FALSE(motionControls(TMotionChange::Started, TMotionMode::Continuous).homeEnabled);

    const TMotionControls stopped = motionControls(TMotionChange::Stopped, TMotionMode::Defined);
    EXPECT_EQ(stopped, (TMotionControls{true, false, true, true, true}));
}

TEST(StatusControls, EachModeEnablesItsOwnFields) {
    EXPECT_EQ(modeControls(TMotionMode::Defined), (TModeControls{true, true, true, false}));
    EXPECT_EQ(modeControls(TMotionMode::Continuous), (TModeControls{true, true, false, true}));
    EXPECT_EQ(modeControls(TMotionMode::None), (TModeControls{false, false, false, false}));
}

// ---- the immediate commands ------------------------------------------------------------------

class TRecordingSink final : public contract::TRequestSink {
  public:
    struct Sent {
        std::uint16_t code;
        std::uint16_t hi;
        std::int32_t index;
        std::int32_t address;
        std::string argument;
    };
    std::vector<Sent> sent;
    std::int32_t statusToGive = 0;
    std::string replyToGive;
    std::int32_t request(std::uint16_t code, std::uint16_t hi, void* record) override {
        auto* r = static_cast<contract::TagCodedCommand*>(record);
        sent.push_back({code, hi, r->code, r->address, r->parameter});
        r->status = statusToGive;
        if (!replyToGive.empty()) {
            std::snprintf(r->parameter, sizeof r->parameter, "%s", replyToGive.c_str());
        }
        return 0;
    }
};

TEST(ImmediateCommands, EachButtonSendsItsCodedCommandToItsModule) {
    struct Case {
        TImmediate which;
        std::int32_t index;
        const char* caption;
    };
    const Case table[] = {{TImmediate::Reset, 1, "&Reset"},
                          {TImmediate::QuickStop, 4, "&Quick Stop"},
                          {TImmediate::DecelStop, 5, "Deceleration Stop"},
                          {TImmediate::PowerOn, 3, "Motor power o&N"},
                          {TImmediate::PowerOff, 2, "Motor po&Wer off"},
                          {TImmediate::ClearPosition, 9, "Reset Position"}};
    ASSERT_EQ(std::size(table), kImmediates.size());
    TRecordingSink sink;
    TCodedCommands commands(sink, 1350, 7);
    for (const Case& c : table) {
        EXPECT_STREQ(captionOf(c.which), c.caption);
        EXPECT_EQ(commands.send(c.which), 0);
        ASSERT_FALSE(sink.sent.empty());
        const auto& s = sink.sent.back();
        EXPECT_EQ(s.code, contract::req::kCodedCommand);
        EXPECT_EQ(s.hi, 1350);
        EXPECT_EQ(s.index, c.index) << c.caption;
        EXPECT_EQ(s.address, 7);
        EXPECT_EQ(s.argument, "");
    }
    sink.statusToGive = 0x21;
    EXPECT_EQ(commands.send(TImmediate::QuickStop), 0x21) << "the failure reaches the caller";

    sink.statusToGive = 0;
    sink.replyToGive = "4000";
    std::string reply;
    EXPECT_EQ(commands.send(coded::kSpeedLimit, " ", &reply), 0);
    EXPECT_EQ(sink.sent.back().argument, " ");
    EXPECT_EQ(reply, "4000");
}

} // namespace
} // namespace tamsel::windows::motion
