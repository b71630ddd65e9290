// The driver against a Modbus RTU slave it did not write: libmodbus serves holding
// registers on the master side of a pseudo-terminal whose other side the driver opens
// as a COM port. The test program links the shared library as any caller would.
#include "linkor.h"
#include "linkor_status.h"

#include <gtest/gtest.h>
#include <modbus/modbus.h>

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

namespace {

constexpr int kSlaveId = 1;
constexpr int kRegisters = 400;
constexpr int kPortNumber = 41;
// The driver ends a reception after 100 ms of silence; a slave thread that is late on
// a busy machine is covered by retries rather than by luck.
constexpr const char* kRetries = "/REPETE 3/";

/// A libmodbus RTU slave on a pseudo-terminal, named COM41 in a ports directory of its
/// own.
class ModbusSlave {
  public:
    ModbusSlave() {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
            return;
        }
        char path[PATH_MAX];
        if (ptsname_r(m_master, path, sizeof path) != 0) {
            return;
        }
        // Held open for the whole test: when the last descriptor of the terminal side
        // closes, the line hangs up.
        m_held = ::open(path, O_RDWR | O_NOCTTY);
        char dir[] = "/tmp/jbus-peer-XXXXXX";
        if (m_held < 0 || mkdtemp(dir) == nullptr) {
            return;
        }
        m_dir = dir;
        m_link = m_dir + "/COM" + std::to_string(kPortNumber);
        if (symlink(path, m_link.c_str()) != 0) {
            return;
        }
        setenv("LINKOR_PORTS", m_dir.c_str(), 1);

        // No modbus_connect: the context works on the descriptor it is given, and the
        // terminal settings stay the driver's.
        m_ctx = modbus_new_rtu("/dev/null", 19200, 'N', 8, 1);
        m_map = modbus_mapping_new(0, 0, kRegisters, 0);
        if (m_ctx == nullptr || m_map == nullptr || modbus_set_slave(m_ctx, kSlaveId) != 0 ||
            modbus_set_socket(m_ctx, m_master) != 0) {
            return;
        }
        m_thread = std::thread([this] { serve(); });
        m_ready = true;
    }

    ~ModbusSlave() {
        m_stop = true;
        if (m_thread.joinable()) {
            m_thread.join();
        }
        if (m_map != nullptr) {
            modbus_mapping_free(m_map);
        }
        if (m_ctx != nullptr) {
            modbus_free(m_ctx);
        }
        unsetenv("LINKOR_PORTS");
        if (!m_link.empty()) {
            unlink(m_link.c_str());
        }
        if (!m_dir.empty()) {
            rmdir(m_dir.c_str());
        }
        if (m_held >= 0) {
            close(m_held);
        }
        if (m_master >= 0) {
            close(m_master);
        }
    }
    ModbusSlave(const ModbusSlave&) = delete;
    ModbusSlave& operator=(const ModbusSlave&) = delete;

    bool ready() const { return m_ready; }
    int served() const { return m_served.load(); }

    uint16_t reg(int index) {
        std::lock_guard lock(m_mutex);
        return m_map->tab_registers[index];
    }
    void setReg(int index, uint16_t value) {
        std::lock_guard lock(m_mutex);
        m_map->tab_registers[index] = value;
    }

  private:
    void serve() {
        uint8_t query[MODBUS_RTU_MAX_ADU_LENGTH];
        while (!m_stop) {
            pollfd p{m_master, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0 || (p.revents & POLLIN) == 0) {
                if ((p.revents & (POLLHUP | POLLERR)) != 0) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
                }
                continue;
            }
            const int length = modbus_receive(m_ctx, query);
            if (length > 0) {
                std::lock_guard lock(m_mutex);
                modbus_reply(m_ctx, query, length, m_map);
                ++m_served;
            }
        }
    }

    int m_master = -1;
    int m_held = -1;
    std::string m_dir;
    std::string m_link;
    modbus_t* m_ctx = nullptr;
    modbus_mapping_t* m_map = nullptr;
    std::mutex m_mutex;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_served{0};
    bool m_ready = false;
};

class ModbusPeer : public testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(m_slave.ready()) << std::strerror(errno); }

    std::string say(int32_t (*dialogue)(int32_t, const char*, char*), int32_t line,
                    const std::string& command, int32_t expected = LINKOR_OK) {
        char reply[256] = {};
        EXPECT_EQ(dialogue(line, command.c_str(), reply), expected) << command;
        return reply;
    }

    ModbusSlave m_slave;
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
    EXPECT_GE(m_slave.served(), 10); // one answer for each exchange above
}

TEST_F(ModbusPeer, JbusFamilyReadsAndWritesThroughItsOwnHandle) {
    char* message = nullptr;
    const int32_t h = OpenJbus("COM41", &message);
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
