// Whole exchanges of the frame path over a scripted port: the frames on the wire, the
// multi-step reads, the single control bytes, and the attempts and their stop conditions.
#include "fake_port.h"
#include "kv/kv_types.h"
#include "kv_line/trilo.h"
#include "linkor_status.h"
#include "support/wire_frames.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace linkor {
namespace {

using test::bytesOf;
using test::FakePort;

const std::string ACK = "\x06", XOFF = "\x13", STX = "\x02", ETX = "\x03", SUB = "\x1a",
                  NAK = "\x15", ETB = "\x17";

/// A text in the KV framing, as a module writes it.
std::string wire(const std::string& text) {
    return support::kvFrame(text);
}

/// The text a frame carries, or empty when it is not a well-formed frame.
std::string textOf(const FakePort::Bytes& frame) {
    const std::string bytes(frame.begin(), frame.end());
    const size_t stx = bytes.find('\x02');
    if (stx == std::string::npos || bytes.size() < stx + 7) {
        return {};
    }
    const size_t length = std::stoul(bytes.substr(stx + 1, 3));
    return bytes.substr(stx + 4, length);
}

std::string hexOf(const std::string& four) {
    std::string out;
    for (unsigned char c : four) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02X", c);
        out += digits;
    }
    return out;
}

/// A module of the frame language at one address, played from the frame texts alone.
struct Module {
    std::string identity; ///< its memory: 64 characters, 128 on a VRX34
    std::string closing = "ABCD.105";
    unsigned maxCurrent = 0x80;
    std::map<std::string, std::string> answers; ///< by frame text
    std::vector<std::string> texts;             ///< every frame text heard
    /// Plays the bytes of the n-th frame (counted from 0) in place of the answer.
    std::map<size_t, std::string> faults;

    std::string answerTo(const std::string& text) {
        const std::string address = text.substr(0, 2);
        const unsigned cell = std::stoul(text.substr(2, 4), nullptr, 16);
        const unsigned function = cell >> 8;
        if (cell == 0x2A40) {
            char data[16];
            std::snprintf(data, sizeof data, "%02X000000", maxCurrent);
            return address + "A" + data;
        }
        if (function == 0x29 || function == 0x2A) {
            const size_t offset = (cell & 0xFF) + (function == 0x2A ? 64 : 0);
            return address + "9" + hexOf(identity.substr(offset, 4));
        }
        if (function == 0x24) {
            return address + "4" + closing;
        }
        const auto it = answers.find(text);
        return it == answers.end() ? std::string() : it->second;
    }

    FakePort::Bytes operator()(const FakePort::Bytes& frame) {
        const std::string text = textOf(frame);
        texts.push_back(text);
        const auto fault = faults.find(texts.size() - 1);
        if (fault != faults.end()) {
            return bytesOf(fault->second);
        }
        if (text.size() < 6) {
            return bytesOf(ACK + XOFF + SUB);
        }
        const std::string answer = answerTo(text);
        return bytesOf(ACK + XOFF + (answer.empty() ? "" : wire(answer)) + SUB);
    }
};

std::string identityOf(size_t size) {
    std::string text;
    for (size_t i = 0; text.size() < size; ++i) {
        text += static_cast<char>('A' + i % 26);
    }
    return text;
}

std::vector<std::string> memoryReads(unsigned from, unsigned to) {
    std::vector<std::string> texts;
    for (unsigned cell = from; cell <= to; cell += 4) {
        char text[16];
        std::snprintf(text, sizeof text, "01%04X00000000", cell);
        texts.emplace_back(text);
    }
    return texts;
}

class FramePath : public ::testing::Test {
  protected:
    void SetUp() override { open(kv::kTypeVrx23, kv::kProtocolXon); }

    void open(int type, int protocol) {
        auto port = std::make_unique<FakePort>();
        fake = port.get();
        line = std::make_unique<TTrilo>("COM4", std::move(port));
        ASSERT_EQ(line->initialise(9600, protocol), 0);
        line->settings().lineType = type;
        module = Module{};
        fake->responder = [this](const FakePort::Bytes& frame) { return module(frame); };
    }

    int32_t send(const char* command) { return line->dialogue(command, reply.data()); }

