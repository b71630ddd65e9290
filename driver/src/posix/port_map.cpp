#include "posix/port_map.h"

#include "base/companion_files.h"
#include "base/library_location.h"

#include <common/text_words.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string_view>

namespace linkor {

namespace {

constexpr unsigned kDefaultGroupSize = 32;
constexpr const char* kDefaultGroups[] = {"/dev/ttyS", "/dev/ttyUSB", "/dev/ttyACM"};

} // namespace

std::optional<unsigned> portNumberOf(const char* portName) {
    if (portName == nullptr) {
        return std::nullopt;
    }
    // The first three characters (normally "COM") are skipped unchecked.
    for (int i = 0; i < 3; ++i) {
        if (portName[i] == '\0') {
            return std::nullopt;
        }
    }
    const char* digits = portName + 3;
    if (!std::isdigit(static_cast<unsigned char>(*digits))) {
        return std::nullopt;
    }
    unsigned long value = 0;
    while (std::isdigit(static_cast<unsigned char>(*digits))) {
        value = value * 10 + static_cast<unsigned>(*digits - '0');
        if (value > 100000) {
            return 100000; // out of every range; keeps the arithmetic bounded
        }
        ++digits;
    }
    return static_cast<unsigned>(value);
}

std::string defaultDevicePathOf(unsigned portNumber) {
    if (portNumber == 0) {
        return {};
    }
    const unsigned index = portNumber - 1;
    const unsigned group = index / kDefaultGroupSize;
    if (group >= std::size(kDefaultGroups)) {
        return {};
    }
    return kDefaultGroups[group] + std::to_string(index % kDefaultGroupSize);
}

std::string mappedDevicePathOf(const std::string& mapText, unsigned portNumber) {
    std::istringstream lines(mapText);
    std::string line;
    const std::string wanted = "COM" + std::to_string(portNumber);
    while (std::getline(lines, line)) {
        const auto comment = line.find_first_of("#;");
        if (comment != std::string::npos) {
            line.erase(comment);
        }
        const auto equals = line.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        std::string name(common::trim(std::string_view(line).substr(0, equals), common::isSpace));
        for (char& c : name) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        if (name == wanted) {
            return std::string(
                common::trim(std::string_view(line).substr(equals + 1), common::isSpace));
        }
    }
    return {};
}

std::string devicePathOf(unsigned portNumber) {
    return devicePathOf(portNumber, libraryDirectory());
}

std::string devicePathOf(unsigned portNumber, const std::string& libraryDir) {
    const std::string name = "COM" + std::to_string(portNumber);
    if (const char* dir = std::getenv("LINKOR_PORTS"); dir != nullptr && *dir != '\0') {
        std::string path = dir;
        if (path.back() != '/') {
            path += '/';
        }
        return path + name;
    }
    std::ifstream mapFile(companionPath(Companion::PortMap, companionPlacesFor(libraryDir)));
    if (mapFile) {
        std::stringstream text;
        text << mapFile.rdbuf();
        if (std::string mapped = mappedDevicePathOf(text.str(), portNumber); !mapped.empty()) {
            return mapped;
        }
    }
    return defaultDevicePathOf(portNumber);
}

} // namespace linkor
