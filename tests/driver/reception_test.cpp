// The module's bytes as the reception state machine reads them, mode by mode.
#include "kv/kv_reception.h"
#include "kv/kv_types.h"
#include "linkor_status.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace linkor::kv {
namespace {

struct Outcome {
    int32_t status;
    std::string reply;
    uint8_t moduleStatus;
};

// Longest reply text a caller's buffer must take (written out here, not taken from the
// driver, so that a wrong bound there shows).
constexpr std::size_t kReplyLimit = 200;

/// Feeds the bytes; a reception still waiting afterwards meets a silent line.
Outcome receive(int protocol, bool replyExpected, const std::string& bytes, bool repair = false,
                const std::string& sent = "") {
    std::array<char, kReplyLimit + 1> reply{};
    reply.fill('#');
    Reception reception(protocol, replyExpected, repair, {sent.begin(), sent.end()}, reply.data());
    for (unsigned char byte : bytes) {
        if (reception.feed(byte)) {
            break;
        }
    }
    if (!reception.ended()) {
        reception.readTimedOut();
    }
    int32_t status = reception.status();
    if (reception.checkPending()) {
        const int32_t check = checkFramedReply(reply.data());
        if (status == LINKOR_OK) {
            status = check;
        }
    }
    return {status, reply.data(), reception.moduleStatus()};
}

const std::string ACK = "\x06", BEL = "\x07", NAK = "\x15", XOFF = "\x13", STX = "\x02",
                  ETX = "\x03", SUB = "\x1a", ETB = "\x17", CAN = "\x18";

struct Case {
    const char* name;
    int protocol;
    bool replyExpected;
    std::string bytes;
    int32_t status;
    const char* reply;
};

/// Test names from the cases' own names.
const auto caseName = [](const auto& param) { return std::string(param.param.name); };

class ReceptionCases : public ::testing::TestWithParam<Case> {};

TEST_P(ReceptionCases, StatusAndReply) {
    const Case& c = GetParam();
    const Outcome out = receive(c.protocol, c.replyExpected, c.bytes);
    EXPECT_EQ(out.status, c.status) << std::hex << out.status;
    EXPECT_EQ(out.reply, c.reply);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Xon, ReceptionCases, ::testing::Values(
    Case{"reply", kProtocolXon, true, ACK + XOFF + STX + "00512345FF" + ETX + SUB, 0, "12345"},
    Case{"noReply", kProtocolXon, false, ACK + XOFF + SUB, 0, ""},
    Case{"badChecksum", kProtocolXon, true, ACK + XOFF + STX + "00512345FE" + ETX + SUB, LINKOR_REPLY_CHECKSUM, "12345"},
    Case{"lowerCaseChecksum", kProtocolXon, true, ACK + XOFF + STX + "002zzf4" + ETX + SUB, 0, "zz"},
    Case{"badLength", kProtocolXon, true, ACK + XOFF + STX + "0051234" + ETX + SUB, LINKOR_REPLY_LENGTH, "0051234"},
    Case{"bellThenSilence", kProtocolXon, false, BEL, LINKOR_ANSWER_BEL, ""},
    Case{"bellAfterAck", kProtocolXon, false, ACK + BEL + SUB, LINKOR_XOFF_MISSING, ""},
    Case{"bellThenXoff", kProtocolXon, false, BEL + XOFF + SUB, LINKOR_ANSWER_BEL, ""},
    Case{"nak", kProtocolXon, false, NAK + XOFF + SUB, LINKOR_ANSWER_NAK, ""},
    Case{"xoffWithoutAck", kProtocolXon, false, XOFF + SUB, LINKOR_ACK_MISSING, ""},
    Case{"cancel", kProtocolXon, false, CAN + SUB, LINKOR_NOT_EXECUTED, ""},
    Case{"etbAtOnce", kProtocolXon, false, ETB, LINKOR_NOT_EXECUTED, ""},
    Case{"subAtOnce", kProtocolXon, false, SUB, LINKOR_ACK_MISSING, ""},
    Case{"noXoff", kProtocolXon, false, ACK + "x" + SUB, LINKOR_XOFF_MISSING, ""},
    Case{"subInsteadOfXoff", kProtocolXon, false, ACK + SUB, LINKOR_XOFF_MISSING, ""},
    Case{"cancelInsteadOfXoff", kProtocolXon, false, ACK + CAN + SUB, LINKOR_NOT_EXECUTED, ""},
    Case{"etbInsteadOfXoff", kProtocolXon, false, ACK + ETB, LINKOR_NOT_EXECUTED, ""},
    Case{"strayAfterXoff", kProtocolXon, false, ACK + XOFF + "zz" + SUB, LINKOR_XON_MISSING, ""},
    Case{"etbAfterXoff", kProtocolXon, false, ACK + XOFF + ETB, LINKOR_NOT_EXECUTED, ""},
    Case{"nulInReply", kProtocolXon, true, ACK + XOFF + STX + "0011" + std::string(1, '\0') + "31" + ETX + SUB, LINKOR_REPLY_NUL, "1"},
    Case{"subInsideReply", kProtocolXon, true, ACK + XOFF + STX + "0011" + SUB, LINKOR_RECEIVE_FAILED, "0011"},
    Case{"silentAfterAck", kProtocolXon, false, ACK, LINKOR_RECEIVE_TIMEOUT, ""},
    Case{"silent", kProtocolXon, false, "", LINKOR_RECEIVE_TIMEOUT, ""},
    Case{"tooMuchNoise", kProtocolXon, false, std::string(201, 'n'), LINKOR_ACK_MISSING, ""},
    Case{"noiseThenAck", kProtocolXon, false, std::string(200, 'n') + ACK + XOFF + SUB, 0, ""}), caseName);

INSTANTIATE_TEST_SUITE_P(AckNak, ReceptionCases, ::testing::Values(
    Case{"ackOnly", kProtocolAckNak, false, ACK, 0, ""},
    Case{"reply", kProtocolAckNak, true, ACK + STX + "00512345FF" + ETX, 0, "12345"},
    Case{"nak", kProtocolAckNak, false, NAK, LINKOR_ANSWER_NAK, ""},
    Case{"bell", kProtocolAckNak, false, BEL, LINKOR_ANSWER_BEL, ""},
    Case{"missingStx", kProtocolAckNak, true, ACK + "x00512345FF" + ETX, LINKOR_RECEIVE_FAILED, "12345"},
    Case{"silentAfterAck", kProtocolAckNak, true, ACK, LINKOR_RECEIVE_TIMEOUT, ""},
    Case{"tooMuchNoise", kProtocolAckNak, false, std::string(201, 'n'), LINKOR_ACK_MISSING, ""}), caseName);
// clang-format on

TEST(Reception, ModuleStatusByteIsKept) {
    const Outcome out = receive(kProtocolXon, false, "\x85" + SUB);
    EXPECT_EQ(out.status, 0);
    EXPECT_EQ(out.moduleStatus, 0x85);
}

TEST(Reception, RepairAcceptsXoffWithoutAck) {
    EXPECT_EQ(receive(kProtocolXon, false, XOFF + SUB, true).status, 0);
    EXPECT_EQ(receive(kProtocolXon, false, XOFF + SUB, false).status, LINKOR_ACK_MISSING);
}

TEST(Reception, ReplyLongerThanTwoHundredCharactersFails) {
    const std::string text(kReplyLimit + 10, '7');
    const Outcome out = receive(kProtocolXon, true, ACK + XOFF + STX + text + ETX + SUB);
    EXPECT_EQ(out.status, LINKOR_RECEIVE_FAILED);
    EXPECT_EQ(out.reply.size(), kReplyLimit);
}

struct ConsoleCase {
    const char* name;
    std::string bytes;
    int32_t status;
    const char* reply;
};

class ConsoleReception : public ::testing::TestWithParam<ConsoleCase> {};

TEST_P(ConsoleReception, StatusAndReply) {
    const ConsoleCase& c = GetParam();
    const Outcome out = receive(kProtocolConsole, true, c.bytes, false, "01QS");
    EXPECT_EQ(out.status, c.status) << std::hex << out.status;
    EXPECT_EQ(out.reply, c.reply);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Console, ConsoleReception, ::testing::Values(
    ConsoleCase{"echoAndReply", "01QS\r\r 1234\r\n>", 0, "1234"},
    ConsoleCase{"promptEndsReply", "01QS 1234>", 0, "1234"},
    ConsoleCase{"noEcho", " 1234\r\n>", 0, "1234"},
    ConsoleCase{"notExecuted", "01QS\r :!\r\n>", LINKOR_NOT_EXECUTED, ""},
    ConsoleCase{"notAcknowledged", "01QS\r :?\r\n>", LINKOR_ACK_MISSING, ""},
    ConsoleCase{"colonThenOther", "01QS\r :x", LINKOR_RECEIVE_TIMEOUT, ""},
    ConsoleCase{"wrongEcho", "01XS\r 1\r\n>", LINKOR_RECEIVE_FAILED, ""},
    ConsoleCase{"otherFirst", "x", LINKOR_ACK_MISSING, ""},
    ConsoleCase{"junkAfterEcho", "01QSx", LINKOR_ACK_MISSING, ""},
    ConsoleCase{"nulInReply", std::string("01QS 12") + '\0', LINKOR_RECEIVE_FAILED, "12"},
    ConsoleCase{"noPrompt", "01QS 12\r\n", LINKOR_RECEIVE_TIMEOUT, "12"}), caseName);
// clang-format on

} // namespace
} // namespace linkor::kv
