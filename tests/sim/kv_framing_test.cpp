// The KV framing as the modules answer it: XON, ACK-NAK and console modes, the client's
// acknowledgement of a TRILO reply, multi-drop addressing and the line's speed.

#include "pty_client.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace simtest {
namespace {

TEST(TestHelper, FrameOfTheKnownExampleCommand) {
    // The command 01GS travels as STX "00401GSFB" ETX.
    EXPECT_EQ(kvFrame("01GS"), Bytes{STX} + bytes("00401GSFB") + Bytes{ETX});
    EXPECT_EQ(withCrc({0x01, 0x03, 0x00, 0x64, 0x00, 0x01}),
              (Bytes{0x01, 0x03, 0x00, 0x64, 0x00, 0x01, 0xC5, 0xD5}));
}

constexpr const char* kModesLine = R"(
01 TRILO type=0x0205 protocol=xon     baud=9600
02 TRILO type=0x0205 protocol=acknak  baud=9600
03 TRILO type=0x0205 protocol=console baud=9600
)";

struct ModeCase {
    const char* name;
    Bytes request;
    Bytes expected;
};

void PrintTo(const ModeCase& c, std::ostream* os) {
    *os << c.name;
}

// The XON module 01's answer to 01QX: the marker that ends a wait for silence.
const Bytes kXonStatusOf01 = Bytes{ACK, XOFF} + kvFrame("01X 00") + Bytes{SUB};

class ModesTest : public ::testing::TestWithParam<ModeCase> {};

TEST_P(ModesTest, AnswerBytes) {
    LineFixture f(kModesLine);
    PtyClient c(f.port(), 9600);
    const ModeCase& tc = GetParam();
    if (tc.expected.empty()) {
        EXPECT_EQ(hex(c.answerBefore(tc.request, kvFrame("01QX"), kXonStatusOf01)), "") << tc.name;
        return;
    }
    const Bytes got = c.exchange(tc.request, tc.expected.size());
    EXPECT_EQ(hex(got), hex(tc.expected)) << tc.name;
}

// The reply of an error report is "X" and the error code in two hexadecimal digits.
INSTANTIATE_TEST_SUITE_P(
    Kv, ModesTest,
    ::testing::Values(
        // XON: ACK, XOFF, optionally the framed reply, then SUB.
        ModeCase{"xon command", kvFrame("01GS"), Bytes{ACK, XOFF, SUB}},
        ModeCase{"xon read", kvFrame("01QX"), Bytes{ACK, XOFF} + kvFrame("01X 00") + Bytes{SUB}},
        ModeCase{"xon two words", kvFrame("01GS,QX"),
                 Bytes{ACK, XOFF} + kvFrame("01X 00") + Bytes{SUB}},
        ModeCase{"xon unknown command", kvFrame("01ZZ"), Bytes{NAK, XOFF, SUB}},
        ModeCase{"xon bad checksum", Bytes{STX} + bytes("00401GSFA") + Bytes{ETX},
                 Bytes{NAK, XOFF, SUB}},
        ModeCase{"xon bad length", Bytes{STX} + bytes("00501GSFB") + Bytes{ETX},
                 Bytes{NAK, XOFF, SUB}},
        ModeCase{"xon motion", kvFrame("01GA 100"), Bytes{ACK, XOFF, SUB}},
        // ACK-NAK: ACK alone, or ACK and the framed reply.
        ModeCase{"acknak command", kvFrame("02GS"), Bytes{ACK}},
        ModeCase{"acknak read", kvFrame("02QX"), Bytes{ACK} + kvFrame("02X 00")},
        ModeCase{"acknak unknown", kvFrame("02ZZ"), Bytes{NAK}},
        // Console: echo, carriage return, blank, reply, CR LF, prompt.
        ModeCase{"console command", bytes("03GS\r"), bytes("03GS\r \r\n>")},
        ModeCase{"console read", bytes("03QX\r"), bytes("03QX\r 03X 00\r\n>")},
        ModeCase{"console unknown", bytes("03ZZ\r"), bytes("03ZZ\r :?\r\n>")},
        // Nobody at 04: silence in every mode.
        ModeCase{"nobody framed", kvFrame("04QX"), Bytes{}},
        ModeCase{"nobody console", bytes("04QX\r"), Bytes{}}),
    [](const ::testing::TestParamInfo<ModeCase>& param) {
        std::string n = param.param.name;
        for (char& ch : n) {
            ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
        }
        return n;
    });

