// Whole exchanges of a line over a scripted port: retries, stop conditions, the
// acknowledgement of replies, time-outs and raw commands.
#include "fake_port.h"
#include "kv/kv_types.h"
#include "kv_line/trilo.h"
#include "linkor_status.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace linkor {
namespace {

using namespace std::chrono_literals;
using test::bytesOf;
using test::FakePort;

const std::string ACK = "\x06", XOFF = "\x13", STX = "\x02", ETX = "\x03", SUB = "\x1a",
                  NAK = "\x15", ETB = "\x17";

class Exchange : public ::testing::Test {
  protected:
    void SetUp() override { open(9600, kv::kProtocolXon); }

    void open(int baud, int protocol) {
        auto port = std::make_unique<FakePort>();
        fake = port.get();
        line = std::make_unique<TTrilo>("COM4", std::move(port));
        ASSERT_EQ(line->initialise(baud, protocol), 0);
    }

    void answerWith(const std::string& bytes) {
        fake->responder = [bytes](const FakePort::Bytes&) { return bytesOf(bytes); };
    }

    int32_t send(const char* command) { return line->dialogue(command, reply.data()); }

    FakePort* fake = nullptr;
    std::unique_ptr<TTrilo> line;
    std::array<char, 256> reply{};
};

TEST_F(Exchange, XonReplyIsCheckedAndStripped) {
    answerWith(ACK + XOFF + STX + "00512345FF" + ETX + SUB);
    EXPECT_EQ(send("01qs"), 0);
    EXPECT_STREQ(reply.data(), "12345");
    ASSERT_EQ(fake->frames.size(), 1u);
    EXPECT_EQ(fake->frames[0], bytesOf(STX + "00401QS" + "05" + ETX));
    // RTS is raised for the transmission and dropped after it.
    EXPECT_EQ(fake->rtsChanges, (std::vector<bool>{true, false}));
    EXPECT_GE(fake->purges, 1);
}

TEST_F(Exchange, RetriesUntilSuccessThenStops) {
    line->settings().retries = 2;
    int calls = 0;
    fake->responder = [&calls](const FakePort::Bytes&) {
        return bytesOf(++calls < 2 ? NAK + XOFF + SUB : ACK + XOFF + SUB);
    };
    EXPECT_EQ(send("01GS"), 0);
    EXPECT_EQ(fake->frames.size(), 2u);
}

struct RetryCase {
    const char* name;
    int protocol;
    std::string answer;
    int32_t status;
    size_t sends; // with REPETE 2
};

class Retries : public Exchange, public ::testing::WithParamInterface<RetryCase> {};

TEST_P(Retries, AttemptsAndResult) {
    open(9600, GetParam().protocol);
    line->settings().retries = 2;
    answerWith(GetParam().answer);
    EXPECT_EQ(send("01GS"), GetParam().status);
    EXPECT_EQ(fake->frames.size(), GetParam().sends);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, Retries,
    ::testing::Values(RetryCase{"nak", kv::kProtocolAckNak, NAK, LINKOR_ANSWER_NAK, 3},
                      RetryCase{"silence", kv::kProtocolAckNak, "", LINKOR_RECEIVE_TIMEOUT, 3},
                      RetryCase{"notExecuted", kv::kProtocolXon, ETB, LINKOR_NOT_EXECUTED, 1},
                      RetryCase{"consoleNotExecuted", kv::kProtocolConsole, "01GS\r :!\r\n>",
                                LINKOR_NOT_EXECUTED, 1},
                      RetryCase{"success", kv::kProtocolAckNak, ACK, 0, 1}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(Exchange, RejectedCommandIsNeverSentNorRetried) {
    line->settings().retries = 3;
    answerWith(ACK + XOFF + SUB);
    EXPECT_EQ(send("64GS"), LINKOR_COMMAND_REJECTED);
    EXPECT_TRUE(fake->sent.empty());
}

TEST_F(Exchange, BlankCommandSendsNothing) {
    EXPECT_EQ(send("    "), 0);
    EXPECT_TRUE(fake->sent.empty());
    EXPECT_STREQ(reply.data(), "");
}

TEST_F(Exchange, TriloModuleReplyIsAcknowledged) {
    line->settings().lineType = kv::kTypeTrilo;
    answerWith(ACK + XOFF + STX + "00512345FF" + ETX + SUB);
    EXPECT_EQ(send("01QS"), 0);
    EXPECT_EQ(fake->priority, bytesOf(ACK));
    // RTS stays raised after the acknowledgement.
    EXPECT_EQ(fake->rtsChanges, (std::vector<bool>{true, false, true}));
    EXPECT_TRUE(line->acknowledged());
}

TEST_F(Exchange, AddressTypeOverridesTheLineType) {
    line->settings().addressTypes[7] = kv::kTypeTrilo;
    answerWith(ACK + XOFF + STX + "00512345FF" + ETX + SUB);
    EXPECT_EQ(send("01QS"), 0);
    EXPECT_TRUE(fake->priority.empty()) << "address 01 has the line's type";
    EXPECT_EQ(send("07QS"), 0);
    EXPECT_EQ(fake->priority, bytesOf(ACK));
}

TEST_F(Exchange, OtherTypesAreNotAcknowledged) {
    answerWith(ACK + XOFF + STX + "00512345FF" + ETX + SUB);
    EXPECT_EQ(send("01QS"), 0);
    EXPECT_TRUE(fake->priority.empty());
}

TEST_F(Exchange, ModuleStatusByteIsKept) {
    answerWith("\xC3" + SUB);
    EXPECT_EQ(send("01GS"), 0);
    EXPECT_EQ(line->moduleStatus(), 0xC3);
}

TEST_F(Exchange, ConsoleReply) {
    open(9600, kv::kProtocolConsole);
    answerWith("01QS\r\r 1234\r\n>");
    EXPECT_EQ(send("01qs"), 0);
    EXPECT_STREQ(reply.data(), "1234");
    EXPECT_EQ(fake->frames.at(0), bytesOf("01QS\r"));
}

TEST_F(Exchange, RawCommandGoesAsWritten) {
    line->settings().raw = true;
    answerWith(ACK + XOFF + SUB);
    EXPECT_EQ(send("%02"
                   "00401GSFB%03"),
              0);
    EXPECT_EQ(fake->sent, bytesOf(STX + "00401GSFB" + ETX));
}

TEST_F(Exchange, SendFailures) {
    fake->failWrite = true;
    EXPECT_EQ(send("01GS"), LINKOR_SEND_FAILED);
    fake->failWrite = false;
    fake->shortWrite = true;
    EXPECT_EQ(send("01GS"), LINKOR_SEND_SHORT);
}

TEST_F(Exchange, ReadFailureEndsTheReception) {
    fake->failRead = true;
    EXPECT_EQ(send("01GS"), LINKOR_RECEIVE_FAILED);
}

struct TimeoutCase {
    int baud;
    int waitAckMs;
    std::chrono::milliseconds initial;
};

class InitialTimeout : public Exchange, public ::testing::WithParamInterface<TimeoutCase> {};

TEST_P(InitialTimeout, DependsOnTheBaudRate) {
    open(GetParam().baud, kv::kProtocolAckNak);
    line->settings().waitAckMs = GetParam().waitAckMs;
    EXPECT_EQ(send("01GS"), LINKOR_RECEIVE_TIMEOUT);
    ASSERT_FALSE(fake->readTimeouts.empty());
    EXPECT_EQ(fake->readTimeouts.front(), GetParam().initial);
}

INSTANTIATE_TEST_SUITE_P(Bauds, InitialTimeout,
                         ::testing::Values(TimeoutCase{9600, 0, 156ms},
                                           TimeoutCase{115200, 0, 20ms},
                                           TimeoutCase{4800, 0, 312ms}, TimeoutCase{300, 0, 312ms},
                                           TimeoutCase{9600, 40, 40ms}));

TEST_F(Exchange, ReplyTimeoutOfOneCommand) {
    fake->responder = [](const FakePort::Bytes&) { return bytesOf(ACK); };
    const auto replyWait = [this] {
        fake->readTimeouts.clear();
        EXPECT_EQ(send("01QS"), LINKOR_RECEIVE_TIMEOUT);
        return fake->readTimeouts.back();
    };
    EXPECT_EQ(replyWait(), 6000ms);
    line->settings().waitAllReplyMs = 800;
    EXPECT_EQ(replyWait(), 800ms);
    line->settings().waitReplyMs = 50;
    EXPECT_EQ(replyWait(), 50ms);
    EXPECT_EQ(replyWait(), 800ms) << "TWAITREP lasts one command";
}

TEST_F(Exchange, SuspendedLineFailsInSendingAndResumes) {
    answerWith(ACK + XOFF + SUB);
    EXPECT_EQ(line->suspend(), 0);
    EXPECT_FALSE(fake->isOpen());
    EXPECT_EQ(send("01GS"), LINKOR_SEND_FAILED);
    EXPECT_EQ(line->resume(), 0);
    EXPECT_TRUE(fake->isOpen());
    EXPECT_EQ(send("01GS"), 0);
}

} // namespace
} // namespace linkor
