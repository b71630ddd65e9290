// The program with one monitoring panel open on each KV module of the demo line, polling:
// the process's resident memory, its CPU averaged over the measuring time, and the period of
// the poll passes as the virtual line's byte log shows them. The virtual line runs as a
// separate kvsim process so that its own work does not count.
#include <window_hooks.h>

#include <line_backend.h>
#include <main_app.h>
#include <main_frame.h>
#include <prompter.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kPort = 1;
constexpr int kModules = 6; ///< the KV modules of the demo line at its common setting
constexpr int kWarmUpMs = 3000;
constexpr int kMeasureMs = 30000;
constexpr int kPanelCommand = 1802;
/// Exchanges closer together than this belong to one pass of the poll thread.
constexpr double kPassGapS = 0.1;
constexpr double kPassPeriodS = 0.3;

class TSilentPrompter final : public tamsel::shell::TPrompter {
  public:
    tamsel::shell::TBoxAnswer ask(QWidget*, const tamsel::shell::TBox& box) override {
        std::fprintf(stderr, "monitor bench: box: %s\n", qPrintable(box.text));
        return tamsel::shell::TBoxAnswer::Ok;
    }
    QString chooseFile(QWidget*, const tamsel::shell::TFileQuestion&) override { return {}; }
    void beep() override {}
};

void pump(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double processCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

/// A "Vm..." line of /proc/self/status, in kiB.
long statusKb(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0) {
            return std::stol(line.substr(std::string(key).size()));
        }
    }
    return -1;
}

/// CPU seconds of the user-interface thread (the process's first) and of all the others.
std::pair<double, double> threadCpuSeconds() {
    const double tick = static_cast<double>(sysconf(_SC_CLK_TCK));
    double ui = 0.0;
    double others = 0.0;
    for (const auto& task : fs::directory_iterator("/proc/self/task")) {
        std::ifstream stat(task.path() / "stat");
        std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        // The fields after the command name, which is in parentheses and may hold blanks.
        std::istringstream rest(text.substr(text.rfind(')') + 2));
        std::string field;
        double ticks = 0.0;
        for (int i = 3; i <= 15 && rest >> field; ++i) {
            if (i == 14 || i == 15) {
                ticks += std::stod(field);
            }
        }
        (task.path().filename() == std::to_string(getpid()) ? ui : others) += ticks / tick;
    }
    return {ui, others};
}

pid_t startLine(const fs::path& kvsim, const fs::path& ports, const fs::path& lineFile,
                const fs::path& log) {
    std::vector<std::string> args = {
        kvsim.string(),        "--ports", ports.string(), "--com",
        std::to_string(kPort), "--log",   log.string(),   lineFile.string()};
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        throw std::runtime_error("kvsim does not start");
    }
    const fs::path link = ports / ("COM" + std::to_string(kPort));
    for (int i = 0; i < 500 && !fs::exists(link); ++i) {
        usleep(10000);
    }
    if (!fs::exists(link)) {
        throw std::runtime_error("kvsim published no port");
    }
    return pid;
}

QByteArray projectText() {
    // The demo line's six KV modules at 9600 baud and the XON mode.
    return "; monitor bench\n[CONFIGURATION]\nTarget = TRILO\nPortComm = COM1\n"
           "BaudRate = 9600\nProtocole = XON-XOFF\n"
           "Cnf00000  = 00 , 00517 ,_,_,_\nCnf00001  = 01 , 04098 ,_,_,_\n"
           "Cnf00002  = 02 , 20480 ,_,_,_\nCnf00003  = 03 , 24608 ,_,_,_\n"
           "Cnf00004  = 04 , 12289 ,_,_,_\nCnf00005  = 05 , 16385 ,_,_,_\n;\n"
           "[TM2_SETUP]\nSwMode = 0\nSwPn0 = 1\n;\n[LabelVariable]\n;\n[LAST_COMMAND]\n;\n";
}

