// Each section reader with its checks, and each section writer.

#include "project/sections.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace tamsel::project;

struct LineCase {
    std::string line;
    bool taken;
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << '"' << c.line << "\" -> " << (c.taken ? "taken" : "ignored");
}

std::string repeat(char c, std::size_t n) {
    return std::string(n, c);
}

// ---------------------------------------------------------------- [CONFIGURATION]

class ConfigurationLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(ConfigurationLine, IsTakenOrIgnored) {
    TKV_GestCnfMod cnf;
    const TKV_GestCnfMod before = cnf;
    EXPECT_EQ(cnf.readLine(GetParam().line), GetParam().taken);
    if (!GetParam().taken) {
        std::string a, b;
        cnf.write(a, "\n");
        before.write(b, "\n");
        EXPECT_EQ(a, b) << "an ignored line changed the model";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Checks, ConfigurationLine,
    ::testing::Values(
        LineCase{"TargetListe = TRILO , VRX17", true}, LineCase{"PortListe=COM1,COM2", true},
        LineCase{"PortListe = COM1,,COM2", false}, LineCase{"PortListe = COM1 , ,COM2", false},
        LineCase{"PortListe =", false}, LineCase{"PortListe = " + repeat('A', 59), true},
        LineCase{"PortListe = " + repeat('A', 60), false}, LineCase{"Target = VRX17", true},
        LineCase{"Target VRX17", false}, LineCase{"Target = TRI LO", false},
        LineCase{"Target = TRILO,VRX17", false}, LineCase{"Target = " + repeat('T', 29), true},
        LineCase{"Target = " + repeat('T', 30), false}, LineCase{"BaudRate = 19200", true},
        LineCase{"Protocole = ACK-NAK", true}, LineCase{"Unknown = 1", false},
        LineCase{"target = TRILO", false}, LineCase{std::string("PortComm = CO\0M2", 16), false},
        LineCase{"Cnf00007  = 05 , 00257 ,_,_,_", true},
        LineCase{"Cnf00063 = 63,4096,axis,mm,S1", true}, LineCase{"Cnf0007 = 5,257,_,_,_", false},
        LineCase{"Cnf000007 = 5,257,_,_,_", false}, LineCase{"Cnf00064 = 5,257,_,_,_", false},
        LineCase{"Cnf00007x = 5,257,_,_,_", false}, LineCase{"Cnf0000a = 5,257,_,_,_", false},
        LineCase{"Cnf00007 = 255,257,_,_,_", true}, LineCase{"Cnf00007 = 256,257,_,_,_", false},
        LineCase{"Cnf00007 = -1,257,_,_,_", false}, LineCase{"Cnf00007 = 5,abc,_,_,_", false},
        LineCase{"Cnf00007 = 5,257,_,_", false}, LineCase{"Cnf00007 = 5,257,_,_,_,_", false},
        LineCase{"Cnf00007 = 5,257,,_,_", false},
        LineCase{"Cnf00007 = 5,257," + repeat('L', 10) + ",_,_", true},
        LineCase{"Cnf00007 = 5,257," + repeat('L', 11) + ",_,_", false},
        LineCase{"Cnf00007 = 5,257,_," + repeat('U', 10) + ",_", true},
        LineCase{"Cnf00007 = 5,257,_," + repeat('U', 11) + ",_", false},
        LineCase{"Cnf00007 = 5,257,_,_," + repeat('S', 14), true},
        LineCase{"Cnf00007 = 5,257,_,_," + repeat('S', 15), false}));

// The port and the baud rate decide which line is opened: a value that only looks like
// one must not reach the driver, where it would be taken for a port that fails.
INSTANTIATE_TEST_SUITE_P(
    LineSetting, ConfigurationLine,
    ::testing::Values(LineCase{"PortComm = COM1", true}, LineCase{"PortComm = COM255", true},
                      LineCase{"PortComm = COM256", false}, LineCase{"PortComm = COM0", false},
                      LineCase{"PortComm = COM01", false}, LineCase{"PortComm = COM", false},
                      LineCase{"PortComm = COM-1", false}, LineCase{"PortComm = com1", false},
                      LineCase{"PortComm = LPT1", false}, LineCase{"PortComm = COM1x", false},
                      LineCase{"PortComm = COM99999999999999999999", false},
                      LineCase{"BaudRate = 1", true}, LineCase{"BaudRate = 4000000", true},
                      LineCase{"BaudRate = 4000001", false}, LineCase{"BaudRate = 0", false},
                      LineCase{"BaudRate = 09600", false}, LineCase{"BaudRate = -9600", false},
                      LineCase{"BaudRate = +9600", false}, LineCase{"BaudRate = 9600.0", false},
                      LineCase{"BaudRate = FAST", false},
                      LineCase{"BaudRate = 99999999999999999999", false},
                      LineCase{"BaudRate = 18446744073709551617", false}));

struct BadValueCase {
    std::string line;
    std::optional<std::string> problem;
};

void PrintTo(const BadValueCase& c, std::ostream* os) {
    *os << '"' << c.line.substr(0, 40) << '"';
}

class BadLineValue : public ::testing::TestWithParam<BadValueCase> {};

TEST_P(BadLineValue, NamesTheKeyAndTheValue) {
    EXPECT_EQ(TKV_GestCnfMod::badValue(GetParam().line), GetParam().problem);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadLineValue,
    ::testing::Values(
        BadValueCase{"BaudRate = 99999999999999999999",
                     "BaudRate \"99999999999999999999\" is not a baud rate (a whole number "
                     "from 1 to 4000000)"},
        BadValueCase{"PortComm = COM1" + repeat('0', 100000),
                     "PortComm \"COM1" + repeat('0', 20) +
                         "...\" is not a port name (COM1 to COM255)"},
        BadValueCase{"  PortComm=LPT1 ", "PortComm \"LPT1\" is not a port name (COM1 to COM255)"},
        BadValueCase{std::string("BaudRate = 96\x01", 14),
                     "BaudRate \"96?\" is not a baud rate (a whole number from 1 to 4000000)"},
        BadValueCase{"PortComm = COM7", std::nullopt},
        BadValueCase{"BaudRate = 19200", std::nullopt},
        BadValueCase{"Target = 99999999999999999999", std::nullopt},
        BadValueCase{"PortComm COM1", std::nullopt}));

TEST(Configuration, LineSettingChangesTakeOnlyRealPortsAndBaudRates) {
    TKV_GestCnfMod cnf;
    EXPECT_FALSE(cnf.setPort("COM1" + repeat('0', 25)));
    EXPECT_FALSE(cnf.setLine("TRILO", "COM2", "XON-XOFF", "99999999999999999999"));
    EXPECT_FALSE(cnf.setLine("TRILO", "PORT2", "XON-XOFF", "9600"));
    EXPECT_EQ(cnf.port(), "COM1");
    EXPECT_EQ(cnf.baud(), "9600");
    EXPECT_TRUE(cnf.setLine("VRX17", "COM2", "CONSOLE", "38400"));
    EXPECT_TRUE(cnf.setPort("COM12"));
    EXPECT_EQ(cnf.port(), "COM12");
    EXPECT_EQ(cnf.baud(), "38400");
}

TEST(Configuration, ListValuesLoseTheBlanksAroundTheirCommas) {
    TKV_GestCnfMod cnf;
    ASSERT_TRUE(cnf.readLine("  PortListe   =  COM1 ,  COM2,COM3 , COM4  "));
    EXPECT_EQ(cnf.portList(), "COM1,COM2,COM3,COM4");
}

TEST(Configuration, NamesAreCheckedAgainstTheirGivenList) {
    TKV_GestCnfMod cnf;
    ASSERT_TRUE(cnf.readLine("PortComm = COM7"));
    EXPECT_EQ(cnf.port(), "COM7") << "without a list any name is taken";
    ASSERT_TRUE(cnf.readLine("PortListe = COM1,COM2"));
    EXPECT_EQ(cnf.port(), "COM1") << "a list read after its name checks the name too";
    EXPECT_FALSE(cnf.readLine("PortComm = COM5"));
    EXPECT_EQ(cnf.port(), "COM1") << "a port the list does not hold keeps the previous one";
    EXPECT_TRUE(cnf.readLine("PortComm = COM2"));
    EXPECT_EQ(cnf.port(), "COM2");
    // The check is containment in the list's text, as the program always did.
    ASSERT_TRUE(cnf.readLine("TargetListe = MICROTRILO"));
    EXPECT_TRUE(cnf.readLine("Target = TRILO"));
    EXPECT_FALSE(cnf.readLine("Target = VRX17"));
    EXPECT_EQ(cnf.target(), "TRILO");
}

TEST(Configuration, NameAndListAgreeInEitherOrderAsTheSavedFileReadsBack) {
    // The section is written list first; a name the list lacks must not survive a save
    // and a reload differently from how it was first read.
    for (const auto& lines :
         {std::vector<std::string>{"BaudRate = 1594", "BaudListe = 9600,19200"},
          std::vector<std::string>{"BaudListe = 9600,19200", "BaudRate = 1594"}}) {
        TKV_GestCnfMod first;
        for (const std::string& line : lines) {
            first.readLine(line);
        }
        std::string saved;
        first.write(saved, "\n");
        TKV_GestCnfMod second;
        std::istringstream in(saved);
        for (std::string line; std::getline(in, line);) {
            second.readLine(line);
        }
        EXPECT_EQ(first.baud(), "9600") << lines[0];
        EXPECT_EQ(second.baud(), first.baud()) << lines[0];
    }
}

TEST(Configuration, DefaultsBeforeAnyLine) {
    const TKV_GestCnfMod cnf;
    EXPECT_EQ(cnf.port(), "COM1");
    EXPECT_EQ(cnf.baud(), "9600");
    EXPECT_EQ(cnf.protocol(), "XON-XOFF");
    EXPECT_EQ(cnf.target(), "TRILO");
    EXPECT_EQ(cnf.recordCount(), 0);
    EXPECT_FALSE(cnf.portList().has_value());
}

TEST(Configuration, RecordGoesToTheTablePositionOfItsNumber) {
    TKV_GestCnfMod cnf;
    ASSERT_TRUE(cnf.readLine("Cnf00007  = 05 , 00257 ,_,_,_"));
    ASSERT_TRUE(cnf.readLine("Cnf00002 = 9,4097,x axis,mm,SN42"));
    EXPECT_EQ(cnf.recordCount(), 2);
    ASSERT_NE(cnf.recordAt(7), nullptr);
    EXPECT_EQ(*cnf.recordAt(7), (ModuleRecord{5, 257, "_", "_", 7, "_", 3}));
    EXPECT_EQ(*cnf.recordAt(2), (ModuleRecord{9, 4097, "x axis", "mm", 2, "SN42", 3}));
    EXPECT_EQ(cnf.recordAt(3), nullptr);
    EXPECT_EQ(cnf.usedPositions(), (std::vector<int32_t>{2, 7}));
    EXPECT_EQ(cnf.recordInOrder(0)->recordNumber, 2);
    EXPECT_EQ(cnf.recordInOrder(2), nullptr);
}

TEST(Configuration, SecondLineForTheSameRecordIsIgnored) {
    TKV_GestCnfMod cnf;
    ASSERT_TRUE(cnf.readLine("Cnf00007 = 5,257,first,_,_"));
    EXPECT_FALSE(cnf.readLine("Cnf00007 = 6,258,second,_,_"));
    EXPECT_EQ(cnf.recordAt(7)->label, "first");
    EXPECT_EQ(cnf.recordCount(), 1);
}

TEST(Configuration, WritesTheKnownKeysInOrderAndTheRecordsInTableOrder) {
    TKV_GestCnfMod cnf;
    for (const char* line :
         {"Cnf00009 = 12,4098,B,_,_", "BaudListe = 9600,19200", "Target = VRX17",
          "Cnf00007  = 05 , 00257 ,_,_,_", "PortComm = COM3", "TargetListe = TRILO,VRX17"}) {
        ASSERT_TRUE(cnf.readLine(line)) << line;
    }
    std::string out;
    cnf.write(out, "\r\n");
    EXPECT_EQ(out, "TargetListe = TRILO,VRX17\r\n"
                   "BaudListe = 9600,19200\r\n"
                   "Target = VRX17\r\n"
                   "PortComm = COM3\r\n"
                   "BaudRate = 9600\r\n"
                   "Protocole = XON-XOFF\r\n"
                   "Cnf00007  = 05 , 00257 ,_,_,_\r\n"
                   "Cnf00009  = 12 , 04098 ,B,_,_\r\n"
                   ";\r\n");
}

TEST(Configuration, FullTableTakesNoMoreRecords) {
    TKV_GestCnfMod cnf;
    char line[64];
    for (int i = 0; i < TKV_GestCnfMod::kRecords; ++i) {
        std::snprintf(line, sizeof line, "Cnf%05d = %d,257,_,_,_", i, i);
        ASSERT_TRUE(cnf.readLine(line));
    }
    EXPECT_EQ(cnf.recordCount(), 64);
    EXPECT_FALSE(cnf.readLine("Cnf00064 = 1,257,_,_,_"));
    EXPECT_EQ(cnf.usedPositions().size(), 64u);
}

TEST(Configuration, RecordsThatWouldNotReadBackAreRefused) {
    TKV_GestCnfMod cnf;
    const ModuleRecord good{5, 257, "a", "b", 7, "c", 3};
    EXPECT_TRUE(cnf.setRecord(good));
    for (ModuleRecord bad :
         {ModuleRecord{5, 257, "", "b", 7, "c", 3}, ModuleRecord{5, 257, "a,b", "b", 7, "c", 3},
          ModuleRecord{5, 257, "a", "b", 64, "c", 3}, ModuleRecord{-1, 257, "a", "b", 7, "c", 3},
          ModuleRecord{5, 257, "a", "b", 7, std::string(15, 'S'), 3},
          ModuleRecord{5, 257, " a", "b", 7, "c", 3}}) {
        EXPECT_FALSE(cnf.setRecord(bad)) << bad.label << "/" << bad.serial;
    }
    EXPECT_EQ(*cnf.recordAt(7), good);
}

// ---------------------------------------------------------------- [TM2_SETUP]

class SetupLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(SetupLine, IsTakenOrIgnored) {
    TKV_SetupBlock setup;
    const TKV_SetupBlock before = setup;
    EXPECT_EQ(setup.readLine(GetParam().line), GetParam().taken);
    if (!GetParam().taken) {
        EXPECT_EQ(setup.summary(), before.summary());
        EXPECT_EQ(setup.labels(), before.labels());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Checks, SetupLine,
    ::testing::Values(LineCase{"SwMode = 1", true}, LineCase{"SwMode = 2", false},
                      LineCase{"SwMode = x", false}, LineCase{"SwMode =", false},
                      LineCase{"SwMode 1", false}, LineCase{"SwPn0 = -1", true},
                      LineCase{"SwPn3 = 63", true}, LineCase{"SwPn2 = 64", false},
                      LineCase{"SwPn1 = -2", false}, LineCase{"SwPn4 = 1", false},
                      LineCase{"SwV1 = 03:1 2 3", true}, LineCase{"SwV5 = -1:", true},
                      LineCase{"SwV2 = 64:1", false}, LineCase{"SwV2 = -2:1", false},
                      LineCase{"SwV3 = 12", false}, LineCase{"SwV6 = 1:2", false},
                      LineCase{"SwV1 = x:1", false}, LineCase{"SwV1 = 1:" + repeat('9', 23), true},
                      LineCase{"SwV1 = 1:" + repeat('9', 24), false},
                      LineCase{"SwPn0 = " + repeat('0', 29), true},
                      LineCase{"SwPn0 = " + repeat('0', 30), false}));

TEST(Setup, NumbersAndLabelsAsWritten) {
    TKV_SetupBlock setup;
    for (const char* line :
         {"SwMode = 1", "SwPn0 = 5", "SwPn2 = 12", "SwV2 = 03:1 2 32", "SwV4 = 7:4"}) {
        ASSERT_TRUE(setup.readLine(line)) << line;
    }
    EXPECT_EQ(setup.summary(), "1 5 -1 12 -1");
    EXPECT_EQ(setup.label(3), "1 2 32");
    EXPECT_EQ(setup.label(8), "");
    std::string out;
    setup.write(out, "\n");
    EXPECT_EQ(out, "SwMode = 1\nSwPn0 = 5\nSwPn1 = -1\nSwPn2 = 12\nSwPn3 = -1\n"
                   "SwV1 = -1:\nSwV2 = 03:1 2 32\nSwV3 = -1:\nSwV4 = 07:4\nSwV5 = -1:\n;\n");
}

TEST(Setup, MinusOneClearsALabel) {
    TKV_SetupBlock setup;
    ASSERT_TRUE(setup.readLine("SwV1 = 03:1 2"));
    ASSERT_TRUE(setup.readLine("SwV1 = -1:1 2"));
    EXPECT_EQ(setup.labels()[0], (TKV_SetupBlock::Label{-1, ""}));
}

TEST(Setup, LabelReplacesThenFillsTheLastEmptySlotThenDropsTheOldest) {
    TKV_SetupBlock setup;
    ASSERT_TRUE(setup.setLabel(10, "1"));
    EXPECT_EQ(setup.labels()[4].number, 10) << "the last empty slot is taken";
    ASSERT_TRUE(setup.setLabel(11, "2"));
    EXPECT_EQ(setup.labels()[3].number, 11);
    ASSERT_TRUE(setup.setLabel(10, "1 5"));
    EXPECT_EQ(setup.labels()[4], (TKV_SetupBlock::Label{10, "1 5"}));
    for (int n : {12, 13, 14}) {
        ASSERT_TRUE(setup.setLabel(n, "3"));
    }
    // Full: 14 13 12 11 10. The oldest slot goes, the new label comes last.
    ASSERT_TRUE(setup.setLabel(20, "9"));
    std::vector<int32_t> numbers;
    for (const auto& l : setup.labels()) {
        numbers.push_back(l.number);
    }
    EXPECT_EQ(numbers, (std::vector<int32_t>{13, 12, 11, 10, 20}));
    EXPECT_FALSE(setup.setLabel(64, "1"));
    EXPECT_FALSE(setup.setLabel(5, repeat('1', 24)));
}

TEST(Setup, NumbersTakeFiveValuesInRange) {
    TKV_SetupBlock setup;
    EXPECT_TRUE(setup.setNumbers("1 2 3 4 5 "));
    EXPECT_EQ(setup.summary(), "1 2 3 4 5");
    EXPECT_FALSE(setup.setNumbers("0 1 2 3"));
    EXPECT_FALSE(setup.setNumbers("2 1 2 3 4"));
    EXPECT_FALSE(setup.setNumbers("0 1 2 3 64"));
    EXPECT_FALSE(setup.setNumbers("0 a 2 3 4"));
    EXPECT_EQ(setup.summary(), "1 2 3 4 5");
    EXPECT_FALSE(setup.updatePn0(9)) << "SwMode 1 keeps SwPn0";
    ASSERT_TRUE(setup.setNumbers("0 2 3 4 5"));
    EXPECT_TRUE(setup.updatePn0(9));
    EXPECT_EQ(setup.number(0), 9);
    EXPECT_EQ(setup.number(4), -1);
}

// ---------------------------------------------------------------- [LabelVariable]

class LabelLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(LabelLine, IsTakenOrIgnored) {
    TLabel labels;
    EXPECT_EQ(labels.readLine(GetParam().line), GetParam().taken);
    if (!GetParam().taken) {
        for (int slot = 0; slot < TLabel::kSlots; ++slot) {
            EXPECT_EQ(labels.slotText(slot), "");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Checks, LabelLine,
    ::testing::Values(
        LineCase{"05=01:speed,02:pos", true}, LineCase{"00=32:x", true}, LineCase{"63=01:a", true},
        LineCase{"64=01:a", false}, LineCase{"-1=01:a", false}, LineCase{"x=01:a", false},
        LineCase{"05=01:a,02:b,03:c,04:d,05:e,06:f,07:g,08:h", true},
        LineCase{"05=01:a,02:b,03:c,04:d,05:e,06:f,07:g,08:h,09:i", false},
        LineCase{"05=33:a", false}, LineCase{"05=00:a", false}, LineCase{"05=01:", false},
        LineCase{"05=01:abcdefghij", true}, LineCase{"05=01:abcdefghijk", false},
        LineCase{"05 01:a", false}, LineCase{"05=abc", false}, LineCase{"05=01:a,,02:b", false},
        LineCase{";05=01:a", false},
        // 120 characters in all, then 121.
        LineCase{"05=01:" + repeat('a', 10) + ",02:" + repeat('b', 10) + ",03:" + repeat('c', 10) +
                     ",04:" + repeat('d', 10) + ",05:" + repeat('e', 10) +
                     ",06:" + repeat('f', 10) + ",07:" + repeat('g', 10) +
                     ",08:" + repeat('h', 10) + repeat(' ', 6),
                 true},
        LineCase{"05=01:" + repeat('a', 10) + ",02:" + repeat('b', 10) + ",03:" + repeat('c', 10) +
                     ",04:" + repeat('d', 10) + ",05:" + repeat('e', 10) +
                     ",06:" + repeat('f', 10) + ",07:" + repeat('g', 10) +
                     ",08:" + repeat('h', 10) + repeat(' ', 7),
                 false}));

TEST(Labels, LinesOfOneSlotAreJoinedUpTo419Characters) {
    TLabel labels;
    // Eight items of 13 characters make 111 with their commas.
    std::string items;
    for (int i = 1; i <= 8; ++i) {
        items += (i > 1 ? "," : "") + std::string(i < 10 ? "0" : "") + std::to_string(i) + ":" +
                 repeat('x', 10);
    }
    ASSERT_EQ(items.size(), 111u);
    EXPECT_TRUE(labels.readLine("07=" + items));
    EXPECT_TRUE(labels.readLine("07=" + items)); // 223
    EXPECT_TRUE(labels.readLine("07=" + items)); // 335
    EXPECT_FALSE(labels.readLine("07=" + items)) << "447 would pass 419";
    EXPECT_TRUE(labels.readLine("07=01:" + repeat('y', 10) + ",02:" + repeat('y', 10) +
                                ",03:" + repeat('y', 10) + ",04:" + repeat('y', 10) +
                                ",05:" + repeat('y', 10) + ",06:" + repeat('y', 10)));
    EXPECT_EQ(labels.slotText(7).size(), 335u + 1 + 83);
    EXPECT_FALSE(labels.readLine("07=09:z"));
    EXPECT_EQ(labels.label(7, 2), repeat('x', 10));
    EXPECT_EQ(labels.label(7, 9), std::nullopt);
}

TEST(Labels, WrittenInGroupsOfEight) {
    TLabel labels;
    ASSERT_TRUE(labels.readLine("03=01:a,02:b,03:c,04:d,05:e,06:f"));
    ASSERT_TRUE(labels.readLine("03 = 07:g , 08:h,09:i,10:j"));
    ASSERT_TRUE(labels.readLine("12=5:five"));
    std::string out;
    labels.write(out, "\n");
    EXPECT_EQ(out, "03=01:a,02:b,03:c,04:d,05:e,06:f,07:g,08:h\n03=09:i,10:j\n12=5:five\n;\n");
    TLabel again;
    for (const char* line :
         {"03=01:a,02:b,03:c,04:d,05:e,06:f,07:g,08:h", "03=09:i,10:j", "12=5:five"}) {
        ASSERT_TRUE(again.readLine(line));
    }
    EXPECT_EQ(again.slotText(3), labels.slotText(3));
}

TEST(Labels, SetSlotKeepsOnlyItemsTheReaderWouldTake) {
    TLabel labels;
    ASSERT_TRUE(labels.setSlot(
        4, {{1, "speed"}, {40, "bad"}, {2, ""}, {3, "a,b"}, {4, "a very long label"}}));
    EXPECT_EQ(labels.slotText(4), "01:speed,04:a very lon");
    EXPECT_FALSE(labels.setSlot(64, {{1, "x"}}));
    EXPECT_TRUE(labels.clearSlot(4));
    EXPECT_EQ(labels.slotText(4), "");
}

// ---------------------------------------------------------------- [LAST_COMMAND]

class LastCommandLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(LastCommandLine, IsTakenOrIgnored) {
    TKV_LastCommand commands;
    EXPECT_EQ(commands.readLine(GetParam().line), GetParam().taken);
    EXPECT_EQ(commands.count(), GetParam().taken ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Checks, LastCommandLine,
                         ::testing::Values(LineCase{"\"03RV\"", true}, LineCase{"03RV", false},
                                           LineCase{"\"\"", false}, LineCase{"\"", false},
                                           LineCase{"\"03RV", true},
                                           LineCase{"\"" + repeat('c', 119) + "\"", true},
                                           LineCase{"\"" + repeat('c', 120) + "\"", false},
                                           LineCase{std::string("\"03\0RV\"", 7), false}));

TEST(LastCommands, QuotesComeOffBothEndsOnly) {
    TKV_LastCommand commands;
    ASSERT_TRUE(commands.readLine("\"03PR \"A\" \"  "));
    EXPECT_EQ(commands.text(0), "03PR \"A\" ");
    EXPECT_EQ(commands.text(1), "inconnu");
    EXPECT_EQ(commands.text(-1), "inconnu");
}

TEST(LastCommands, ReadingStopsAtThirty) {
    TKV_LastCommand commands;
    for (int i = 0; i < 30; ++i) {
        ASSERT_TRUE(commands.readLine("\"c" + std::to_string(i) + "\""));
    }
    EXPECT_FALSE(commands.readLine("\"c30\""));
    EXPECT_EQ(commands.count(), 30);
    EXPECT_FALSE(commands.modified());
}

TEST(LastCommands, AddingKeepsThirtyNewestAndSkipsARepeat) {
    TKV_LastCommand commands;
    EXPECT_TRUE(commands.add("03RV"));
    EXPECT_FALSE(commands.add("03RV"));
    EXPECT_EQ(commands.count(), 1);
    EXPECT_TRUE(commands.modified());
    for (int i = 1; i < 31; ++i) {
        ASSERT_TRUE(commands.add("c" + std::to_string(i)));
    }
    EXPECT_EQ(commands.count(), 30);
    EXPECT_EQ(commands.text(0), "c1") << "the oldest, 03RV, went";
    EXPECT_EQ(commands.text(29), "c30");
    EXPECT_TRUE(commands.add(repeat('c', 120))) << "cut to its text, not dropped";
    EXPECT_EQ(commands.text(29), repeat('c', 119));
    EXPECT_FALSE(commands.add("03\nRV"));
    EXPECT_TRUE(commands.add("03RV"));
    std::string out;
    commands.write(out, "\n");
    EXPECT_EQ(out.substr(0, 5), "\"c3\"\n");
    EXPECT_EQ(out.substr(out.size() - 9), "\"03RV\"\n;\n");
}

struct LongCommand {
    const char* name;
    std::string command;
    /// What the list keeps and writes; empty when the command is refused.
    std::string kept;
};

class LastCommandLength : public ::testing::TestWithParam<LongCommand> {};

TEST_P(LastCommandLength, ALongerCommandIsCutToItsTextNotDropped) {
    const LongCommand& c = GetParam();
    TKV_LastCommand commands;
    ASSERT_TRUE(commands.add("01RV"));
    EXPECT_EQ(commands.add(c.command), !c.kept.empty());
    std::string out;
    commands.write(out, "\n");
    if (c.kept.empty()) {
        EXPECT_EQ(commands.count(), 1);
        EXPECT_EQ(out, "\"01RV\"\n;\n");
        return;
    }
    EXPECT_EQ(commands.count(), 2);
    EXPECT_EQ(commands.text(1), c.kept);
    EXPECT_EQ(out, "\"01RV\"\n\"" + c.kept + "\"\n;\n");
    // What was written is read back as it was kept, and the same long command again is a
    // repeat of the newest.
    TKV_LastCommand again;
    EXPECT_TRUE(again.readLine("\"" + c.kept + "\""));
    EXPECT_EQ(again.text(0), c.kept);
    EXPECT_FALSE(commands.add(c.command));
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, LastCommandLength,
    ::testing::Values(LongCommand{"fits", "03GA" + repeat('1', 115), "03GA" + repeat('1', 115)},
                      LongCommand{"one_over", "03GA" + repeat('1', 116), "03GA" + repeat('1', 115)},
                      LongCommand{"far_over", "03GA" + repeat('2', 400), "03GA" + repeat('2', 115)},
                      LongCommand{"control_byte_after_the_cut", "03GA" + repeat('3', 115) + "\n",
                                  "03GA" + repeat('3', 115)},
                      LongCommand{"control_byte_before_the_cut", "03\x01GA" + repeat('4', 200),
                                  ""}),
    [](const ::testing::TestParamInfo<LongCommand>& param) {
        return std::string(param.param.name);
    });

// ---------------------------------------------------------------- address table

TEST(AddressTable, HandsOutOneTextPerTargetThenLast) {
    TLink_TargetAdr table;
    EXPECT_EQ(table.next("first"), "last") << "not built yet";
    table.build(
        {{3, "TRILO"}, {1, "TRILO"}, {7, "VRX17"}, {64, "DVRX"}, {-1, "DVRX"}, {12, "TRILO"}});
    EXPECT_TRUE(table.initialised());
    EXPECT_EQ(table.next("first"), "/TRILO = 1,3,12/");
    EXPECT_EQ(table.next("/TRILO = 1,3,12/"), "/VRX17 = 7/");
    EXPECT_EQ(table.next("/VRX17 = 7/"), "last");
    EXPECT_EQ(table.next("last"), "last");
    EXPECT_EQ(table.next("first"), "/TRILO = 1,3,12/") << "first starts again";
}

TEST(AddressTable, TenNamesAtMostAndLongNamesMarked) {
    TLink_TargetAdr table;
    std::vector<std::pair<int32_t, std::string>> modules;
    for (int i = 0; i < 12; ++i) {
        modules.emplace_back(i, "T" + std::to_string(i));
    }
    modules.emplace_back(20, std::string(16, 'L'));
    modules.emplace_back(21, "T3");
    table.build(modules);
    EXPECT_EQ(table.nameCount(), 10);
    std::vector<std::string> texts;
    for (std::string t = table.next("first"); t != "last"; t = table.next(t)) {
        texts.push_back(t);
    }
    ASSERT_EQ(texts.size(), 10u);
    EXPECT_EQ(texts[3], "/T3 = 3,21/");
    EXPECT_EQ(texts[9], "/T9 = 9/");
    // A rebuild starts with no names, so a long name now finds a place.
    table.build({{5, std::string(16, 'L')}});
    EXPECT_EQ(table.next("first"), "/too long = 5/");
}

} // namespace
