// The poll thread of the communication layer on the virtual line: the period of its
// passes and their jitter with a full table, the CPU the process spends while polling,
// and the process's peak memory. The virtual line runs as a separate kvsim process so
// that its own work does not count.
#include <comm/comm_codes.h>
#include <comm/comm_dll.h>
#include <comm/comm_records.h>
#include <comm/comm_shell.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kPasses = 100;
constexpr int kEntries = 20;
constexpr int kPort = 9;
constexpr tkv::TKV_WindowHandle kOwner = 77;

/// Records the time of every completion the poll thread reports.
class BenchShell : public tkv::TKV_CommShell {
  public:
    void post(tkv::TKV_WindowHandle, int32_t, int32_t, const std::string&) override {}
    void send(tkv::TKV_WindowHandle, int32_t, int32_t, int32_t) override {
        std::lock_guard lock(m_mutex);
        m_times.push_back(Clock::now());
        m_changed.notify_all();
    }
    void showBox(const std::string& text, const std::string&) override {
        std::fprintf(stderr, "comm bench: %s\n", text.c_str());
    }
    bool askFile(tkv::TKV_WindowHandle, const std::string&, const std::string&, const std::string&,
                 const std::string&, std::string&) override {
        return false;
    }
    std::vector<Clock::time_point> waitFor(size_t count, std::chrono::seconds limit) {
        std::unique_lock lock(m_mutex);
        m_changed.wait_for(lock, limit, [&] { return m_times.size() >= count; });
        return m_times;
    }

  private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Clock::time_point> m_times;
};

double processCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

pid_t startLine(const fs::path& kvsim, const fs::path& ports, const fs::path& lineFile) {
    const std::string com = std::to_string(kPort);
    std::vector<std::string> args = {kvsim.string(), "--ports", ports.string(),
                                     "--com",        com,       lineFile.string()};
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        throw std::runtime_error("kvsim does not start");
    }
    for (int i = 0; i < 200 && !fs::exists(ports / ("COM" + com)); ++i) {
        usleep(20000);
    }
    return pid;
}

} // namespace

int main(int argc, char** argv) {
    const fs::path bin = argc > 1 ? fs::path(argv[1]) : fs::path(BENCH_BIN_DIR);
    const fs::path root = fs::temp_directory_path() / ("comm-bench-" + std::to_string(getpid()));
    fs::create_directories(root / "ports");
    std::ofstream(root / "bench.line") << "01 TRILO type=0x0205\n";
    setenv("LINKOR_PORTS", (root / "ports").c_str(), 1);
    const pid_t sim = startLine(bin / "kvsim", root / "ports", root / "bench.line");
    int status = 0;
    try {
        BenchShell shell;
        fs::current_path(bin); // the driver is found in the current directory
        tkv::TKV_CommDLL comm(shell);
        if (!comm.locateInCurrentDirectory() || !comm.examine() || !comm.bind()) {
            throw std::runtime_error("the driver does not bind");
        }
        const std::string setting = "TRILO COM" + std::to_string(kPort) + " XON-XOFF 9600";
        if (!comm.connect(setting.c_str())) {
            throw std::runtime_error("the line does not connect");
        }
        comm.setNotifyTarget(kOwner, 0x7777);
        std::vector<tkv::TagStatus> records(kEntries);
        std::vector<tkv::TagRequest> requests(kEntries);
        for (int i = 0; i < kEntries; ++i) {
            requests[i].kind = tkv::kKindStatus;
            requests[i].typeCode = 0x0205;
            requests[i].address = 1;
            requests[i].data = &records[i];
            tkv::TagPollEntry e;
            e.kind = tkv::kKindStatus;
            e.mode = tkv::kPollPeriodic;
            e.owner = kOwner;
            e.request = &requests[i];
            if (!comm.addPollEntry(e)) {
                throw std::runtime_error("the poll table is full too early");
            }
        }
        const double cpu0 = processCpuSeconds();
        const auto t0 = Clock::now();
        comm.startPolling();
        const auto times = shell.waitFor(kPasses + 1, std::chrono::seconds(kPasses));
        const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
        const double cpu = processCpuSeconds() - cpu0;
        comm.requestStop();
        if (times.size() < static_cast<size_t>(kPasses + 1)) {
            throw std::runtime_error("the poll thread made " + std::to_string(times.size()) +
                                     " passes only");
        }
        std::vector<double> periods;
        for (int i = 1; i <= kPasses; ++i) {
            periods.push_back(std::chrono::duration<double>(times[i] - times[i - 1]).count());
        }
        double sum = 0;
        for (double p : periods) {
            sum += p;
        }
        const double mean = sum / kPasses;
        double deviation = 0;
        for (double p : periods) {
            deviation = std::max(deviation, std::abs(p - mean));
        }
        std::printf("poll pass: %.1f ms mean, %.1f ms largest deviation over %d passes with %d "
                    "entries (target 300 +- 5 ms)\n",
                    mean * 1e3, deviation * 1e3, kPasses, kEntries);
        // Each pass's exchange spins 100 us before sending and 25 bit times before RTS drops,
        // as the protocol mandates; what is left is the cost between passes.
        const double spins = static_cast<double>(kPasses) * (100e-6 + 25.0 / 9600.0);
        std::printf("poll cpu: %.2f %% of a core while polling, of which %.2f %% the mandated "
                    "busy-waits of the exchanges: %.2f %% between passes (target <= 1 %%)\n",
                    100.0 * cpu / wall, 100.0 * spins / wall, 100.0 * (cpu - spins) / wall);
        rusage u{};
        getrusage(RUSAGE_SELF, &u);
        std::printf("comm memory: %ld KiB peak resident, the communication layer alone with %d "
                    "poll entries\n",
                    u.ru_maxrss, kEntries);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "comm bench: %s\n", e.what());
        status = 1;
    }
    kill(sim, SIGTERM);
    waitpid(sim, nullptr, 0);
    fs::remove_all(root);
    return status;
}
