#include "device_holders.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace linkorctl {

namespace fs = std::filesystem;

namespace {

constexpr const char* kSerialKinds[] = {"ttyS", "ttyUSB", "ttyACM"};
// Device numbers stay far below this; a longer name is no serial device of the kernel.
constexpr std::size_t kMaxDigits = 6;

struct KnownTaker {
    const char* name;
    const char* advice;
};
// Both open serial ports without being asked: ModemManager to look for modems, brltty
// because a USB serial adapter may be a braille display.
constexpr KnownTaker kKnownTakers[] = {
    {"ModemManager", "ModemManager probes serial ports for modems: stop it (sudo systemctl stop "
                     "ModemManager), or keep it off this device with a udev rule setting "
                     "ENV{ID_MM_DEVICE_IGNORE}=\"1\""},
    {"brltty", "brltty takes USB serial adapters for braille displays: remove it (sudo apt-get "
               "remove brltty) if no braille display is used"},
};

bool allDigits(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
}

std::string commandName(const fs::path& processDir) {
    std::ifstream in(processDir / "comm");
    std::string name;
    std::getline(in, name);
    return name;
}

bool inGroupList(gid_t gid) {
    if (getegid() == gid) {
        return true;
    }
    const int count = getgroups(0, nullptr);
    if (count <= 0) {
        return false;
    }
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int got = getgroups(count, groups.data());
    return got > 0 && std::find(groups.begin(), groups.begin() + got, gid) != groups.begin() + got;
}

bool namedMember(const group& g, const std::string& user) {
    for (char** member = g.gr_mem; member != nullptr && *member != nullptr; ++member) {
        if (user == *member) {
            return true;
        }
    }
    return false;
}

} // namespace

std::vector<DeviceHolder> holdersOf(const std::string& device, const std::string& procDir) {
    std::vector<DeviceHolder> holders;
    struct stat wanted {};
    if (::stat(device.c_str(), &wanted) != 0) {
        return holders;
    }
    const auto same = [&wanted](const struct stat& st) {
        if (S_ISCHR(wanted.st_mode)) {
            return S_ISCHR(st.st_mode) && st.st_rdev == wanted.st_rdev;
        }
        return st.st_dev == wanted.st_dev && st.st_ino == wanted.st_ino;
    };
    const std::string self = std::to_string(::getpid());
    std::error_code ec;
    for (const fs::directory_entry& process : fs::directory_iterator(procDir, ec)) {
        const std::string pid = process.path().filename().string();
        if (!allDigits(pid) || pid == self) {
            continue;
        }
        std::error_code fdError;
        for (const fs::directory_entry& fd :
             fs::directory_iterator(process.path() / "fd", fdError)) {
            struct stat st {};
            if (::stat(fd.path().c_str(), &st) == 0 && same(st)) {
                holders.push_back({std::stoi(pid), commandName(process.path())});
                break;
            }
        }
    }
    std::sort(holders.begin(), holders.end(),
              [](const DeviceHolder& a, const DeviceHolder& b) { return a.pid < b.pid; });
    return holders;
}

std::string holderAdvice(const std::vector<DeviceHolder>& holders) {
    std::string advice;
    for (const KnownTaker& taker : kKnownTakers) {
        const bool present =
            std::any_of(holders.begin(), holders.end(),
                        [&](const DeviceHolder& h) { return h.name == taker.name; });
        if (present) {
            advice += (advice.empty() ? "" : "; ") + std::string(taker.advice);
        }
    }
    return advice;
}

std::string permissionAdvice(const std::string& device) {
    struct stat st {};
    if (::stat(device.c_str(), &st) != 0) {
        return {};
    }
    const group* g = getgrgid(st.st_gid);
    const std::string groupName = g != nullptr ? g->gr_name : std::to_string(st.st_gid);
    const passwd* pw = getpwuid(getuid());
    const std::string user = pw != nullptr ? pw->pw_name : "$USER";
    if (inGroupList(st.st_gid)) {
        return device + " belongs to the group " + groupName +
               ", which this session has, but its mode refuses the group too";
    }
    if (g != nullptr && namedMember(*g, user)) {
        return user + " was added to the group " + groupName +
               " after this session began: log out and in again (or run 'newgrp " + groupName +
               "')";
    }
    return "the group " + groupName + " may use " + device + ": sudo usermod -aG " + groupName +
           " " + user + ", then log out and in again";
}

std::vector<std::string> serialDevices(const std::string& devDir) {
    std::vector<std::string> found;
    for (const char* kind : kSerialKinds) {
        const std::string prefix = kind;
        std::vector<std::pair<unsigned long, std::string>> numbered;
        std::error_code ec;
        for (const fs::directory_entry& entry : fs::directory_iterator(devDir, ec)) {
            const std::string name = entry.path().filename().string();
            const std::string digits = name.rfind(prefix, 0) == 0 ? name.substr(prefix.size()) : "";
            if (allDigits(digits) && digits.size() <= kMaxDigits) {
                numbered.emplace_back(std::stoul(digits), entry.path().string());
            }
        }
        std::sort(numbered.begin(), numbered.end());
        for (auto& [number, path] : numbered) {
            found.push_back(std::move(path));
        }
    }
    return found;
}

} // namespace linkorctl
