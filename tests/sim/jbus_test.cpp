// The JBUS slave: holding registers read (function 3) and written (function 16), the
// two-wire echo, and answers that are short, damaged or missing on purpose.

#include "pty_client.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace simtest {
namespace {

const Bytes kRead100 = withCrc({0x01, 0x03, 0x00, 0x64, 0x00, 0x01});

TEST(Jbus, ReadAndWriteHoldingRegisters) {
    LineFixture f("1 JBUS baud=19200 reg100=0x002A\n7 JBUS baud=19200\n");
    PtyClient c(f.port(), 19200);
    // The example exchange: 01 03 00 64 00 01 C5 D5 answered 01 03 02 00 2A 39 9B.
    EXPECT_EQ(hex(c.exchange(kRead100)), hex(Bytes{0x01, 0x03, 0x02, 0x00, 0x2A, 0x39, 0x9B}));
    // Text registers: two characters each.
    const Bytes write = withCrc({0x07, 0x10, 0x01, 0x00, 0x00, 0x02, 0x04, 'K', 'V', 'S', 'M'});
    EXPECT_EQ(hex(c.exchange(write)), hex(withCrc({0x07, 0x10, 0x01, 0x00, 0x00, 0x02})));
    EXPECT_EQ(hex(c.exchange(withCrc({0x07, 0x03, 0x01, 0x00, 0x00, 0x03}))),
              hex(withCrc({0x07, 0x03, 0x06, 'K', 'V', 'S', 'M', 0x00, 0x00})));
    EXPECT_EQ(f.line().module(7, true)->registers.at(0x101), ('S' << 8) | 'M');
    // Broadcast writes are carried out without an answer.
    EXPECT_EQ(hex(c.exchange(withCrc({0x00, 0x10, 0x00, 0x64, 0x00, 0x01, 0x02, 0x12, 0x34}), 0)),
              "");
    EXPECT_EQ(hex(c.exchange(kRead100)), hex(withCrc({0x01, 0x03, 0x02, 0x12, 0x34})));
}

TEST(Jbus, RequestsASlaveCannotServe) {
    LineFixture f("1 JBUS baud=9600\n");
    PtyClient c(f.port(), 9600);
    struct Case {
        const char* what;
        Bytes request;
        Bytes answer;
    };
    const Case cases[] = {
        {"unknown function", withCrc({0x01, 0x05, 0x00, 0x01, 0xFF, 0x00}),
         withCrc({0x01, 0x85, 0x01})},
        {"count 0", withCrc({0x01, 0x03, 0x00, 0x01, 0x00, 0x00}), withCrc({0x01, 0x83, 0x03})},
        {"write without data", withCrc({0x01, 0x10, 0x00, 0x64, 0x00, 0x00, 0x00}),
         withCrc({0x01, 0x90, 0x03})},
        {"past the last register", withCrc({0x01, 0x03, 0xFF, 0xFF, 0x00, 0x02}),
         withCrc({0x01, 0x83, 0x02})},
        {"other slave", withCrc({0x02, 0x03, 0x00, 0x64, 0x00, 0x01}), {}},
        {"damaged request", {0x01, 0x03, 0x00, 0x64, 0x00, 0x01, 0xC5, 0xD4}, {}},
        {"too short", {0x01, 0x03}, {}},
        {"KV frame", kvFrame("01GS"), {}},
    };
    for (const Case& tc : cases) {
        EXPECT_EQ(hex(c.exchange(tc.request, tc.answer.size())), hex(tc.answer)) << tc.what;
    }
    EXPECT_EQ(hex(c.exchange(kRead100)), hex(withCrc({0x01, 0x03, 0x02, 0x00, 0x00})));
}

TEST(Jbus, TwoWireLineEchoesTheRequest) {
    LineFixture f("1 JBUS protocol=jbus485 baud=9600 reg100=5\n");
    PtyClient c(f.port(), 9600);
    EXPECT_EQ(hex(c.exchange(kRead100)), hex(kRead100 + withCrc({0x01, 0x03, 0x02, 0x00, 0x05})));
    // The echo is the line's, heard whoever the request was for.
    const Bytes other = withCrc({0x09, 0x03, 0x00, 0x64, 0x00, 0x01});
    EXPECT_EQ(hex(c.exchange(other)), hex(other));
}

TEST(Jbus, Faults) {
    LineFixture f("1 JBUS baud=9600 reg100=0x2A\n");
    PtyClient c(f.port(), 9600);
    const Bytes good{0x01, 0x03, 0x02, 0x00, 0x2A, 0x39, 0x9B};
    struct Case {
        kvsim::FaultKind kind;
        Bytes answer;
    };
    const Case cases[] = {
        {kvsim::FaultKind::BadLength, Bytes{0x01, 0x03, 0x02}},
        {kvsim::FaultKind::BadChecksum, Bytes{0x01, 0x03, 0x02, 0x00, 0x2A, 0x39, 0x9B ^ 0x5A}},
        {kvsim::FaultKind::Silent, Bytes{}},
        {kvsim::FaultKind::Nak, withCrc({0x01, 0x83, 0x04})},
    };
    for (const Case& tc : cases) {
        kvsim::FaultSetup fault;
        fault.kind = tc.kind;
        fault.count = 1;
        ASSERT_TRUE(f.line().setFault(1, fault, true));
        EXPECT_EQ(hex(c.exchange(kRead100, tc.answer.size())), hex(tc.answer))
            << kvsim::faultName(tc.kind);
        EXPECT_EQ(hex(c.exchange(kRead100)), hex(good)) << "after " << kvsim::faultName(tc.kind);
    }
    kvsim::FaultSetup garbage;
    garbage.kind = kvsim::FaultKind::Garbage;
    garbage.garbageBytes = 5;
    f.line().setFault(1, garbage, true);
    const Bytes got = c.exchange(kRead100);
    ASSERT_EQ(got.size(), good.size() + 5) << hex(got);
    EXPECT_EQ(std::count(got.begin(), got.begin() + 5, 0x01), 0) << hex(got);
    EXPECT_EQ(hex(Bytes(got.begin() + 5, got.end())), hex(good));
}

} // namespace
} // namespace simtest
