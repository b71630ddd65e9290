// TRILO families 0x01 to 0x04 on the virtual line: status, parameter blocks, specific
// modes, variables and coded commands, through the real driver.
#include "comm_fixture.h"
#include "record_text.h"
#include "requests.h"
#include "wire_log.h"

namespace commtest {
namespace {

using namespace tkv;

class Trilo : public CommLine {};

TEST_F(Trilo, StatusReadFollowsMotionPowerAndInputs) {
    startLine("03 TRILO type=0x0205 inputs=A5\n");
    TagStatus s;
    TagRequest r = requestOf(kKindStatus, 0x0205, 3, &s);
    ASSERT_TRUE(comm->readRequest(r));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(s.inputs, 0xA5);
    EXPECT_EQ(s.power, 1);
    EXPECT_EQ(s.moving, 0);
    EXPECT_EQ(s.position, 0);

    TagCodedCommand go = coded(7, 3, "400");
    ASSERT_TRUE(comm->sendCodedCommand(go));
    EXPECT_TRUE(eventually([&] { return comm->readRequest(r) && s.position == 400; }))
        << describe(s);
    EXPECT_EQ(s.moving, 0);
    TagCodedCommand off = coded(2, 3);
    ASSERT_TRUE(comm->sendCodedCommand(off));
    ASSERT_TRUE(comm->readRequest(r));
    EXPECT_EQ(s.power, 0);

    // The command and the reply were traced, and the command sent was "03QD".
    const auto traces = shell.notesOf(kNoteTrace);
    ASSERT_GE(traces.size(), 2U);
    EXPECT_EQ(traces[traces.size() - 2], "03QD");
    EXPECT_TRUE(text::startsWith(traces.back(), "03D ")) << traces.back();
    EXPECT_EQ(commandsOf(line->log()).back(), "03QD");
}

TEST_F(Trilo, StatusOfTheFirstFamilyAndAStoredFunction) {
    startLine("04 TRILO type=0x0100\n");
    TagStatus s;
    TagRequest r = requestOf(kKindStatus, 0x0100, 4, &s);
    TagCodedCommand run = coded(6, 4, "3");
    ASSERT_TRUE(comm->sendCodedCommand(run));
    EXPECT_TRUE(eventually([&] { return comm->readRequest(r) && s.stage == 255; }));
    EXPECT_EQ(s.function, 3);
    EXPECT_EQ(s.moving, 0);
    EXPECT_EQ(s.position, 300);
    EXPECT_EQ(commandsOf(line->log()).back(), "04RD");
}

TEST_F(Trilo, FailedReadKeepsTheRecordAndReportsTheStatus) {
    startLine("03 TRILO type=0x0205\n");
    TagStatus s;
    s.position = 1234;
    TagRequest r = requestOf(kKindStatus, 0x0205, 9, &s);
    EXPECT_FALSE(comm->readRequest(r));
    EXPECT_EQ(r.status, kStatusReceiveTimeout);
    EXPECT_EQ(s.position, 1234);
}

struct ParameterCase {
    const char* line;
    int32_t type;
    TagParamBlock written;
    TagParamBlock expected; ///< as read back
};

TagParamBlock block(int32_t res, int32_t start, int32_t max, int32_t ramp, int32_t decel,
                    uint8_t sep, int32_t current, int32_t standby, int32_t indicators = 0,
                    float factor = 0.0F) {
    TagParamBlock p;
    p.resolution = res;
    p.startSpeed = start;
    p.maxSpeed = max;
    p.rampTime = ramp;
    p.decelTime = decel;
    p.separateDecel = sep;
    p.currentCode = current;
    p.standbyMode = standby;
    p.indicators = indicators;
    p.currentFactor = factor;
    return p;
}

TEST_F(Trilo, ParameterBlockRoundTrips) {
    const ParameterCase cases[] = {
        // Family 1: the write carries no resolution, standby or deceleration.
        {"03 TRILO type=0x0100\n", 0x0100, block(4, 150, 3000, 300, 450, 1, 90, 2),
         block(1, 150, 3000, 300, 0, 0, 90, 0)},
        {"03 TRILO type=0x0200\n", 0x0200, block(4, 150, 3000, 300, 450, 1, 90, 2),
         block(4, 150, 3000, 300, 450, 1, 90, 2)},
        // Odd type: the current is not written, the module keeps its own.
        {"03 TRILO type=0x0205\n", 0x0205, block(8, 120, 2500, 250, 0, 0, 90, 1),
         block(8, 120, 2500, 250, 250, 0, 128, 1)},
        {"03 TRILO type=0x0300\n", 0x0300, block(2, 100, 1000, 50, 0, 0, 60, 0),
         block(2, 100, 1000, 50, 50, 0, 60, 0)},
        {"03 TRILO type=0x0408 current=3.5\n", 0x0408, block(16, 10, 900, 150, 300, 1, 64, 2),
         block(16, 10, 900, 150, 300, 1, 64, 2, 0, 3.5F)},
    };
    for (const ParameterCase& c : cases) {
        SCOPED_TRACE(c.line);
        startLine(c.line);
        TagParamBlock written = c.written;
        TagRequest w = requestOf(kKindParameters, c.type, 3, &written);
        ASSERT_TRUE(comm->writeRequest(w));
        EXPECT_EQ(w.status, 0);
        TagParamBlock read;
        TagRequest r = requestOf(kKindParameters, c.type, 3, &read);
        ASSERT_TRUE(comm->readRequest(r));
        EXPECT_EQ(describe(read), describe(c.expected));
        comm.reset();
        line->stop();
    }
}

TEST_F(Trilo, ParameterReadRunsTheExtraQueriesFirst) {
    startLine("03 TRILO type=0x0403 current=2.25\n");
    TagSpecificMode m;
    m.powerOnSupported = m.endSensorsSupported = m.reverseSupported = 1;
    m.autoOutputSupported = 1;
    m.powerOnFunction = 3;
    m.endSensors = 1;
    m.reverseInputs = 1;
    m.autoOutput = 1;
    m.autoOutputSettings = static_cast<int32_t>(0xF00F0001U);
    TagRequest w = requestOf(kKindSpecificGroup, 0x0403, 3, &m);
    ASSERT_TRUE(comm->writeRequest(w));
    line->clearLog();

    TagParamBlock p;
    TagRequest r = requestOf(kKindParameters, 0x0403, 3, &p);
    ASSERT_TRUE(comm->readRequest(r));
    EXPECT_EQ(p.indicators, 0b1111) << "sensors, reverse, automatic output, power-on function";
    EXPECT_FLOAT_EQ(p.currentFactor, 2.25F);
    const std::vector<std::string> sent = {"03QM C6 84", "03QM C1 94", "03QE", "03QL"};
    EXPECT_EQ(commandsOf(line->log()), sent);
    const auto traces = shell.notesOf(kNoteTrace);
    EXPECT_EQ(std::count(traces.begin(), traces.end(), "03QE"), 0) << "extra queries untraced";
}

TEST_F(Trilo, SpecificModesOfTheLaterFamiliesThroughAOncePollGroup) {
    startLine("03 TRILO type=0x0403\n");
    TagSpecificMode written;
    written.powerOnSupported = written.endSensorsSupported = written.reverseSupported = 1;
    written.slidingSupported = written.autoOutputSupported = 1;
    written.slidingDistance = 12;
    written.powerOnFunction = 3;
    written.endSensors = 1;
    written.reverseInputs = 1;
    written.autoOutput = 1;
    written.autoOutputSettings = static_cast<int32_t>(0xF00F001FU);
    written.setPosition = 10;
    written.resetPosition = -20;
    TagRequest w = requestOf(kKindSpecificGroup, 0x0403, 3, &written);
    ASSERT_TRUE(comm->writeRequest(w));
    EXPECT_EQ(commandsOf(line->log()).back(), "03GS,DG12,SD3,MB H,GL 0F:F0 +A,GP 10:-20 MP");

    TagSpecificMode read;
    TagRequest r = requestOf(kKindSpecificGroup, 0x0403, 3, &read);
    TagPollEntry e;
    e.kind = kKindSpecificGroup;
    e.mode = kPollOnce;
    e.owner = 41;
    e.request = &r;
    ASSERT_TRUE(comm->addPollEntry(e));
    comm->startPolling();
    ASSERT_TRUE(shell.waitCompletions([](const auto& c) { return c.size() >= 3; }));
    const auto done = shell.completions();
    ASSERT_EQ(done.size(), 3U);
    EXPECT_EQ(done[0].kind, kKindPowerOnFunction);
    EXPECT_EQ(done[1].kind, kKindSpecificLabelled);
    EXPECT_EQ(done[2].kind, kKindAutoOutput);
    for (const Completion& c : done) {
        EXPECT_EQ(c.owner, 41);
    }
    EXPECT_EQ(shell.sendFirst, kNoteCompleted);
    EXPECT_EQ(shell.lastMessageId, kMessage);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.kind, kKindAutoOutput);
    TagSpecificMode expected = written;
    expected.dataValid = 1;
    EXPECT_EQ(describe(read).substr(describe(read).find(" sd=")),
              describe(expected).substr(describe(expected).find(" sd=")));
    EXPECT_EQ(read.dataValid, 1);
    const std::vector<std::string> sent = {"03QM C6 84", "03QL", "03QC"};
    EXPECT_EQ(commandsOf(line->log()),
              std::vector<std::string>(
                  {"03GS,DG12,SD3,MB H,GL 0F:F0 +A,GP 10:-20 MP", sent[0], sent[1], sent[2]}));

