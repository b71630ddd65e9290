// KV exchanges against the physical limit of the line: the virtual line paces every
// byte at the line's speed, and the limit is the bits both ways plus the waits the
// protocol mandates that cannot overlap them. Then the driver's own latency at each end of
// an exchange, from the line's time stamps. Without pacing, the calling thread's CPU time
// beyond its mandated busy-waits is the driver's own cost.
#include "driver_api.h"
#include "exchange_timing.h"
#include "kvsim/virtual_line.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPort = 7;
constexpr int kExchangesPaced = 200;
constexpr int kExchangesUnpaced = 2000;
constexpr int kExchangesTimed = 1000;
constexpr double kEndGoalMedianUs = 50;
constexpr double kEndGoalP99Us = 200;
constexpr double kPreSendSeconds = 100e-6;
constexpr double kRtsOffBits = 25;
constexpr double kAckWaitSeconds = 150e-6;
constexpr double kAckBits = 15;
constexpr double kBitsPerByte = 10;
constexpr std::uint8_t kStx = 0x02; ///< every KV frame begins with it

struct Case {
    const char* mode;     ///< the line file's protocol
    const char* protocol; ///< the driver's protocol text
    int baud;
    const char* command;
    bool reply;
};

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct Measure {
    double perExchange = 0;    ///< wall seconds
    double cpuPerExchange = 0; ///< calling thread
    size_t bytesBothWays = 0;  ///< of one exchange, from the line's log
    size_t replyLength = 0;
    std::vector<bench::Call> calls;     ///< each timed exchange, when asked for
    std::vector<bench::LineByte> bytes; ///< the line's log of them
};

Measure run(bench::DriverApi& driver, const std::filesystem::path& ports, const Case& c, bool paced,
            int count, bool keepTimes = false) {
    char line[128];
    std::snprintf(line, sizeof line, "01 TRILO type=0x0205 protocol=%s baud=%d\n", c.mode, c.baud);
    kvsim::VirtualLine virtualLine = kvsim::VirtualLine::fromText(line, "bench");
    virtualLine.setPacing(paced);
    virtualLine.start(ports, kPort);
    const std::string baud = std::to_string(c.baud);
    if (driver.open(("COM" + std::to_string(kPort)).c_str(), 0, 0) != kPort ||
        driver.init(kPort, baud.c_str(), c.protocol, "/TRILO/") != 0) {
        throw std::runtime_error("the line does not open");
    }
    char reply[256];
    // One exchange to count its bytes on the wire, then the timed run.
    virtualLine.clearLog();
    if (driver.dialogue(kPort, c.command, reply) != 0) {
        throw std::runtime_error(std::string("no answer to ") + c.command);
    }
    Measure m;
    m.replyLength = std::string(reply).size();
    m.bytesBothWays = virtualLine.log().size();
    const double cpu0 = threadCpuSeconds();
    const auto t0 = Clock::now();
    if (keepTimes) {
        virtualLine.clearLog();
        m.calls.reserve(static_cast<size_t>(count));
    }
    for (int i = 0; i < count; ++i) {
        const auto start = Clock::now();
        if (driver.dialogue(kPort, c.command, reply) != 0) {
            throw std::runtime_error("an exchange failed");
        }
        if (keepTimes) {
            m.calls.push_back({start, Clock::now()});
        }
    }
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    if (keepTimes) {
        for (const kvsim::LogEntry& e : virtualLine.log()) {
            m.bytes.push_back({e.time, e.direction == kvsim::Direction::ToModules, e.byte});
        }
    }
    m.cpuPerExchange = (threadCpuSeconds() - cpu0) / count;
    m.perExchange = wall / count;
    driver.close(kPort);
    virtualLine.stop();
    return m;
}

/// What the protocol makes the driver wait after the last byte of the reply.
double afterReplySeconds(const Case& c) {
    return c.reply ? kAckWaitSeconds + kAckBits / c.baud : 0; // the TRILO acknowledgement
}

/// The busy-waits the protocol mandates on the calling thread.
double mandatedWaits(const Case& c) {
    return kPreSendSeconds + kRtsOffBits / c.baud + afterReplySeconds(c);
}

/// The waits that lie in series with the bytes on this rig. The hold of RTS after the command
/// does not: a pseudo-terminal takes the command at once, and the hold runs while the line
/// is still pacing the command in. On a wire it would follow the last bit; here it cannot.
double seriesWaits(const Case& c) {
    return kPreSendSeconds + afterReplySeconds(c);
}

/// The bytes whose wire time lies in series on this rig. The driver's acknowledgement of a
/// reply does not: the line paces it in while the driver waits its 15 bit times, which are
/// longer than the byte's own 10.
double seriesBytes(const Case& c, size_t bytesBothWays) {
    return static_cast<double>(bytesBothWays) - (c.reply ? 1.0 : 0.0);
}

