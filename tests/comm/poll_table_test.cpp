// The poll table: adding entries and groups, modes by owner and kind, and the search.
#include <comm/poll_table.h>

#include <gtest/gtest.h>

namespace {

using namespace tkv;

TagPollEntry entryOf(int32_t kind, int32_t mode, TKV_WindowHandle owner, TagRequest* r) {
    TagPollEntry e;
    e.kind = kind;
    e.mode = mode;
    e.owner = owner;
    e.request = r;
    return e;
}

const auto kAlways = [] { return true; };

TEST(PollTable, AddSetsTheRepeatCountsFromTheFamily) {
    struct Case {
        int32_t kind;
        int32_t type;
        int32_t count;
    };
    const Case cases[] = {{kKindStatus, 0x5000, 8}, {kKindMotionRead, 0x5000, 8},
                          {kKindStatus, 0x3001, 3}, {kKindV2334Read, 0x4001, 2},
                          {kKindStatus, 0x0205, 0}, {kKindStatus, 0x6020, 0}};
    for (const Case& c : cases) {
        TKV_PollTable table;
        TagRequest r;
        r.typeCode = c.type;
        r.count = 99;
        TagPollEntry e = entryOf(c.kind, kPollPeriodic, 1, &r);
        e.count = 42;
        ASSERT_TRUE(table.add(e));
        EXPECT_EQ(table.entry(0).count, c.count);
        EXPECT_EQ(r.count, c.count);
        EXPECT_EQ(table.entry(0).kind, c.kind);
        EXPECT_EQ(table.entry(0).owner, 1);
    }
}

TEST(PollTable, TwentyFirstEntryIsDropped) {
    TKV_PollTable table;
    TagRequest records[21];
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(table.add(entryOf(kKindStatus, kPollPeriodic, 100 + i, &records[i])));
    }
    EXPECT_FALSE(table.add(entryOf(kKindStatus, kPollPeriodic, 500, &records[20])));
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(table.entry(i).owner, 100 + i);
        EXPECT_EQ(table.entry(i).request, &records[i]);
    }
}

TEST(PollTable, EntryWithoutRecordIsDropped) {
    TKV_PollTable table;
    EXPECT_FALSE(table.add(entryOf(kKindStatus, kPollPeriodic, 1, nullptr)));
    EXPECT_EQ(table.entry(0).owner, 0);
}

TEST(PollTable, GroupOfThreeKindsByFamily) {
    struct Case {
        int32_t type;
        int32_t kinds[3];
    };
    const Case cases[] = {
        {0x0100, {kKindPowerOnFunction, kKindEndSensorCell, kKindSlidingShort}},
        {0x0205, {kKindPowerOnFunction, kKindSpecificLabelled, kKindAutoOutput}},
        {0x1002, {kKindPowerOnFunction, kKindSpecificLabelled, kKindAutoOutput}},
    };
    for (const Case& c : cases) {
        TKV_PollTable table;
        TagRequest other;
        TagRequest r;
        r.typeCode = c.type;
        ASSERT_TRUE(table.add(entryOf(kKindStatus, kPollPeriodic, 1, &other)));
        ASSERT_TRUE(table.add(entryOf(kKindSpecificGroup, kPollOnce, 2, &r)));
        for (int k = 0; k < 3; ++k) {
            const TagPollEntry& e = table.entry(1 + k);
            EXPECT_EQ(e.kind, c.kinds[k]) << std::hex << c.type << " " << k;
            EXPECT_EQ(e.request, &r);
            EXPECT_EQ(e.owner, 2);
            EXPECT_EQ(e.mode, kPollOnce);
            EXPECT_EQ(e.count, 0);
        }
        EXPECT_EQ(table.entry(4).owner, 0);
    }
}

