// KV exchanges against the physical limit of the line: the virtual line paces every
// byte at the line's speed, and the limit is the bits both ways plus the waits the
// protocol itself mandates. Without pacing, the calling thread's CPU time beyond its
// mandated busy-waits is the driver's own cost.
#include "driver_api.h"
#include "kvsim/virtual_line.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPort = 7;
constexpr int kExchangesPaced = 200;
constexpr int kExchangesUnpaced = 2000;
constexpr double kPreSendSeconds = 100e-6;
constexpr double kRtsOffBits = 25;
constexpr double kAckWaitSeconds = 150e-6;
constexpr double kAckBits = 15;
constexpr double kBitsPerByte = 10;

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
};

Measure run(bench::DriverApi& driver, const std::filesystem::path& ports, const Case& c, bool paced,
            int count) {
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
    for (int i = 0; i < count; ++i) {
        if (driver.dialogue(kPort, c.command, reply) != 0) {
            throw std::runtime_error("an exchange failed");
        }
    }
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    m.cpuPerExchange = (threadCpuSeconds() - cpu0) / count;
    m.perExchange = wall / count;
    driver.close(kPort);
    virtualLine.stop();
    return m;
}

/// The busy-waits the protocol mandates on the calling thread.
double mandatedWaits(const Case& c) {
    double waits = kPreSendSeconds + kRtsOffBits / c.baud;
    if (c.reply) {
        waits += kAckWaitSeconds + kAckBits / c.baud; // the TRILO acknowledgement
    }
    return waits;
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
                static_cast<double>(m.bytesBothWays) * kBitsPerByte / c.baud + mandatedWaits(c);
            std::printf("kv wire %-7s %6d %s (reply %2zu chars, %zu bytes): %8.3f ms / limit "
                        "%7.3f ms = %.3f (target <= 1.05 at 115200)\n",
                        c.mode, c.baud, c.command, m.replyLength, m.bytesBothWays,
                        m.perExchange * 1e3, limit * 1e3, m.perExchange / limit);
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
