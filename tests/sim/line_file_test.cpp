// Line descriptions: the shipped line files, and the messages for a file that is wrong.

#include "kvsim/line_description.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

using kvsim::Family;

TEST(LineFile, ShippedLines) {
    const std::filesystem::path dir = KVSIM_LINES_DIR;
    const auto demo = kvsim::readLineFile(dir / "demo.line");
    std::set<Family> families;
    for (const auto& m : demo.modules) {
        families.insert(m.family);
    }
    EXPECT_EQ(families.size(), 7U) << "one module of each family and a JBUS slave";
    EXPECT_TRUE(std::any_of(demo.modules.begin(), demo.modules.end(),
                            [](const auto& m) { return m.protocol == kvsim::Protocol::Console; }));
    EXPECT_TRUE(kvsim::readLineFile(dir / "empty.line").modules.empty());
    const auto same = kvsim::readLineFile(dir / "same_setting.line");
    EXPECT_TRUE(std::all_of(same.modules.begin(), same.modules.end(), [&](const auto& m) {
        return m.baud == same.modules.front().baud && m.protocol == kvsim::Protocol::Xon;
    }));
    const auto mixed = kvsim::readLineFile(dir / "mixed.line");
    std::set<std::pair<int, kvsim::Protocol>> settings;
    for (const auto& m : mixed.modules) {
        settings.insert({m.baud, m.protocol});
    }
    EXPECT_EQ(settings.size(), mixed.modules.size());
}

TEST(LineFile, EntryWithEverySetting) {
    const auto line = kvsim::parseLineText(
        "# comment\n\n  5 trilo type=0x0409 protocol=acknak baud=19200 version=2.07 serial=77 "
        "fault=bel:3 slow=4 inputs=0F power=off noise current=1.5  # trailing comment\r\n"
        "7F VRX34\n"
        "200 JBUS protocol=jbus485 reg7=0x1234\n");
    ASSERT_EQ(line.modules.size(), 3U);
    const auto& m = line.modules[0];
    EXPECT_EQ(m.address, 5);
    EXPECT_EQ(m.family, Family::Trilo);
    EXPECT_EQ(m.typeCode, 0x0409);
    EXPECT_EQ(m.protocol, kvsim::Protocol::AckNak);
    EXPECT_EQ(m.baud, 19200);
    EXPECT_EQ(m.version, 207);
    EXPECT_EQ(m.serial, 77);
    EXPECT_EQ(m.fault.kind, kvsim::FaultKind::Bel);
    EXPECT_EQ(m.fault.count, 3);
    EXPECT_EQ(m.fault.slowMs, 4);
    EXPECT_EQ(m.inputs, 0x0FU);
    EXPECT_FALSE(m.power);
    EXPECT_TRUE(m.noiseOffSpeed);
    EXPECT_DOUBLE_EQ(m.currentFactor, 1.5);
    EXPECT_EQ(m.sourceLine, 3);
    EXPECT_EQ(line.modules[1].address, 0x7F);
    EXPECT_EQ(line.modules[1].typeCode, 0x4001);
    EXPECT_EQ(line.modules[2].registers.at(7), 0x1234);
}

TEST(LineFile, MistakesNameTheFileTheLineAndTheFault) {
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"01\n", "f.line:1: expected an address and a family"},
        {"\n01 TRILOX\n", "f.line:2: unknown family \"TRILOX\""},
        {"64 TRILO\n", "f.line:1: bad value \"64\" for address"},
        {"80 VRX23\n", "f.line:1: bad value \"80\" for address"},
        {"0 JBUS\n", "f.line:1: bad value \"0\" for address"},
        {"01 TRILO protocol=modbus\n", "f.line:1: unknown protocol \"modbus\""},
        {"01 VRX23 protocol=console\n", "f.line:1: a VRX23 module cannot use protocol console"},
        {"01 MICROTRILO protocol=acknak\n", "cannot use protocol acknak"},
        {"01 VRX23 baud=115200\n", "f.line:1: a VRX23 module cannot run at 115200 baud"},
        {"01 TRILO baud=fast\n", "bad value \"fast\" for baud"},
        {"01 TRILO type=0x1002\n", "f.line:1: type 0x1002 is not a TRILO model"},
        {"01 TRILO type=0x0207\n", "type 0x0207 is not a TRILO model"},
        {"01 TRILO fault=boom\n", "f.line:1: unknown fault \"boom\""},
        {"01 TRILO fault=nak:0\n", "bad value \"0\" for fault count"},
        {"01 TRILO colour=red\n", "f.line:1: unknown key \"colour\""},
        {"01 TRILO speedy\n", "f.line:1: expected key=value, found \"speedy\""},
        {"01 TRILO version=1.5\n", "bad value \"1.5\" for version"},
        {"01 TRILO reg5=1\n", "unknown key \"reg5\""},
        {"01 TRILO\n# two modules at 01\n01 DVRX\n",
         "f.line:3: address 01 is already used at this speed by the module of line 1"},
        {"10 TRILO\n10 VRX23\n", "f.line:2: address 10 is already used"},
    };
    for (const Case& tc : cases) {
        try {
            kvsim::parseLineText(tc.text, "f.line");
            ADD_FAILURE() << "accepted: " << tc.text;
        } catch (const kvsim::LineFileError& e) {
            EXPECT_NE(std::string(e.what()).find(tc.message), std::string::npos)
                << e.what() << "\n  expected: " << tc.message;
        }
    }
    // Same address at another speed, or console beside framed: different wires in effect.
    EXPECT_EQ(kvsim::parseLineText("01 TRILO\n01 TRILO baud=19200\n01 JBUS\n").modules.size(), 3U);
}

TEST(LineFile, MissingFile) {
    try {
        kvsim::readLineFile("/nonexistent/dir/line.line");
        ADD_FAILURE() << "no error";
    } catch (const kvsim::LineFileError& e) {
        EXPECT_NE(std::string(e.what()).find("/nonexistent/dir/line.line: cannot open"),
                  std::string::npos)
            << e.what();
    }
}

} // namespace
