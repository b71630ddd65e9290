// The benchmark's reading of the line's time stamps, on a scripted line whose delays are
// known to the microsecond.
#include "exchange_timing.h"

#include <gtest/gtest.h>

namespace bench {
namespace {

using std::chrono::microseconds;

constexpr std::uint8_t kStx = 0x02;
constexpr std::uint8_t kAck = 0x06;

const Clock::time_point t0{};

Clock::time_point at(long long us) {
    return t0 + microseconds(us);
}

TEST(EndLatencies, TakeTheMandatedWaitsOffBothEnds) {
    // Call at 0: the command's first byte at 130 us (100 of them mandated), its last at 900;
    // the reply from 1500 to 2400, the return at 2700 (150 mandated after the reply).
    // A byte of the next exchange's command, after the return, must not count.
    const std::vector<Call> calls{{at(0), at(2700)}, {at(3000), at(3500)}, {at(4000), at(6000)}};
    const std::vector<LineByte> log{
        {at(40), true, kAck}, // the last exchange's acknowledgement, logged late: no command
        {at(50), false},      // late, from before the command: no reply to it
        {at(130), true, kStx},  {at(900), true},        {at(1500), false},
        {at(2400), false},      {at(2550), true, kAck}, // the acknowledgement, sent after the reply
        {at(2600), false},      // what the module sends on the acknowledgement is no reply
        {at(3200), true, kStx}, // a command that got no reply
        {at(4100), true, kStx}, {at(5000), false},      {at(5900), false},
    };
    const std::vector<EndLatency> e = endLatencies(calls, log, kStx, 100, 150);
    ASSERT_EQ(e.size(), 3U);
    EXPECT_TRUE(e[0].complete);
    EXPECT_DOUBLE_EQ(e[0].sendUs, 30);
    EXPECT_DOUBLE_EQ(e[0].replyUs, 150);
    EXPECT_FALSE(e[1].complete);
    EXPECT_TRUE(e[2].complete);
    EXPECT_DOUBLE_EQ(e[2].sendUs, 0);
    EXPECT_DOUBLE_EQ(e[2].replyUs, -50); // shorter than mandated: the caller flags it
}

TEST(EndLatencies, AnEmptyLogLeavesEveryCallIncomplete) {
    const std::vector<EndLatency> e =
        endLatencies({{at(0), at(10)}, {at(20), at(30)}}, {}, kStx, 0, 0);
    ASSERT_EQ(e.size(), 2U);
    EXPECT_FALSE(e[0].complete);
    EXPECT_FALSE(e[1].complete);
}

TEST(Spread, MedianAndNinetyNinthPercentileByNearestRank) {
    std::vector<double> hundred;
    for (int i = 100; i >= 1; --i) {
        hundred.push_back(i);
    }
    const Spread s = spreadOf(hundred);
    EXPECT_EQ(s.count, 100U);
    EXPECT_DOUBLE_EQ(s.median, 50);
    EXPECT_DOUBLE_EQ(s.p99, 99);
    EXPECT_DOUBLE_EQ(spreadOf({7}).median, 7);
    EXPECT_DOUBLE_EQ(spreadOf({7}).p99, 7);
    EXPECT_DOUBLE_EQ(spreadOf({3, 1, 2}).median, 2);
    EXPECT_DOUBLE_EQ(spreadOf({3, 1, 2}).p99, 3);
    EXPECT_EQ(spreadOf({}).count, 0U);
    EXPECT_DOUBLE_EQ(spreadOf({}).median, 0);
}

} // namespace
} // namespace bench
