// The settings block that may open a command text.
#include "fake_port.h"
#include "kv/kv_types.h"
#include "kv_line/trilo.h"
#include "linkor_status.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>

namespace linkor {
namespace {

using test::bytesOf;
using test::FakePort;

class SettingsBlock : public ::testing::Test {
  protected:
    void SetUp() override {
        auto port = std::make_unique<FakePort>();
        fake = port.get();
        fake->responder = [](const FakePort::Bytes&) { return bytesOf("\x06\x13\x1a"); };
        line = std::make_unique<TTrilo>("COM3", std::move(port));
        ASSERT_EQ(line->initialise(9600, kv::kProtocolXon), 0);
    }
    int32_t send(const char* text) { return line->dialogue(text, reply.data()); }
    const KvSettings& settings() { return line->settings(); }

    FakePort* fake = nullptr;
    std::unique_ptr<TTrilo> line;
    std::array<char, 256> reply{};
};

struct BlockCase {
    const char* text;
    int32_t status;
    const char* sent; // the command text framed, or "" when nothing goes out
    std::function<bool(const KvSettings&)> applied;
};

class Blocks : public SettingsBlock, public ::testing::WithParamInterface<BlockCase> {};

TEST_P(Blocks, StatusWhatIsSentAndWhatIsSet) {
    const BlockCase& c = GetParam();
    EXPECT_EQ(send(c.text), c.status) << c.text;
    std::string sent;
    for (const auto& frame : fake->frames) {
        sent += std::string(frame.begin() + 4, frame.end() - 3);
    }
    EXPECT_EQ(sent, c.sent) << c.text;
    EXPECT_TRUE(c.applied(settings())) << c.text;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Keywords, Blocks, ::testing::Values(
    BlockCase{"/TACK 400/01GS", 0, "01GS", [](auto& s) { return s.tackMs == 400; }},
    BlockCase{"/tack 400/01GS", 0, "01GS", [](auto& s) { return s.tackMs == 400; }},
    BlockCase{"/TACK=400/", 0, "", [](auto& s) { return s.tackMs == 400; }},
    BlockCase{"/TACK 400 REPETE 2/", 0, "", [](auto& s) { return s.tackMs == 400 && s.retries == 2; }},
    BlockCase{"/TWAITACK 30 TWAITALLREP 900 TWAITRTSON 2 TWAITRTSOFF 3/", 0, "",
              [](auto& s) { return s.waitAckMs == 30 && s.waitAllReplyMs == 900 && s.waitRtsOnMs == 2 && s.waitRtsOffMs == 3; }},
    BlockCase{"/TWAITREP 70/", 0, "", [](auto& s) { return s.waitReplyMs == 70; }},
    BlockCase{"/TACK/01GS", LINKOR_BAD_SETTINGS_BLOCK, "", [](auto& s) { return s.tackMs == 0; }},
    BlockCase{"/TACK 400 01GS", LINKOR_BAD_SETTINGS_BLOCK, "", [](auto& s) { return s.tackMs == 400; }},
    BlockCase{"/TACK 4x/01GS", LINKOR_BAD_SETTINGS_BLOCK, "", [](auto&) { return true; }},
    BlockCase{"/TACK 99999999999999999/", LINKOR_BAD_SETTINGS_BLOCK, "", [](auto& s) { return s.tackMs == 0; }},
    BlockCase{"/REPETE -1/01GS", LINKOR_BAD_SETTINGS_BLOCK, "", [](auto& s) { return s.retries == 0; }},
    BlockCase{"/TACK 400", LINKOR_BAD_SETTINGS_BLOCK, "", [](auto& s) { return s.tackMs == 400; }},
    BlockCase{"/FOO/", LINKOR_BAD_SETTINGS_BLOCK, "", [](auto&) { return true; }},
    BlockCase{"/REPETE 3 FOO/01GS", LINKOR_BAD_SETTINGS_BLOCK, "", [](auto& s) { return s.retries == 3; }},
    BlockCase{"/TRILO/", 0, "", [](auto& s) { return s.lineType == kv::kTypeTrilo; }},
    BlockCase{"/vrx17/", 0, "", [](auto& s) { return s.lineType == kv::kTypeVrx17; }},
    BlockCase{"/VRX23=1,3-5/", 0, "", [](auto& s) {
        return s.addressTypes[1] == 3 && s.addressTypes[2] == 0 && s.addressTypes[3] == 3 &&
               s.addressTypes[5] == 3 && s.addressTypes[6] == 0 && s.lineType == kv::kTypeVrx17; }},
    BlockCase{"/VRX23 = 7,9/", 0, "", [](auto& s) { return s.addressTypes[7] == 3 && s.addressTypes[9] == 3; }},
    BlockCase{"/VRX23=70-90/", 0, "", [](auto& s) {
        return s.addressTypes[69] == 0 && s.addressTypes[70] == 3 && s.addressTypes[79] == 3; }},
    BlockCase{"/TRILO=5-2/", 0, "", [](auto& s) { return s.addressTypes[2] == 0 && s.addressTypes[5] == 0; }},
    BlockCase{"/PROTOCOLE ACK/", 0, "", [](auto& s) { return s.protocol == kv::kProtocolAckNak; }},
    BlockCase{"/PROTOCOLE AC/01GS", LINKOR_BAD_PROTOCOL, "", [](auto& s) { return s.protocol == kv::kProtocolXon; }},
    BlockCase{"/BAUDRATE 9601/01GS", LINKOR_BAD_BAUD, "", [](auto&) { return true; }},
    BlockCase{"/PRIORITY SOMETIMES/01GS", LINKOR_BAD_PRIORITY, "", [](auto&) { return true; }},
    BlockCase{"/CASTE minuscules/01GS", 0, "01gs", [](auto& s) { return s.letterCase == kv::kCaseLower; }},
    BlockCase{"/CASTE TOUT/01Gs", 0, "01Gs", [](auto& s) { return s.letterCase == kv::kCaseAsTyped; }},
    BlockCase{"/CASTE MAJUSCULES/01gs", 0, "01GS", [](auto& s) { return s.letterCase == kv::kCaseUpper; }},
    BlockCase{"/CASTE DEFAUT/01gs", 0, "01GS", [](auto& s) { return s.letterCase == kv::kCaseDefault; }},
    BlockCase{"/CASTE SOMETIMES/01gs", LINKOR_BAD_SETTINGS_BLOCK, "", [](auto&) { return true; }},
    BlockCase{"/REPAIR/", 0, "", [](auto& s) { return s.repair; }},
    BlockCase{"/REPAIR NOREPAIR/", 0, "", [](auto& s) { return !s.repair; }},
    BlockCase{"/NOFORMAT/", 0, "", [](auto& s) { return s.raw; }},
    BlockCase{"/NOFORMAT FORMAT/01GS", 0, "01GS", [](auto& s) { return !s.raw; }},
    BlockCase{"//01GS", 0, "/01GS", [](auto&) { return true; }},
    BlockCase{"/ABCDEFGHIJKLMNOPQRSTUVWXYZ/", LINKOR_BAD_SETTINGS_BLOCK, "", [](auto&) { return true; }}));
// clang-format on

TEST_F(SettingsBlock, BaudRateChangesTheSpeedAtOnce) {
    EXPECT_EQ(send("/BAUDRATE 38400/"), 0);
    EXPECT_EQ(fake->speed, 38400);
}

TEST_F(SettingsBlock, StopSendsEveryStopCommand) {
    line->settings().lineType = kv::kTypeTrilo;
    EXPECT_EQ(send("/STOP/"), 0);
    std::vector<std::string> texts;
    for (const auto& frame : fake->frames) {
        texts.emplace_back(frame.begin() + 4, frame.end() - 3);
    }
    EXPECT_EQ(texts.size(), 6u);
    EXPECT_EQ(texts.at(0), "GS");
    EXPECT_EQ(texts.at(3), "PWR");
    EXPECT_EQ(settings().lineType, kv::kTypeTrilo) << "the line's type is restored";
}

TEST_F(SettingsBlock, SyntaxTextSetsTheAllowedCharacters) {
    EXPECT_EQ(line->setSyntax("/REPETE 1/1B 0e"), 0);
    EXPECT_EQ(settings().retries, 1);
    EXPECT_TRUE(settings().allowed.contains(0x1B));
    EXPECT_TRUE(settings().allowed.contains(0x0E));
    EXPECT_EQ(send("01\x1bGS"), 0);
    EXPECT_EQ(line->setSyntax("/FOO/1B"), LINKOR_BAD_SETTINGS_BLOCK);
    EXPECT_TRUE(settings().allowed.contains(0x1B)) << "a failing block changes nothing more";
    EXPECT_EQ(line->setSyntax(""), 0);
    EXPECT_FALSE(settings().allowed.contains(0x1B));
}

TEST_F(SettingsBlock, FramePathLinesKeepTheirOwnList) {
    line->settings().lineType = kv::kTypeVrx23;
    EXPECT_EQ(line->setSyntax("0E"), 0);
    EXPECT_TRUE(settings().allowedFramePath.contains(0x0E));
    EXPECT_FALSE(settings().allowed.contains(0x0E));
}

TEST_F(SettingsBlock, InitialisationResetsEverySetting) {
    ASSERT_EQ(send("/TACK 5 REPETE 2 TRILO CASTE TOUT/"), 0);
    ASSERT_EQ(line->initialise(9600, kv::kProtocolAckNak), 0);
    EXPECT_EQ(settings().tackMs, 0);
    EXPECT_EQ(settings().retries, 0);
    EXPECT_EQ(settings().lineType, kv::kDefaultLineType);
    EXPECT_EQ(settings().letterCase, kv::kCaseDefault);
    EXPECT_EQ(settings().protocol, kv::kProtocolAckNak);
}

} // namespace
} // namespace linkor
