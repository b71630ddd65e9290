// The POSIX port on a pseudo-terminal: what its descriptor path does with the bytes the
// terminal layer hands it. A pseudo-terminal has no modem lines and carries no BREAK; with
// PARMRK set its terminal layer doubles each FF the peer writes, so a break mark
// (FF 00 00) cannot be made from the peer's side. The marked streams a UART gives are fed
// to the parser itself in BreakMarks below.
#include "linkor_status.h"
#include "posix/break_marks.h"
#include "posix/posix_port.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <ostream>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace linkor {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;

constexpr auto kGenerous = 5000ms;
constexpr unsigned kPortNumber = 12;

/// A pseudo-terminal published as COM12 in a ports directory of its own; the test writes
/// and reads its master side. Everything is undone when it goes.
class PublishedTerminal {
  public:
    PublishedTerminal() {
        char dir[] = "/tmp/linkor-posix-port-XXXXXX";
        if (mkdtemp(dir) == nullptr) {
            return;
        }
        m_dir = dir;
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        char path[PATH_MAX];
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0 ||
            ptsname_r(m_master, path, sizeof path) != 0) {
            return;
        }
        m_link = m_dir + "/COM" + std::to_string(kPortNumber);
        if (symlink(path, m_link.c_str()) != 0) {
            m_link.clear();
            return;
        }
        setenv("LINKOR_PORTS", m_dir.c_str(), 1);
        m_ready = true;
    }
    ~PublishedTerminal() {
        unsetenv("LINKOR_PORTS");
        if (!m_link.empty()) {
            unlink(m_link.c_str());
        }
        if (!m_dir.empty()) {
            rmdir(m_dir.c_str());
        }
        hangUp();
    }
    PublishedTerminal(const PublishedTerminal&) = delete;
    PublishedTerminal& operator=(const PublishedTerminal&) = delete;

    bool ready() const { return m_ready; }
    void write(const Bytes& bytes) {
        ASSERT_EQ(::write(m_master, bytes.data(), bytes.size()),
                  static_cast<ssize_t>(bytes.size()));
    }
    /// What the port wrote, once @p count bytes have come (or the generous deadline).
    Bytes read(std::size_t count) {
        Bytes got;
        const auto end = std::chrono::steady_clock::now() + kGenerous;
        while (got.size() < count && std::chrono::steady_clock::now() < end) {
            pollfd p{m_master, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) {
                continue;
            }
            uint8_t buf[64];
            const ssize_t n = ::read(m_master, buf, sizeof buf);
            if (n > 0) {
                got.insert(got.end(), buf, buf + n);
            }
        }
        return got;
    }
    /// The adapter is pulled.
    void hangUp() {
        if (m_master >= 0) {
            ::close(m_master);
            m_master = -1;
        }
    }

  private:
    std::string m_dir;
    std::string m_link;
    int m_master = -1;
    bool m_ready = false;
};

class PosixPortOnATerminal : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(terminal.ready()) << std::strerror(errno); }

    /// Reads @p count bytes from the port, each within the generous deadline.
    Bytes readBytes(std::size_t count) {
        Bytes got;
        for (std::size_t i = 0; i < count; ++i) {
            const ReadResult r = port.readByte(kGenerous);
            if (r.outcome != ReadOutcome::Byte) {
                ADD_FAILURE() << "byte " << i << " did not come";
                break;
            }
            got.push_back(r.byte);
        }
        return got;
    }

    PublishedTerminal terminal;
    PosixPort port;
};

// With break reporting the port sets PARMRK, so the terminal layer doubles every FF the
// peer sends; the port must undo exactly that. Were PARMRK missing, FF 00 00 below would be
// taken for a break; were the marks not undone, every FF would come twice.
TEST_F(PosixPortOnATerminal, WithBreakReportingEveryByteOfThePeerArrivesOnce) {
    PortSettings settings;
    settings.reportBreaks = true;
    ASSERT_EQ(port.open("COM12", settings), LINKOR_OK);
    const Bytes sent{'A', 0xFF, 0x00, 0x00, 'B', 0xFF, 0xFF, 'C', 0xFF};
    terminal.write(sent);
    EXPECT_EQ(readBytes(sent.size()), sent);
    // Everything sent has been read: no break was made of it.
    EXPECT_FALSE(port.waitBreak(std::chrono::microseconds(0)));
}

TEST_F(PosixPortOnATerminal, FFsSentOneAtATimeArriveOneAtATime) {
    PortSettings settings;
    settings.reportBreaks = true;
    ASSERT_EQ(port.open("COM12", settings), LINKOR_OK);
    for (int i = 0; i < 3; ++i) {
        terminal.write({0xFF});
        EXPECT_EQ(readBytes(1), Bytes{0xFF}) << i;
    }
    terminal.write({0x00, 0x00});
    EXPECT_EQ(readBytes(2), (Bytes{0x00, 0x00}));
    EXPECT_FALSE(port.waitBreak(std::chrono::microseconds(0)));
}

TEST_F(PosixPortOnATerminal, WithoutBreakReportingTheBytesAreData) {
    PortSettings settings;
    settings.reportBreaks = false;
    ASSERT_EQ(port.open("COM12", settings), LINKOR_OK);
    terminal.write({0xFF, 0x00, 0x00, 0xFF, 0xFF});
    EXPECT_EQ(readBytes(5), (Bytes{0xFF, 0x00, 0x00, 0xFF, 0xFF}));
    EXPECT_FALSE(port.waitBreak(std::chrono::microseconds(0)));
}