    FakePort* fake = nullptr;
    std::unique_ptr<TTrilo> line;
    Module module;
    std::array<char, 256> reply{};
};

TEST_F(FramePath, MnemonicGoesAsItsFrameInTheKvFraming) {
    EXPECT_EQ(send("01GS"), 0);
    EXPECT_EQ(fake->sent, bytesOf(STX + "01401180000000000AA" + ETX));
    EXPECT_STREQ(reply.data(), "");
    EXPECT_EQ(fake->rtsChanges, (std::vector<bool>{true, false}));
    EXPECT_GE(fake->purges, 1);
}

TEST_F(FramePath, ReadIsConvertedWithTheLetterCaseOfTheLine) {
    module.answers["01200000000000"] = "010FFFFFFFF";
    EXPECT_EQ(send("01QP"), 0);
    EXPECT_STREQ(reply.data(), "01ep -1");
    line->settings().letterCase = kv::kCaseUpper;
    EXPECT_EQ(send("01qp"), 0);
    EXPECT_STREQ(reply.data(), "01EP -1");
}

TEST_F(FramePath, TwoFrameReadCombinesBothAnswers) {
    module.answers["01230000000000"] = "0130000000A";
    module.answers["01220000000000"] = "012FFFFFFFB";
    EXPECT_EQ(send("01QB"), 0);
    EXPECT_EQ(module.texts, (std::vector<std::string>{"01230000000000", "01220000000000"}));
    EXPECT_STREQ(reply.data(), "01eb  bn:10 bp:-5");
}

TEST_F(FramePath, HighSpeedAndRampAreTwoFrames) {
    EXPECT_EQ(send("01WX 1200 500"), 0);
    EXPECT_EQ(module.texts, (std::vector<std::string>{"010D00000007D0", "010F0000000008"}));
}

TEST_F(FramePath, AFailedFirstFrameStopsTheCommand) {
    module.faults[0] = NAK + XOFF + SUB;
    EXPECT_EQ(send("01QB"), LINKOR_ANSWER_NAK);
    EXPECT_EQ(module.texts.size(), 1u);
    EXPECT_STREQ(reply.data(), "");
}

TEST_F(FramePath, LowerCaseSettingsReadOnAVrx34ReadsTheMaximumCurrentFirst) {
    open(kv::kTypeVrx34, kv::kProtocolXon);
    module.answers["01250000000000"] = "0154B0007D0";
    module.answers["01260000000000"] = "0161140090A";
    EXPECT_EQ(send("01ql"), 0);
    EXPECT_EQ(module.texts,
              (std::vector<std::string>{"012A4000000000", "01250000000000", "01260000000000"}));
    // GI in percent of the maximum current 0x80 the module told.
    EXPECT_STREQ(reply.data(), "01el  wl:4 wh:240 wt:1020 gi:100 dg:10 md:n mb ");
}

TEST_F(FramePath, UpperCaseSettingsReadNeedsNoMaximumCurrent) {
    open(kv::kTypeVrx34, kv::kProtocolXon);
    line->settings().letterCase = kv::kCaseUpper;
    module.answers["01250000000000"] = "0154B0007D0";
    module.answers["01260000000000"] = "0161140090A";
    EXPECT_EQ(send("01QL"), 0);
    EXPECT_EQ(module.texts, (std::vector<std::string>{"01250000000000", "01260000000000"}));
    EXPECT_STREQ(reply.data(), "01EL  WL:1 WH:80 WT:1020 GI:128 DG:10 MD:N MB ");
}

struct CurrentCase {
    int type;
    std::vector<std::string> texts;
};

class CurrentPercent : public FramePath, public ::testing::WithParamInterface<CurrentCase> {};

TEST_P(CurrentPercent, ScaledByTheMaximumCurrent) {
    open(GetParam().type, kv::kProtocolXon);
    EXPECT_EQ(send("01gi 50"), 0);
    EXPECT_EQ(module.texts, GetParam().texts);
}

INSTANTIATE_TEST_SUITE_P(Models, CurrentPercent,
                         ::testing::Values(CurrentCase{kv::kTypeVrx23, {"010C0000000040"}},
                                           CurrentCase{kv::kTypeVrx34,
                                                       {"012A4000000000", "010C0000000020"}}));

