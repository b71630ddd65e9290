// The driver as a program loads it, driving emulated VRX23 and VRX34 modules of the
// virtual line with mnemonics; the frames on the wire are the virtual line's business.
#include "driver_api.h"
#include "kvsim/virtual_line.h"
#include "linkor_status.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <unistd.h>
#include <vector>

namespace linkor::e2e {
namespace {

namespace fs = std::filesystem;

constexpr int kLine = 7;

class VrxLine : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        root = new fs::path(fs::temp_directory_path() /
                            ("linkor-vrx-e2e-" + std::to_string(::getpid())));
        fs::create_directories(*root / "ports");
        setenv("LINKOR_PORTS", (*root / "ports").c_str(), 1);
        driver = new LoadedDriver(LINKOR_LIBRARY, *root / "driver");
    }
    static void TearDownTestSuite() {
        delete driver;
        fs::remove_all(*root);
        delete root;
    }

    void SetUp() override {
        line.start(*root / "ports", kLine);
        ASSERT_EQ(d.open("COM7", 0, 0), kLine);
        ASSERT_EQ(d.init(kLine, "9600", "XON-XOFF", nullptr), 0);
        // Address 02 carries its own type; every other address is a VRX23.
        ASSERT_EQ(send("/VRX23/"), 0);
        ASSERT_EQ(send("/VRX34=2/"), 0);
    }
    void TearDown() override {
        d.close(kLine);
        line.stop();
    }

    int32_t send(const std::string& command) {
        return d.dialogue(kLine, command.c_str(), reply.data());
    }
    std::string text() const { return reply.data(); }
    kvsim::ModuleSnapshot module(int address) const {
        const auto m = line.module(address);
        EXPECT_TRUE(m.has_value()) << address;
        return m.value_or(kvsim::ModuleSnapshot{});
    }

    static inline fs::path* root = nullptr;
    static inline LoadedDriver* driver = nullptr;
    kvsim::VirtualLine line{kvsim::parseLineText("01 VRX23\n02 VRX34\n", "vrx")};
    Driver d{*driver};
    std::array<char, 256> reply{};
};

TEST_F(VrxLine, IdentityReadOfBothModels) {
    ASSERT_EQ(send("01QV"), 0);
    const std::string vrx23 = module(1).identity;
    EXPECT_EQ(text(), "01ev " + vrx23);

    ASSERT_EQ(send("02qv"), 0);
    // The VRX34's second bank comes after a blank of its own.
    const std::string vrx34 = module(2).identity;
    ASSERT_GT(vrx34.size(), 64u);
    EXPECT_EQ(text(),
              "02ev " + vrx34.substr(0, vrx34.size() - 64) + " " + vrx34.substr(vrx34.size() - 64));
}

TEST_F(VrxLine, SettingsOfAVrx34WrittenAndReadBack) {
    for (const char* command :
         {"02wl 100", "02wx 2000 200", "02gi 50", "02dg 12", "02mss", "02mbr"}) {
        EXPECT_EQ(send(command), 0) << command;
        EXPECT_EQ(text(), "") << command;
    }
    const auto written = module(2).parameters;
    EXPECT_EQ(written.at("wl"), 3);
    EXPECT_EQ(written.at("wh"), 240);
    EXPECT_EQ(written.at("wt"), 28);
    EXPECT_EQ(written.at("gi"), 50); // half of the maximum current 0xC8
    EXPECT_EQ(written.at("ms"), 1);
    EXPECT_EQ(written.at("mb"), 1);
    EXPECT_EQ(written.at("dg"), 12);

    ASSERT_EQ(send("02ql"), 0);
    EXPECT_EQ(text(), "02el  wl:100 wh:2000 wt:202 gi:50 dg:12 md:s mbr");
    ASSERT_EQ(send("/CASTE MAJUSCULES/02QL"), 0);
    EXPECT_EQ(text(), "02EL  WL:33 WH:667 WT:202 GI:100 DG:12 MD:S MBR");
}

TEST_F(VrxLine, LimitsWrittenAndReadBack) {
    EXPECT_EQ(send("01bn -100"), 0);
    EXPECT_EQ(send("01bp 5000"), 0);
    ASSERT_EQ(send("01qb"), 0);
    EXPECT_EQ(text(), "01eb  bn:-100 bp:5000");
}

