// The emulated axis against made-up clocks: what a monitoring window reads while a move runs.

#include "axis.h"

#include <gtest/gtest.h>

namespace kvsim {
namespace {

struct MoveCase {
    long target;
    Axis::Profile profile;
};

class AxisMove : public ::testing::TestWithParam<MoveCase> {};

// A position read as the target must come with the axis standing still, however the reads
// fall between integration steps: a poller waiting for the target then sees a stopped axis.
TEST_P(AxisMove, ReadsTheTargetOnlyOnceStopped) {
    const MoveCase& mc = GetParam();
    Clock::time_point t{};
    Axis axis(t);
    axis.setProfile(mc.profile, t);
    axis.moveTo(mc.target, t);
    bool arrived = false;
    // Reads 0.37 ms apart fall between and across the 1 ms integration steps.
    for (int i = 0; i < 200000 && !arrived; ++i) {
        t += std::chrono::microseconds(370);
        axis.update(t);
        if (axis.position() == mc.target) {
            ASSERT_FALSE(axis.moving()) << "at read " << i;
            arrived = true;
        }
    }
    EXPECT_TRUE(arrived);
    EXPECT_FALSE(axis.moving());
    EXPECT_DOUBLE_EQ(axis.exactPosition(), static_cast<double>(mc.target));
}

INSTANTIATE_TEST_SUITE_P(Moves, AxisMove,
                         ::testing::Values(MoveCase{400, {100.0, 2000.0, 200.0, 200.0}},
                                           MoveCase{-400, {100.0, 2000.0, 200.0, 200.0}},
                                           MoveCase{3, {500.0, 500.0, 0.0, 0.0}},
                                           MoveCase{12345, {50.0, 9000.0, 50.0, 400.0}}));

} // namespace
} // namespace kvsim