TEST_F(FramePath, IdentityOfAVrx23) {
    module.identity = identityOf(64);
    EXPECT_EQ(send("01QV"), 0);
    auto expected = memoryReads(0x2900, 0x293C);
    expected.emplace_back("01240000000000");
    EXPECT_EQ(module.texts, expected);
    EXPECT_EQ(std::string(reply.data()), "01ev ABCD.105 " + module.identity);
}

TEST_F(FramePath, IdentityOfAVrx34HasTwoBanks) {
    open(kv::kTypeVrx34, kv::kProtocolXon);
    module.identity = identityOf(128);
    line->settings().letterCase = kv::kCaseUpper;
    EXPECT_EQ(send("01RV"), 0);
    auto expected = memoryReads(0x2900, 0x293C);
    const auto second = memoryReads(0x2A00, 0x2A3C);
    expected.insert(expected.end(), second.begin(), second.end());
    expected.emplace_back("01240000000000");
    EXPECT_EQ(module.texts, expected);
    EXPECT_EQ(std::string(reply.data()),
              "01EV ABCD.105 " + module.identity.substr(0, 64) + " " + module.identity.substr(64));
}

TEST_F(FramePath, IdentityStartsOverWithEveryAttempt) {
    line->settings().retries = 1;
    module.identity = identityOf(64);
    module.faults[4] = NAK + XOFF + SUB;
    EXPECT_EQ(send("01QV"), 0);
    ASSERT_EQ(module.texts.size(), 5u + 17u);
    EXPECT_EQ(module.texts[5], "01290000000000");
    EXPECT_EQ(std::string(reply.data()), "01ev ABCD.105 " + module.identity);
}

TEST_F(FramePath, UnreadableIdentityStepEndsTheRead) {
    module.identity = identityOf(64);
    module.faults[2] = ACK + XOFF + wire("0192020") + SUB;
    EXPECT_EQ(send("01QV"), LINKOR_REPLY_UNCONVERTIBLE);
    EXPECT_EQ(module.texts.size(), 3u);
    EXPECT_STREQ(reply.data(), "");
}

TEST_F(FramePath, UnreadableMaximumCurrentEndsTheCommand) {
    open(kv::kTypeVrx34, kv::kProtocolXon);
    module.faults[0] = ACK + XOFF + wire("01AZZ000000") + SUB;
    EXPECT_EQ(send("01gi 50"), LINKOR_REPLY_UNCONVERTIBLE);
    EXPECT_EQ(module.texts, (std::vector<std::string>{"012A4000000000"}));
}

struct ByteCase {
    const char* command;
    uint8_t byte;
};

class SingleByte : public FramePath, public ::testing::WithParamInterface<ByteCase> {};

TEST_P(SingleByte, SentAloneWithoutAwaitingAnAnswer) {
    line->settings().retries = 2;
    EXPECT_EQ(send(GetParam().command), 0);
    EXPECT_EQ(fake->sent, FakePort::Bytes{GetParam().byte});
    EXPECT_TRUE(fake->readTimeouts.empty());
    EXPECT_EQ(fake->rtsChanges, (std::vector<bool>{true, false}));
    EXPECT_STREQ(reply.data(), "");
}

INSTANTIATE_TEST_SUITE_P(Commands, SingleByte,
                         ::testing::Values(ByteCase{"SO", 0x0E}, ByteCase{"si", 0x0F},
                                           ByteCase{"\x05", 0x05},
                                           ByteCase{"\x1b"
                                                    "01GS",
                                                    0x1B}));

TEST_F(FramePath, SingleByteSendFailureIsReported) {
    fake->failWrite = true;
    EXPECT_EQ(send("SO"), LINKOR_SEND_FAILED);
}

TEST_F(FramePath, RejectedCommandsAreNeverSentNorRetried) {
    line->settings().retries = 3;
    for (const char* command :
         {"01GF 0", "01GF 61539", "1G", "01ZZ", "01GS 1", "01WL 0", "01gi 1000", "01QV x"}) {
        EXPECT_EQ(send(command), LINKOR_COMMAND_REJECTED) << command;
    }
    EXPECT_TRUE(fake->sent.empty());
}

