// Which text reads what: the read table per family, the extras, the filler "QX", and the
// repeat counts of poll entries.
#include <comm/read_commands.h>
#include <comm/texts.h>

#include <gtest/gtest.h>

namespace {

using namespace tkv;

struct ReadCase {
    int32_t kind;
    int32_t type;
    int32_t sub;
    const char* command;
};

TEST(ReadCommands, TableOfEveryFamily) {
    const ReadCase cases[] = {
        {kKindStatus, 0x0100, 0, "RD"},
        {kKindStatus, 0x0205, 0, "QD"},
        {kKindStatus, 0x0308, 0, "QD"},
        {kKindStatus, 0x0408, 0, "QD"},
        {kKindStatus, 0x1002, 0, "QR #CPA #IN #OUT #_STATUS #_ERR #_SNSP"},
        {kKindStatus, 0x3001, 1, "qp"},
        {kKindStatus, 0x3001, 2, "qx"},
        {kKindStatus, 0x4001, 3, "qa"},
        {kKindStatus, 0x4001, 0, "QX"},
        {kKindStatus, 0x5000, 1, "REA #POS"},
        {kKindStatus, 0x5000, 2, "REA #INP"},
        {kKindStatus, 0x5000, 3, "REA #OUT"},
        {kKindStatus, 0x5000, 4, "REA #LIN"},
        {kKindStatus, 0x5000, 5, "REA #STA"},
        {kKindStatus, 0x5000, 6, "REA #ERR"},
        {kKindStatus, 0x5000, 7, "READ #POS"}, // no extra named
        {kKindStatus, 0x5000, 0, "READ #POS"},
        {kKindStatus, 0x6020, 0, "REA #POS,REA #INP,REA #STA,REA #OUT,REA #LIN,REA #ERR"},
        {kKindStatus, 0x7001, 0, "QX"},
        {kKindParameters, 0x0100, 0, "RL"},
        {kKindParameters, 0x0205, 0, "QL"},
        {kKindParameters, 0x1002, 0, "QL"},
        {kKindParameters, 0x3001, 0, "QX"},
        {kKindParameters, 0x6020, 0, "QX"},
        {kKindPowerOnFunction, 0x0100, 0, "RM 26 2F"},
        {kKindPowerOnFunction, 0x0205, 0, "QM C6 05"},
        {kKindPowerOnFunction, 0x0308, 0, "QM C6 04"},
        {kKindPowerOnFunction, 0x0408, 0, "QM C6 84"},
        {kKindPowerOnFunction, 0x1002, 0, "QM C6 84"},
        {kKindPowerOnFunction, 0x5000, 0, "QX"},
        {kKindEndSensorCell, 0x0100, 0, "RM 21 FF"},
        {kKindEndSensorCell, 0x0205, 0, "QX"},
        {kKindSlidingShort, 0x0100, 0, "RL"},
        {kKindSlidingShort, 0x0205, 0, "QX"},
        {kKindSpecificLabelled, 0x0100, 0, "QX"},
        {kKindSpecificLabelled, 0x0205, 0, "QL"},
        {kKindSpecificLabelled, 0x1002, 0, "QL"},
        {kKindAutoOutput, 0x0205, 0, "QX"},
        {kKindAutoOutput, 0x0308, 0, "QC"},
        {kKindAutoOutput, 0x0408, 0, "QC"},
        {kKindAutoOutput, 0x1002, 0, "QC"},
        {kKindV2334Read, 0x3001, 1, "ql"},
        {kKindV2334Read, 0x4001, 2, "qb"},
        {kKindV2334Read, 0x4001, 3, "QX"},
        {kKindV2334Read, 0x0205, 1, "QX"},
        {kKindMotionRead, 0x5000, 1, "REA #STA"},
        {kKindMotionRead, 0x5000, 2, "REA #NEN"},
        {kKindMotionRead, 0x5000, 3, "REA #PEN"},
        {kKindMotionRead, 0x5000, 4, "REA #TRA"},
        {kKindMotionRead, 0x5000, 5, "REA #LTO"},
        {kKindMotionRead, 0x5000, 6, "REA #LSP"},
        {kKindMotionRead, 0x5000, 7, "REA #HSP"},
        {kKindMotionRead, 0x5000, 8, "REA #RTI"},
        {kKindMotionRead, 0x5000, 9, "READ #STA"},
        {kKindMotionRead, 0x6020, 0,
         "REA #STA,REA #NEN,REA #PEN,REA #TRA,REA #LSP,REA #HSP,REA #ATI,REA #DTI"},
        {kKindMotionRead, 0x3001, 0, "QX"},
        {kKindVariableBase + 7, 0x0205, 0, "QN#07"},
        {kKindVariableBase + 255, 0x1002, 0, "QN#255"},
        {kKindVariableBase + 7, 0x0100, 0, "QX"},
        {kKindVariableBase + 7, 0x6020, 0, "QX"},
    };
    for (const ReadCase& c : cases) {
        TagStatus status;
        TagRequest r;
        r.kind = c.kind;
        r.typeCode = c.type;
        r.subIndex = c.sub;
        r.data = &status;
        EXPECT_EQ(cmdset::readCommand(r), c.command)
            << std::hex << "kind 0x" << c.kind << " type 0x" << c.type << " sub " << c.sub;
    }
}

struct ExtraCase {
    int32_t type;
    int32_t sub;
    const char* one;
    const char* two;
    uint8_t noExtras;
    const char* command;
};

TEST(ReadCommands, ExtraVariablesUnderTheirFullNames) {
    const ExtraCase cases[] = {
        {0x1002, 0, "TEMP", "none", 0, "QR #CPA #IN #OUT #_STATUS #_ERR #_SNSP #TEMP"},
        {0x1002, 0, "none", "VSUPPLY", 0, "QR #CPA #IN #OUT #_STATUS #_ERR #_SNSP #VSUPPLY"},
        {0x1002, 0, "TEMP", "VSUPPLY", 1, "QR #CPA #IN #OUT #_STATUS #_ERR #_SNSP"},
        {0x6020, 0, "CPU_TEMPERATURE", "V_SUPPLY", 0,
         "REA #POS,REA #INP,REA #STA,REA #OUT,REA #LIN,REA #ERR,REA #CPU_TEMPERATURE,REA "
         "#V_SUPPLY"},
        {0x5000, 7, "TEMP", "VS", 0, "REA #TEMP"},
        {0x5000, 8, "TEMP", "VS", 0, "REA #VS"},
        {0x5000, 8, "TEMP", "VS", 1, "READ #POS"},
    };
    for (const ExtraCase& c : cases) {
        TagStatus s;
        text::copy(s.extraName1, c.one);
        text::copy(s.extraName2, c.two);
        s.noExtras = c.noExtras;
        TagRequest r;
        r.kind = kKindStatus;
        r.typeCode = c.type;
        r.subIndex = c.sub;
        r.data = &s;
        EXPECT_EQ(cmdset::readCommand(r), c.command) << c.one << " " << c.two;
    }
}

TEST(ReadCommands, Abbreviations) {
    EXPECT_EQ(cmdset::abbreviation("CPU_TEMPERATURE"), "CTE");
    EXPECT_EQ(cmdset::abbreviation("V_SUPPLY"), "VSU");
    EXPECT_EQ(cmdset::abbreviation("COUNTER"), "COUNTER");
    EXPECT_EQ(cmdset::abbreviation("A_B"), "AB");
    EXPECT_EQ(cmdset::abbreviation("_ERR"), "_ER");
    EXPECT_EQ(cmdset::abbreviation("X_"), "X");
    EXPECT_EQ(cmdset::abbreviation(""), "");
}

TEST(ReadCommands, RepeatCounts) {
    struct Count {
        int32_t kind;
        int32_t type;
        int32_t count;
    };
    const Count cases[] = {
        {kKindStatus, 0x3001, 3},     {kKindStatus, 0x4001, 3},        {kKindV2334Read, 0x3001, 2},
        {kKindV2334Read, 0x4001, 2},  {kKindStatus, 0x5000, 8},        {kKindMotionRead, 0x5000, 8},
        {kKindMotionRead, 0x6020, 0}, {kKindStatus, 0x6020, 0},        {kKindStatus, 0x0205, 0},
        {kKindParameters, 0x5000, 0}, {kKindSpecificGroup, 0x0100, 0},
    };
    for (const Count& c : cases) {
        EXPECT_EQ(cmdset::repeatCount(c.kind, c.type), c.count)
            << std::hex << c.kind << " " << c.type;
    }
}

} // namespace
