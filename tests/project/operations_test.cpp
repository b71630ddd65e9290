// The project operations that the request dispatcher routes, by number.

#include "fixture.h"
#include "project/project.h"

#include <gtest/gtest.h>

namespace {

using namespace tamsel::project;
using namespace project_test;

/// full.ktp holds: target TRILO, port COM2, given target and port lists;
/// records 1 (address 3, RT41 0x1002), 7 (address 5, 257) and 9 (address 12,
/// uVRX17 0x5000); SwPn0 = 7; label of set-up number 5; labels of slot 1.
class Operations : public ::testing::Test {
  protected:
    void SetUp() override {
        writeBytes(dir / "p.ktp", readBytes(fixture("full.ktp")));
        host.capabilities = &capabilities;
        ASSERT_TRUE(project.open("p.ktp", host, dir.path()).opened);
    }
    ScratchDir dir;
    FakeCapabilities capabilities;
    RecordingHost host;
    TKV_Project project;
};

struct TextCase {
    int n;
    int argument;
    std::string expected;
};

void PrintTo(const TextCase& c, std::ostream* os) {
    *os << "text " << c.n << ", " << c.argument;
}

class TextOperation : public Operations, public ::testing::WithParamInterface<TextCase> {};

TEST_P(TextOperation, Answers) {
    EXPECT_EQ(project.text(GetParam().n, GetParam().argument), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TextOperation,
    ::testing::Values(
        TextCase{0, 0, "03RV"}, TextCase{0, 1, "05PR \xb5"}, TextCase{0, 2, "inconnu"},
        TextCase{1, 0, "COM1,COM2,COM3"},
        // No BaudListe and no ProtListe: the first target's from the driver.
        TextCase{2, 0, "9600,19200"}, TextCase{5, 0, "XON-XOFF,ACK-NAK"},
        TextCase{6, 0, "1,3,4098,axis \xe9,mm,S1,3"}, TextCase{6, 2, "9,12,20480,pump,_,_,3"},
        TextCase{6, 3, "1,3,4098,axis \xe9,mm,S1,3"}, TextCase{6, -1, "1,3,4098,axis \xe9,mm,S1,3"},
        TextCase{7, 0, "COM2 at 9600 bauds "}, TextCase{9, 0, "7,5,257,_,_,_,3"},
        TextCase{9, 1, "1,3,4098,axis \xe9,mm,S1,3"}, TextCase{10, 0, "0 7 -1 -1 -1"},
        TextCase{11, 5, "1 2 3"}, TextCase{11, 6, ""}, TextCase{18, 0, "COM2"},
        TextCase{19, 0, "TRILO COM2 XON-XOFF 9600 "}, TextCase{21, 3, "03 RT41 axis \xe9"},
        TextCase{21, 12, "12 uVRX17 pump"}, TextCase{21, 4, ""}));

TEST_F(Operations, UnknownNumbersAreNotOperations) {
    EXPECT_EQ(project.text(3), std::nullopt);
    EXPECT_EQ(project.value(1), std::nullopt);
    EXPECT_EQ(project.query(2), std::nullopt);
    EXPECT_EQ(project.set(1, 0, "x"), std::nullopt);
    EXPECT_FALSE(project.modified());
}

TEST_F(Operations, ValuesAndQueries) {
    EXPECT_EQ(project.value(op::kValueLastCommandCount), 2);
    EXPECT_EQ(project.value(op::kValueSetupNumber, 0), 7);
    EXPECT_EQ(project.value(op::kValueSetupNumber, 1), -1);
    EXPECT_EQ(project.value(op::kValueSetupNumber, 4), -1);
    EXPECT_EQ(project.value(op::kValueModuleRecordCount), 3);
    EXPECT_EQ(project.query(op::kQueryPortList), true);
    EXPECT_EQ(project.query(op::kQueryDriverTarget, 0), true);
    EXPECT_EQ(project.query(op::kQueryDriverTarget, 2), false);
    EXPECT_EQ(project.query(op::kQueryDriverTarget, 3), false);
    EXPECT_EQ(project.query(op::kQuerySetupNumberSet, 0), true);
    EXPECT_EQ(project.query(op::kQuerySetupNumberSet, 1), false);
    EXPECT_EQ(project.query(op::kQuerySwModeZero), true);
    EXPECT_EQ(project.query(op::kQueryAddressTable), false);
    EXPECT_FALSE(project.modified());
}

struct SetCase {
    int n;
    int argument;
    std::string in;
    bool accepted;
    int textN;
    int textArgument;
    std::string textAfter;
};

void PrintTo(const SetCase& c, std::ostream* os) {
    *os << "set " << c.n << ", " << c.argument << " \"" << c.in << '"';
}

class SetOperation : public Operations, public ::testing::WithParamInterface<SetCase> {};

TEST_P(SetOperation, ChangesTheModelOrNothing) {
    const SetCase& c = GetParam();
    const auto before = project.text(c.textN, c.textArgument);
    EXPECT_EQ(project.set(c.n, c.argument, c.in), c.accepted);
    EXPECT_EQ(project.modified(), c.accepted);
    EXPECT_EQ(project.text(c.textN, c.textArgument), c.accepted ? c.textAfter : before);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SetOperation,
    ::testing::Values(
        SetCase{0, 0, "03QX", true, 0, 2, "03QX"}, SetCase{0, 0, "05PR \xb5", false, 0, 2, ""},
        SetCase{0, 0, "", false, 0, 2, ""},
        SetCase{6, 0, "12,9,512,lbl,un,2,SER1", true, 6, 3, "12,9,512,lbl,un,SER1,2"},
        SetCase{6, 0, "12, 9, 512,lbl,un,2,SER1 trailing", true, 6, 3, "12,9,512,lbl,un,SER1,2"},
        SetCase{6, 0, "007", true, 6, 1, "9,12,20480,pump,_,_,3"},
        SetCase{6, 0, "064", false, 6, 1, ""}, SetCase{6, 0, "64,9,512,l,u,2,S", false, 6, 2, ""},
        SetCase{6, 0, "12,300,512,l,u,2,S", false, 6, 2, ""},
        SetCase{6, 0, "12,9,512,,u,2,S", false, 6, 2, ""},
        SetCase{6, 0, "12,9,512,l,u,2", false, 6, 2, ""},
        SetCase{6, 0, "12,9,512,l,u,2,S,T", false, 6, 2, ""},
        SetCase{6, 0, "12,9,512,elevenchars,u,2,S", false, 6, 2, ""},
        SetCase{10, 0, "1 2 3 4 5 ", true, 10, 0, "1 2 3 4 5"},
        SetCase{10, 0, "1 2 3 4", false, 10, 0, ""}, SetCase{11, 9, "4 5", true, 11, 9, "4 5"},
        SetCase{11, 5, "8", true, 11, 5, "8"}, SetCase{11, 64, "8", false, 11, 64, ""},
        SetCase{13, 0, "VRX17 COM3 CONSOLE 38400", true, 19, 0, "VRX17 COM3 CONSOLE 38400 "},
        SetCase{13, 0, "VRX17 COM3 CONSOLE", false, 19, 0, ""},
        SetCase{14, 5, "", true, 6, 0, "1,3,4098,axis \xe9,mm,S1,3"},
        SetCase{14, 65, "", false, 6, 0, ""}, SetCase{15, 0, "COM3", true, 18, 0, "COM3"},
        SetCase{15, 0, "COM 3", false, 18, 0, ""}));

TEST_F(Operations, RecordCountIsItsOwnNumber) {
    ASSERT_EQ(project.set(op::kSetModuleRecordCount, 5), true);
    EXPECT_EQ(project.moduleRecordCount(), 5);
    // Records are still found only where they are.
    EXPECT_EQ(project.moduleRecordText(4), project.moduleRecordText(0));
    ASSERT_TRUE(project.setModuleRecord("001"));
    EXPECT_EQ(project.moduleRecordCount(), 2);
}

TEST_F(Operations, SwPn0UpdateOnlyInModeZero) {
    EXPECT_TRUE(project.updateSwPn0(3));
    EXPECT_EQ(project.setupNumber(0), 3);
    ASSERT_TRUE(project.setSetupNumbers("1 3 -1 -1 -1"));
    EXPECT_FALSE(project.updateSwPn0(4));
    EXPECT_EQ(project.setupNumber(0), 3);
}

TEST_F(Operations, AddressTableTextsPerTarget) {
    EXPECT_EQ(project.text(op::kTextDriverAddress, 0, "first"), "last");
    ASSERT_EQ(project.set(op::kSetAddressTable), true);
    EXPECT_FALSE(project.modified()) << "the address table is not part of the file";
    EXPECT_EQ(project.query(op::kQueryAddressTable), true);
    std::vector<std::string> texts;
    std::string previous = "first";
    for (int i = 0; i < 10; ++i) {
        previous = *project.text(op::kTextDriverAddress, 0, previous);
        texts.push_back(previous);
        if (previous == "last") {
            break;
        }
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"/MICROTRILO = 3/", "/TRILO = 5/", "/VRX17 = 12/",
                                               "last"}));
    ASSERT_TRUE(project.setModuleRecord("20,3,257,a,b,3,c"));
    ASSERT_TRUE(project.setModuleRecord("21,70,257,a,b,3,c"));
    project.buildAddressTable();
    // The later record at address 3 takes it from MICROTRILO, which no
    // address uses any more; address 70 is not entered.
    EXPECT_EQ(project.driverAddressText("first"), "/TRILO = 3,5/");
    EXPECT_EQ(project.driverAddressText("/TRILO = 3,5/"), "/VRX17 = 12/");
    EXPECT_EQ(project.driverAddressText("/VRX17 = 12/"), "last");
}

