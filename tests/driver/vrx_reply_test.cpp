// What the answers of a VRX23 or VRX34 module become for the caller, and how the steps
// of a multi-step read are taken in.
#include "frame/vrx_reply.h"
#include "kv/kv_reception.h"
#include "linkor_status.h"

#include <gtest/gtest.h>

#include <string>

namespace linkor::vrx {
namespace {

struct ReplyCase {
    const char* name;
    std::string first;
    std::string second;
    bool lowerCase;
    int k;
    Model model;
    unsigned maxCurrent;
    const char* text; ///< null: does not convert
};

class Conversion : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(Conversion, TextOrUnconvertible) {
    const ReplyCase& c = GetParam();
    ReplyContext context;
    context.lowerCaseReply = c.lowerCase;
    context.unitFactor = c.k;
    context.model = c.model;
    context.maxCurrent = c.maxCurrent;
    std::string out = "left over";
    const int32_t status = convertReply(c.first, c.second, context, out);
    if (c.text == nullptr) {
        EXPECT_EQ(status, LINKOR_REPLY_UNCONVERTIBLE);
        EXPECT_EQ(out, "");
        return;
    }
    EXPECT_EQ(status, LINKOR_OK);
    EXPECT_EQ(out, c.text);
}

constexpr Model k23 = Model::Vrx23;
constexpr Model k34 = Model::Vrx34;
constexpr unsigned kFull = kDefaultMaxCurrent;

// The settings read used below: r1 = 0x4B, r2 = 0x07D0; a = 0x11, b = 0x40, c, d, e = 0x0A.
const std::string kSettings = "0154B0007D0";
const std::string kSettingsBoth = "0161140090A";

INSTANTIATE_TEST_SUITE_P(
    Answers, Conversion,
    ::testing::Values(
        ReplyCase{"empty", "", "", true, 3, k23, kFull, ""},
        ReplyCase{"position", "010FFFFFFFF", "", false, 3, k23, kFull, "01EP -1"},
        ReplyCase{"positionLower", "010FFFFFFFF", "", true, 3, k23, kFull, "01ep -1"},
        ReplyCase{"positionLarge", "7F07FFFFFFF", "", false, 3, k23, kFull, "7FEP 2147483647"},
        ReplyCase{"positionLowerHex", "0a00000ff00", "", false, 3, k23, kFull, "0aEP 65280"},
        ReplyCase{"status", "011000A00FF", "", false, 3, k23, kFull, "01EX 000A00FF"},
        ReplyCase{"statusLower", "011000A00FF", "", true, 3, k23, kFull, "01ex 000A00FF"},
        ReplyCase{"inputs", "017ABCDEF12", "", false, 3, k23, kFull, "01EA ABCDEF12"},
        ReplyCase{"fault", "01B00000010", "", false, 3, k23, kFull, "01EF 16"},
        ReplyCase{"faultLowerKind", "01bFFFFFFFE", "", true, 3, k23, kFull, "01ef -2"},
        ReplyCase{"limits", "0130000000A", "012FFFFFFFB", false, 3, k23, kFull,
                  "01EB  BN:10 BP:-5"},
        ReplyCase{"limitsLower", "0130000000A", "01200000005", true, 3, k23, kFull,
                  "01eb  bn:10 bp:5"},
        ReplyCase{"limitsOtherAddress", "0130000000A", "02200000005", false, 3, k23, kFull,
                  nullptr},
        ReplyCase{"limitsOtherKind", "0130000000A", "01300000005", false, 3, k23, kFull, nullptr},
        ReplyCase{"limitsNoSecond", "0130000000A", "", false, 3, k23, kFull, nullptr},
        ReplyCase{"limitsShortSecond", "0130000000A", "0120000005", false, 3, k23, kFull, nullptr},
        ReplyCase{"limitsBadSecond", "0130000000A", "012000000X5", false, 3, k23, kFull, nullptr},
        ReplyCase{"identity", "014ABCD.105", "VRX23 1.05", true, 3, k23, kFull,
                  "01ev ABCD.105 VRX23 1.05"},
        // WL = halve(6e6 / (10 200 75)), WH = halve(48e6 / (10 2000)),
        // WT = halve(17 2000 120 0.0005), GI = 2 64 or halve(2 64 200 / M).
        ReplyCase{"settings", kSettings, kSettingsBoth, false, 3, k23, kFull,
                  "01EL  WL:20 WH:1200 WT:1020 GI:128 DG:10 MD:N MB "},
        ReplyCase{"settingsLower", kSettings, kSettingsBoth, true, 3, k23, kFull,
                  "01el  wl:20 wh:1200 wt:1020 gi:50 dg:10 md:n mb "},
        ReplyCase{"settingsUnitOne", kSettings, kSettingsBoth, false, 1, k23, kFull,
                  "01EL  WL:7 WH:400 WT:1020 GI:128 DG:10 MD:N MB "},
        ReplyCase{"settingsVrx34", kSettings, kSettingsBoth, true, 3, k34, 0x80,
                  "01el  wl:4 wh:240 wt:1020 gi:100 dg:10 md:n mb "},
        ReplyCase{"settingsStandbyR", kSettings, "0161140110A", false, 3, k23, kFull,
                  "01EL  WL:20 WH:1200 WT:1020 GI:128 DG:10 MD:S MBR"},
        ReplyCase{"settingsS", kSettings, "0161140080A", true, 3, k23, kFull,
                  "01el  wl:20 wh:1200 wt:1020 gi:50 dg:10 md:n mbs"},
        ReplyCase{"settingsNone", kSettings, "0161140000A", false, 3, k23, kFull,
                  "01EL  WL:20 WH:1200 WT:1020 GI:128 DG:10 MD:N MN "},
        ReplyCase{"settingsStandbyNone", kSettings, "0161140730A", true, 3, k23, kFull,
                  "01el  wl:20 wh:1200 wt:1020 gi:50 dg:10 md:s mn "},
        ReplyCase{"settingsNoSecond", kSettings, "", false, 3, k23, kFull, nullptr},
        ReplyCase{"settingsLongSecond", kSettings, "0161140090A0", false, 3, k23, kFull, nullptr},
        ReplyCase{"settingsHexDigit", kSettings, "01611400A0A", false, 3, k23, kFull, nullptr},
        ReplyCase{"settingsGarbage", "0154B0007G0", kSettingsBoth, false, 3, k23, kFull, nullptr},
        ReplyCase{"settingsZeroStart", "015000007D0", kSettingsBoth, false, 3, k23, kFull, nullptr},
        ReplyCase{"settingsZeroPeriod", "0154B000000", kSettingsBoth, false, 3, k23, kFull,
                  nullptr},
        ReplyCase{"settingsZeroMaxCurrent", kSettings, kSettingsBoth, true, 3, k34, 0, nullptr},
        ReplyCase{"unknownKind", "01200000000", "", false, 3, k23, kFull, nullptr},
        ReplyCase{"unknownKindLetter", "01Z00000000", "", false, 3, k23, kFull, nullptr},
        ReplyCase{"elevenCharacters", "010FFFFFFFF", "", false, 3, k23, kFull,
                  "01EP -1"}, // the eleven-character control case of the next two
        ReplyCase{"short", "010FFFFFFF", "", true, 3, k23, kFull, nullptr},
        ReplyCase{"long", "010FFFFFFFF0", "", true, 3, k23, kFull, nullptr},
        ReplyCase{"garbageAddress", "0G0FFFFFFFF", "", false, 3, k23, kFull, nullptr},
        ReplyCase{"garbageData", "010FFFF FFF", "", false, 3, k23, kFull, nullptr},
        ReplyCase{"controlBytes", std::string("01\x01\x02\x03\x04\x05\x06\x07\x08\x09", 11), "",
                  false, 3, k23, kFull, nullptr}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(Conversion, PlainTextAnswersAreGivenBackUnchanged) {
    ReplyContext context;
    context.plainText = true;
    std::string out;
    EXPECT_EQ(convertReply("010FFFFFFFF", "", context, out), LINKOR_OK);
    EXPECT_EQ(out, "010FFFFFFFF");
}

TEST(Conversion, NeverLongerThanAReply) {
    ReplyContext context;
    std::string out;
    EXPECT_EQ(convertReply("014ABCD.105", std::string(300, 'x'), context, out),
              LINKOR_REPLY_UNCONVERTIBLE);
    EXPECT_EQ(out, "");
    // 200 characters at most: the eleven of the frame reply and the text after them.
    EXPECT_EQ(convertReply("014ABCD.105", std::string(200 - 14, 'x'), context, out), LINKOR_OK);
    EXPECT_EQ(out.size(), 200U);
}

TEST(Continue, MaxCurrentFromTheTwoDigitsAfterTheKind) {
    FrameState state;
    state.step = Step::MaxCurrent;
    std::string identity;
    EXPECT_TRUE(continueRead(state, "01A80FFFFFF", identity));
    EXPECT_EQ(state.maxCurrent, 0x80u);
    EXPECT_EQ(identity, "");
    EXPECT_FALSE(continueRead(state, "01AG0FFFFFF", identity));
    EXPECT_FALSE(continueRead(state, "01A8", identity));
    EXPECT_EQ(state.maxCurrent, 0x80u);
}

TEST(Continue, FourIdentityCharactersPerStep) {
    FrameState state;
    state.step = Step::IdentityFirst;
    std::string identity;
    EXPECT_TRUE(continueRead(state, "01956525832", identity));
    EXPECT_TRUE(continueRead(state, "01933202020", identity));
    EXPECT_EQ(identity, "VRX23   ");
}

TEST(Continue, ABlankBetweenTheTwoBanks) {
    FrameState state;
    state.step = Step::IdentitySecond;
    std::string identity(64, 'a');
    EXPECT_TRUE(continueRead(state, "01941424344", identity));
    EXPECT_TRUE(continueRead(state, "01945464748", identity));
    EXPECT_EQ(identity, std::string(64, 'a') + " ABCDEFGH");
}

TEST(Continue, UnreadableStepsAreRefused) {
    FrameState state;
    state.step = Step::IdentityFirst;
    std::string identity = "keep";
    for (const char* answer : {"", "0195652583", "019565258320", "0195652583Z", "ZZ956525832"}) {
        EXPECT_FALSE(continueRead(state, answer, identity)) << answer;
    }
    EXPECT_EQ(identity, "keep");
}

} // namespace
} // namespace linkor::vrx