TEST(Kv, MotionWhilePoweredOffIsNotExecuted) {
    LineFixture f("01 TRILO protocol=xon power=off\n02 TRILO protocol=console power=off\n");
    PtyClient c(f.port(), 9600);
    EXPECT_EQ(hex(c.xon("01GA 100")), hex(Bytes{ACK, CAN, SUB}));
    EXPECT_EQ(c.exchange(bytes("02GA 100\r")), bytes("02GA 100\r :!\r\n>"));
    // Reading the error report returns the cause once, then clears it.
    EXPECT_EQ(c.xonReply("01QX"), "01X 20");
    EXPECT_EQ(c.xonReply("01QX"), "01X 00");
}

TEST(Kv, TriloReplyIsAcknowledgedByTheClient) {
    LineFixture f("01 TRILO protocol=xon\n02 TRILO protocol=acknak\n");
    PtyClient c(f.port(), 9600);
    c.xonReply("01QX");
    c.send(Bytes{ACK});
    c.exchange(kvFrame("02QX"));
    c.send(Bytes{ACK});
    // An ACK where no reply went out is not an acknowledgement. The line takes what it
    // hears in order: once the next command is answered, that ACK has been weighed.
    c.exchange(kvFrame("01GS"));
    c.send(Bytes{ACK});
    c.xon("01GS");
    EXPECT_EQ(f.line().module(1)->acknowledgements, 1);
    EXPECT_EQ(f.line().module(2)->acknowledgements, 1);
}

TEST(Kv, EveryModuleAnswersOnlyItsOwnAddress) {
    LineFixture f(R"(
00 TRILO type=0x0100
07 TRILO type=0x0205
31 TRILO type=0x0301
63 TRILO type=0x0409 serial=4711
)");
    PtyClient c(f.port(), 9600);
    EXPECT_EQ(c.xonReply("00RV"), "00V 25 65535");
    EXPECT_EQ(c.xonReply("07RV"), "07V 50 65029");
    EXPECT_EQ(c.xonReply("31RV"), "31V 75 65025");
    EXPECT_EQ(c.xonReply("63RV"), "63V 85 65089 _KORVEL_SERIE4711_");
    const Bytes identityOf07 = Bytes{ACK, XOFF} + kvFrame("07V 50 65029") + Bytes{SUB};
    for (const char* nobody : {"01RV", "08RV", "62RV"}) {
        EXPECT_EQ(hex(c.answerBefore(kvFrame(nobody), kvFrame("07RV"), identityOf07)), "")
            << nobody;
    }
    EXPECT_EQ(f.line().module(7)->commandsHeard, 4);
}

TEST(Kv, ModulesAnswerOnlyAtTheirOwnSpeed) {
    LineFixture f("01 TRILO baud=9600\n02 TRILO baud=19200\n");
    PtyClient c(f.port(), 9600);
    EXPECT_EQ(f.line().lineBaud(), 9600);
    EXPECT_EQ(c.xonReply("01QX"), "01X 00");
    EXPECT_EQ(hex(c.answerBefore(kvFrame("02QX"), kvFrame("01QX"), kXonStatusOf01)), "");
    c.setBaud(19200);
    EXPECT_EQ(f.line().lineBaud(), 19200);
    EXPECT_EQ(c.xonReply("02QX"), "02X 00");
    const Bytes statusOf02 = Bytes{ACK, XOFF} + kvFrame("02X 00") + Bytes{SUB};
    EXPECT_EQ(hex(c.answerBefore(kvFrame("01QX"), kvFrame("02QX"), statusOf02)), "");
}

TEST(Kv, NoisyModuleAtAnotherSpeedNeverAnswersProperly) {
    LineFixture f("03 TRILO baud=38400 noise\n");
    PtyClient c(f.port(), 9600);
    for (const char* command : {"03QX", "01GS"}) {
        const Bytes noise = c.exchange(kvFrame(command));
        ASSERT_FALSE(noise.empty()) << command;
        for (std::uint8_t b : {ACK, NAK, XOFF, SUB, STX}) {
            EXPECT_EQ(std::count(noise.begin(), noise.end(), b), 0) << hex(noise);
        }
    }
    c.setBaud(38400);
    EXPECT_EQ(c.xonReply("03QX"), "03X 00");
}

} // namespace
} // namespace simtest
