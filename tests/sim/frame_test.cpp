// VRX23/VRX34 modules: seven-byte frames in hexadecimal inside the XON framing, and
// eleven-character replies (address, kind, eight data characters).

#include "pty_client.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <thread>

namespace simtest {
namespace {

// The tool's rounding: x / 2 rounded up for odd x.
long halve(long x) {
    return x % 2 != 0 ? (x + 2) / 2 : x / 2;
}

// A frame text: @p head, then @p value in @p digits hexadecimal digits, then @p tail.
std::string frame(const std::string& head, unsigned long value, int digits,
                  const std::string& tail = "") {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*lX", digits, value);
    return head + buf + tail;
}

long dataOf(const std::string& reply) {
    return static_cast<std::int32_t>(std::stoul(reply.substr(3), nullptr, 16));
}

// The whole XON answer of a module at @p address reading its position 0: the marker that ends
// a wait for silence.
Bytes positionAnswer(const std::string& address) {
    return Bytes{ACK, XOFF} + kvFrame(address + "000000000") + Bytes{SUB};
}

TEST(Frames, WritesAreAcknowledgedReadsAnswered) {
    LineFixture f("01 VRX23\n0A VRX34\n");
    PtyClient c(f.port(), 9600);
    const Bytes done{ACK, XOFF, SUB};
    EXPECT_EQ(hex(c.xon("01180000000000")), hex(done));     // quick stop
    EXPECT_EQ(hex(c.xon("0A190000000000")), hex(done));     // power on
    EXPECT_EQ(c.xonReply("01200000000000"), "01000000000"); // position 0
    EXPECT_EQ(c.xonReply("0A210000000000"), "0A100000000"); // no error
    // Lower-case hexadecimal digits are the same frame.
    EXPECT_EQ(c.xonReply("0a200000000000"), "0A000000000");
    // Refused: not a frame, an unknown function, a bank a VRX23 has not.
    for (const char* bad : {"01GS", "0118000000000", "01180000000000FF", "01XX0000000000",
                            "01FE0000000000", "012A4000000000"}) {
        EXPECT_EQ(hex(c.xon(bad)), hex(Bytes{NAK, XOFF, SUB})) << bad;
    }
    // Other addresses stay silent.
    EXPECT_EQ(hex(c.answerBefore(kvFrame("02200000000000"), kvFrame("01200000000000"),
                                 positionAnswer("01"))),
              "");
}

TEST(Frames, MotionAndPositionInSignedHexadecimal) {
    LineFixture f("01 VRX23\n");
    PtyClient c(f.port(), 9600);
    c.xon("0113"
          "00FFFFFED4"); // GA -300
    const auto end = std::chrono::steady_clock::now() + 10s;
    std::string r;
    while (std::chrono::steady_clock::now() < end) {
        r = c.xonReply("01200000000000");
        if (r == "010FFFFFED4") {
            break;
        }
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_EQ(r, "010FFFFFED4"); // converts to "01EP -300"
    EXPECT_EQ(dataOf(r), -300);
    // Status: not moving, powered, inputs in bits 4-11.
    f.line().setInputs(1, 0x5A);
    const long status = dataOf(c.xonReply("01270000000000"));
    EXPECT_EQ((status >> 4) & 0xFF, 0x5A);
    EXPECT_EQ(status & 1, 0);
    // Continuous run in the negative direction, then the speed read is negative.
    EXPECT_EQ(hex(c.xon("011500F60190")), hex(Bytes{NAK, XOFF, SUB})); // too short
    EXPECT_EQ(hex(c.xon("0115"
                        "0000F60190")),
              hex(Bytes{ACK, XOFF, SUB}));
    EXPECT_LT(dataOf(c.xonReply("012B0000000000")), 0);
    EXPECT_EQ(dataOf(c.xonReply("01270000000000")) & 1, 1);
    c.xon("01170000000000");
    c.xon("010B0000000000");
    c.xon("01180000000000");
    c.xon("010B0000000000");
    EXPECT_EQ(c.xonReply("01200000000000"), "01000000000");
    // Power off: motion is not executed and reported once.
    c.xon("011A0000000000");
    EXPECT_EQ(hex(c.xon("0113"
                        "0000000064")),
              hex(Bytes{ACK, CAN, SUB}));
    EXPECT_EQ(c.xonReply("01210000000000"), "01100000020");
    EXPECT_EQ(c.xonReply("01210000000000"), "01100000000");
}

TEST(Frames, SettingsReadBackThroughTheToolsConversions) {
    struct Case {
        const char* entry;
        double s1;
    };
    for (const Case& tc : {Case{"01 VRX23", 10}, Case{"01 VRX34", 50}}) {
        LineFixture f(tc.entry);
        PtyClient c(f.port(), 9600);
        const double s2 = 200;
        const double s3 = 120;
        const long k = 1; // upper-case units
        // WL 150, WX high speed 3000 ramp 250, GI 40, DG 7, MSS, MB.
        const long w = halve(static_cast<long>(k * 2000000 / (tc.s1 * s2 * 150)));
        const long period = halve(static_cast<long>(k * 16000000 / (tc.s1 * 3000)));
        const long ramp = halve(static_cast<long>(std::trunc(250 * 8000) / (s3 * period)));
        c.xon(frame("010E000000", static_cast<unsigned long>(w), 2, "00"));
        c.xon(frame("010D000000", static_cast<unsigned long>(period), 4));
        c.xon(frame("010F00000000", static_cast<unsigned long>(ramp), 2));
        c.xon("010C0000000014"); // gi 40 -> 40 / 2
        c.xon("011C0000000007");
        c.xon("01020000000001");
        c.xon("01030000000009");
        const std::string first = c.xonReply("01250000000000");
        const std::string second = c.xonReply("01260000000000");
        ASSERT_EQ(first.size(), 11U);
        ASSERT_EQ(second.size(), 11U);
        EXPECT_EQ(first[2], '5');
        unsigned r1 = 0, r2 = 0, a = 0, b = 0, cc = 0, d = 0, e = 0;
        ASSERT_EQ(std::sscanf(first.c_str() + 3, "%2X", &r1), 1);
        ASSERT_EQ(std::sscanf(first.c_str() + 7, "%4X", &r2), 1);
        ASSERT_EQ(std::sscanf(second.c_str() + 3, "%2X%2X%1u%1u%2X", &a, &b, &cc, &d, &e), 5);
        // The module gives back what was written; the tool's conversion of it is then the
        // nearest value its resolution allows.
        EXPECT_EQ(static_cast<long>(r1), w) << tc.entry;
        EXPECT_EQ(static_cast<long>(r2), period) << tc.entry;
        EXPECT_EQ(static_cast<long>(a), ramp) << tc.entry;
        const long wh = halve(static_cast<long>(k * 16000000 / (tc.s1 * r2)));
        const long wt = halve(static_cast<long>(a * r2 * s3 * 0.0005));
        EXPECT_NEAR(wh, 3000, 3000 * 0.05) << tc.entry;
        EXPECT_NEAR(wt, 250, 250 * 0.1) << tc.entry;
        EXPECT_EQ(2 * b, 40U);
        EXPECT_EQ(cc, 1U);
        EXPECT_EQ(d, 9U);
        EXPECT_EQ(e, 7U);
        // bn and bp: signed 32-bit values, bn read first.
        c.xon(frame("010A00", static_cast<std::uint32_t>(-5000), 8));
        c.xon(frame("010900", 70000UL, 8));
        const std::string bn = c.xonReply("01230000000000");
        const std::string bp = c.xonReply("01220000000000");
        EXPECT_EQ(bn.substr(0, 3), "013");
        EXPECT_EQ(bp.substr(0, 3), "012");
        EXPECT_EQ(dataOf(bn), -5000);
        EXPECT_EQ(dataOf(bp), 70000);
    }
}

TEST(Frames, Vrx34MaximumCurrentCell) {
    LineFixture f("01 VRX34\n");
    PtyClient c(f.port(), 9600);
    const std::string r = c.xonReply("012A4000000000");
    ASSERT_EQ(r.size(), 11U);
    EXPECT_EQ(r.substr(0, 3), "01A");
    EXPECT_GT(std::stoul(r.substr(3, 2), nullptr, 16), 0U);
}

TEST(Frames, AddressAndSpeedChanges) {
    LineFixture f("01 VRX23\n02 VRX23\n");
    PtyClient c(f.port(), 9600);
    // Everyone: exactly one acknowledgement comes back for the line.
    const Bytes done{ACK, XOFF, SUB};
    EXPECT_EQ(hex(c.answerBefore(kvFrame("FF110000000000"), kvFrame("01200000000000"),
                                 positionAnswer("01"))),
              hex(done));
    // New address 0x15; new speed only with the key in front of it.
    EXPECT_EQ(hex(c.xon("01080000000015")), hex(done));
    const Bytes marker = kvFrame("15200000000000");
    EXPECT_EQ(hex(c.answerBefore(kvFrame("01200000000000"), marker, positionAnswer("15"))), "");
    EXPECT_EQ(c.xonReply("15200000000000"), "15000000000");
    // Nobody at 01 any more.
    EXPECT_EQ(hex(c.answerBefore(kvFrame("01080000000080"), marker, positionAnswer("15"))), "");
    EXPECT_EQ(hex(c.xon("15080000000080")), hex(Bytes{ACK, CAN, SUB})); // beyond 0x7F
    EXPECT_EQ(hex(c.xon("021B0011223402")), hex(Bytes{ACK, CAN, SUB}));
    EXPECT_EQ(hex(c.xon("021B0011223302")), hex(done));
    EXPECT_EQ(hex(c.answerBefore(kvFrame("02200000000000"), marker, positionAnswer("15"))), "");
    c.setBaud(19200);
    EXPECT_EQ(c.xonReply("02200000000000"), "02000000000");
}

} // namespace
} // namespace simtest
