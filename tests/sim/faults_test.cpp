// Misbehaving modules, from the line file or set while the line runs, and the line's
// traffic log and pacing.

#include "pty_client.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <random>
#include <thread>

namespace simtest {
namespace {

Bytes frameWith(std::string_view length, std::string_view text, std::string_view sum) {
    return Bytes{STX} + bytes(length) + bytes(text) + bytes(sum) + Bytes{ETX};
}

struct FaultCase {
    const char* fault; // as written in a line file
    Bytes xon;         // the answer to 01QX in the XON mode
    Bytes ackNak;      // the answer to 02QX in the ACK-NAK mode
    Bytes console;     // the answer to 03QX in the console mode
};

void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.fault;
}

class FaultTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(FaultTest, AnswerInEveryMode) {
    const FaultCase& tc = GetParam();
    const std::string settings = std::string(" fault=") + tc.fault + ":1\n";
    LineFixture f("01 TRILO protocol=xon" + settings + "02 TRILO protocol=acknak" + settings +
                  "03 TRILO protocol=console" + settings);
    PtyClient c(f.port(), 9600);
    EXPECT_EQ(hex(c.exchange(kvFrame("01QX"), tc.xon.size())), hex(tc.xon)) << tc.fault;
    EXPECT_EQ(hex(c.exchange(kvFrame("02QX"), tc.ackNak.size())), hex(tc.ackNak)) << tc.fault;
    EXPECT_EQ(hex(c.exchange(bytes("03QX\r"), tc.console.size())), hex(tc.console)) << tc.fault;
    // The count was one exchange: the module is well again.
    EXPECT_EQ(c.xonReply("01QX"), "01X 00");
}

const Bytes kReply = kvFrame("01X 00");

INSTANTIATE_TEST_SUITE_P(
    Sim, FaultTest,
    ::testing::Values(
        FaultCase{"nak", Bytes{NAK, XOFF, SUB}, Bytes{NAK}, bytes("03QX\r :?\r\n>")},
        FaultCase{"bel", Bytes{BEL, XOFF} + kReply + Bytes{SUB}, Bytes{BEL} + kvFrame("02X 00"),
                  bytes("03QX\r 03X 00\r\n>")},
        FaultCase{"can", Bytes{CAN, SUB}, Bytes{NAK}, bytes("03QX\r :!\r\n>")},
        // "01X 00" sums to 0x39, "02X 00" to 0x3A.
        FaultCase{"checksum", Bytes{ACK, XOFF} + frameWith("006", "01X 00", "3A") + Bytes{SUB},
                  Bytes{ACK} + frameWith("006", "02X 00", "3B"), bytes("03QX\r 03X 00\r\n>")},
        FaultCase{"length", Bytes{ACK, XOFF} + frameWith("007", "01X 00", "39") + Bytes{SUB},
                  Bytes{ACK} + frameWith("007", "02X 00", "3A"), bytes("03QX\r 03X 00\r\n>")},
        FaultCase{"silent", Bytes{}, Bytes{}, Bytes{}},
        FaultCase{"garbage", bytes("#%&*?@~=") + Bytes{ACK, XOFF} + kReply + Bytes{SUB},
                  bytes("#%&*?@~=") + Bytes{ACK} + kvFrame("02X 00"),
                  bytes("#%&*?@~=03QX\r 03X 00\r\n>")}),
    [](const ::testing::TestParamInfo<FaultCase>& p) { return std::string(p.param.fault); });

TEST(Faults, LongReplyIsMoreThan200Characters) {
    LineFixture f("01 TRILO fault=long\n");
    PtyClient c(f.port(), 9600);
    const std::string r = c.xonReply("01QX");
    EXPECT_GT(r.size(), 200U);
    EXPECT_EQ(r.rfind("01X 00", 0), 0U);
}

TEST(Faults, SetWhileRunningAndCountedDown) {
    LineFixture f("01 TRILO\n");
    PtyClient c(f.port(), 9600);
    kvsim::FaultSetup nak;
    nak.kind = kvsim::FaultKind::Nak;
    nak.count = 2;
    ASSERT_TRUE(f.line().setFault(1, nak));
    EXPECT_FALSE(f.line().setFault(9, nak));
    EXPECT_EQ(hex(c.xon("01GS")), hex(Bytes{NAK, XOFF, SUB}));
    EXPECT_EQ(hex(c.xon("01GS")), hex(Bytes{NAK, XOFF, SUB}));
    EXPECT_EQ(hex(c.xon("01GS")), hex(Bytes{ACK, XOFF, SUB}));
    // A refused command is not executed.
    nak.count = 1;
    f.line().setFault(1, nak);
    c.xon("01GR");
    EXPECT_TRUE(f.line().module(1)->power);
}

// Time stamps of the bytes a module sent, from the line's log.
std::vector<std::chrono::steady_clock::time_point> sentTimes(kvsim::VirtualLine& line) {
    std::vector<std::chrono::steady_clock::time_point> t;
    for (const auto& e : line.log()) {
        if (e.direction == kvsim::Direction::FromModules) {
            t.push_back(e.time);
        }
    }
    return t;
}

TEST(Faults, SlowBytesAreSpacedOut) {
    LineFixture f("01 TRILO slow=15\n");
    PtyClient c(f.port(), 9600);
    f.line().clearLog();
    EXPECT_EQ(c.xonReply("01QX"), "01X 00");
    const auto t = sentTimes(f.line());
    ASSERT_EQ(t.size(), 16U);
    for (std::size_t i = 1; i < t.size(); ++i) {
        EXPECT_GE(t[i] - t[i - 1], 14ms) << i;
    }
}

TEST(Line, PacingTakesAtLeastTheWireTime) {
    LineFixture f("01 TRILO baud=4800\n");
    f.line().setPacing(true);
    PtyClient c(f.port(), 4800);
    f.line().clearLog();
    EXPECT_EQ(c.xonReply("01QX"), "01X 00");
    const auto log = f.line().log();
    const auto t = sentTimes(f.line());
    ASSERT_EQ(t.size(), 16U);
    // 10 bits a byte at 4800 baud: 2.08 ms a byte; the command's own 11 bytes came first.
    // Both bounds start at the command's arrival: bytes that fall due while the line sleeps
    // leave together under one late time stamp, which can only make them later.
    EXPECT_GE(t.back() - log.front().time, std::chrono::microseconds((11 + 16) * 2000));
    EXPECT_GE(t.front() - log.front().time, std::chrono::microseconds(11 * 2000));
}

TEST(Line, LogHoldsBothDirectionsInOrder) {
    LineFixture f("01 TRILO\n02 TRILO\n");
    PtyClient c(f.port(), 9600);
    f.line().clearLog();
    c.xonReply("01QX");
    c.xonReply("02QX");
    const auto log = f.line().log();
    Bytes toModules;
    Bytes fromModules;
    for (std::size_t i = 0; i < log.size(); ++i) {
        (log[i].direction == kvsim::Direction::ToModules ? toModules : fromModules)
            .push_back(log[i].byte);
        if (i > 0) {
            EXPECT_GE(log[i].time, log[i - 1].time);
        }
    }
    EXPECT_EQ(hex(toModules), hex(kvFrame("01QX") + kvFrame("02QX")));
    EXPECT_EQ(hex(fromModules), hex(Bytes{ACK, XOFF} + kvFrame("01X 00") + Bytes{SUB, ACK, XOFF} +
                                    kvFrame("02X 00") + Bytes{SUB}));
    // The first exchange is over before the second begins.
    const auto firstOfSecond = std::find_if(log.begin() + 1, log.end(), [](const auto& e) {
        return e.direction == kvsim::Direction::ToModules && e.byte == STX;
    });
    ASSERT_NE(firstOfSecond, log.end());
    EXPECT_EQ(std::prev(firstOfSecond)->byte, SUB);
}

TEST(Line, TrafficSinkSeesEveryByte) {
    LineFixture f("01 TRILO\n");
    std::mutex m;
    std::size_t seen = 0;
    f.line().setTrafficSink([&](auto, kvsim::Direction, std::span<const std::uint8_t> b) {
        std::lock_guard lock(m);
        seen += b.size();
    });
    PtyClient c(f.port(), 9600);
    c.xonReply("01QX");
    // The sink hears a chunk after it went out: wait for it rather than for a quiet line.
    const std::size_t expected = kvFrame("01QX").size() + 3 + kvFrame("01X 00").size();
    const auto end = std::chrono::steady_clock::now() + kAnswerTimeout;
    const auto seenSoFar = [&] {
        std::lock_guard lock(m);
        return seen;
    };
    while (seenSoFar() < expected && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_EQ(seenSoFar(), expected);
}

TEST(Line, RandomBytesAtAnySpeedHarmNoModule) {
    LineFixture f(R"(
00 TRILO
01 MICROTRILO protocol=console
02 VRX17
03 DVRX
04 VRX23
05 VRX34
06 TRILO protocol=acknak baud=19200
07 JBUS
)");
    PtyClient c(f.port(), 9600);
    std::mt19937 random(20240611);
    // Control bytes and digits come more often than in plain noise, so that frames,
    // console lines and requests really start and break off.
    const Bytes favourites{STX, ETX, CR, ACK, '0', '1', '4', '7', 'F', ';', ','};
    for (int burst = 0; burst < 400; ++burst) {
        Bytes b(1 + random() % 60);
        for (auto& x : b) {
            x = random() % 3 == 0 ? favourites[random() % favourites.size()]
                                  : static_cast<std::uint8_t>(random());
        }
        if (burst % 50 == 0) {
            c.setBaud(burst % 100 == 0 ? 9600 : 19200);
        }
        c.send(b);
    }
    c.setBaud(9600);
    c.send(Bytes{ETX, CR});
    c.readQuiet();
    EXPECT_EQ(c.xonReply("00RV"), "00V 50 65029");
    // Its error report may hold the refusal of some noise that read as its own line.
    const Bytes console = c.exchange(bytes("01QR #CPA\r"));
    EXPECT_EQ(console, bytes("01QR #CPA\r 01#CPA=0\r\n>"));
    EXPECT_EQ(c.xonReply("02REA #POS"), "02#POS= 0");
    EXPECT_EQ(c.xonReply("03REA #POS"), "03#POS=0");
    EXPECT_EQ(c.xonReply("04200000000000"), "04000000000");
    EXPECT_EQ(c.xonReply("05200000000000"), "05000000000");
    EXPECT_EQ(hex(c.exchange(withCrc({0x07, 0x03, 0x00, 0x00, 0x00, 0x01}))),
              hex(withCrc({0x07, 0x03, 0x02, 0x00, 0x00})));
    c.setBaud(19200);
    EXPECT_EQ(hex(c.exchange(kvFrame("06GS"))), hex(Bytes{ACK}));
}

} // namespace
} // namespace simtest