TEST_F(PosixPortOnATerminal, RtsCallsAreHarmlessWithoutModemLines) {
    PortSettings settings;
    settings.rtsDisabled = true; // lowers RTS while opening: must not fail here
    ASSERT_EQ(port.open("COM12", settings), LINKOR_OK);
    port.setRts(true);
    port.setRts(false);
    port.setRts(true);
    EXPECT_TRUE(port.isOpen());
    const uint8_t out[] = {'0', '1', 'G', 'S'};
    size_t written = 0;
    ASSERT_TRUE(port.write(out, sizeof out, written));
    EXPECT_EQ(written, sizeof out);
    EXPECT_EQ(terminal.read(sizeof out), (Bytes{'0', '1', 'G', 'S'}));
    terminal.write({'o', 'k'});
    EXPECT_EQ(readBytes(2), (Bytes{'o', 'k'}));
}

// A pseudo-terminal is driven as before: nothing to drain, RTS by the driver (a no-op), no
// low latency asked; and a wait for a frame to leave returns at once.
TEST_F(PosixPortOnATerminal, IsDrivenAsAPseudoTerminalAndAFrameLeavesAtOnce) {
    PortSettings settings;
    settings.baud = 300;
    ASSERT_EQ(port.open("COM12", settings), LINKOR_OK);
    EXPECT_EQ(port.handling().drain, DrainMethod::None);
    EXPECT_EQ(port.handling().direction, DirectionControl::Driver);
    EXPECT_FALSE(port.handling().setLowLatency);
    const uint8_t out[] = {'0', '1', 'G', 'S'};
    size_t written = 0;
    ASSERT_TRUE(port.write(out, sizeof out, written));
    // Four characters at 300 baud would take 133 ms on a wire; a terminal has none.
    const auto start = std::chrono::steady_clock::now();
    port.waitSent(written);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 100ms);
    EXPECT_EQ(terminal.read(sizeof out), (Bytes{'0', '1', 'G', 'S'}));
    port.close();
    EXPECT_EQ(port.handling().direction, DirectionControl::Driver);
}

TEST_F(PosixPortOnATerminal, APulledAdapterFailsReadsAndWrites) {
    PortSettings settings;
    ASSERT_EQ(port.open("COM12", settings), LINKOR_OK);
    terminal.hangUp();
    EXPECT_EQ(port.readByte(kGenerous).outcome, ReadOutcome::Failed);
    const uint8_t out[] = {'x'};
    size_t written = 0;
    EXPECT_FALSE(port.write(out, sizeof out, written));
    EXPECT_FALSE(port.waitBreak(std::chrono::microseconds(0)));
}

// Streams as the terminal layer of a UART marks them: the data and breaks they stand for.
struct MarkedCase {
    const char* name;
    Bytes raw;
    Bytes data;
    int breaks;
};

void PrintTo(const MarkedCase& c, std::ostream* os) {
    *os << c.name;
}

class BreakMarks : public ::testing::TestWithParam<MarkedCase> {};

TEST_P(BreakMarks, GiveTheirDataAndBreaks) {
    BreakMarkFilter filter;
    Bytes data;
    int breaks = 0;
    for (uint8_t raw : GetParam().raw) {
        uint8_t byte = 0;
        switch (filter.feed(raw, byte)) {
        case BreakMarkFilter::Event::Data:
            data.push_back(byte);
            break;
        case BreakMarkFilter::Event::Break:
            ++breaks;
            break;
        case BreakMarkFilter::Event::None:
            break;
        }
    }
    EXPECT_EQ(data, GetParam().data);
    EXPECT_EQ(breaks, GetParam().breaks);
}

INSTANTIATE_TEST_SUITE_P(
    Streams, BreakMarks,
    ::testing::Values(
        MarkedCase{"plain", {'0', '1', 0x00}, {'0', '1', 0x00}, 0},
        MarkedCase{"break", {0xFF, 0x00, 0x00}, {}, 1},
        MarkedCase{"literal_ff", {0xFF, 0xFF}, {0xFF}, 0},
        MarkedCase{"two_breaks_between_data",
                   {'a', 0xFF, 0x00, 0x00, 'b', 0xFF, 0x00, 0x00, 'c'},
                   {'a', 'b', 'c'},
                   2},
        MarkedCase{"literal_ff_then_zeros", {0xFF, 0xFF, 0x00, 0x00}, {0xFF, 0x00, 0x00}, 0},
        // FF 00 x: a byte received with a framing or parity fault.
        MarkedCase{"faulty_byte", {0xFF, 0x00, 'q'}, {'q'}, 0},
        // Not a mark the terminal layer writes: the byte is kept.
        MarkedCase{"stray_ff", {0xFF, 'z'}, {'z'}, 0},
        MarkedCase{"break_right_after_literal", {0xFF, 0xFF, 0xFF, 0x00, 0x00}, {0xFF}, 1}),
    [](const ::testing::TestParamInfo<MarkedCase>& param) { return param.param.name; });

TEST(BreakMarksReset, ForgetsAHalfReadMark) {
    BreakMarkFilter filter;
    uint8_t byte = 0;
    EXPECT_EQ(filter.feed(0xFF, byte), BreakMarkFilter::Event::None);
    EXPECT_EQ(filter.feed(0x00, byte), BreakMarkFilter::Event::None);
    filter.reset();
    EXPECT_EQ(filter.feed(0x00, byte), BreakMarkFilter::Event::Data);
    EXPECT_EQ(byte, 0x00);
}

} // namespace
} // namespace linkor
