// The automatic scan as the configuration window's Automatic sweep makes it (through
// linkorctl, which runs the same scan engine): on an empty line (address 00 with every
// target x protocol x baud rate) and on the demo line (module 00 found, then 01-63). Each
// total time is set against what the sweep cannot avoid: the reception time-outs of the
// frames that went out unanswered. (The answered exchanges are left out of the limit: the
// virtual line hands a reply over at once, so their wire time is no floor on this rig.)
#include "kvsim/line_description.h"
#include "kvsim/virtual_line.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

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

/// What the sweep cannot avoid, worked out from the traffic: each request's reception time-out
/// when nothing answers it.
class Limit {
  public:
    void toModules(const std::uint8_t* b, size_t n, int baud) {
        for (size_t i = 0; i < n; ++i) {
            const std::uint8_t x = b[i];
            if (!m_inFrame && m_jbusBytes == 0 && x == 0x00 && m_frameBytes == 0) {
                commit();
                m_jbusBytes = 1;
                continue;
            }
            if (m_jbusBytes > 0) {
                m_request.push_back(x);
                if (++m_jbusBytes >= kJbusReadRequestBytes) {
                    open(kJbusSilenceMs);
                    m_jbusBytes = 0;
                }
                continue;
            }
            if (x == kStx && !m_inFrame) {
                commit();
                m_inFrame = true;
            }
            ++m_frameBytes;
            if ((x == kEtx && m_inFrame) || (x == kCr && !m_inFrame)) {
                m_inFrame = false;
                open(initialTimeoutMs(baud));
                m_frameBytes = 0;
            }
        }
    }

    void fromModules(const std::uint8_t* b, size_t n) {
        // A two-wire JBUS line hands the request back: an echo is not an answer.
        std::vector<std::uint8_t> bytes(b, b + n);
        if (!m_echo.empty() && bytes.size() <= m_echo.size() &&
            std::equal(bytes.begin(), bytes.end(), m_echo.begin())) {
            m_echo.erase(m_echo.begin(), m_echo.begin() + static_cast<long>(bytes.size()));
            return;
        }
        if (m_pending) {
            m_answered = true;
        }
    }

    /// Closes the last request; the total in ms and the numbers of unanswered and answered
    /// requests.
    std::tuple<double, int, int> result() {
        commit();
        return {m_totalMs, m_silent, m_answeredCount};
    }

  private:
    void open(double timeoutMs) {
        commit();
        m_pending = true;
        m_answered = false;
        m_timeoutMs = timeoutMs;
        m_echo = m_request;
        m_request.clear();
    }
    void commit() {
        if (!m_pending) {
            return;
        }
        m_pending = false;
        if (m_answered) {
            ++m_answeredCount;
        } else {
            m_totalMs += m_timeoutMs;
            ++m_silent;
        }
    }

    bool m_inFrame = false;
    size_t m_frameBytes = 0;
    size_t m_jbusBytes = 0;
    std::vector<std::uint8_t> m_request;
    std::vector<std::uint8_t> m_echo;
    bool m_pending = false;
    bool m_answered = false;
    double m_timeoutMs = 0;
    double m_totalMs = 0;
    int m_silent = 0;
    int m_answeredCount = 0;
};

struct Figure {
    double totalMs = 0;
    double limitMs = 0;
    int silent = 0;
    int answered = 0;
    int found = 0;
};

Figure scanOf(const fs::path& bin, const fs::path& ports, const std::string& lineText,
              const std::string& name, const std::string& to) {
    kvsim::VirtualLine line(kvsim::parseLineText(lineText, name));
    std::mutex mutex;
    Limit limit;
    line.setTrafficSink(
        [&](Clock::time_point, kvsim::Direction d, std::span<const std::uint8_t> bytes) {
            if (bytes.empty()) {
                return;
            }
            const int baud = line.lineBaud();
            std::lock_guard lock(mutex);
            if (d == kvsim::Direction::ToModules) {
                limit.toModules(bytes.data(), bytes.size(), baud);
            } else {
                limit.fromModules(bytes.data(), bytes.size());
            }
        });
    line.start(ports, kPort);
    const fs::path out = ports / "scan.out";
    const std::string command = "cd '" + bin.string() + "' && LINKOR_PORTS='" + ports.string() +
                                "' ./linkorctl scan --auto --port COM" + std::to_string(kPort) +
                                " --to " + to + " >'" + out.string() + "' 2>/dev/null";
    const auto t0 = Clock::now();
    [[maybe_unused]] const int result = std::system(command.c_str());
    Figure f;
    f.totalMs = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    line.stop();
    std::lock_guard lock(mutex);
    std::tie(f.limitMs, f.silent, f.answered) = limit.result();
    std::ifstream in(out);
    std::string row;
    while (std::getline(in, row)) {
        f.found += row.size() > 2 && std::isdigit(static_cast<unsigned char>(row[0])) != 0 &&
                   std::isdigit(static_cast<unsigned char>(row[1])) != 0;
    }
    if (f.limitMs <= 0) {
        throw std::runtime_error("the scan of the " + name + " line sent nothing");
    }
    return f;
}

/// A figure below what the sweep must wait out is no fast scan but a measuring fault.
const char* faultFlag(double ratio) {
    return ratio < 1.0 ? "  MEASURING FAULT: below what the sweep must wait out" : "";
}

std::string fileText(const fs::path& p) {
    std::ifstream in(p);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

int main(int argc, char** argv) {
    const fs::path bin = argc > 1 ? fs::path(argv[1]) : fs::path(BENCH_BIN_DIR);
    const fs::path ports = fs::temp_directory_path() / ("scan-bench-" + std::to_string(getpid()));
    fs::create_directories(ports);
    int status = 0;
    try {
        const Figure empty = scanOf(bin, ports, "# nothing answers\n", "empty", "0");
        const double emptyRatio = empty.totalMs / empty.limitMs;
        std::printf("scan empty line: %.0f ms for %d unanswered frames / %.0f ms of reception "
                    "time-outs = %.3f (target <= 1.05; the program's start is included)%s\n",
                    empty.totalMs, empty.silent, empty.limitMs, emptyRatio, faultFlag(emptyRatio));
        const Figure demo = scanOf(bin, ports, fileText(KVSIM_DEMO_LINE), "demo", "63");
        const double demoRatio = demo.totalMs / demo.limitMs;
        std::printf("scan demo line: %.0f ms, %d modules, %d answered and %d unanswered frames "
                    "/ %.0f ms of reception time-outs = %.3f (target <= 1.05)%s\n",
                    demo.totalMs, demo.found, demo.answered, demo.silent, demo.limitMs, demoRatio,
                    faultFlag(demoRatio));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "scan bench: %s\n", e.what());
        status = 1;
    }
    fs::remove_all(ports);
    return status;
}
