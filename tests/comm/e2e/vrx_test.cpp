// VRX17 (family 0x50) and DVRX (family 0x60) on the virtual line: status sub-reads and
// the multi-value status, motion writes and reads, variable writes.
#include "comm_fixture.h"
#include "record_text.h"
#include "requests.h"
#include "wire_log.h"

#include <mutex>

namespace commtest {
namespace {

using namespace tkv;

constexpr int32_t kVrx17 = 0x5000;
constexpr int32_t kDvrx = 0x6020;

class Vrx : public CommLine {
  protected:
    void SetUp() override {
        startLine("02 VRX17 type=0x5000\n03 DVRX type=0x6020 inputs=03\n", "DVRX");
    }
    bool motion(int32_t type, int32_t address, TagMotion m) {
        TagRequest r = requestOf(kKindMotionWrite, type, address, &m);
        const bool ok = comm->writeRequest(r);
        EXPECT_EQ(r.status, 0);
        return ok;
    }
    /// Runs a periodic poll entry until one pass (its count of notifications) is over.
    std::vector<int32_t> onePass(TagRequest& r, int32_t kind) {
        std::mutex m;
        std::vector<int32_t> subs;
        shell.setHandler([&](const Completion&) {
            std::lock_guard<std::mutex> lock(m);
            subs.push_back(r.subIndex);
        });
        TagPollEntry e;
        e.kind = kind;
        e.mode = kPollPeriodic;
        e.owner = 77;
        e.request = &r;
        EXPECT_TRUE(comm->addPollEntry(e));
        comm->startPolling();
        EXPECT_TRUE(shell.waitCompletions([](const auto& c) { return c.size() >= 8; }));
        comm->setModeByOwner(77, kPollFree);
        shell.setHandler(nullptr);
        std::lock_guard<std::mutex> lock(m);
        return {subs.begin(), subs.begin() + std::min<std::size_t>(subs.size(), 8)};
    }
};

TEST_F(Vrx, Vrx17StatusRunsEightNotifiedSubReadsPerPass) {
    TagMotion to;
    to.subKind = kMotionMove;
    to.moveMode = kMoveAbsolute;
    to.absoluteTarget = 300;
    ASSERT_TRUE(motion(kVrx17, 2, to));
    TagMotion out;
    out.subKind = kMotionOutput;
    out.outputToSet = 3;
    ASSERT_TRUE(motion(kVrx17, 2, out));
    TagStatus probe;
    TagRequest pr = requestOf(kKindStatus, kVrx17, 2, &probe, 1);
    ASSERT_TRUE(eventually([&] { return comm->readRequest(pr) && probe.position == 300; }));
    line->clearLog();
    shell.clear();

    TagStatus s;
    text::copy(s.extraName1, "SUPPLY_VOLTAGE");
    TagRequest r = requestOf(kKindStatus, kVrx17, 2, &s);
    const std::vector<int32_t> subs = onePass(r, kKindStatus);
    EXPECT_EQ(subs, std::vector<int32_t>({1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(r.count, 8);
    for (const Completion& c : shell.completions()) {
        EXPECT_EQ(c.owner, 77);
        EXPECT_EQ(c.kind, kKindStatus);
    }
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(s.position, 300);
    EXPECT_EQ(s.outputs, 3);
    EXPECT_EQ(s.power, 1);
    EXPECT_EQ(s.errorCode, 0);
    EXPECT_EQ(s.extraValue1, 24000);
    const auto sent = commandsOf(line->log());
    ASSERT_GE(sent.size(), 8U);
    EXPECT_EQ(std::vector<std::string>(sent.begin(), sent.begin() + 8),
              std::vector<std::string>({"02REA #POS", "02REA #INP", "02REA #OUT", "02REA #LIN",
                                        "02REA #STA", "02REA #ERR", "02REA #SUPPLY_VOLTAGE",
                                        "02READ #POS"}));
    // Quiet reads: no trace, but the diagnostic notes of command and reply.
    EXPECT_TRUE(shell.notesOf(kNoteTrace).empty());
    const auto notes = shell.notesOf(kNoteDiagnostic);
    EXPECT_NE(std::find(notes.begin(), notes.end(), "02REA #POS"), notes.end());
}

TEST_F(Vrx, Vrx17MotionWritesReadBack) {
    TagMotion m;
    m.subKind = kMotionSpeeds;
    m.highSpeed = 45000;
    m.accelTime = 250;
    m.lowSpeed = 1500;
    {
        // The text first sets the low speed to 0, which the virtual VRX17 refuses ("not
        // executed") while it carries out the rest; the values below show the rest.
        TagRequest r = requestOf(kKindMotionWrite, kVrx17, 2, &m);
        comm->writeRequest(r);
    }
    m.subKind = kMotionTorque;
    m.torqueRatio = 60;
    m.lowTorque = 20;
    m.standbyMode = 1;
    ASSERT_TRUE(motion(kVrx17, 2, m));
    m.subKind = kMotionEnds;
    m.hardEnds = 1;
    m.softEnds = 1;
    m.positiveEnd = 1000;
    m.negativeEnd = -1000;
    ASSERT_TRUE(motion(kVrx17, 2, m));
    m.subKind = kMotionPosition;
    m.positionToSet = -77;
    ASSERT_TRUE(motion(kVrx17, 2, m));
    EXPECT_EQ(commandsOf(line->log()),
              std::vector<std::string>({"02#LSP:=0 , #HSP:=45000 , #RTI:=250 , #LSP:=1500",
                                        "02#TRA:=60 , #LTO:= 20 , SMO ON",
                                        "02HEN ALL , SEN ON , #PEN:=1000 , #NEN:=-1000",
                                        "02#POSITION:=-77"}));
    line->clearLog();

    TagMotion read;
    TagRequest r = requestOf(kKindMotionRead, kVrx17, 2, &read);
    EXPECT_EQ(onePass(r, kKindMotionRead), std::vector<int32_t>({1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(read.highSpeed, 45000);
    EXPECT_EQ(read.lowSpeed, 1500);
    EXPECT_EQ(read.accelTime, 250);
    EXPECT_EQ(read.torqueRatio, 60);
    EXPECT_EQ(read.lowTorque, 20);
    EXPECT_EQ(read.positiveEnd, 1000);
    EXPECT_EQ(read.negativeEnd, -1000);
    EXPECT_EQ(read.standbyMode, 1);
    EXPECT_EQ(read.optimizedCurrent, 0);
    EXPECT_EQ(read.hardEnds, 1);
    EXPECT_EQ(read.softEnds, 1);
    TagStatus s;
    TagRequest sr = requestOf(kKindStatus, kVrx17, 2, &s, 1);
    ASSERT_TRUE(comm->readRequest(sr));
    EXPECT_EQ(s.position, -77);
}

TEST_F(Vrx, Vrx17VariableWrites) {
    TagVariable v;
    v.subKind = kVariableAssign;
    text::copy(v.name, "POSITION");
    text::copy(v.value, "1234");
    TagRequest w = requestOf(kKindVariableWrite, kVrx17, 2, &v);
    ASSERT_TRUE(comm->writeRequest(w));
    TagStatus s;
    TagRequest r = requestOf(kKindStatus, kVrx17, 2, &s, 1);
    ASSERT_TRUE(comm->readRequest(r));
    EXPECT_EQ(s.position, 1234);
    v.subKind = kVariableResetPosition;
    ASSERT_TRUE(comm->writeRequest(w));
    ASSERT_TRUE(comm->readRequest(r));
    EXPECT_EQ(s.position, 0);
    EXPECT_EQ(commandsOf(line->log()), std::vector<std::string>({"02#POSITION:=1234", "02REA #POS",
                                                                 "02#POSITION:=0", "02REA #POS"}));
}

TEST_F(Vrx, DvrxStatusInOneReadWithAnAbbreviatedExtra) {
    TagMotion speeds;
    speeds.subKind = kMotionSpeeds;
    speeds.lowSpeed = 3000;
    speeds.highSpeed = 90000;
    speeds.accelTime = 100;
    speeds.decelTime = 150;
    ASSERT_TRUE(motion(kDvrx, 3, speeds));
    TagMotion move;
    move.subKind = kMotionMove;
    move.moveMode = kMoveRelative;
    move.relativeDistance = 450;
    ASSERT_TRUE(motion(kDvrx, 3, move));

    TagStatus s;
    text::copy(s.extraName1, "SUPPLY_VOLTAGE");
    text::copy(s.extraName2, "CPU_TEMPERATURE");
    TagRequest r = requestOf(kKindStatus, kDvrx, 3, &s);
    ASSERT_TRUE(eventually([&] { return comm->readRequest(r) && s.position == 450; }))
        << describe(s);
    EXPECT_EQ(s.inputs, 3);
    EXPECT_EQ(s.power, 1);
    EXPECT_EQ(s.statusWord & 2, 0) << "standing";
    EXPECT_EQ(s.extraValue1, 24000);
    EXPECT_EQ(s.extraValue2, 35);
    EXPECT_EQ(commandsOf(line->log()).back(), "03REA #POS,REA #INP,REA #STA,REA #OUT,REA #LIN,REA "
                                              "#ERR,REA #SUPPLY_VOLTAGE,REA #CPU_TEMPERATURE");

    // Only the second extra named: its value comes first in the reply.
    text::copy(s.extraName1, "none");
    ASSERT_TRUE(comm->readRequest(r));
    EXPECT_EQ(s.extraValue1, 0);
    EXPECT_EQ(s.extraValue2, 35);
}

TEST_F(Vrx, DvrxMotionWritesReadBackInOneRead) {
    TagMotion m;
    m.subKind = kMotionSpeeds;
    m.lowSpeed = 3000;
    m.highSpeed = 90000;
    m.accelTime = 100;
    m.decelTime = 150;
    ASSERT_TRUE(motion(kDvrx, 3, m));
    m.subKind = kMotionTorque;
    m.torqueRatio = 55;
    m.optimizedCurrent = 1;
    ASSERT_TRUE(motion(kDvrx, 3, m));
    m.subKind = kMotionEnds;
    m.hardEnds = 1;
    m.softEnds = 1;
    m.positiveEnd = 500;
    m.negativeEnd = -500;
    ASSERT_TRUE(motion(kDvrx, 3, m));

    TagMotion read;
    TagRequest r = requestOf(kKindMotionRead, kDvrx, 3, &read);
    ASSERT_TRUE(comm->readRequest(r));
    EXPECT_EQ(read.lowSpeed, 3000);
    EXPECT_EQ(read.highSpeed, 90000);
    EXPECT_EQ(read.accelTime, 100);
    EXPECT_EQ(read.decelTime, 150);
    EXPECT_EQ(read.torqueRatio, 55);
    EXPECT_EQ(read.positiveEnd, 500);
    EXPECT_EQ(read.negativeEnd, -500);
    EXPECT_EQ(read.optimizedCurrent, 1);
    EXPECT_EQ(read.hardEnds, 1);
    EXPECT_EQ(read.softEnds, 1);
    EXPECT_EQ(read.standbyMode, 0);

    // The soft ends hold a move inside them.
    TagMotion far;
    far.subKind = kMotionMove;
    far.moveMode = kMoveRelative;
    far.relativeDistance = 100000;
    ASSERT_TRUE(motion(kDvrx, 3, far));
    TagStatus s;
    TagRequest sr = requestOf(kKindStatus, kDvrx, 3, &s);
    EXPECT_TRUE(eventually([&] { return comm->readRequest(sr) && s.position == 500; }))
        << describe(s);
}

TEST_F(Vrx, DvrxOutputToggleAndFreeCommand) {
    TagMotion out;
    out.subKind = kMotionOutput;
    out.outputToSet = 5;
    ASSERT_TRUE(motion(kDvrx, 3, out));
    TagStatus s;
    TagRequest sr = requestOf(kKindStatus, kDvrx, 3, &s);
    ASSERT_TRUE(comm->readRequest(sr));
    EXPECT_EQ(s.outputs, 5);

    TagVariable v;
    v.subKind = kVariableToggleOutput;
    text::copy(v.name, "OUTPUT");
    v.outputNumber = 2;
    v.outputValue = s.outputs;
    TagRequest w = requestOf(kKindVariableWrite, kDvrx, 3, &v);
    ASSERT_TRUE(comm->writeRequest(w));
    ASSERT_TRUE(comm->readRequest(sr));
    EXPECT_EQ(s.outputs, 7);

    TagMotion free;
    free.subKind = kMotionFreeCommand;
    text::copy(free.freeCommand, "POWER OFF");
    ASSERT_TRUE(motion(kDvrx, 3, free));
    ASSERT_TRUE(comm->readRequest(sr));
    EXPECT_EQ(s.power, 0);
    const auto sent = commandsOf(line->log());
    // The driver sends command texts in capitals.
    EXPECT_NE(std::find(sent.begin(), sent.end(), "03#OUTPUT:=H7"), sent.end());
    EXPECT_NE(std::find(sent.begin(), sent.end(), "03POWER OFF"), sent.end());
}

} // namespace
} // namespace commtest