// ---------------------------------------------------------------- lists

TEST_F(Operations, ListsBySelector) {
    const ListFill ports = project.fillList(selector::kPorts);
    EXPECT_EQ(ports.texts(), (std::vector<std::string>{"COM1", "COM2", "COM3"}));
    EXPECT_EQ(ports.selected, 1);
    const ListFill protocols = project.fillList(selector::kProtocols);
    EXPECT_EQ(protocols.texts(), (std::vector<std::string>{"XON-XOFF", "ACK-NAK"}));
    EXPECT_EQ(protocols.selected, 0);
    const ListFill bauds = project.fillList(selector::kBauds);
    EXPECT_EQ(bauds.texts(), (std::vector<std::string>{"9600", "19200"}));
    EXPECT_EQ(bauds.selected, 0);
    EXPECT_EQ(project.fillList(selector::kModules).texts(),
              (std::vector<std::string>{"03 RT41 axis \xe9", "05 default _", "12 uVRX17 pump"}));
    EXPECT_EQ(project.fillList(selector::kModulesWithNone).texts(),
              (std::vector<std::string>{"None", "03 axis \xe9", "05 _", "12 pump"}));
    const ListFill withVariables = project.fillList(selector::kModulesWithVariables);
    ASSERT_EQ(withVariables.entries.size(), 1u) << "only the RT41 type has variables";
    EXPECT_EQ(withVariables.entries[0], (ListEntry{"03       RT41     axis \xe9", 1}));
    const ListFill devices = project.fillList(selector::kDevices);
    EXPECT_EQ(
        devices.entries,
        (std::vector<ListEntry>{{"@03=RT41", 4098}, {"@05=default", 257}, {"@12=uVRX17", 20480}}));
    EXPECT_TRUE(project.fillList(99).entries.empty());
}