/// The rig's own share of each end: how long a byte written to the line takes to reach the
/// virtual line's log, with the line asleep between bytes as it is between exchanges.
bench::Spread rigWakeUp(const std::filesystem::path& ports, int count) {
    kvsim::VirtualLine line = kvsim::VirtualLine::fromText("01 TRILO type=0x0205 baud=115200\n");
    line.setPacing(true);
    line.start(ports, kPort);
    const std::string device = (ports / ("COM" + std::to_string(kPort))).string();
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY);
    if (fd < 0) {
        throw std::runtime_error("the line's terminal does not open");
    }
    std::vector<double> delays;
    const uint8_t byte = 'x'; // no module takes it for a command
    for (int i = 0; i < count; ++i) {
        line.clearLog();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const auto sent = Clock::now();
        if (::write(fd, &byte, 1) != 1) {
            break;
        }
        std::vector<kvsim::LogEntry> log;
        const auto giveUp = sent + std::chrono::seconds(1);
        while ((log = line.log()).empty() && Clock::now() < giveUp) {
            std::this_thread::yield();
        }
        if (!log.empty()) {
            delays.push_back(
                std::chrono::duration<double, std::micro>(log.front().time - sent).count());
        }
    }
    ::close(fd);
    line.stop();
    return bench::spreadOf(delays);
}

/// A figure below the physical limit is no fast driver but a measuring fault.
const char* faultFlag(double ratio) {
    return ratio < 1.0 ? "  MEASURING FAULT: below the physical limit" : "";
}

} // namespace

int main(int argc, char** argv) {
    const char* library = argc > 1 ? argv[1] : LINKOR_LIBRARY;
    const std::filesystem::path ports =
        std::filesystem::temp_directory_path() / ("kv-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(ports);
    setenv("LINKOR_PORTS", ports.c_str(), 1);
    bench::DriverApi driver(library);

    const Case cases[] = {
        {"xon", "XON-XOFF", 9600, "01GS", false},     {"xon", "XON-XOFF", 9600, "01QD", true},
        {"xon", "XON-XOFF", 115200, "01GS", false},   {"xon", "XON-XOFF", 115200, "01QD", true},
        {"acknak", "ACK-NAK", 9600, "01GS", false},   {"acknak", "ACK-NAK", 9600, "01QD", true},
        {"acknak", "ACK-NAK", 115200, "01GS", false}, {"acknak", "ACK-NAK", 115200, "01QD", true},
    };
    int status = 0;
    try {
        for (const Case& c : cases) {
            const Measure m = run(driver, ports, c, true, kExchangesPaced);
            const double limit =
                seriesBytes(c, m.bytesBothWays) * kBitsPerByte / c.baud + seriesWaits(c);
            const double ratio = m.perExchange / limit;
            std::printf("kv wire %-7s %6d %s (reply %2zu chars, %zu bytes): %8.3f ms / limit "
                        "%7.3f ms = %.3f (target <= 1.05 at 115200)%s\n",
                        c.mode, c.baud, c.command, m.replyLength, m.bytesBothWays,
                        m.perExchange * 1e3, limit * 1e3, ratio, faultFlag(ratio));
        }
        const bench::Spread rig = rigWakeUp(ports, kExchangesTimed);
        std::printf("kv rig: a byte written to the line is in the virtual line's log %.0f us "
                    "median, %.0f us p99 later (the rig's own wake-up, inside both ends below)\n",
                    rig.median, rig.p99);
        for (const Case& c : cases) {
            if (c.baud != 115200) {
                continue;
            }
            const Measure m = run(driver, ports, c, true, kExchangesTimed, true);
            const std::vector<bench::EndLatency> ends = bench::endLatencies(
                m.calls, m.bytes, kStx, kPreSendSeconds * 1e6, afterReplySeconds(c) * 1e6);
            std::vector<double> send;
            std::vector<double> back;
            for (const bench::EndLatency& e : ends) {
                if (e.complete) {
                    send.push_back(e.sendUs);
                    back.push_back(e.replyUs);
                }
            }
            const bench::Spread s = bench::spreadOf(send);
            const bench::Spread r = bench::spreadOf(back);
            const double wireUs =
                static_cast<double>(m.bytesBothWays) * kBitsPerByte / c.baud * 1e6;
            const bool negative =
                (!send.empty() && *std::min_element(send.begin(), send.end()) < 0) ||
                (!back.empty() && *std::min_element(back.begin(), back.end()) < 0);
            std::printf("kv ends %-7s %6d %s: call to first byte %5.0f us median, %5.0f us p99; "
                        "last reply byte to return %5.0f us median, %5.0f us p99; over %zu of %zu "
                        "exchanges, beside %5.0f us on the wire (goal <= %.0f us median, <= %.0f "
                        "us p99)%s\n",
                        c.mode, c.baud, c.command, s.median, s.p99, r.median, r.p99, s.count,
                        ends.size(), wireUs, kEndGoalMedianUs, kEndGoalP99Us,
                        negative ? "  MEASURING FAULT: an end shorter than its mandated wait" : "");
        }
        for (const Case& c : cases) {
            if (c.baud != 115200) {
                continue;
            }
            const Measure m = run(driver, ports, c, false, kExchangesUnpaced);
            std::printf("kv cpu  %-7s %6d %s: %6.1f us per exchange beyond %5.1f us of "
                        "mandated busy-waits (target <= 50 us)\n",
                        c.mode, c.baud, c.command, (m.cpuPerExchange - mandatedWaits(c)) * 1e6,
                        mandatedWaits(c) * 1e6);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kv bench: %s\n", e.what());
        status = 1;
    }
    std::filesystem::remove_all(ports);
    return status;
}