TEST_F(FramePath, BlankCommandSendsNothing) {
    EXPECT_EQ(send("   "), 0);
    EXPECT_TRUE(fake->sent.empty());
}

TEST_F(FramePath, UnconvertibleAnswerIsRetriedThenReported) {
    line->settings().retries = 2;
    module.answers["01200000000000"] = "010FFFFFFF"; // ten characters
    EXPECT_EQ(send("01QP"), LINKOR_REPLY_UNCONVERTIBLE);
    EXPECT_EQ(module.texts.size(), 3u);
    EXPECT_STREQ(reply.data(), "");
}

TEST_F(FramePath, NotExecutedStopsTheAttempts) {
    line->settings().retries = 2;
    module.faults[0] = ETB;
    EXPECT_EQ(send("01GS"), LINKOR_NOT_EXECUTED);
    EXPECT_EQ(module.texts.size(), 1u);
}

TEST_F(FramePath, ExchangeErrorsAreThoseOfTheFraming) {
    module.faults[0] = ACK + XOFF + STX + "01101200000000FF" + ETX + SUB;
    EXPECT_EQ(send("01QP"), LINKOR_REPLY_CHECKSUM);
    EXPECT_STREQ(reply.data(), "");
    module.faults[1] = ACK + XOFF + STX + std::string(250, '0') + ETX + SUB;
    EXPECT_EQ(send("01QP"), LINKOR_RECEIVE_FAILED);
    module.faults[2] = "";
    EXPECT_EQ(send("01QP"), LINKOR_RECEIVE_TIMEOUT);
}

TEST_F(FramePath, PlainTextGoesAsTextAndItsAnswerUnchanged) {
    module.answers["01200000000000"] = "010FFFFFFFF";
    EXPECT_EQ(send("01 20 0000 0000 00"), 0);
    EXPECT_EQ(module.texts, (std::vector<std::string>{"01200000000000"}));
    EXPECT_STREQ(reply.data(), "010FFFFFFFF");
}

TEST_F(FramePath, AckNakWritesEndAtTheAcknowledgementAndReadsAwaitTheirAnswer) {
    open(kv::kTypeVrx23, kv::kProtocolAckNak);
    fake->responder = [this](const FakePort::Bytes& frame) {
        module.texts.push_back(textOf(frame));
        return bytesOf(module.texts.back() == "01200000000000" ? ACK + wire("01000000010") : ACK);
    };
    EXPECT_EQ(send("01GS"), 0);
    EXPECT_EQ(send("01QP"), 0);
    EXPECT_STREQ(reply.data(), "01ep 16");
}

TEST_F(FramePath, AddressTypeChoosesTheFramePath) {
    open(kv::kTypeTrilo, kv::kProtocolXon);
    module.answers["05200000000000"] = "050000000FF";
    EXPECT_EQ(send("/VRX34=5/05QP"), 0);
    EXPECT_STREQ(reply.data(), "05ep 255");
    EXPECT_EQ(send("01GS"), 0);
    EXPECT_EQ(module.texts, (std::vector<std::string>{"05200000000000", "01GS"}));
}

TEST_F(FramePath, StopSequenceEndsWithTheFrameStops) {
    open(kv::kTypeTrilo, kv::kProtocolXon);
    EXPECT_EQ(send("/STOP/"), 0);
    ASSERT_GE(module.texts.size(), 2u);
    EXPECT_EQ(module.texts[module.texts.size() - 2], "FF180000000000");
    EXPECT_EQ(module.texts.back(), "FF1A0000000000");
}

TEST_F(FramePath, ReplyTimeOutOfOneCommandIsSpentByIt) {
    line->settings().waitReplyMs = 50;
    module.faults[0] = ACK;
    EXPECT_EQ(send("01QP"), LINKOR_RECEIVE_TIMEOUT);
    EXPECT_EQ(fake->readTimeouts.back(), std::chrono::milliseconds(50));
    EXPECT_EQ(line->settings().waitReplyMs, 0);
}

} // namespace
} // namespace linkor
