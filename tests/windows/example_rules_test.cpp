// The example window's rules, without a widget.
#include "example_rules.h"

#include <gtest/gtest.h>

namespace tamsel::windows::example {
namespace {

TEST(ExampleRules, TheStatusRecordReadsAsTheWindowShowsIt) {
    const struct {
        std::int32_t position;
        std::uint8_t power;
        const char* positionShown;
        const char* powerShown;
    } cases[] = {
        {0, contract::kPowerOff, "0 steps", "off"},
        {-1250, contract::kPowerOn, "-1250 steps", "on"},
        {2147483647, contract::kPowerUnknown, "2147483647 steps", "?"},
        {7, 9, "7 steps", "?"},
    };
    for (const auto& c : cases) {
        contract::TagStatus status;
        status.position = c.position;
        EXPECT_EQ(positionText(status).toStdString(), c.positionShown) << c.position;
        EXPECT_EQ(powerText(c.power).toStdString(), c.powerShown) << int{c.power};
    }
    EXPECT_EQ(titleOf(3).toStdString(), " Position watch 03");
    EXPECT_EQ(titleOf(31).toStdString(), " Position watch 31");
}

TEST(ExampleRules, OnlyTheFirstFailureOfAStreakOpensAReport) {
    const struct {
        std::int32_t previous;
        std::int32_t now;
        bool report;
    } cases[] = {
        {0, 0, false}, {0, 0x21, true}, {0x21, 0x21, false}, {0x21, 0x30, false}, {0x21, 0, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(failureToReport(c.previous, c.now), c.report) << c.previous << " " << c.now;
    }
}

} // namespace
} // namespace tamsel::windows::example
