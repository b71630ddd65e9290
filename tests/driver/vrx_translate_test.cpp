// What a mnemonic command for a VRX23 or VRX34 module becomes: its frame texts, or its
// rejection before anything is sent.
#include "frame/vrx_translate.h"
#include "kv/kv_frame.h"
#include "kv/kv_types.h"

#include <gtest/gtest.h>

#include <string>

namespace linkor::vrx {
namespace {

using Kind = Translation::Kind;

constexpr int kDefault = kv::kCaseDefault;
constexpr int kLower = kv::kCaseLower;
constexpr int kUpper = kv::kCaseUpper;
constexpr int kAsTyped = kv::kCaseAsTyped;
constexpr Model k23 = Model::Vrx23;
constexpr Model k34 = Model::Vrx34;

Translation translateOnce(const std::string& command, int letterCase, Model model) {
    FrameState state;
    return translate(command, letterCase, model, state, {});
}

struct FrameCase {
    const char* command;
    int letterCase;
    Model model;
    const char* first;  ///< null: rejected
    const char* second; ///< null: one frame only
};

std::ostream& operator<<(std::ostream& os, const FrameCase& c) {
    return os << '"' << c.command << "\" case " << c.letterCase << " model "
              << static_cast<int>(c.model);
}

class Frames : public ::testing::TestWithParam<FrameCase> {};

TEST_P(Frames, TextsOrRejection) {
    const FrameCase& c = GetParam();
    const Translation t = translateOnce(c.command, c.letterCase, c.model);
    if (c.first == nullptr) {
        EXPECT_EQ(t.kind, Kind::Rejected);
        EXPECT_TRUE(t.frames[0].empty());
        return;
    }
    ASSERT_EQ(t.kind, Kind::Frames);
    EXPECT_EQ(t.frames[0], c.first);
    EXPECT_EQ(t.frames[1], c.second == nullptr ? "" : c.second);
}

// Every mnemonic of the table, with its values at and beyond the ends of its range.
INSTANTIATE_TEST_SUITE_P(
    Mnemonics, Frames,
    ::testing::Values(
        // Commands without a value.
        FrameCase{"01GS", kDefault, k23, "01180000000000", nullptr},
        FrameCase{"01gs", kDefault, k23, "01180000000000", nullptr},
        FrameCase{"01GS", kAsTyped, k34, "01180000000000", nullptr},
        FrameCase{"01GS 5", kDefault, k23, nullptr, nullptr},
        FrameCase{"01DI", kDefault, k23, "010B0000000000", nullptr},
        FrameCase{"01DIX", kDefault, k23, nullptr, nullptr},
        FrameCase{"01EB", kDefault, k23, "011D0000000000", nullptr},
        FrameCase{"01GE", kDefault, k23, "01170000000000", nullptr},
        FrameCase{"01GH", kDefault, k23, "01140000000000", nullptr},
        FrameCase{"01GM", kDefault, k23, "01190000000000", nullptr},
        FrameCase{"01GR", kDefault, k23, "011A0000000000", nullptr},
        FrameCase{"01MN", kDefault, k23, "01030000000000", nullptr},
        FrameCase{"01WS", kDefault, k23, "01100000000000", nullptr},
        // Synchronisation goes to every module, whatever the address.
        FrameCase{"SY", kDefault, k23, "FF110000000000", nullptr},
        FrameCase{"05sy", kDefault, k34, "FF110000000000", nullptr},
        FrameCase{"05SY 1", kDefault, k34, nullptr, nullptr},
        // Reads; "R" is the same as "Q".
        FrameCase{"01QA", kDefault, k23, "01270000000000", nullptr},
        FrameCase{"01ra", kDefault, k23, "01270000000000", nullptr},
        FrameCase{"01QB", kDefault, k23, "01230000000000", "01220000000000"},
        FrameCase{"01RB", kUpper, k34, "01230000000000", "01220000000000"},
        FrameCase{"01QF", kDefault, k23, "012B0000000000", nullptr},
        FrameCase{"01QL", kDefault, k23, "01250000000000", "01260000000000"},
        FrameCase{"01QL", kUpper, k34, "01250000000000", "01260000000000"},
        FrameCase{"01QP", kDefault, k23, "01200000000000", nullptr},
        FrameCase{"01RP", kUpper, k23, "01200000000000", nullptr},
        FrameCase{"01QP 1", kDefault, k23, nullptr, nullptr},
        FrameCase{"01QX", kDefault, k23, "01210000000000", nullptr},
        FrameCase{"01QV", kDefault, k23, "01290000000000", nullptr},
        FrameCase{"01QV", kDefault, k34, "01290000000000", nullptr},
        FrameCase{"01QV 2", kDefault, k34, nullptr, nullptr},
        // New address: hexadecimal, below 0x80.
        FrameCase{"01AM 7F", kDefault, k23, "0108000000007F", nullptr},
        FrameCase{"01am1a", kDefault, k23, "0108000000001A", nullptr},
        FrameCase{"01AM 80", kDefault, k23, nullptr, nullptr},
        FrameCase{"01AM", kDefault, k23, nullptr, nullptr},
        FrameCase{"01AM 1G", kDefault, k23, nullptr, nullptr},
        // Positions: -2^30 <= v < 2^30, sent as 32 bits.
        FrameCase{"01BP 1073741823", kDefault, k23, "0109003FFFFFFF", nullptr},
        FrameCase{"01BP 1073741824", kDefault, k23, nullptr, nullptr},
        FrameCase{"01BP -1073741824", kDefault, k23, "010900C0000000", nullptr},
        FrameCase{"01BP -1073741825", kDefault, k23, nullptr, nullptr},
        FrameCase{"01bn-100", kDefault, k23, "010A00FFFFFF9C", nullptr},
        FrameCase{"01BN +7", kDefault, k23, "010A0000000007", nullptr},
        FrameCase{"01GA -5", kDefault, k23, "011300FFFFFFFB", nullptr},
        FrameCase{"01GA 12x", kDefault, k23, nullptr, nullptr},
        FrameCase{"01GA -", kDefault, k23, nullptr, nullptr},
        FrameCase{"01GA 99999999999999999999", kDefault, k23, nullptr, nullptr},
        // Sliding: up to three digits, capped at 255.
        FrameCase{"01DG 12", kDefault, k23, "011C000000000C", nullptr},
        FrameCase{"01DG 300", kDefault, k23, "011C00000000FF", nullptr},
        FrameCase{"01DG 1000", kDefault, k23, nullptr, nullptr},
        FrameCase{"01DG -1", kDefault, k23, nullptr, nullptr},
        FrameCase{"01DG", kDefault, k23, nullptr, nullptr},
        // Speed, k = 3 (lower-case second letter): period = halve(48e6 / (S1 a)).
        FrameCase{"01GF 1200", kDefault, k23, "011500000007D0", nullptr},
        FrameCase{"01gf -1200", kDefault, k23, "01150000F607D0", nullptr},
        FrameCase{"01GF 1200", kDefault, k34, "01150000000190", nullptr},
        FrameCase{"01GF 61538", kDefault, k23, "01150000000027", nullptr},
        FrameCase{"01GF 61539", kDefault, k23, nullptr, nullptr},
        FrameCase{"01GF -61539", kDefault, k23, nullptr, nullptr},
        FrameCase{"01GF 0", kDefault, k23, nullptr, nullptr},
        FrameCase{"01GF 37", kDefault, k23, "0115000000FD61", nullptr},
        FrameCase{"01GF 36", kDefault, k23, nullptr, nullptr}, // period 0x1046B
        FrameCase{"01GF", kDefault, k23, nullptr, nullptr},
        // k = 1 with an upper-case second letter.
        FrameCase{"01GF 1200", kUpper, k23, "0115000000029B", nullptr},
        FrameCase{"01GF 20512", kUpper, k23, "01150000000027", nullptr},
        FrameCase{"01GF 20513", kUpper, k23, nullptr, nullptr},
        FrameCase{"01Gf 1200", kAsTyped, k23, "011500000007D0", nullptr},
        // Torque and speed.
        FrameCase{"01GT -100 1200", kDefault, k23, "011600FF9C07D0", nullptr},
        FrameCase{"01GT 32767 1200", kDefault, k23, "0116007FFF07D0", nullptr},
        FrameCase{"01GT 32768 1200", kDefault, k23, nullptr, nullptr},
        FrameCase{"01GT -32769 1200", kDefault, k23, nullptr, nullptr},
        FrameCase{"01GT 100 -1200", kDefault, k23, nullptr, nullptr},
        FrameCase{"01GT 100 0", kDefault, k23, nullptr, nullptr},
        FrameCase{"01GT 100", kDefault, k23, nullptr, nullptr},
        // Current as a count (upper-case I) or as a percentage of M (lower-case i).
        FrameCase{"01GI 100", kUpper, k23, "010C0000000032", nullptr},
        FrameCase{"01gI 300", kAsTyped, k23, "010C000000007F", nullptr},
        FrameCase{"01GI 1000", kUpper, k23, nullptr, nullptr},
        FrameCase{"01GI 50", kDefault, k23, "010C0000000040", nullptr},
        FrameCase{"01Gi 200", kAsTyped, k23, "010C0000000080", nullptr},
        FrameCase{"01gi 0", kDefault, k23, "010C0000000000", nullptr},
        FrameCase{"01gi x", kDefault, k23, nullptr, nullptr},
        FrameCase{"01gi 50", kDefault, k34, "012A4000000000", nullptr},
        FrameCase{"01gi 5000", kDefault, k34, nullptr, nullptr},
        // End sensors: both, or S or R alone.
        FrameCase{"01MB", kDefault, k23, "01030000000009", nullptr},
        FrameCase{"01MB S", kDefault, k23, "01030000000008", nullptr},
        FrameCase{"01mbr", kDefault, k23, "01030000000001", nullptr},
        FrameCase{"01MB X", kDefault, k23, nullptr, nullptr},
        FrameCase{"01MB SR", kDefault, k23, nullptr, nullptr},
        FrameCase{"01MR", kDefault, k23, "01000000000000", nullptr},
        FrameCase{"01MR z", kDefault, k23, "01010000000000", nullptr},
        FrameCase{"01MR A", kDefault, k23, nullptr, nullptr},
        FrameCase{"01MS N", kDefault, k23, "01020000000000", nullptr},
        FrameCase{"01mss", kDefault, k23, "01020000000001", nullptr},
        FrameCase{"01MS", kDefault, k23, nullptr, nullptr},
        FrameCase{"01MS A", kDefault, k23, nullptr, nullptr},
        FrameCase{"01MZ I", kDefault, k23, "01070000000000", nullptr},
        FrameCase{"01MZ A", kDefault, k23, "01070000000001", nullptr},
        FrameCase{"01MZ", kDefault, k23, nullptr, nullptr},
        // Start speed: halve(k 2e6 / (S1 S2 w)) within 1-255.
        FrameCase{"01WL 20", kDefault, k23, "010E0000004B00", nullptr},
        FrameCase{"01WL 20", kDefault, k34, "010E0000000F00", nullptr},
        FrameCase{"01WL 11", kDefault, k23, "010E0000008800", nullptr},
        FrameCase{"01WL 5", kDefault, k23, nullptr, nullptr},
        FrameCase{"01WL 3001", kDefault, k23, nullptr, nullptr},
        FrameCase{"01WL 0", kDefault, k23, nullptr, nullptr},
        FrameCase{"01WL -20", kDefault, k23, nullptr, nullptr},
        FrameCase{"01WL 20", kUpper, k23, "010E0000001900", nullptr},
        // High speed and ramp: two frames.
        FrameCase{"01WX 1200 500", kDefault, k23, "010D00000007D0", "010F0000000008"},
        FrameCase{"01wx  1200\t500", kDefault, k23, "010D00000007D0", "010F0000000008"},
        FrameCase{"01WX 1200 0", kDefault, k23, "010D00000007D0", "010F0000000000"},
        FrameCase{"01WX 1200 100000", kDefault, k23, nullptr, nullptr},
        FrameCase{"01WX 0 500", kDefault, k23, nullptr, nullptr},
        FrameCase{"01WX 1200", kDefault, k23, nullptr, nullptr},
        FrameCase{"01WX 1200 5 6", kDefault, k23, nullptr, nullptr},
        // Addresses: two digits read as hexadecimal, 00-7F; none means every module.
        FrameCase{"GS", kDefault, k23, "FF180000000000", nullptr},
        FrameCase{"7FGS", kDefault, k23, "7F180000000000", nullptr},
        FrameCase{"0aGS", kDefault, k23, "0A180000000000", nullptr},
        FrameCase{"01GS ; stop now", kDefault, k23, "01180000000000", nullptr},
        FrameCase{"01GS \t", kDefault, k23, "01180000000000", nullptr},
        FrameCase{"01GS\r", kDefault, k23, "01180000000000", nullptr},
        FrameCase{"01 GS", kDefault, k23, nullptr, nullptr},
        FrameCase{"0GGS", kDefault, k23, nullptr, nullptr},
        FrameCase{"01G", kDefault, k23, nullptr, nullptr},
        FrameCase{"01", kDefault, k23, nullptr, nullptr},
        FrameCase{"1G", kDefault, k23, nullptr, nullptr},
        FrameCase{"0", kDefault, k23, nullptr, nullptr},
        FrameCase{"G", kDefault, k23, nullptr, nullptr},
        FrameCase{"8GS", kDefault, k23, nullptr, nullptr},
        FrameCase{"01ZZ", kDefault, k23, nullptr, nullptr},
        FrameCase{"01QS", kDefault, k23, nullptr, nullptr}),
    [](const auto& param) { return std::to_string(param.index); });

struct FlagCase {
    const char* command;
    int letterCase;
    bool lowerCaseReply;
    int unitFactor;
};

class ReplyFlags : public ::testing::TestWithParam<FlagCase> {};

TEST_P(ReplyFlags, FollowTheLetterCaseRule) {
    const Translation t = translateOnce(GetParam().command, GetParam().letterCase, k23);
    ASSERT_EQ(t.kind, Kind::Frames);
    EXPECT_EQ(t.lowerCaseReply, GetParam().lowerCaseReply);
    EXPECT_EQ(t.unitFactor, GetParam().unitFactor);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplyFlags,
    ::testing::Values(FlagCase{"01QP", kDefault, true, 3}, FlagCase{"01QP", kLower, true, 3},
                      FlagCase{"01qp", kUpper, false, 1}, FlagCase{"01qP", kAsTyped, true, 1},
                      FlagCase{"01Rl", kAsTyped, false, 3}, FlagCase{"01GS", kDefault, false, 3},
                      FlagCase{"01GS", kAsTyped, false, 1}));

struct OtherCase {
    const char* command;
    Kind kind;
    const char* text; ///< the plain text sent
    uint8_t byte;     ///< the single byte sent
    bool read;
};

class NotTranslated : public ::testing::TestWithParam<OtherCase> {};

TEST_P(NotTranslated, SentAsTextAsAByteOrNotAtAll) {
    const OtherCase& c = GetParam();
    const Translation t = translateOnce(c.command, kDefault, k23);
    ASSERT_EQ(t.kind, c.kind);
    if (c.kind == Kind::PlainText) {
        EXPECT_EQ(t.frames[0], c.text);
        EXPECT_TRUE(t.frames[1].empty());
        EXPECT_EQ(t.reads[0], c.read);
    }
    if (c.kind == Kind::SingleByte) {
        EXPECT_EQ(t.singleByte, c.byte);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, NotTranslated,
    ::testing::Values(OtherCase{"SO", Kind::SingleByte, nullptr, 0x0E, false},
                      OtherCase{"so", Kind::SingleByte, nullptr, 0x0E, false},
                      OtherCase{"Si", Kind::SingleByte, nullptr, 0x0F, false},
                      OtherCase{"SOME", Kind::SingleByte, nullptr, 0x0E, false},
                      OtherCase{"\x05"
                                "01GS",
                                Kind::SingleByte, nullptr, 0x05, false},
                      OtherCase{"\x1b", Kind::SingleByte, nullptr, 0x1B, false},
                      OtherCase{"01 18 0000 0000\t00", Kind::PlainText, "01180000000000", 0, false},
                      OtherCase{"7f2a4000000000", Kind::PlainText, "7F2A4000000000", 0, true},
                      OtherCase{"01 2", Kind::PlainText, "012", 0, false},
                      OtherCase{"f set 1", Kind::PlainText, "FSET1", 0, false},
                      OtherCase{"F", Kind::PlainText, "F", 0, false},
                      OtherCase{"0120000000000 ; read", Kind::PlainText, "0120000000000", 0, true},
                      OtherCase{"010\x01", Kind::Rejected, nullptr, 0, false},
                      OtherCase{"   ", Kind::Nothing, nullptr, 0, false},
                      OtherCase{" \t ; only a comment", Kind::Nothing, nullptr, 0, false}));

TEST(PlainText, ControlCharactersOnlyWhenAllowed) {
    kv::AllowedControls allowed;
    allowed.assign("01 7");
    FrameState state;
    const Translation t = translate("010\x01\x07", kDefault, k23, state, allowed);
    ASSERT_EQ(t.kind, Kind::PlainText);
    EXPECT_EQ(t.frames[0], "010\x01\x07");
    EXPECT_EQ(translate("010\x02", kDefault, k23, state, allowed).kind, Kind::Rejected);
}

TEST(Reads, AreTheFramesThatExpectAnswers) {
    EXPECT_FALSE(translateOnce("01GS", kDefault, k23).reads[0]);
    EXPECT_FALSE(translateOnce("SY", kDefault, k23).reads[0]);
    const Translation b = translateOnce("QB", kDefault, k23);
    EXPECT_TRUE(b.reads[0]);
    EXPECT_TRUE(b.reads[1]);
    const Translation x = translateOnce("01WX 1200 500", kDefault, k23);
    EXPECT_FALSE(x.reads[0]);
    EXPECT_FALSE(x.reads[1]);
}

std::vector<std::string> identitySteps(Model model, FrameState& state) {
    std::vector<std::string> frames;
    do {
        const Translation t = translate("01QV", kDefault, model, state, {});
        EXPECT_EQ(t.kind, Kind::Frames);
        EXPECT_TRUE(t.reads[0]);
        frames.push_back(t.frames[0]);
    } while (state.step != Step::Idle && frames.size() < 100);
    return frames;
}

std::vector<std::string> memoryFrames(unsigned from, unsigned to) {
    std::vector<std::string> frames;
    for (unsigned cell = from; cell <= to; cell += 4) {
        char text[16];
        std::snprintf(text, sizeof text, "01%04X00000000", cell);
        frames.emplace_back(text);
    }
    return frames;
}

TEST(IdentityRead, SixteenStepsThenTheClosingFrameOnAVrx23) {
    FrameState state;
    auto expected = memoryFrames(0x2900, 0x293C);
    expected.emplace_back("01240000000000");
    EXPECT_EQ(identitySteps(k23, state), expected);
    EXPECT_EQ(state.step, Step::Idle);
}

TEST(IdentityRead, ThirtyTwoStepsThenTheClosingFrameOnAVrx34) {
    FrameState state;
    auto expected = memoryFrames(0x2900, 0x293C);
    const auto second = memoryFrames(0x2A00, 0x2A3C);
    expected.insert(expected.end(), second.begin(), second.end());
    expected.emplace_back("01240000000000");
    EXPECT_EQ(identitySteps(k34, state), expected);
}

TEST(MaxCurrent, ReadFirstOnAVrx34ThenUsed) {
    FrameState state;
    Translation t = translate("01gi 50", kDefault, k34, state, {});
    ASSERT_EQ(t.kind, Kind::Frames);
    EXPECT_EQ(t.frames[0], "012A4000000000");
    EXPECT_TRUE(t.reads[0]);
    EXPECT_EQ(state.step, Step::MaxCurrent);
    state.maxCurrent = 0x80; // as the module answered
    t = translate("01gi 50", kDefault, k34, state, {});
    EXPECT_EQ(t.frames[0], "010C0000000020"); // halve(128 * 50 / 100)
    EXPECT_EQ(state.step, Step::Idle);
}

TEST(MaxCurrent, ReadFirstForALowerCaseSettingsRead) {
    FrameState state;
    EXPECT_EQ(translate("01ql", kDefault, k34, state, {}).frames[0], "012A4000000000");
    const Translation t = translate("01ql", kDefault, k34, state, {});
    EXPECT_EQ(t.frames[0], "01250000000000");
    EXPECT_EQ(t.frames[1], "01260000000000");
    EXPECT_EQ(state.step, Step::Idle);
}

TEST(MaxCurrent, AVrx23UsesTheFullScale) {
    FrameState state;
    state.maxCurrent = 0x80; // left by a VRX34 of the same line
    const Translation t = translate("01gi 50", kDefault, k23, state, {});
    EXPECT_EQ(t.frames[0], "010C0000000040");
    EXPECT_EQ(state.maxCurrent, kDefaultMaxCurrent);
}

TEST(MaxCurrent, ARejectedValueLeavesTheStateAlone) {
    FrameState state;
    EXPECT_EQ(translate("01gi 1234", kDefault, k34, state, {}).kind, Kind::Rejected);
    EXPECT_EQ(state.step, Step::Idle);
}

TEST(Halve, RoundsOddValuesUp) {
    const std::pair<int64_t, int64_t> cases[] = {{0, 0},       {1, 1},       {2, 1},         {3, 2},
                                                 {4000, 2000}, {4001, 2001}, {131071, 65536}};
    for (const auto& [x, half] : cases) {
        EXPECT_EQ(halve(x), half) << x;
    }
}

TEST(Framing, LengthTextAndChecksum) {
    const kv::PreparedFrame f = framed("01180000000000", false);
    EXPECT_EQ(std::string(f.bytes.begin(), f.bytes.end()),
              std::string("\x02") + "01401180000000000AA" + "\x03");
    EXPECT_FALSE(f.replyExpected);
    EXPECT_TRUE(framed("01200000000000", true).replyExpected);
}

} // namespace
} // namespace linkor::vrx
