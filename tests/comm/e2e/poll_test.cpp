// The poll thread on the virtual line: modes, the paused-only table, the full table,
// withdrawal, stop, and foreground exchanges that never interleave with poll exchanges.
#include "comm_fixture.h"
#include "requests.h"
#include "wire_log.h"

#include <atomic>
#include <mutex>

namespace commtest {
namespace {

using namespace tkv;

class Polling : public CommLine {
  protected:
    void SetUp() override { startLine("03 TRILO type=0x0205\n04 TRILO type=0x0408\n"); }
    TagPollEntry entry(TagRequest& r, TKV_WindowHandle owner, int32_t mode = kPollPeriodic) {
        TagPollEntry e;
        e.kind = r.kind;
        e.mode = mode;
        e.owner = owner;
        e.request = &r;
        return e;
    }
    std::size_t completionsOf(TKV_WindowHandle owner) {
        std::size_t n = 0;
        for (const Completion& c : shell.completions()) {
            n += c.owner == owner ? 1 : 0;
        }
        return n;
    }
    bool waitFor(TKV_WindowHandle owner, std::size_t n) {
        return shell.waitCompletions([&](const std::vector<Completion>& all) {
            std::size_t k = 0;
            for (const Completion& c : all) {
                k += c.owner == owner ? 1 : 0;
            }
            return k >= n;
        });
    }
};

TEST_F(Polling, PeriodicEntryIsReadOnEveryPassAndNotified) {
    TagStatus s;
    s.position = -1;
    TagRequest r = requestOf(kKindStatus, 0x0205, 3, &s);
    TagPollEntry e = entry(r, 11);
    ASSERT_TRUE(comm->request(req::kPollAdd, 0, &e));
    comm->startPolling();
    ASSERT_TRUE(waitFor(11, 3));
    EXPECT_EQ(s.position, 0);
    EXPECT_EQ(r.status, 0);
    for (const Completion& c : shell.completions()) {
        EXPECT_EQ(c.kind, kKindStatus);
    }
    const auto sent = commandsOf(line->log());
    ASSERT_GE(sent.size(), 3U);
    EXPECT_EQ(sent[0], "03QD");
    EXPECT_EQ(sent[2], "03QD");
}

TEST_F(Polling, PausedOnlyTableRunsNothingAndRestartsFromTheFirstEntry) {
    TagStatus a, b;
    TagRequest ra = requestOf(kKindStatus, 0x0205, 3, &a);
    TagRequest rb = requestOf(kKindStatus, 0x0408, 4, &b);
    ASSERT_TRUE(comm->addPollEntry(entry(ra, 21, kPollPaused)));
    ASSERT_TRUE(comm->addPollEntry(entry(rb, 22, kPollPaused)));
    comm->startPolling();
    // A pass that saw only paused entries leaves the poll index at -1.
    ASSERT_TRUE(eventually([&] { return comm->pollIndex() == -1; }));
    EXPECT_TRUE(shell.completions().empty());
    EXPECT_TRUE(line->log().empty()) << "not a byte on the wire";

    TKV_WindowHandle owner = 22;
    ASSERT_TRUE(comm->request(req::kPollModeByOwner, kPollPeriodic, &owner));
    ASSERT_TRUE(waitFor(22, 1));
    EXPECT_EQ(commandsOf(line->log()).front(), "04QD");
    EXPECT_EQ(completionsOf(21), 0U);
    EXPECT_EQ(comm->pollEntry(1).mode, kPollPeriodic);
}

TEST_F(Polling, ModeByKindAndOnceEntries) {
    TagStatus s;
    TagParamBlock p;
    TagRequest rs = requestOf(kKindStatus, 0x0205, 3, &s);
    TagRequest rp = requestOf(kKindParameters, 0x0205, 3, &p);
    ASSERT_TRUE(comm->addPollEntry(entry(rs, 31, kPollPaused)));
    ASSERT_TRUE(comm->addPollEntry(entry(rp, 32, kPollOnce)));
    comm->startPolling();
    ASSERT_TRUE(waitFor(32, 1));
    EXPECT_EQ(p.maxSpeed, 2000);
    EXPECT_EQ(comm->pollEntry(1).mode, kPollFree);
    int32_t kind = kKindStatus;
    ASSERT_TRUE(comm->request(req::kPollModeByKind, kPollOnce, &kind));
    ASSERT_TRUE(waitFor(31, 1));
    EXPECT_EQ(comm->pollEntry(0).mode, kPollFree);
    EXPECT_EQ(completionsOf(32), 1U) << "a once entry runs once";
    const auto sent = commandsOf(line->log());
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "03QL"), 1);
}

TEST_F(Polling, TwentyFirstEntryIsDroppedAndTheTableStays) {
    std::vector<TagStatus> records(21);
    std::vector<TagRequest> requests;
    requests.reserve(21);
    for (auto& s : records) {
        requests.push_back(requestOf(kKindStatus, 0x0205, 3, &s));
    }
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(
            comm->addPollEntry(entry(requests[static_cast<std::size_t>(i)], 100 + i, kPollPaused)));
    }
    TagPollEntry last = entry(requests[20], 500);
    EXPECT_FALSE(comm->request(req::kPollAdd, 0, &last));
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(comm->pollEntry(i).owner, 100 + i);
        EXPECT_EQ(comm->pollEntry(i).mode, kPollPaused);
    }
    comm->startPolling();
    ASSERT_TRUE(eventually([&] { return comm->pollIndex() == -1; }));
    EXPECT_TRUE(shell.completions().empty()) << "the dropped entry never runs";
}

