// The break-signal search for the addresses that want attention, against modules that
// answer the probes as the line's modules would.
#include "fake_port.h"
#include "kv/kv_bytes.h"
#include "kv_line/trilo.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

namespace linkor {
namespace {

using namespace std::chrono_literals;
using test::FakePort;

std::atomic<int> g_notified{0};
void notified() {
    ++g_notified;
}

/// Modules that raise a break while the probe so far matches the low bits of their
/// address, and leave the search once their address has been sent back.
class WaitingModules {
  public:
    explicit WaitingModules(std::set<int> addresses) : m_waiting(std::move(addresses)) {}

    void attach(FakePort& port) {
        port.onPriority = [this](FakePort& p, uint8_t byte) { onByte(p, byte); };
    }
    std::vector<int> found;

  private:
    void onByte(FakePort& port, uint8_t byte) {
        if (byte == kv::kEsc) {
            m_bit = 0;
            if (!m_waiting.empty()) {
                port.raiseBreak(); // wants attention
            }
            return;
        }
        if ((byte & 0xC0) == 0xC0) {
            const int mask = (2 << m_bit) - 1;
            for (int address : m_waiting) {
                if ((address & mask) == (byte & mask)) {
                    port.raiseBreak();
                    break;
                }
            }
            ++m_bit;
            return;
        }
        if ((byte & 0xC0) == 0x80) {
            found.push_back(byte & 0x3F);
            m_waiting.erase(byte & 0x3F);
            m_bit = 0;
            if (!m_waiting.empty()) {
                port.raiseBreak(); // the next one still waits
            }
        }
    }
    std::set<int> m_waiting;
    int m_bit = 0;
};

class Discovery : public ::testing::Test {
  protected:
    void SetUp() override {
        auto port = std::make_unique<FakePort>();
        fake = port.get();
        line = std::make_unique<TTrilo>("COM2", std::move(port));
        ASSERT_EQ(line->initialise(9600, 0), 0);
        line->initBreak(&notified, &result, 20ms);
        g_notified = 0;
    }

    /// Waits for the worker to finish; the search itself never waits on a scripted port.
    void finish() {
        for (int i = 0; i < 10000 && line->discoveryRunning(); ++i) {
            std::this_thread::sleep_for(1ms);
        }
        ASSERT_FALSE(line->discoveryRunning());
    }

    FakePort* fake = nullptr;
    std::unique_ptr<TTrilo> line;
    char* result = nullptr;
};

struct DiscoveryCase {
    std::set<int> waiting;
    int count;
    int bits;
    const char* result;
};

class DiscoveryCases : public Discovery, public ::testing::WithParamInterface<DiscoveryCase> {};

TEST_P(DiscoveryCases, FindsTheWaitingAddresses) {
    WaitingModules modules(GetParam().waiting);
    modules.attach(*fake);
    line->startBreak(GetParam().count, GetParam().bits);
    finish();
    EXPECT_STREQ(result, GetParam().result);
    EXPECT_EQ(g_notified.load(), 1);
    EXPECT_EQ(fake->priority.front(), kv::kEsc);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DiscoveryCases,
    ::testing::Values(DiscoveryCase{{5, 17}, 2, 6, "02 05 17"},
                      DiscoveryCase{{5, 17}, 1, 6, "01 05"},
                      DiscoveryCase{{5, 17}, 5, 6, "02 05 17"}, DiscoveryCase{{0}, 3, 6, "01 00"},
                      DiscoveryCase{{63}, 3, 6, "01 63"}, DiscoveryCase{{3}, 1, 2, "01 03"},
                      DiscoveryCase{{3}, 1, 9, "01 03"},    // more than six bits count as six
                      DiscoveryCase{{5, 17}, 2, 0, "00"})); // nothing searched

TEST_F(Discovery, ProbesSetOneBitAtATime) {
    WaitingModules modules({5});
    modules.attach(*fake);
    line->startBreak(1, 6);
    finish();
    // ESC, six probes (bits kept where a break answered), then the found address.
    const FakePort::Bytes expected{0x1B, 0xC1, 0xC3, 0xC5, 0xCD, 0xD5, 0xE5, 0x85};
    EXPECT_EQ(fake->priority, expected);
}

TEST_F(Discovery, StopBeforeAnyBreakEndsWithoutNotifying) {
    line->startBreak(2, 6); // no module raises a break
    EXPECT_TRUE(line->discoveryRunning());
    line->stopBreak();
    EXPECT_FALSE(line->discoveryRunning());
    EXPECT_EQ(g_notified.load(), 0);
    EXPECT_STREQ(result, "00");
}

TEST_F(Discovery, SecondStartWhileRunningIsIgnored) {
    line->startBreak(2, 6);
    line->startBreak(2, 6);
    EXPECT_EQ(std::count(fake->priority.begin(), fake->priority.end(), kv::kEsc), 1);
    line->stopBreak();
}

TEST_F(Discovery, CloseStopsARunningSearch) {
    line->startBreak(2, 6);
    line->close();
    EXPECT_FALSE(line->discoveryRunning());
}

} // namespace
} // namespace linkor
