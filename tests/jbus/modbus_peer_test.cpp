// The driver against a Modbus RTU slave it did not write: libmodbus serves holding
// registers on the master side of a pseudo-terminal whose other side the driver opens
// as a COM port. The test program links the shared library as any caller would.
#include "linkor.h"
#include "linkor_status.h"

#include "modbus_slave.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using jbus_peer::kPortNumber;
using jbus_peer::kRetries;
using jbus_peer::kSlaveId;
using jbus_peer::ModbusSlave;

class ModbusPeer : public testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(m_slave.ready()) << std::strerror(errno); }
    // A test that stops at a failed assertion leaves no line behind for the next one.
    void TearDown() override {
        CloseKv(kPortNumber);
        if (m_jbus > 0) {
            CloseJbus(m_jbus);
        }
    }

    /// The requests served, a retry of the same request counted once, each as its slave,
    /// function and register ("01 03 00 64").
    std::vector<std::string> requestHeads() {
        std::vector<std::string> heads;
        std::string previous;
        for (const std::string& r : m_slave.requests()) {
            if (r != previous) {
                heads.push_back(r.substr(0, 11));
            }
            previous = r;
        }
        return heads;
    }

    std::string say(int32_t (*dialogue)(int32_t, const char*, char*), int32_t line,
                    const std::string& command, int32_t expected = LINKOR_OK) {
        char reply[256] = {};
        EXPECT_EQ(dialogue(line, command.c_str(), reply), expected) << command;
        return reply;
    }

    ModbusSlave m_slave;
    int32_t m_jbus = 0;
};

TEST_F(ModbusPeer, LineFamilyReadsAndWritesHoldingRegisters) {
    ASSERT_EQ(OpenKv("COM41", 0, 0), kPortNumber);
    ASSERT_EQ(InitKv(kPortNumber, "19200", "JBUS-232", kRetries), LINKOR_OK);

    m_slave.setReg(100, 0x002A);
    EXPECT_EQ(say(DialogueKv, kPortNumber, "1R100"), "1R,002A");

    EXPECT_EQ(say(DialogueKv, kPortNumber, "1W100,BEEF"), "1W100");
    EXPECT_EQ(m_slave.reg(100), 0xBEEF);
    EXPECT_EQ(say(DialogueKv, kPortNumber, "1R100"), "1R,BEEF");

    // Classes 0 and 2 are read two registers at a time.
    EXPECT_EQ(say(DialogueKv, kPortNumber, "1W0,1234ABCD"), "1W0");
    EXPECT_EQ(m_slave.reg(0), 0x1234);
    EXPECT_EQ(m_slave.reg(1), 0xABCD);
    EXPECT_EQ(say(DialogueKv, kPortNumber, "1R0"), "1R,1234ABCD");

    // Registers from 256 on carry text, two characters a register.
    EXPECT_EQ(say(DialogueKv, kPortNumber, "1W300,HELLO"), "1W300");
    EXPECT_EQ(m_slave.reg(300), 'H' << 8 | 'E');
    EXPECT_EQ(m_slave.reg(301), 'L' << 8 | 'L');
    EXPECT_EQ(m_slave.reg(302), 'O' << 8 | ' ');
    EXPECT_EQ(say(DialogueKv, kPortNumber, "1R300,3"), "1R,HELLO ");

    // A register the slave does not have: its exception answer.
    EXPECT_EQ(say(DialogueKv, kPortNumber, "1R5000"), "1X");

    // A raw request gets the whole answer back in hexadecimal, with a good CRC.
    const std::string raw = say(DialogueKv, kPortNumber, "010300640001");
    EXPECT_EQ(raw.substr(0, 10), "010302BEEF");
    EXPECT_EQ(raw.size(), 14u) << raw;

    int32_t moduleStatus = 5;
    char reply[256] = {};
    EXPECT_EQ(DialogueKvEx(kPortNumber, "1R100", reply, &moduleStatus), LINKOR_OK);
    EXPECT_STREQ(reply, "1R,BEEF");
    EXPECT_EQ(moduleStatus, 0);

    EXPECT_EQ(CloseKv(kPortNumber), LINKOR_OK);
    // One request for each exchange above, in order (the raw read and the last one ask the
    // same and count once).
    EXPECT_EQ(requestHeads(),
              std::vector<std::string>({"01 03 00 64", "01 10 00 64", "01 03 00 64", "01 10 00 00",
                                        "01 03 00 00", "01 10 01 2C", "01 03 01 2C", "01 03 13 88",
                                        "01 03 00 64"}));
    EXPECT_GE(m_slave.served(), 10);
}

TEST_F(ModbusPeer, JbusFamilyReadsAndWritesThroughItsOwnHandle) {
    char* message = nullptr;
    const int32_t h = OpenJbus("COM41", &message);
    m_jbus = h;
    ASSERT_GE(h, 1);
    ASSERT_LE(h, 9);
    ASSERT_EQ(InitJbus(h, "9600", nullptr), LINKOR_OK);
    EXPECT_EQ(say(DialogueJbus, h, kRetries), "");

    m_slave.setReg(7, 0x0102);
    m_slave.setReg(8, 0x0304);
    EXPECT_EQ(say(DialogueJbus, h, "1R7"), "1R,0102");
    EXPECT_EQ(say(DialogueJbus, h, "1W7,A5A55A5A"), "1W7");
    EXPECT_EQ(m_slave.reg(7), 0xA5A5);
    EXPECT_EQ(m_slave.reg(8), 0x5A5A);

    // The speed can change on an open line; the exchange goes on.
    ASSERT_EQ(ChangeBaudRateJbus(h, "38400"), LINKOR_OK);
    EXPECT_EQ(say(DialogueJbus, h, "1W64,AB"), "1W64");
    EXPECT_EQ(m_slave.reg(64), 'A' << 8 | 'B');
    EXPECT_EQ(say(DialogueJbus, h, "1R64,1"), "1R,AB");

    // Suspended, the port is free for another holder; resumed, the line works again.
    ASSERT_EQ(SuspendJbus(h), LINKOR_OK);
    ASSERT_EQ(ResumeJbus(h), LINKOR_OK);
    EXPECT_EQ(say(DialogueJbus, h, "1R8"), "1R,5A5A");
    EXPECT_EQ(message, nullptr);
    EXPECT_EQ(CloseJbus(h), LINKOR_OK);
}

TEST_F(ModbusPeer, AnAbsentSlaveGivesNoAnswer) {
    ASSERT_EQ(OpenKv("COM41", 0, 0), kPortNumber);
    ASSERT_EQ(InitKv(kPortNumber, "19200", "JBUS-232", nullptr), LINKOR_OK);
    // libmodbus ignores requests for other slaves.
    EXPECT_EQ(say(DialogueKv, kPortNumber, "7R100", LINKOR_RECEIVE_TIMEOUT), "");
    EXPECT_EQ(CloseKv(kPortNumber), LINKOR_OK);
}

} // namespace