TEST(PollTable, GroupNeedsThreeConsecutiveFreeEntriesStartingAtSixteenAtMost) {
    TKV_PollTable table;
    TagRequest records[20];
    // Entries 0-16 taken; 17, 18, 19 free: a group may not start at 17.
    for (int i = 0; i < 17; ++i) {
        ASSERT_TRUE(table.add(entryOf(kKindStatus, kPollPeriodic, 10, &records[i])));
    }
    TagRequest group;
    group.typeCode = 0x0205;
    EXPECT_FALSE(table.add(entryOf(kKindSpecificGroup, kPollPeriodic, 20, &group)));
    EXPECT_EQ(table.entry(17).owner, 0);

    // Freeing entry 16 makes 16-18 a run that may take the group.
    TKV_PollTable second;
    for (int i = 0; i < 16; ++i) {
        ASSERT_TRUE(second.add(entryOf(kKindStatus, kPollPeriodic, 10, &records[i])));
    }
    ASSERT_TRUE(second.add(entryOf(kKindStatus, kPollPeriodic, 11, &records[16])));
    second.setModeByOwner(11, kPollFree);
    EXPECT_TRUE(second.add(entryOf(kKindSpecificGroup, kPollPeriodic, 20, &group)));
    EXPECT_EQ(second.entry(16).kind, kKindPowerOnFunction);
    EXPECT_EQ(second.entry(18).kind, kKindAutoOutput);
    EXPECT_EQ(second.entry(19).owner, 0);
}

TEST(PollTable, GroupSkipsARunThatIsTooShort) {
    TKV_PollTable table;
    TagRequest a, b, group;
    group.typeCode = 0x0205;
    ASSERT_TRUE(table.add(entryOf(kKindStatus, kPollPeriodic, 1, &a)));
    ASSERT_TRUE(table.add(entryOf(kKindStatus, kPollPeriodic, 2, &b)));
    ASSERT_TRUE(table.add(entryOf(kKindStatus, kPollPeriodic, 3, &b)));
    table.setModeByOwner(2, kPollFree); // entry 1 free, entry 2 taken
    ASSERT_TRUE(table.add(entryOf(kKindSpecificGroup, kPollPeriodic, 4, &group)));
    EXPECT_EQ(table.entry(1).owner, 0);
    EXPECT_EQ(table.entry(3).owner, 4);
    EXPECT_EQ(table.entry(5).owner, 4);
}

TEST(PollTable, ModesByOwnerAndByKind) {
    TKV_PollTable table;
    TagRequest r1, r2, r3;
    table.add(entryOf(kKindStatus, kPollPeriodic, 1, &r1));
    table.add(entryOf(kKindParameters, kPollPeriodic, 2, &r2));
    table.add(entryOf(kKindStatus, kPollPeriodic, 2, &r3));
    table.setModeByOwner(2, kPollPaused);
    EXPECT_EQ(table.entry(0).mode, kPollPeriodic);
    EXPECT_EQ(table.entry(1).mode, kPollPaused);
    EXPECT_EQ(table.entry(2).mode, kPollPaused);
    table.setModeByKind(kKindStatus, kPollOnce);
    EXPECT_EQ(table.entry(0).mode, kPollOnce);
    EXPECT_EQ(table.entry(1).mode, kPollPaused);
    EXPECT_EQ(table.entry(2).mode, kPollOnce);
    table.setModeByOwner(2, kPollFree);
    EXPECT_EQ(table.entry(1).owner, 0);
    EXPECT_EQ(table.entry(2).owner, 0);
    EXPECT_EQ(table.entry(0).owner, 1);
    // Freed entries are taken again first.
    TagRequest r4;
    ASSERT_TRUE(table.add(entryOf(kKindStatus, kPollPeriodic, 5, &r4)));
    EXPECT_EQ(table.entry(1).owner, 5);
}

TEST(PollTable, AnEntryWithdrawnByKindIsFreeAndStaysWithdrawnWhenItsOwnerResumes) {
    TKV_PollTable table;
    TagRequest rows[2];
    constexpr int32_t kFirstRow = 0x00105;
    constexpr int32_t kSecondRow = 0x10107;
    ASSERT_TRUE(table.add(entryOf(kFirstRow, kPollPeriodic, 7, &rows[0])));
    ASSERT_TRUE(table.add(entryOf(kSecondRow, kPollPeriodic, 7, &rows[1])));
    table.setModeByKind(kFirstRow, kPollFree);
    EXPECT_EQ(table.entry(0).owner, 0);
    EXPECT_EQ(table.entry(0).mode, kPollFree);
    EXPECT_EQ(table.entry(1).owner, 7);
    table.setModeByOwner(7, kPollPaused);
    table.setModeByOwner(7, kPollPeriodic);
    EXPECT_EQ(table.entry(0).mode, kPollFree);
    EXPECT_EQ(table.entry(1).mode, kPollPeriodic);
    // The freed place is the first one a new row takes.
    TagRequest next;
    ASSERT_TRUE(table.add(entryOf(0x00106, kPollPeriodic, 7, &next)));
    EXPECT_EQ(table.entry(0).request, &next);
}

