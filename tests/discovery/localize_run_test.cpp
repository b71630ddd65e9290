// Localize: at most twenty reset-and-status probes, the line opened by the first and closed by
// the last, and a right click that makes the next one the last.

#include "discovery/localize_run.h"

#include <gtest/gtest.h>

namespace tamsel::discovery {
namespace {

const LocalizeLine kLine{"COM3", "XON-XOFF", "9600"};

/// Runs the localize to its end, stopping it before step @p stopBefore (1-based, 0 never).
std::vector<LocalizeStep> runAll(LocalizeRun& run, int stopBefore) {
    std::vector<LocalizeStep> steps;
    // Bounded so that a localize that never ends fails instead of hanging.
    while (run.running() && steps.size() < 2 * kLocalizeSteps) {
        if (static_cast<int>(steps.size()) + 1 == stopBefore) {
            run.requestStop();
        }
        steps.push_back(run.step());
    }
    return steps;
}

TEST(LocalizeRun, SendsTwentyPairsOpeningTheLineFirstAndClosingItLast) {
    LocalizeRun run;
    EXPECT_EQ(run.start(12, kLine), "Localize in progress");
    const auto steps = runAll(run, 0);
    ASSERT_EQ(steps.size(), static_cast<std::size_t>(kLocalizeSteps));
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const LocalizeStep& s = steps[i];
        const bool first = i == 0;
        const bool last = i + 1 == steps.size();
        EXPECT_EQ(s.captureMouse, first) << i;
        EXPECT_EQ(s.probe, (ProbeTry{"TRILO", "COM3", "XON-XOFF", "9600", 12, first, last})) << i;
        EXPECT_EQ(s.last, last) << i;
        EXPECT_EQ(s.lineAppend, " .") << i;
    }
    EXPECT_FALSE(run.running());
}

TEST(LocalizeRun, ARightClickMakesTheNextProbeTheLast) {
    for (const int stopBefore : {1, 2, 7, kLocalizeSteps}) {
        SCOPED_TRACE(stopBefore);
        LocalizeRun run;
        run.start(4, kLine);
        const auto steps = runAll(run, stopBefore);
        ASSERT_EQ(steps.size(), static_cast<std::size_t>(stopBefore));
        const LocalizeStep& last = steps.back();
        EXPECT_TRUE(last.last);
        EXPECT_TRUE(last.probe.closeAfter);
        EXPECT_EQ(last.lineAppend, "");
        EXPECT_TRUE(steps.front().probe.openFirst);
        EXPECT_FALSE(run.running());
    }
}

TEST(LocalizeRun, StartsAfreshAfterAnEnd) {
    LocalizeRun run;
    run.start(4, kLine);
    runAll(run, 3);
    run.start(5, kLine);
    const auto steps = runAll(run, 0);
    ASSERT_EQ(steps.size(), static_cast<std::size_t>(kLocalizeSteps));
    EXPECT_TRUE(steps.front().captureMouse);
    EXPECT_EQ(steps.front().probe.address, 5);
}

} // namespace
} // namespace tamsel::discovery
