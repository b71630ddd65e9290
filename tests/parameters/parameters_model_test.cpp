// The parameters window's rules by tables: what the catalogue's kinds make of the
// controls, the current conversions, the arrows, the ranges and the colours.
#include <parameters_model.h>

#include <gtest/gtest.h>

#include <tuple>

namespace tamsel::windows::parameters {
namespace {

// ---- resolution ---------------------------------------------------------------------------

TEST(ParametersResolution, KindsGiveTheirRangeStepModeAndRule) {
    struct Case {
        std::int32_t kind;
        TRange range;
        ResolutionStep step;
        RangeRule rule;
    };
    const Case cases[] = {
        {1, {1, 1}, ResolutionStep::Fixed, RangeRule::Fixed},
        {2, {2, 2}, ResolutionStep::Fixed, RangeRule::Fixed},
        {3, {1, 256}, ResolutionStep::ByOne, RangeRule::Variable},
        {4, {1, 64}, ResolutionStep::DoubleHalve, RangeRule::Variable},
        {0, {1, 1}, ResolutionStep::ByOne, RangeRule::Variable},
        {7, {1, 1}, ResolutionStep::ByOne, RangeRule::Variable},
    };
    for (const Case& c : cases) {
        const TResolutionSetup s = resolutionSetup(c.kind);
        EXPECT_EQ(s.range, c.range) << c.kind;
        EXPECT_EQ(s.step, c.step) << c.kind;
        EXPECT_EQ(s.rule, c.rule) << c.kind;
    }
}

TEST(ParametersResolution, ArrowsStepByOneOrDoubleAndHalveInsideTheRange) {
    const TResolutionSetup byOne = resolutionSetup(3);
    const TResolutionSetup doubling = resolutionSetup(4);
    const TResolutionSetup fixed = resolutionSetup(2);
    struct Case {
        const TResolutionSetup* setup;
        std::int32_t from;
        bool up;
        std::int32_t to;
    };
    const Case cases[] = {
        {&doubling, 16, true, 32},  {&doubling, 32, true, 64}, {&doubling, 64, true, 64},
        {&doubling, 1, false, 1},   {&doubling, 3, false, 1},  {&doubling, 5, true, 10},
        {&doubling, 64, false, 32}, {&byOne, 1, false, 1},     {&byOne, 1, true, 2},
        {&byOne, 256, true, 256},   {&byOne, 100, false, 99},  {&fixed, 2, true, 2},
        {&fixed, 2, false, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(stepResolution(c.from, c.up, *c.setup), c.to)
            << c.from << (c.up ? " up" : " down");
    }
}

TEST(ParametersResolution, ATypedResolutionIsKeptInsideTheRangeOfItsKind) {
    const TResolutionSetup byOne = resolutionSetup(3);
    const TResolutionSetup doubling = resolutionSetup(4);
    const TResolutionSetup fixed = resolutionSetup(2);
    struct Case {
        const TResolutionSetup* setup;
        std::int32_t typed;
    };
    const Case cases[] = {{&byOne, 0},    {&byOne, 100},       {&byOne, 100000},   {&byOne, -5},
                          {&doubling, 0}, {&doubling, 500},    {&doubling, 16},    {&fixed, 0},
                          {&fixed, 9},    {&fixed, INT32_MAX}, {&byOne, INT32_MIN}};
    for (const Case& c : cases) {
        const std::int32_t kept = resolutionLeft(c.typed, *c.setup);
        EXPECT_GE(kept, c.setup->range.low) << c.typed;
        EXPECT_LE(kept, c.setup->range.high) << c.typed;
        if (c.typed >= c.setup->range.low && c.typed <= c.setup->range.high) {
            EXPECT_EQ(kept, c.typed);
        }
    }
    // Zero never reaches the range computation through the resolution field.
    EXPECT_GT(resolutionLeft(0, byOne), 0);
}

// ---- current ------------------------------------------------------------------------------

TEST(ParametersCurrent, KindsGiveThePercentArrowsAmperesAndStandbyList) {
    using L = std::vector<std::string>;
    const L bySwitch{"StandBy mode drive by S1"};
    const L two{"Nominal", "Nominal & Standby"};
    const L three{"Nominal", "Nominal & Standby", "Boost Nominal & Standby"};
    struct Case {
        std::int32_t kind;
        std::int32_t percent;
        bool arrows;
        AmpsDisplay display;
        float factor;
        L standby;
        bool enabled;
        bool visible;
    };
    const Case cases[] = {
        {1, 0, false, AmpsDisplay::External, 0.0F, bySwitch, false, true},
        {2, 0, false, AmpsDisplay::External, 0.0F, three, true, true},
        {3, 0, true, AmpsDisplay::None, 0.0F, bySwitch, false, true},
        {4, 0, true, AmpsDisplay::None, 0.0F, two, true, true},
        {5, 0, true, AmpsDisplay::Amperes, 2.0F, two, true, true},
        {0, 1, false, AmpsDisplay::External, 0.0F, {}, false, false},
        {9, 1, false, AmpsDisplay::External, 0.0F, {}, false, false},
    };
    for (const Case& c : cases) {
        const TCurrentSetup s = currentSetup(c.kind);
        EXPECT_EQ(s.initialPercent, c.percent) << c.kind;
        EXPECT_EQ(s.percentArrows, c.arrows) << c.kind;
        EXPECT_EQ(s.display, c.display) << c.kind;
        EXPECT_FLOAT_EQ(s.factor, c.factor) << c.kind;
        EXPECT_EQ(s.standby, c.standby) << c.kind;
        EXPECT_EQ(s.standbyEnabled, c.enabled) << c.kind;
        EXPECT_EQ(s.standbyVisible, c.visible) << c.kind;
    }
}

TEST(ParametersCurrent, CodesAndPercentsConvertAsTheModuleCountsThem) {
    // code -> percent rounds half up; percent -> code truncates.
    const std::pair<std::int32_t, std::int32_t> reads[] = {
        {128, 50}, {255, 100}, {0, 0}, {1, 0}, {2, 1}, {127, 50}, {64, 25}, {191, 75}, {254, 100},
    };
    for (const auto& [code, percent] : reads) {
        EXPECT_EQ(percentOfCode(code), percent) << code;
    }
    const std::pair<std::int32_t, std::int32_t> writes[] = {
        {100, 255}, {50, 127}, {0, 0}, {1, 2}, {25, 63}, {75, 191}, {99, 252},
    };
    for (const auto& [percent, code] : writes) {
        EXPECT_EQ(codeOfPercent(percent), code) << percent;
    }
}

TEST(ParametersCurrent, AmperesTextAndPercentArrows) {
    EXPECT_EQ(ampsText(50, 2.0F), "=1.00 Amps");
    EXPECT_EQ(ampsText(100, 2.5F), "=2.50 Amps");
    EXPECT_EQ(ampsText(0, 2.0F), "=0.00 Amps");
    EXPECT_EQ(ampsText(33, 10.0F), "=3.30 Amps");
    const std::tuple<std::int32_t, bool, std::int32_t> steps[] = {
        {50, true, 51}, {50, false, 49}, {100, true, 100}, {0, false, 0}, {99, true, 100},
    };
    for (const auto& [from, up, to] : steps) {
        EXPECT_EQ(stepPercent(from, up), to) << from;
    }
}

// ---- ramp modes ---------------------------------------------------------------------------

TEST(ParametersRamp, ModesDriveDecAndTheDecelerationField) {
    struct Case {
        int mode;
        bool decEnabled;
        bool decChecked;
        bool field;
        std::string label;
    };
    const Case cases[] = {
        {kRampSingle, false, false, false, "Ramping"},
        {kRampSingleOrSeparate, true, false, false, "Ramping"},
        {kRampSeparate, true, true, true, "Acc."},
    };
    for (const Case& c : cases) {
        const TRampView v = rampView(c.mode);
        EXPECT_EQ(v.decEnabled, c.decEnabled) << c.mode;
        EXPECT_EQ(v.decChecked, c.decChecked) << c.mode;
        EXPECT_EQ(v.decelFieldEnabled, c.field) << c.mode;
        EXPECT_EQ(v.label, c.label) << c.mode;
    }
    // Data: ramp kind 0 keeps the mode it has, any other follows the separate flag.
    EXPECT_EQ(rampModeOf(0, 1, kRampSingle), kRampSingle);
    EXPECT_EQ(rampModeOf(1, 1, kRampSingle), kRampSeparate);
    EXPECT_EQ(rampModeOf(1, 0, kRampSeparate), kRampSingleOrSeparate);
    EXPECT_EQ(rampModeOfDecClick(true), kRampSeparate);
    EXPECT_EQ(rampModeOfDecClick(false), kRampSingleOrSeparate);
    EXPECT_EQ(rampModeText(2), "tatd : 2");
}

// ---- arrows and hard ranges ---------------------------------------------------------------

TEST(ParametersArrows, StepByOneOrHundredInsideTheHardRange) {
    struct Case {
        Field field;
        std::int32_t from;
        bool up;
        bool large;
        std::int32_t to;
    };
    const Case cases[] = {
        {kStart, 100, true, false, 101},   {kStart, 100, true, true, 200},
        {kStart, 50, false, true, 1},      {kMax, 19950, true, true, 20000},
        {kMax, 20000, true, false, 20000}, {kRamp, 65500, true, true, 65535},
        {kDecel, 1, false, false, 1},      {kRamp, 200, false, true, 100},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(stepChecked(c.from, c.up, c.large, c.field), c.to) << c.from;
    }
    EXPECT_EQ(clampToHard(0, kStart), 1);
    EXPECT_EQ(clampToHard(30000, kMax), 20000);
    EXPECT_EQ(clampToHard(70000, kRamp), 65535);
    EXPECT_EQ(clampToHard(0, kDecel), 1);
}

// ---- range computation --------------------------------------------------------------------

struct RangeCase {
    const char* name;
    RangeRule rule;
    TRangeInputs in;
    int speedClass;
    TRange start;
    TRange max;
    TRange ramp;
    TRange decel;
};

TEST(ParametersRanges, AFullComputationGivesEveryRangeAsTheRulesWriteThem) {
    const TRange untouched = kTimeHardRange;
    const RangeCase cases[] = {
        // R = 16, Vm = 2000: P = 32000, k = 4, L = 256000: class 2, both time highs 3984.
        // T = 200: start low max(1, 1000 div 3200, 62 div 16) = 3, high min(63750000 div
        // 3200, 20000 div 16, 2000) = 1250; max high min(80000, ceil(16 x 63750000 /
        // 3200) = 318750, 20000) = 20000.
        {"class 2",
         RangeRule::Variable,
         {16, 100, 2000, 200, 200},
         kClassMiddle,
         {3, 1250},
         {100, 20000},
         {1, 3984},
         {1, 3984}},
        // R = 2, Vm = 2000: P = 4000 < 16000, class 1, k = 1. T = 200: start low
        // max(1, 1000 div 400, 31) = 31, high min(159375, 10000, 2000) = 2000; max high
        // min(640000, ceil(2 x 63750000 / 400) = 318750, 20000); times: low max(1, 1000
        // div 400) = 2, high min(65535, ceil(63750000 / 4000) = 15938).
        {"class 1",
         RangeRule::Variable,
         {2, 100, 2000, 200, 200},
         kClassSlow,
         {31, 2000},
         {100, 20000},
         {2, 15938},
         {2, 15938}},
        // R = 64, Vm = 20000: P = 1280000 > L = 16000 x 64, class 3, k = 6. T = 5000:
        // start low max(1, 0, 0) = 1, high min(63750000 div 320000 = 199, 312, 20000) =
        // 199; max (T > 3984) min(20000, 199, 20000) = 199; times: ramp low max(1, 1000
        // div 320000) = 1, high min(65535, ceil(64 x 63750000 / 1280000) = 3188).
        {"class 3",
         RangeRule::Variable,
         {64, 100, 20000, 5000, 5000},
         kClassFast,
         {1, 199},
         {100, 199},
         {1, 3188},
         {1, 3188}},
        // T = 3984 exactly: the maximum speed high is ceil(L / R) = ceil(256000 / 16) = 16000.
        {"T = 3984",
         RangeRule::Variable,
         {16, 100, 2000, 3984, 10},
         kClassMiddle,
         {3, 1000},
         {100, 16000},
         {1, 3984},
         {6, 3984}},
        // T is the larger of the two times: Td = 4000 > 3984 takes the third formula:
        // min(1280000 div 3 = 426666, 63750000 div 12000 = 5312, 20000) = 5312.
        {"T from Td",
         RangeRule::Variable,
         {3, 50, 1000, 100, 4000},
         kClassSlow,
         {20, 1000},
         {50, 5312},
         {3, 21250},
         {1, 21250}},
        // Fixed rule: start max(20, 1000 div 200, 2000 div 128) = 20 .. min(1999, 20000);
        // max 101 .. min(65000000 div 200, 12800, 20000) = 12800; ramp max(1, 1000 div 100)
        // = 10 .. min(65535, 65000000 div 2000 = 32500); deceleration left as it was.
        {"fixed",
         RangeRule::Fixed,
         {1, 100, 2000, 200, 300},
         kClassSlow,
         {20, 1999},
         {101, 12800},
         {10, 32500},
         untouched},
    };
    for (const RangeCase& c : cases) {
        TRangeCalculator calc;
        EXPECT_FALSE(calc.compute(Edited::All, c.in, c.rule)) << c.name;
        EXPECT_EQ(calc.speedClass(), c.speedClass) << c.name;
        EXPECT_EQ(calc.valid(kStart), c.start) << c.name;
        EXPECT_EQ(calc.valid(kMax), c.max) << c.name;
        EXPECT_EQ(calc.valid(kRamp), c.ramp) << c.name;
        EXPECT_EQ(calc.valid(kDecel), c.decel) << c.name;
    }
}

TEST(ParametersRanges, TheFullComputationKeepsResolutionExponentLimitAndProduct) {
    const std::tuple<std::int32_t, int, std::int64_t> cases[] = {
        {1, 0, 16000},     {2, 1, 32000},     {3, 1, 32000},     {16, 4, 256000}, {64, 6, 1024000},
        {256, 6, 1024000}, {255, 6, 1024000}, {128, 6, 1024000}, {32, 5, 512000},
    };
    for (const auto& [r, k, limit] : cases) {
        TRangeCalculator calc;
        calc.compute(Edited::All, {r, 10, 100, 100, 100}, RangeRule::Variable);
        EXPECT_EQ(calc.cachedResolution(), r);
        EXPECT_EQ(calc.exponent(), k) << r;
        EXPECT_EQ(calc.limit(), limit) << r;
        EXPECT_FLOAT_EQ(calc.product(), static_cast<float>(r) * 100.0F);
        EXPECT_TRUE(calc.fullDone());
    }
}

TEST(ParametersRanges, AnEditKeepsTheEditedFieldsRangesAndTheCachedClass) {
    TRangeCalculator calc;
    calc.compute(Edited::All, {16, 100, 2000, 200, 200}, RangeRule::Variable);
    const TRange start = calc.valid(kStart);
    // Start speed edited: its range stays, the others follow the new start speed.
    calc.compute(Edited::StartSpeed, {16, 500, 2000, 200, 200}, RangeRule::Variable);
    EXPECT_EQ(calc.valid(kStart), start);
    EXPECT_EQ(calc.valid(kMax).low, 500);
    // Maximum speed edited to 20000: the class stays 2 (the cache is not renewed), so the
    // time highs stay 3984, and the maximum speed's own range stays.
    const TRange max = calc.valid(kMax);
    calc.compute(Edited::MaxSpeed, {16, 500, 20000, 200, 200}, RangeRule::Variable);
    EXPECT_EQ(calc.speedClass(), kClassMiddle);
    EXPECT_EQ(calc.valid(kMax), max);
    EXPECT_EQ(calc.valid(kRamp).high, 3984);
    EXPECT_EQ(calc.valid(kStart).high, 1250);
    // A time edited: the time ranges stay, the speeds follow T = 5000.
    const TRange ramp = calc.valid(kRamp);
    calc.compute(Edited::Time, {16, 500, 20000, 5000, 5000}, RangeRule::Variable);
    EXPECT_EQ(calc.valid(kRamp), ramp);
    EXPECT_EQ(calc.valid(kStart).high, 63750000 / (16 * 5000));
    EXPECT_EQ(calc.valid(kMax).high, 63750000 / (16 * 5000));
    // Before any full computation an edit computes everything.
    TRangeCalculator fresh;
    fresh.compute(Edited::StartSpeed, {16, 100, 2000, 200, 200}, RangeRule::Variable);
    EXPECT_TRUE(fresh.fullDone());
    EXPECT_EQ(fresh.valid(kStart), (TRange{3, 1250}));
}

TEST(ParametersRanges, AZeroInputIsReportedAndTakenAsOne) {
    struct Case {
        TRangeInputs in;
        TRangeInputs ones;
    };
    const Case cases[] = {
        {{0, 100, 2000, 200, 200}, {1, 100, 2000, 200, 200}},
        {{16, 0, 2000, 200, 200}, {16, 1, 2000, 200, 200}},
        {{16, 100, 0, 200, 200}, {16, 100, 1, 200, 200}},
        {{16, 100, 2000, 0, 0}, {16, 100, 2000, 1, 1}},
        {{0, 0, 0, 0, 0}, {1, 1, 1, 1, 1}},
    };
    for (const Case& c : cases) {
        TRangeCalculator withZero;
        TRangeCalculator withOnes;
        EXPECT_TRUE(withZero.compute(Edited::All, c.in, RangeRule::Variable));
        EXPECT_FALSE(withOnes.compute(Edited::All, c.ones, RangeRule::Variable));
        for (Field f : {kStart, kMax, kRamp, kDecel}) {
            EXPECT_EQ(withZero.valid(f), withOnes.valid(f)) << f;
        }
        TRangeCalculator fixed;
        EXPECT_TRUE(fixed.compute(Edited::All, c.in, RangeRule::Fixed));
    }
    // A zero deceleration alone is no division error: it is taken as 1 without a message.
    TRangeCalculator decel;
    EXPECT_FALSE(decel.compute(Edited::All, {16, 100, 2000, 200, 0}, RangeRule::Variable));
    EXPECT_EQ(decel.valid(kDecel).low, 1000 / 16);
    EXPECT_EQ(divisionByZeroText(Edited::StartSpeed, kCallTypedStart),
              "Grave erreur  appel = 1 [200]");
    EXPECT_EQ(divisionByZeroText(Edited::All, kCallFull), "Grave erreur  appel = 0 [207]");
}

// ---- colours and Apply --------------------------------------------------------------------

TEST(ParametersColours, RedOutsideTheHardRangeMagentaAboveCyanBelow) {
    const TRange valid{10, 1000};
    struct Case {
        Field field;
        std::int32_t value;
        FieldColour colour;
    };
    const Case cases[] = {
        {kStart, 0, FieldColour::Red},        {kStart, 20001, FieldColour::Red},
        {kStart, 1001, FieldColour::Magenta}, {kStart, 9, FieldColour::Cyan},
        {kStart, 10, FieldColour::Normal},    {kStart, 1000, FieldColour::Normal},
        {kRamp, 65536, FieldColour::Red},     {kRamp, 20001, FieldColour::Magenta},
        {kDecel, 0, FieldColour::Red},        {kMax, 500, FieldColour::Normal},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(colourOf(c.value, c.field, valid), c.colour) << c.value;
    }
}

TEST(ParametersColours, ApplyNeedsEveryCheckedFieldValidAndADisabledDecelerationCounts) {
    EXPECT_TRUE(applyEnabled({true, true, true, true}, true));
    EXPECT_TRUE(applyEnabled({true, true, true, false}, false));
    EXPECT_FALSE(applyEnabled({true, true, true, false}, true));
    EXPECT_FALSE(applyEnabled({false, true, true, true}, true));
    EXPECT_FALSE(applyEnabled({true, false, true, true}, false));
    EXPECT_FALSE(applyEnabled({true, true, false, true}, false));
}

TEST(ParametersIndicators, SupportedBitsShowTheirLampAndClicksTellTheModeNumber) {
    // Mask 11: end sensors, reverse inputs, start sequence; bits 5: end sensors and automatic
    // outputs (not supported, so inactive).
    const std::tuple<int, bool, bool, int> cases[] = {
        {0, true, true, kLampActive},
        {1, true, false, kLampInactive},
        {2, false, false, kLampInactive},
        {3, true, false, kLampInactive},
    };
    for (const auto& [bit, supported, active, bitmap] : cases) {
        const TIndicatorView v = indicatorView(bit, 11, 5);
        EXPECT_EQ(v.supported, supported) << bit;
        EXPECT_EQ(v.active, active) << bit;
        EXPECT_EQ(v.bitmap, bitmap) << bit;
    }
    EXPECT_EQ(kIndicatorNumbers, (std::array<int, 4>{1, 3, 2, 4}));
    EXPECT_EQ(fieldText(42), " 42");
}

} // namespace
} // namespace tamsel::windows::parameters