TEST_F(Operations, VariableNamesOfARecordUseItsLabels) {
    for (const ListFill& names : {project.fillList(selector::kVariableNames, 1),
                                  project.fillList(selector::kVariableNamesBase + 1)}) {
        ASSERT_EQ(names.entries.size(), 32u);
        EXPECT_EQ(names.entries[0], (ListEntry{"speed", 1}));
        EXPECT_EQ(names.entries[1], (ListEntry{"pos", 2}));
        EXPECT_EQ(names.entries[2], (ListEntry{"Variable03", 3}));
        EXPECT_EQ(names.entries[31], (ListEntry{"Variable32", 32}));
    }
    EXPECT_TRUE(project.fillList(selector::kVariableNames, 9).entries.empty())
        << "uVRX17 has no numbered variables";
    EXPECT_TRUE(project.fillList(selector::kVariableNames, 2).entries.empty()) << "no record";
    ASSERT_TRUE(project.storeLabels(1, {{3, "temp"}}));
    EXPECT_TRUE(project.modified());
    EXPECT_EQ(project.fillList(selector::kVariableNames, 1).entries[0].text, "Variable01");
    EXPECT_EQ(project.fillList(selector::kVariableNames, 1).entries[2].text, "temp");
    ASSERT_TRUE(project.eraseLabels(1));
    EXPECT_EQ(project.fillList(selector::kVariableNames, 1).entries[2].text, "Variable03");
    EXPECT_FALSE(project.eraseLabels(64));
}

