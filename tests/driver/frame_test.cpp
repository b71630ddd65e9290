// What a command text becomes on the wire.
#include "kv/kv_bytes.h"
#include "kv/kv_frame.h"
#include "kv/kv_types.h"
#include "linkor_status.h"
#include "support/wire_frames.h"

#include <gtest/gtest.h>

#include <string>

namespace linkor::kv {
namespace {

std::string framed(const std::string& text) {
    return support::kvFrame(text);
}

std::string asText(const std::vector<uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}

TEST(Frame, KnownFrameOfTheManual) {
    const auto frame = prepareFrame("01gs", kCaseDefault, kProtocolXon, {});
    ASSERT_EQ(frame.status, 0);
    EXPECT_EQ(asText(frame.bytes), std::string("\x02") + "00401GSFB" + "\x03");
}

struct FrameCase {
    const char* command;
    int letterCase;
    const char* text; // as framed; null when rejected
    bool replyExpected;
};

class FramePreparation : public ::testing::TestWithParam<FrameCase> {};

TEST_P(FramePreparation, TextCaseAndReplyFlag) {
    const FrameCase& c = GetParam();
    const auto frame = prepareFrame(c.command, c.letterCase, kProtocolAckNak, {});
    if (c.text == nullptr) {
        EXPECT_EQ(frame.status, LINKOR_COMMAND_REJECTED);
        EXPECT_TRUE(frame.bytes.empty());
        return;
    }
    ASSERT_EQ(frame.status, 0);
    EXPECT_EQ(asText(frame.bytes), framed(c.text));
    EXPECT_EQ(frame.replyExpected, c.replyExpected);
}

INSTANTIATE_TEST_SUITE_P(Commands, FramePreparation,
                         ::testing::Values(FrameCase{"01gs", kCaseAsTyped, "01gs", false},
                                           FrameCase{"01GS", kCaseLower, "01gs", false},
                                           FrameCase{"01gs", kCaseUpper, "01GS", false},
                                           FrameCase{"QS", kCaseDefault, "QS", true},
                                           FrameCase{"qs", kCaseDefault, "QS", true},
                                           FrameCase{"01MR,QS", kCaseDefault, "01MR,QS", true},
                                           FrameCase{"01MR, rd", kCaseDefault, "01MR, RD", true},
                                           FrameCase{"01MR", kCaseDefault, "01MR", false},
                                           FrameCase{"01GS ;comment", kCaseDefault, "01GS ", false},
                                           FrameCase{"01GS\rQS", kCaseDefault, "01GS", false},
                                           FrameCase{"01\tGS", kCaseDefault, "01 GS", false},
                                           FrameCase{"63GS", kCaseDefault, "63GS", false},
                                           FrameCase{"7A", kCaseDefault, "7A", false},
                                           FrameCase{"64GS", kCaseDefault, nullptr, false},
                                           FrameCase{"6", kCaseDefault, nullptr, false},
                                           FrameCase{"0XGS", kCaseDefault, nullptr, false},
                                           FrameCase{"01G\x01S", kCaseDefault, nullptr, false},
                                           FrameCase{"01G\xE9S", kCaseDefault, nullptr, false}));

TEST(Frame, BlanksOnlySendNothing) {
    for (const char* command : {"   ", "", "  ; only a comment"}) {
        const auto frame = prepareFrame(command, kCaseDefault, kProtocolXon, {});
        EXPECT_EQ(frame.status, 0) << command;
        EXPECT_TRUE(frame.nothingToSend) << command;
        EXPECT_TRUE(frame.bytes.empty()) << command;
    }
}

TEST(Frame, ConsoleModeIsTheTextAndACarriageReturn) {
    const auto frame = prepareFrame("01gs", kCaseDefault, kProtocolConsole, {});
    EXPECT_EQ(asText(frame.bytes), "01GS\r");
    EXPECT_EQ(asText(frame.text), "01GS");
}

TEST(Frame, AllowedControlCharactersPass) {
    AllowedControls allowed;
    allowed.assign("1b 0E");
    EXPECT_TRUE(allowed.contains(0x1B));
    EXPECT_TRUE(allowed.contains(0x0E));
    EXPECT_FALSE(allowed.contains(0x01));
    const auto frame = prepareFrame("01G\x1bS", kCaseDefault, kProtocolXon, allowed);
    ASSERT_EQ(frame.status, 0);
    EXPECT_EQ(asText(frame.bytes), framed("01G\x1bS"));
}

TEST(Frame, AllowedListEndsAtItsFirstZero) {
    AllowedControls allowed;
    allowed.assign("1B 00 0E");
    EXPECT_TRUE(allowed.contains(0x1B));
    EXPECT_FALSE(allowed.contains(0x0E));
    allowed.assign("");
    EXPECT_FALSE(allowed.contains(0x1B));
}

TEST(Frame, AllowedListHoldsAtMostFiftyEntries) {
    std::string text;
    for (int i = 1; i <= 60; ++i) {
        char entry[4];
        std::snprintf(entry, sizeof entry, "%02X ", i);
        text += entry;
    }
    AllowedControls allowed;
    allowed.assign(text);
    EXPECT_TRUE(allowed.contains(50));
    EXPECT_FALSE(allowed.contains(51));
}

TEST(Frame, LengthFieldBoundsTheText) {
    // Three decimal digits of length: 999 characters at most.
    const std::string longest(999, 'A');
    EXPECT_EQ(prepareFrame(longest, kCaseDefault, kProtocolXon, {}).status, 0);
    const std::string tooLong(1000, 'A');
    EXPECT_EQ(prepareFrame(tooLong, kCaseDefault, kProtocolXon, {}).status,
              LINKOR_COMMAND_REJECTED);
}

struct RawCase {
    const char* command;
    std::string bytes;
    bool replyExpected;
};

class RawPreparation : public ::testing::TestWithParam<RawCase> {};

TEST_P(RawPreparation, Escapes) {
    const auto frame = prepareRaw(GetParam().command);
    EXPECT_EQ(asText(frame.bytes), GetParam().bytes);
    EXPECT_EQ(frame.replyExpected, GetParam().replyExpected);
}

INSTANTIATE_TEST_SUITE_P(Commands, RawPreparation,
                         ::testing::Values(RawCase{"%0200401GSFB%03",
                                                   "\x02"
                                                   "00401GSFB\x03",
                                                   false},
                                           RawCase{"100%%", "100%", false},
                                           RawCase{"%1G", "%1G", false},
                                           RawCase{"%ff", "%ff", false},
                                           RawCase{"ab%", "ab%", false},
                                           RawCase{"%02001QS",
                                                   std::string("\x02"
                                                               "001QS"),
                                                   false},
                                           RawCase{"12345678Q", "12345678Q", true},
                                           RawCase{"12345678r", "12345678r", true},
                                           RawCase{"1234567Q", "1234567Q", false}));

} // namespace
} // namespace linkor::kv