/// The start of every poll pass between @p from and @p to (seconds of the log).
std::vector<double> passStarts(const fs::path& log, double from, double to) {
    std::ifstream in(log);
    std::string line;
    std::vector<double> starts;
    double last = -1.0;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        double t = 0.0;
        std::string direction;
        if (!(words >> t >> direction) || direction != ">>") {
            continue;
        }
        if (t >= from && t <= to && (last < 0.0 || t - last > kPassGapS)) {
            starts.push_back(t);
        }
        last = t;
    }
    return starts;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const fs::path bin = argc > 1 ? fs::path(argv[1]) : fs::path(BENCH_BIN_DIR);
    const fs::path lineFile = argc > 2 ? fs::path(argv[2]) : fs::path(KVSIM_DEMO_LINE);

    QTemporaryDir work;
    const fs::path root = work.path().toStdString();
    fs::create_directories(root / "ports");
    fs::create_directories(root / "template");
    const fs::path log = root / "line.log";
    setenv("LINKOR_PORTS", (root / "ports").c_str(), 1);
    const auto started = std::chrono::steady_clock::now();
    pid_t sim = 0;
    int status = 0;
    try {
        sim = startLine(bin / "kvsim", root / "ports", lineFile, log);
        QDir dir(work.path());
        if (!QFile::link(QString::fromStdString((bin / "liblinkor.so").string()),
                         dir.filePath("liblinkor.so"))) {
            throw std::runtime_error("no driver to link");
        }
        if (!QFile::copy(QStringLiteral(TAMSEL_FILES_DIR "/tm2cmde.txt"),
                         dir.filePath("tm2cmde.txt"))) {
            throw std::runtime_error("no glossary to copy");
        }
        QFile project(dir.filePath("template/tamsel2.ktp"));
        if (!project.open(QIODevice::WriteOnly)) {
            throw std::runtime_error("cannot write the project");
        }
        project.write(projectText());
        project.close();
        QDir::setCurrent(work.path());

        TSilentPrompter prompter;
        tamsel::shell::TLineBackend backend(prompter, dir.filePath("none.conf"));
        tamsel::shell::TMainApp app(backend, prompter);
        tamsel::windows::TWindowHooks windows(app, prompter);
        // The display the program expects, whatever the offscreen platform reports.
        app.setScreenFacts({96, 96, 1024, 768, 24});
        if (!app.start()) {
            throw std::runtime_error("the program did not start");
        }
        backend.startPolling();
        QComboBox* selector = app.frame().deviceSelector();
        int opened = 0;
        for (int address = 0; address < kModules; ++address) {
            const QString prefix = QString::asprintf("@%02d=", address);
            for (int i = 0; i < selector->count(); ++i) {
                if (selector->itemText(i).startsWith(prefix)) {
                    selector->setCurrentIndex(i);
                    const int before =
                        static_cast<int>(app.frame().mdiArea()->subWindowList().size());
                    app.command(kPanelCommand);
                    opened +=
                        static_cast<int>(app.frame().mdiArea()->subWindowList().size()) - before;
                }
            }
        }
        if (opened != kModules) {
            throw std::runtime_error("only " + std::to_string(opened) + " panels opened");
        }
        pump(kWarmUpMs);
        const double cpu0 = processCpuSeconds();
        const auto threads0 = threadCpuSeconds();
        const double from =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        pump(kMeasureMs);
        const double cpu = processCpuSeconds() - cpu0;
        const auto threads1 = threadCpuSeconds();
        const double to =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        const long rssKb = statusKb("VmRSS:");
        const long peakKb = statusKb("VmHWM:");
        app.frame().mdiArea()->closeAllSubWindows();
        backend.requestPollingStop();

        // kvsim's clock starts a little after ours; its times are only compared with each
        // other, so the measuring window need not match to the millisecond.
        const std::vector<double> starts = passStarts(log, from, to);
        std::vector<double> periods;
        for (std::size_t i = 1; i < starts.size(); ++i) {
            periods.push_back(starts[i] - starts[i - 1]);
        }
        double mean = 0.0;
        double worst = 0.0;
        int within = 0;
        for (double p : periods) {
            mean += p;
            worst = std::max(worst, std::abs(p - kPassPeriodS));
            within += std::abs(p - kPassPeriodS) <= 0.005 ? 1 : 0;
        }
        mean = periods.empty() ? 0.0 : mean / static_cast<double>(periods.size());
        const double wall = (to - from);
        std::printf("monitor_bench: %d panels polling, CPU %.2f %% of a core over %.0f s "
                    "(target < 3 %%)\n",
                    kModules, 100.0 * cpu / wall, wall);
        std::printf("monitor_bench: of which the user-interface thread %.2f %%, the poll "
                    "thread and the others %.2f %%\n",
                    100.0 * (threads1.first - threads0.first) / wall,
                    100.0 * (threads1.second - threads0.second) / wall);
        std::printf("monitor_bench: resident memory %.1f MiB, peak %.1f MiB (target < 80 MiB)\n",
                    static_cast<double>(rssKb) / 1024.0, static_cast<double>(peakKb) / 1024.0);
        std::printf("monitor_bench: poll pass period %.1f ms mean over %zu passes, worst "
                    "deviation %.1f ms, %d of %zu within 5 ms (target 300 +- 5 ms); each "
                    "panel read every %.0f ms\n",
                    1000.0 * mean, periods.size(), 1000.0 * worst, within, periods.size(),
                    1000.0 * mean * kModules);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "monitor_bench: %s\n", e.what());
        status = 1;
    }
    if (sim > 0) {
        kill(sim, SIGTERM);
        waitpid(sim, nullptr, 0);
    }
    return status;
}
