#include "posix/device_answers.h"

#include <cstdio>
#include <fstream>
#include <limits.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace linkor {

namespace {

// Unix98 pseudo-terminal slaves have majors 136 to 143.
constexpr unsigned kFirstPtyMajor = 136;
constexpr unsigned kLastPtyMajor = 143;
constexpr const char* kDevPrefix = "/dev/";

bool isPseudoTerminal(int fd) {
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) {
        return false;
    }
    const unsigned m = major(st.st_rdev);
    return m >= kFirstPtyMajor && m <= kLastPtyMajor;
}

} // namespace

std::string deviceNameOf(int fd) {
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char path[PATH_MAX];
    const ssize_t n = readlink(link, path, sizeof path - 1);
    if (n <= 0) {
        return {};
    }
    path[n] = '\0';
    const std::string full(path);
    const std::string prefix(kDevPrefix);
    return full.compare(0, prefix.size(), prefix) == 0 ? full.substr(prefix.size()) : full;
}

int latencyTimerOf(const std::string& deviceName, const std::string& sysfsRoot) {
    if (deviceName.empty() || deviceName.find('/') != std::string::npos) {
        return -1;
    }
    std::ifstream in(sysfsRoot + "/class/tty/" + deviceName + "/device/latency_timer");
    int ms = -1;
    if (!(in >> ms) || ms < 0) {
        return -1;
    }
    return ms;
}

DeviceAnswers askDevice(int fd) {
    DeviceAnswers a;
    a.pseudoTerminal = isPseudoTerminal(fd);
    if (a.pseudoTerminal) {
        return a;
    }
    unsigned int lsr = 0;
    a.lineStatus = ioctl(fd, TIOCSERGETLSR, &lsr) == 0;
    serial_rs485 rs485{};
    a.rs485 = ioctl(fd, TIOCGRS485, &rs485) == 0;
    serial_struct info{};
    a.serialInfo = ioctl(fd, TIOCGSERIAL, &info) == 0;
    a.lowLatency = a.serialInfo && (info.flags & ASYNC_LOW_LATENCY) != 0;
    a.latencyTimerMs = latencyTimerOf(deviceNameOf(fd));
    return a;
}

} // namespace linkor
