// The automatic scan of an empty line at address 00, every target x protocol x baud
// rate as the configuration window's Automatic scan does it (through linkorctl): the
// total time against the sum of the reception time-outs the protocol imposes on the
// frames that went out unanswered.
#include "kvsim/line_description.h"
#include "kvsim/virtual_line.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kPort = 11;
constexpr double kTimeoutNumerator = 1500000.0; // milliseconds x baud
constexpr double kMinTimeoutMs = 20;
constexpr double kMaxTimeoutMs = 312;
constexpr double kJbusSilenceMs = 100;
constexpr size_t kJbusReadRequestBytes = 8;
constexpr std::uint8_t kStx = 0x02;
constexpr std::uint8_t kEtx = 0x03;
constexpr std::uint8_t kCr = 0x0D;

/// The per-character time-out of the first byte awaited, at a speed.
double initialTimeoutMs(int baud) {
    return std::clamp(kTimeoutNumerator / baud, kMinTimeoutMs, kMaxTimeoutMs);
}

} // namespace

int main(int argc, char** argv) {
    const fs::path bin = argc > 1 ? fs::path(argv[1]) : fs::path(BENCH_BIN_DIR);
    const fs::path ports = fs::temp_directory_path() / ("scan-bench-" + std::to_string(getpid()));
    fs::create_directories(ports);
    int status = 0;
    try {
        kvsim::VirtualLine line(kvsim::parseLineText("# nothing answers\n", "empty"));
        std::mutex mutex;
        double limitMs = 0;
        int frames = 0;
        bool inFrame = false; // between STX and ETX of a KV frame
        size_t jbusBytes = 0; // of the JBUS request under way
        line.setTrafficSink(
            [&](Clock::time_point, kvsim::Direction d, std::span<const std::uint8_t> bytes) {
                if (d != kvsim::Direction::ToModules || bytes.empty()) {
                    return;
                }
                const int baud = line.lineBaud();
                std::lock_guard lock(mutex);
                // The sweep sends address 00: a JBUS request is the only thing that starts
                // with a NUL byte outside a KV frame. Its answer is awaited until 100 ms of
                // silence; a KV frame's until the first byte's time-out at the line's speed.
                if (!inFrame && (jbusBytes > 0 || bytes[0] == 0x00)) {
                    jbusBytes += bytes.size();
                    if (jbusBytes >= kJbusReadRequestBytes) {
                        limitMs += kJbusSilenceMs;
                        ++frames;
                        jbusBytes = 0;
                    }
                    return;
                }
                for (std::uint8_t b : bytes) {
                    if (b == kStx) {
                        inFrame = true;
                    } else if ((b == kEtx && inFrame) || (b == kCr && !inFrame)) {
                        inFrame = false;
                        limitMs += initialTimeoutMs(baud);
                        ++frames;
                    }
                }
            });
        line.start(ports, kPort);
        const std::string command = "cd '" + bin.string() + "' && LINKOR_PORTS='" + ports.string() +
                                    "' ./linkorctl scan --auto --port COM" + std::to_string(kPort) +
                                    " --to 0 >/dev/null 2>&1";
        const auto t0 = Clock::now();
        [[maybe_unused]] const int result = std::system(command.c_str());
        const double totalMs = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
        line.stop();
        std::lock_guard lock(mutex);
        if (frames == 0) {
            throw std::runtime_error("the scan sent nothing");
        }
        std::printf("scan empty line: %.0f ms for %d unanswered frames / %.0f ms of reception "
                    "time-outs = %.3f (target <= 1.10; the program's start is included)\n",
                    totalMs, frames, limitMs, totalMs / limitMs);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "scan bench: %s\n", e.what());
        status = 1;
    }
    fs::remove_all(ports);
    return status;
}
