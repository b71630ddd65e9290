// MICROTRILO (family 0x10): the named-variable status read with extras, variable writes,
// parameters with the current factor, and the specific-mode group.
#include "comm_fixture.h"
#include "record_text.h"
#include "requests.h"
#include "wire_log.h"

namespace commtest {
namespace {

using namespace tkv;

class MicroTrilo : public CommLine {
  protected:
    void SetUp() override { startLine("07 MICROTRILO type=0x1002\n", "MICROTRILO"); }
    TagStatus status(const char* one = "none", const char* two = "none") {
        TagStatus s;
        text::copy(s.extraName1, one);
        text::copy(s.extraName2, two);
        TagRequest r = requestOf(kKindStatus, 0x1002, 7, &s);
        EXPECT_TRUE(comm->readRequest(r));
        return s;
    }
    bool write(TagVariable& v) {
        TagRequest r = requestOf(kKindVariableWrite, 0x1002, 7, &v);
        return comm->writeRequest(r);
    }
};

TEST_F(MicroTrilo, StatusWithNoInputsActiveAndTwoExtras) {
    const TagStatus s = status("TEMP", "VSUPPLY");
    EXPECT_EQ(s.inputs, 0) << "the module reports all eight inputs as 255";
    EXPECT_EQ(s.outputs, 0);
    EXPECT_EQ(s.power, 1);
    EXPECT_EQ(s.extraValue1, 35);
    EXPECT_EQ(s.extraValue2, 24000);
    EXPECT_EQ(commandsOf(line->log()).back(),
              "07QR #CPA #IN #OUT #_STATUS #_ERR #_SNSP #TEMP #VSUPPLY");
}

TEST_F(MicroTrilo, VariableWritesShowInTheStatus) {
    TagVariable assign;
    assign.subKind = kVariableAssign;
    text::copy(assign.name, "TEMP");
    text::copy(assign.value, "41");
    ASSERT_TRUE(write(assign));
    EXPECT_EQ(status("none", "TEMP").extraValue2, 41) << "only the second extra named";

    TagCodedCommand go = coded(7, 7, "250");
    ASSERT_TRUE(comm->sendCodedCommand(go));
    ASSERT_TRUE(eventually([&] { return status().position == 250; }));
    TagVariable reset;
    reset.subKind = kVariableResetPosition;
    ASSERT_TRUE(write(reset));
    EXPECT_EQ(status().position, 0);

    TagVariable toggle;
    toggle.subKind = kVariableToggleOutput;
    toggle.outputNumber = 2;
    toggle.outputValue = status().outputs;
    ASSERT_TRUE(write(toggle));
    const int32_t once = status().outputs;
    EXPECT_EQ(once, 0x02);
    toggle.outputNumber = 8;
    toggle.outputValue = once;
    ASSERT_TRUE(write(toggle));
    EXPECT_EQ(status().outputs, 0x82);
    toggle.outputNumber = 2;
    toggle.outputValue = 0x82;
    ASSERT_TRUE(write(toggle));
    EXPECT_EQ(status().outputs, 0x80);

    TagVariable readOnly;
    readOnly.subKind = kVariableAssign;
    text::copy(readOnly.name, "IN");
    text::copy(readOnly.value, "1");
    TagRequest r = requestOf(kKindVariableWrite, 0x1002, 7, &readOnly);
    EXPECT_FALSE(comm->writeRequest(r)) << "the module refuses it";
    EXPECT_NE(r.status, 0);
}

TEST_F(MicroTrilo, ParametersWithTheCurrentFactor) {
    TagParamBlock w;
    w.resolution = 32;
    w.startSpeed = 50;
    w.maxSpeed = 4000;
    w.rampTime = 100;
    w.decelTime = 200;
    w.separateDecel = 1;
    w.currentCode = 77;
    w.standbyMode = 1;
    TagRequest wr = requestOf(kKindParameters, 0x1002, 7, &w);
    ASSERT_TRUE(comm->writeRequest(wr));
    EXPECT_EQ(commandsOf(line->log()).back(), "07GS,WN32,WL50,WH4000,MSS,WT100:200,GI77");
    TagParamBlock p;
    TagRequest r = requestOf(kKindParameters, 0x1002, 7, &p);
    ASSERT_TRUE(comm->readRequest(r));
    w.currentFactor = 2.0F;
    EXPECT_EQ(describe(p), describe(w));
}

TEST_F(MicroTrilo, NumberedVariableRead) {
    TagCodedCommand set = coded(kCodedVariable, 7, "12 99");
    ASSERT_TRUE(comm->sendCodedCommand(set));
    TagVariableValue v;
    TagRequest r = requestOf(kKindVariableBase + 12, 0x1002, 7, &v);
    ASSERT_TRUE(comm->readRequest(r));
    EXPECT_EQ(v.value, 99);
    EXPECT_EQ(commandsOf(line->log()).back(), "07QN#12");
}

TEST_F(MicroTrilo, SpecificModeGroup) {
    TagSpecificMode written;
    written.powerOnSupported = written.slidingSupported = written.autoOutputSupported = 1;
    written.powerOnFunction = 2;
    written.slidingDistance = 8;
    written.autoOutput = 1;
    written.autoOutputSettings = static_cast<int32_t>(0x0300000DU); // -, A, M
    written.setPosition = 5;
    written.resetPosition = 6;
    TagRequest w = requestOf(kKindSpecificGroup, 0x1002, 7, &written);
    ASSERT_TRUE(comm->writeRequest(w));
    TagSpecificMode read;
    TagRequest r = requestOf(kKindSpecificGroup, 0x1002, 7, &read);
    TagPollEntry e;
    e.kind = kKindSpecificGroup;
    e.mode = kPollOnce;
    e.owner = 5;
    e.request = &r;
    ASSERT_TRUE(comm->addPollEntry(e));
    comm->startPolling();
    ASSERT_TRUE(shell.waitCompletions([](const auto& c) { return c.size() >= 3; }));
    EXPECT_EQ(read.powerOnFunction, 2);
    EXPECT_EQ(read.slidingDistance, 8);
    EXPECT_EQ(read.autoOutput, 1);
    EXPECT_EQ(static_cast<uint32_t>(read.autoOutputSettings), 0x0300000DU);
    EXPECT_EQ(read.setPosition, 5);
    EXPECT_EQ(read.resetPosition, 6);
}

} // namespace
} // namespace commtest
