// The flags of the line guard, without a line.
#include <comm/line_guard.h>

#include <gtest/gtest.h>

namespace {

using tkv::TKV_LineGuard;

TEST(LineGuard, ForegroundDisablesPollingAndReleaseEnablesIt) {
    TKV_LineGuard g;
    EXPECT_FALSE(g.pollingEnabled()) << "off until started";
    g.startPolling();
    EXPECT_EQ(g.acquire(), 0) << "the poll thread is not busy";
    EXPECT_FALSE(g.pollingEnabled());
    EXPECT_FALSE(g.beginPass()) << "no pass while the foreground holds the line";
    g.release();
    EXPECT_TRUE(g.pollingEnabled());

    TKV_LineGuard off;
    {
        tkv::TKV_LineHold hold(off);
        EXPECT_EQ(hold.steps(), 0);
    }
    EXPECT_TRUE(off.pollingEnabled()) << "release enables polling even when it was off";
}

TEST(LineGuard, ForegroundWaitsAtMostTwentyOneSteps) {
    TKV_LineGuard g;
    g.startPolling();
    ASSERT_TRUE(g.beginPass());
    EXPECT_TRUE(g.busy());
    // The poll thread never finishes here: the wait gives up and the exchange goes on.
    EXPECT_EQ(g.acquire(), 21);
    g.release();
}

TEST(LineGuard, StopIsRequestedOnlyWhilePollingAndTakesEffectAfterThePass) {
    TKV_LineGuard g;
    g.requestStop();
    g.startPolling();
    ASSERT_TRUE(g.beginPass());
    g.endPass();
    EXPECT_TRUE(g.pollingEnabled()) << "the stop asked while polling was off is not kept";

    ASSERT_TRUE(g.beginPass());
    g.requestStop();
    EXPECT_TRUE(g.pollingEnabled()) << "the pass in progress goes on";
    g.endPass();
    EXPECT_FALSE(g.pollingEnabled());
    EXPECT_FALSE(g.busy());
    EXPECT_FALSE(g.beginPass());
    g.startPolling();
    ASSERT_TRUE(g.beginPass());
    g.endPass();
    EXPECT_TRUE(g.pollingEnabled()) << "the request was cleared";
}

} // namespace