    // Writing the modes off again reads back as off.
    TagSpecificMode off = written;
    off.powerOnFunction = 0;
    off.endSensors = 0;
    off.reverseInputs = 0;
    off.autoOutput = 0;
    TagRequest w2 = requestOf(kKindSpecificGroup, 0x0403, 3, &off);
    ASSERT_TRUE(comm->writeRequest(w2));
    r.kind = kKindSpecificGroup;
    shell.clear();
    ASSERT_TRUE(comm->addPollEntry(e));
    ASSERT_TRUE(shell.waitCompletions([](const auto& c) { return c.size() >= 3; }));
    EXPECT_EQ(read.powerOnFunction, 0);
    EXPECT_EQ(read.endSensors, 0);
    EXPECT_EQ(read.reverseInputs, 0);
    EXPECT_EQ(read.autoOutput, 0);
    EXPECT_EQ(static_cast<uint32_t>(read.autoOutputSettings), 0xFF000000U);
}

TEST_F(Trilo, SpecificModesOfTheFirstFamily) {
    startLine("05 TRILO type=0x0100\n");
    TagSpecificMode written;
    written.powerOnSupported = written.endSensorsSupported = written.slidingSupported = 1;
    written.slidingDistance = 33;
    written.powerOnFunction = 7;
    written.endSensors = 1;
    TagRequest w = requestOf(kKindSpecificGroup, 0x0100, 5, &written);
    ASSERT_TRUE(comm->writeRequest(w));

    TagSpecificMode read;
    TagRequest r = requestOf(kKindSpecificGroup, 0x0100, 5, &read);
    TagPollEntry e;
    e.kind = kKindSpecificGroup;
    e.mode = kPollOnce;
    e.owner = 42;
    e.request = &r;
    ASSERT_TRUE(comm->addPollEntry(e));
    comm->startPolling();
    ASSERT_TRUE(shell.waitCompletions([](const auto& c) { return c.size() >= 3; }));
    const auto done = shell.completions();
    EXPECT_EQ(done[0].kind, kKindPowerOnFunction);
    EXPECT_EQ(done[1].kind, kKindEndSensorCell);
    EXPECT_EQ(done[2].kind, kKindSlidingShort);
    EXPECT_EQ(read.powerOnFunction, 7);
    EXPECT_EQ(read.endSensors, 1);
    EXPECT_EQ(read.slidingDistance, 33);
    EXPECT_EQ(read.dataValid, 1);
    EXPECT_EQ(commandsOf(line->log()),
              std::vector<std::string>({"05GS,DG33,SD7,MB", "05RM 26 2F", "05RM 21 FF", "05RL"}));
}

TEST_F(Trilo, NumberedVariablesAndCodedCommands) {
    startLine("03 TRILO type=0x0405\n");
    TagCodedCommand set = coded(kCodedVariable, 3, "5 -123");
    ASSERT_TRUE(comm->request(req::kCodedCommand, 0, &set));
    EXPECT_EQ(text::view(set.parameter), " #05:-123");
    TagVariableValue v;
    TagRequest r = requestOf(kKindVariableBase + 5, 0x0405, 3, &v);
    ASSERT_TRUE(comm->readRequest(r));
    EXPECT_EQ(v.value, -123);
    EXPECT_EQ(v.second, -123);

    TagCodedCommand ql = coded(kCodedParameters, 3, "x");
    ASSERT_TRUE(comm->sendCodedCommand(ql));
    EXPECT_EQ(text::view(ql.parameter), "2000") << "the WH field of the reply";

    TagCodedCommand mask = coded(kCodedMask, 3, "FXXXXXXF");
    ASSERT_TRUE(comm->sendCodedCommand(mask));
    TagStatus s;
    TagRequest st = requestOf(kKindStatus, 0x0405, 3, &s);
    ASSERT_TRUE(comm->readRequest(st));
    EXPECT_EQ(s.outputs, 0x81);
    TagCodedCommand plain = coded(kCodedMask, 3, "0000FFFF");
    ASSERT_TRUE(comm->sendCodedCommand(plain));
    ASSERT_TRUE(comm->readRequest(st));
    EXPECT_EQ(s.outputs, 0x0F);

    TagCodedCommand reset = coded(kCodedReset, 3);
    ASSERT_TRUE(comm->sendCodedCommand(reset));
    TagCodedCommand bad = coded(kCodedVariable, 3, "5");
    EXPECT_FALSE(comm->sendCodedCommand(bad));
    EXPECT_EQ(bad.status, kStatusNotBuilt);
    const std::vector<std::string> sent = {
        "03PD  #05:-123 ", "03QN#05", "03QL   ", "03GL FF:81 ", "03QD",
        "03GL  F  ",       "03QD",    "03MR"};
    EXPECT_EQ(commandsOf(line->log()), sent);
    TagCodedCommand silent = coded(4, 9);
    EXPECT_FALSE(comm->sendCodedCommand(silent));
    EXPECT_EQ(silent.status, kStatusReceiveTimeout);
}

TEST_F(Trilo, WritesWithoutABuilderSendNothing) {
    startLine("03 TRILO type=0x0205\n");
    TagMotion m;
    m.subKind = kMotionPosition;
    TagRequest motion = requestOf(kKindMotionWrite, 0x0205, 3, &m);
    EXPECT_FALSE(comm->request(req::kWriteRequest, 0, &motion));
    EXPECT_EQ(motion.status, kStatusNotBuilt);
    TagVariable v;
    v.subKind = kVariableAssign;
    TagRequest variable = requestOf(kKindVariableWrite, 0x0205, 3, &v);
    EXPECT_FALSE(comm->writeRequest(variable));
    TagV2334Settings vs;
    vs.subKind = kV2334Brake;
    TagRequest settings = requestOf(kKindV2334Write, 0x0205, 3, &vs);
    EXPECT_FALSE(comm->writeRequest(settings));
    const auto boxes = shell.boxes();
    ASSERT_EQ(boxes.size(), 3U);
    EXPECT_EQ(boxes[0], std::make_pair(std::string("MAP : commande pour carte inconnue"),
                                       std::string("general failure")));
    EXPECT_EQ(boxes[1], std::make_pair(std::string("MAP : build only for VRX17"), std::string()));
    EXPECT_EQ(boxes[2], std::make_pair(std::string("MAP : erreur sur le type de module"),
                                       std::string("general failure")));
    TagParamBlock p;
    TagRequest params = requestOf(kKindParameters, 0x3001, 3, &p);
    EXPECT_FALSE(comm->writeRequest(params));
    EXPECT_TRUE(line->log().empty()) << "not a byte on the wire";
    EXPECT_TRUE(comm->pollingEnabled())
        << "a write that built nothing still takes and releases the line, so polling is on";
}

} // namespace
} // namespace commtest