TEST(PollTable, SearchRunsPeriodicEntriesInTurn) {
    TKV_PollTable table;
    TagRequest r1, r2;
    table.add(entryOf(kKindStatus, kPollPeriodic, 1, &r1));
    table.add(entryOf(kKindStatus, kPollPaused, 2, &r2));
    table.add(entryOf(kKindStatus, kPollPeriodic, 3, &r2));
    int seen[6];
    for (int& s : seen) {
        s = table.next(kAlways);
        table.advance(s);
    }
    EXPECT_EQ(seen[0], 0);
    EXPECT_EQ(seen[1], 2);
    EXPECT_EQ(seen[2], 0);
    EXPECT_EQ(seen[3], 2);
    EXPECT_EQ(seen[4], 0);
}

TEST(PollTable, OnceEntryRunsOnceAndIsFreedLater) {
    TKV_PollTable table;
    TagRequest r;
    table.add(entryOf(kKindStatus, kPollOnce, 7, &r));
    EXPECT_EQ(table.next(kAlways), 0);
    table.advance(0);
    EXPECT_EQ(table.entry(0).mode, kPollFree);
    EXPECT_EQ(table.entry(0).owner, 7) << "the owner is still to be told";
    EXPECT_EQ(table.next(kAlways), -1);
    EXPECT_EQ(table.entry(0).owner, 0) << "a later search frees it";
}

TEST(PollTable, AOnceEntryThatHasRunStaysFreeWhenItsOwnerIsPausedAndResumed) {
    TKV_PollTable table;
    TagRequest r;
    table.add(entryOf(kKindParameters, kPollOnce, 7, &r));
    ASSERT_EQ(table.next(kAlways), 0);
    table.advance(0);
    ASSERT_EQ(table.entry(0).owner, 7);
    table.add(entryOf(kKindParameters, kPollOnce, 7, &r));
    ASSERT_EQ(table.entry(1).mode, kPollOnce);
    for (int32_t mode : {kPollPaused, kPollOnce, kPollPeriodic}) {
        table.setModeByOwner(7, mode);
        EXPECT_EQ(table.entry(0).mode, kPollFree) << mode;
        EXPECT_EQ(table.entry(1).mode, mode);
    }
    table.setModeByOwner(7, kPollFree);
    EXPECT_EQ(table.entry(0).owner, 0);
    EXPECT_EQ(table.entry(1).owner, 0);
}

TEST(PollTable, OnlyPausedEntriesRunNothingAndRestartFromTheFirst) {
    TKV_PollTable table;
    TagRequest r;
    table.add(entryOf(kKindStatus, kPollPeriodic, 1, &r));
    table.add(entryOf(kKindStatus, kPollPaused, 2, &r));
    EXPECT_EQ(table.next(kAlways), 0);
    table.advance(0);
    table.setModeByOwner(1, kPollPaused);
    EXPECT_EQ(table.next(kAlways), -1);
    EXPECT_EQ(table.index(), -1);
    table.setModeByOwner(1, kPollPeriodic);
    EXPECT_EQ(table.next(kAlways), 0) << "from entry 0 again";
}

TEST(PollTable, EmptyTableGivesNothing) {
    TKV_PollTable table;
    int asked = 0;
    EXPECT_EQ(table.next([&] {
        ++asked;
        return true;
    }),
              -1);
    EXPECT_LE(asked, 2 * (kPollEntries + 1) + 1) << "the search gives up after two rounds";
    EXPECT_EQ(table.index(), 0);
}

TEST(PollTable, SearchStopsWhenPollingIsDisabled) {
    TKV_PollTable table;
    TagRequest r;
    table.add(entryOf(kKindStatus, kPollPaused, 1, &r));
    table.add(entryOf(kKindStatus, kPollPaused, 1, &r));
    table.add(entryOf(kKindStatus, kPollPeriodic, 2, &r));
    int left = 2;
    EXPECT_EQ(table.next([&] { return left-- > 0; }), -1);
    EXPECT_EQ(table.next(kAlways), 2);
}

} // namespace