TEST_F(Polling, WithdrawnEntryIsNoLongerTouched) {
    TagStatus kept, gone;
    TagRequest rk = requestOf(kKindStatus, 0x0408, 4, &kept);
    TagRequest rg = requestOf(kKindStatus, 0x0205, 3, &gone);
    ASSERT_TRUE(comm->addPollEntry(entry(rk, 41)));
    ASSERT_TRUE(comm->addPollEntry(entry(rg, 42)));
    comm->startPolling();
    ASSERT_TRUE(waitFor(42, 2));
    TKV_WindowHandle owner = 42;
    ASSERT_TRUE(comm->request(req::kPollModeByOwner, kPollFree, &owner));
    // Once withdrawal returns the record is the window's again.
    const std::size_t before = completionsOf(42);
    gone.position = 999999;
    rg.status = 4242;
    const std::size_t keptBefore = completionsOf(41);
    ASSERT_TRUE(waitFor(41, keptBefore + 3));
    EXPECT_EQ(gone.position, 999999);
    EXPECT_EQ(rg.status, 4242);
    EXPECT_LE(completionsOf(42), before + 1) << "at most the notification of the last read";
    EXPECT_EQ(comm->pollEntry(1).owner, 0);
}

TEST_F(Polling, StopRequestDisablesPollingAfterThePass) {
    TagStatus s;
    TagRequest r = requestOf(kKindStatus, 0x0205, 3, &s);
    ASSERT_TRUE(comm->addPollEntry(entry(r, 51)));
    comm->requestStop();
    EXPECT_FALSE(comm->pollingEnabled()) << "no stop to request while polling is off";
    comm->startPolling();
    ASSERT_TRUE(waitFor(51, 1));
    comm->requestStop();
    ASSERT_TRUE(eventually([&] { return !comm->pollingEnabled(); }));
    // A foreground exchange enables polling again when it gives the line back.
    TagFreeText f;
    text::copy(f.text, "04QD");
    ASSERT_TRUE(comm->sendFreeText(f));
    EXPECT_TRUE(comm->pollingEnabled());
    const std::size_t n = completionsOf(51);
    EXPECT_TRUE(waitFor(51, n + 2)) << "polling resumes after the foreground exchange";
}

TEST_F(Polling, ForegroundExchangesNeverInterleaveWithPollExchanges) {
    // A VRX17 status entry makes eight reads in a row; each notification wakes this thread,
    // which then goes for the line while the poll thread goes on with its next read. Wire
    // time makes every exchange last, so that two threads on the line at once would meet.
    comm.reset();
    line->stop();
    startLine("02 VRX17 type=0x5000\n03 DVRX type=0x6020\n", "DVRX");
    line->setPacing(true);
    TagStatus a, b;
    TagRequest ra = requestOf(kKindStatus, 0x5000, 2, &a);
    TagRequest rb = requestOf(kKindStatus, 0x6020, 3, &b);
    ASSERT_TRUE(comm->addPollEntry(entry(ra, 61)));
    ASSERT_TRUE(comm->addPollEntry(entry(rb, 62)));
    comm->startPolling();

    int foreground = 0;
    std::size_t seen = 0;
    while (foreground < 40) {
        ASSERT_TRUE(shell.waitCompletions([&](const auto& c) { return c.size() > seen; }));
        seen = shell.completions().size();
        TagFreeText f;
        text::copy(f.text, foreground % 2 == 0 ? "03REA #POS" : "02REA #OUT");
        EXPECT_TRUE(comm->sendFreeText(f)) << f.reply;
        TagMotion m;
        m.subKind = kMotionOutput;
        m.outputToSet = foreground & 0xFF;
        TagRequest wr = requestOf(kKindMotionWrite, 0x6020, 3, &m);
        EXPECT_TRUE(comm->writeRequest(wr));
        ++foreground;
    }
    const std::size_t polled = shell.completions().size();
    ASSERT_TRUE(shell.waitCompletions([&](const auto& c) { return c.size() >= polled + 3; }))
        << "polling goes on after the foreground exchanges";
    comm.reset(); // the poll thread is joined: the log is complete

    const auto events = wireEvents(line->log());
    int commands = 0;
    int pollCommands = 0;
    bool awaitingAnswer = false;
    for (std::size_t i = 0; i < events.size(); ++i) {
        const WireEvent& e = events[i];
        ASSERT_NE(e.what, WireEvent::What::Stray) << e.text << " at event " << i;
        if (e.what == WireEvent::What::Command) {
            ASSERT_FALSE(awaitingAnswer) << "command " << e.text << " (event " << i
                                         << ") was sent before the answer to the one before it";
            awaitingAnswer = true;
            ++commands;
            pollCommands += text::startsWith(e.text, "02REA #") && e.text != "02REA #OUT" ? 1 : 0;
        } else {
            ASSERT_TRUE(awaitingAnswer) << "an answer without a command at event " << i;
            awaitingAnswer = false;
        }
    }
    EXPECT_FALSE(awaitingAnswer);
    EXPECT_GE(commands, 2 * foreground);
    EXPECT_GE(pollCommands, foreground / 2) << "both threads used the line";
}

} // namespace
} // namespace commtest