struct Step {
    const char* command;
    int32_t status;
    const char* reply; ///< null: any reply that begins with the command's address
};

/// Steps that depend on each other, on a line of their own.
struct MnemonicCase {
    const char* name;
    std::vector<Step> steps;
};

void PrintTo(const MnemonicCase& c, std::ostream* os) {
    *os << c.name;
}

class VrxMnemonic : public VrxLine, public ::testing::WithParamInterface<MnemonicCase> {};

TEST_P(VrxMnemonic, AnswersAsTheTableSays) {
    for (const Step& s : GetParam().steps) {
        EXPECT_EQ(send(s.command), s.status) << s.command;
        if (s.reply != nullptr) {
            EXPECT_EQ(text(), s.reply) << s.command;
        } else {
            EXPECT_EQ(text().substr(0, 3), std::string(s.command, 2) + "e") << s.command;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, VrxMnemonic,
    ::testing::Values(
        MnemonicCase{"stop", {{"01GS", 0, ""}}}, MnemonicCase{"disable", {{"01DI", 0, ""}}},
        MnemonicCase{"position", {{"01QP", 0, "01ep 0"}}},
        MnemonicCase{"enable", {{"01EB", 0, ""}}},
        MnemonicCase{"absolute_move", {{"01GA 100", 0, ""}}},
        MnemonicCase{"home_moves", {{"01GE", 0, ""}, {"01GH", 0, ""}}},
        MnemonicCase{"free_run", {{"01GF -1200", 0, ""}, {"01QF", 0, nullptr}, {"01GS", 0, ""}}},
        MnemonicCase{"timed_run", {{"01GT 50 1200", 0, ""}, {"01GS", 0, ""}}},
        // No motion without power; the error report gives the cause once.
        MnemonicCase{"power_released",
                     {{"01GR", 0, ""},
                      {"01GA 100", LINKOR_NOT_EXECUTED, ""},
                      {"01QX", 0, "01ex 00000020"},
                      {"01QX", 0, "01ex 00000000"}}},
        MnemonicCase{"power_on", {{"01GM", 0, ""}}},
        MnemonicCase{"analog_input", {{"01QA", 0, nullptr}}},
        MnemonicCase{"settings_read_back",
                     {{"01gi 40", 0, ""},
                      {"/CASTE MAJUSCULES/01GI 100", 0, ""},
                      {"/CASTE DEFAUT/01MB", 0, ""},
                      {"01MB S", 0, ""},
                      {"01MN", 0, ""},
                      {"01MR", 0, ""},
                      {"01MR Z", 0, ""},
                      {"01MS N", 0, ""},
                      {"01MZ A", 0, ""},
                      {"01MZ I", 0, ""},
                      {"01DG 7", 0, ""},
                      {"01WL 20", 0, ""},
                      {"01WX 1200 500", 0, ""},
                      {"01WS", 0, ""},
                      {"01QL", 0, "01el  wl:20 wh:1200 wt:480 gi:39 dg:7 md:n mn "}}},
        MnemonicCase{"line_commands", {{"SO", 0, ""}, {"SI", 0, ""}}},
        MnemonicCase{"zero_speed_refused",
                     {{"01GF 0", LINKOR_COMMAND_REJECTED, ""}, {"01QP", 0, "01ep 0"}}}),
    [](const ::testing::TestParamInfo<MnemonicCase>& param) { return param.param.name; });

TEST_F(VrxLine, NewAddressKeepsTheSavedSettings) {
    EXPECT_EQ(send("01WS"), 0);
    EXPECT_EQ(send("01AM 05"), 0);
    EXPECT_EQ(send("05QP"), 0);
    EXPECT_EQ(text(), "05ep 0");
    ASSERT_TRUE(line.module(5).has_value());
    EXPECT_EQ(module(5).parameters.at("ws"), 1);
}

TEST_F(VrxLine, SynchronisationGoesToEveryModule) {
    line.clearLog();
    EXPECT_EQ(send("01SY"), 0);
    std::string sent;
    for (const kvsim::LogEntry& e : line.log()) {
        if (e.direction == kvsim::Direction::ToModules) {
            sent.push_back(static_cast<char>(e.byte));
        }
    }
    EXPECT_NE(sent.find("FF110000000000"), std::string::npos) << sent;
}

} // namespace
} // namespace linkor::e2e
