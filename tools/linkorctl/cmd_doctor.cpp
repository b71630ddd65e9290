#include "cmd_doctor.h"

#include "device_holders.h"
#include "errors.h"
#include "output.h"
#include "settings_file.h"

#include "base/companion_files.h"
#include "posix/port_check.h"
#include "posix/port_map.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace linkorctl {

namespace fs = std::filesystem;

namespace {

constexpr const char* kDriverFile = "liblinkor.so";
constexpr const char* kLocalize = "localize";
constexpr const char* kPortsVariable = "LINKOR_PORTS";
// The port numbers looked for in a port map; the built-in default ends at 96.
constexpr unsigned kHighestMappedPort = 999;
constexpr unsigned kHighestDefaultPort = 96;

/// One thing to examine: a device, and the port that leads to it if any.
struct Entry {
    std::string port; ///< "COMn", or empty when no port leads to the device
    std::string device;
    std::string origin; ///< how the port leads to the device
};

bool holdsDriver(const fs::path& dir) {
    std::error_code ec;
    return fs::is_regular_file(dir / kDriverFile, ec);
}

/// The driver's folder, as the other subcommands would find it, with how it was found.
/// The port map beside it counts; without a driver the user's port map still does.
std::string driverFolder(const GlobalOptions& g, std::string& how) {
    std::error_code ec;
    if (g.driverDir) {
        how = "given with --driver";
        return fs::absolute(*g.driverDir, ec).string() + "/";
    }
    const fs::path here = fs::current_path(ec);
    if (!ec && holdsDriver(here)) {
        how = "the current directory";
        return here.string() + "/";
    }
    const fs::path settings = settingsFilePath();
    SettingsFile file(settings);
    std::string value;
    if (file.read({}, kLocalize, value) == tkv::TKV_Lookup::Found && holdsDriver(value)) {
        how = "the \"localize\" setting of " + settings.string();
        return (value.back() == '/' ? value : value + "/");
    }
    how = "not found";
    return {};
}

std::string readAll(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

/// The ports of a LINKOR_PORTS folder: its entries COMn, in number order.
std::vector<Entry> portsFolderEntries(const std::string& dir) {
    std::vector<std::pair<unsigned, Entry>> found;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(dir, ec)) {
        const std::string name = e.path().filename().string();
        const auto number = linkor::portNumberOf(name.c_str());
        if (name.rfind("COM", 0) == 0 && number && "COM" + std::to_string(*number) == name) {
            found.push_back({*number, Entry{name, e.path().string(), kPortsVariable}});
        }
    }
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<Entry> entries;
    for (auto& f : found) {
        entries.push_back(std::move(f.second));
    }
    return entries;
}

std::vector<Entry> entriesToExamine(const std::string& libraryDir, std::string& mapFile) {
    std::vector<Entry> entries;
    const char* portsDir = std::getenv(kPortsVariable);
    const bool portsFolder = portsDir != nullptr && *portsDir != '\0';
    mapFile =
        linkor::companionPath(linkor::Companion::PortMap, linkor::companionPlacesFor(libraryDir));
    std::error_code ec;
    if (portsFolder) {
        entries = portsFolderEntries(portsDir);
    } else if (!mapFile.empty() && fs::is_regular_file(mapFile, ec)) {
        const std::string text = readAll(mapFile);
        for (unsigned n = 1; n <= kHighestMappedPort; ++n) {
            const std::string device = linkor::mappedDevicePathOf(text, n);
            if (!device.empty()) {
                entries.push_back({"COM" + std::to_string(n), device, "port map"});
            }
        }
    }
    for (const std::string& device : serialDevices()) {
        const bool listed = std::any_of(entries.begin(), entries.end(),
                                        [&](const Entry& e) { return e.device == device; });
        if (listed) {
            continue;
        }
        Entry entry{{}, device, {}};
        for (unsigned n = 1; !portsFolder && n <= kHighestDefaultPort; ++n) {
            if (linkor::devicePathOf(n, libraryDir) == device) {
                entry.port = "COM" + std::to_string(n);
                entry.origin = "default";
                break;
            }
        }
        if (entry.port.empty()) {
            entry.origin = portsFolder ? "no port leads to it while LINKOR_PORTS is set"
                                       : "no port leads to it";
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::string holdersText(const std::vector<DeviceHolder>& holders) {
    std::string text;
    for (const DeviceHolder& h : holders) {
        text += (text.empty() ? "" : ", ") + std::to_string(h.pid) + " (" + h.name + ")";
    }
    return text;
}

/// What to do about a device that cannot be used, empty when nothing more can be said.
std::string adviceFor(const linkor::PortCheck& check, const std::vector<DeviceHolder>& holders) {
    const std::string takers = holderAdvice(holders);
    switch (check.fault) {
    case linkor::PortFault::PermissionDenied:
        return permissionAdvice(check.device);
    case linkor::PortFault::Busy:
        if (!takers.empty()) {
            return takers;
        }
        if (holders.empty() && ::geteuid() != 0) {
            return "no process of this user has it open: one of another user may (root sees "
                   "them all)";
        }
        return holders.empty() ? "" : "end that program, or close the port in it";
    case linkor::PortFault::NoHardware:
        return "the kernel makes this UART slot whether or not a port is there (a phantom): "
               "use a device that has one";
    case linkor::PortFault::Missing:
        return check.linkTarget.empty() ? ""
                                        : "the adapter the link names is not plugged in, or "
                                          "has another name now (ls -l /dev/serial/by-id/)";
    default:
        return takers;
    }
}

void report(bool json, const Entry& entry) {
    const linkor::PortCheck check = linkor::checkDevice(entry.device);
    const bool usable = check.fault == linkor::PortFault::None;
    // Who has it open matters for a serial device only: /dev/null is open everywhere.
    const std::vector<DeviceHolder> holders = usable || check.fault == linkor::PortFault::Busy
                                                  ? holdersOf(entry.device)
                                                  : std::vector<DeviceHolder>{};
    const std::string why = usable ? "usable" : linkor::describePortCheck(check);
    const std::string advice = adviceFor(check, holders);
    if (json) {
        JsonObject o;
        if (entry.port.empty()) {
            o.null("port");
        } else {
            o.text("port", entry.port);
        }
        o.text("device", entry.device).text("origin", entry.origin).boolean("usable", usable);
        o.text("reason", why).text("held_by", holdersText(holders));
        if (!advice.empty()) {
            o.text("advice", advice);
        }
        printLine(o.str());
        return;
    }
    const std::string name = entry.port.empty() ? "-" : entry.port;
    printLine(readable(name + "  " + entry.device + " (" + entry.origin + "): " + why));
    if (!holders.empty()) {
        printLine(readable("  open in " + holdersText(holders)));
    }
    if (!advice.empty()) {
        printLine(readable("  " + advice));
    }
}

} // namespace

int runDoctor(const Invocation& call) {
    GlobalOptions g;
    const Arguments a = parseFor(call, {}, g);
    if (!a.operands().empty()) {
        throw UsageError("unexpected operand '" + a.operands()[0] + "'");
    }
    std::string how;
    const std::string libraryDir = driverFolder(g, how);
    std::string mapFile;
    const std::vector<Entry> entries = entriesToExamine(libraryDir, mapFile);
    if (!g.json) {
        printLine(readable(
            "driver: " + (libraryDir.empty() ? std::string() : libraryDir + kDriverFile + ", ") +
            how));
        const char* portsDir = std::getenv(kPortsVariable);
        if (portsDir != nullptr && *portsDir != '\0') {
            printLine(readable(std::string("ports: the folder ") + portsDir + " (LINKOR_PORTS)"));
        } else {
            std::error_code ec;
            printLine(
                readable("port map: " + (mapFile.empty() ? std::string("none") : mapFile) +
                         (!mapFile.empty() && !fs::exists(mapFile, ec) ? " (none there)" : "")));
        }
        if (entries.empty()) {
            printLine("no serial device found");
        }
    }
    for (const Entry& e : entries) {
        report(g.json, e);
    }
    return kExitOk;
}

} // namespace linkorctl