TEST_F(Operations, WindowChoicesFromTheDriverWhereTheProjectGivesNoList) {
    // full.ktp gives a target list: JBUS is not in it anyway.
    EXPECT_EQ(project.targetChoices(true).texts(),
              (std::vector<std::string>{"TRILO", "MICROTRILO", "VRX17"}));
    writeBytes(dir / "q.ktp", "[CONFIGURATION]\nTarget = VRX17\nProtocole = CONSOLE\n;\n");
    ASSERT_TRUE(project.open("q.ktp", host, dir.path()).opened);
    const ListFill targets = project.targetChoices(true);
    EXPECT_EQ(targets.texts(), (std::vector<std::string>{"TRILO", "VRX17"})) << "never JBUS";
    EXPECT_EQ(targets.selected, 1);
    EXPECT_EQ(project.targetChoices(false).selected, -1);
    EXPECT_EQ(project.portChoices(true).texts(), (std::vector<std::string>{"COM1", "COM3"}));
    EXPECT_EQ(project.portChoices(true).selected, 0);
    const ListFill protocols = project.protocolChoices("VRX17", true);
    EXPECT_EQ(protocols.texts(), (std::vector<std::string>{"CONSOLE"}));
    EXPECT_EQ(protocols.selected, 0);
    EXPECT_EQ(project.protocolChoices("TRILO", true).selected, -1);
    EXPECT_EQ(project.baudChoices("TRILO", "ACK-NAK", true).texts(),
              (std::vector<std::string>{"4800"}));
    EXPECT_EQ(project.baudChoices("TRILO", "XON-XOFF", true).selected, 0);
    EXPECT_EQ(project.text(op::kTextPortList), "COM1,COM3");
}

TEST_F(Operations, WithoutDriverListsOnlyTheProjectsOwnListsAreOffered) {
    RecordingHost bare;
    writeBytes(dir / "q.ktp", "[CONFIGURATION]\nBaudListe = 9600\n;\n");
    ASSERT_TRUE(project.open("q.ktp", bare, dir.path()).opened);
    EXPECT_EQ(project.text(op::kTextPortList), "");
    EXPECT_EQ(project.text(op::kTextBaudList), "9600");
    EXPECT_EQ(project.text(op::kTextProtocolList), "");
    EXPECT_EQ(project.query(op::kQueryPortList), false);
    EXPECT_EQ(project.query(op::kQueryDriverTarget, 0), false);
    EXPECT_TRUE(project.targetChoices(true).entries.empty());
}

} // namespace
