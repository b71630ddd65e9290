#include "kvsim/line_description.h"

#include "identity.h"
#include "text_util.h"

#include <common/unique_fd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kvsim {

namespace {

struct Named {
    const char* name;
    int value;
};

constexpr std::array<const char*, 7> kFamilyNames{"TRILO", "MICROTRILO", "VRX17", "DVRX",
                                                  "VRX23", "VRX34",      "JBUS"};
constexpr std::array<const char*, 5> kProtocolNames{"xon", "acknak", "console", "jbus232",
                                                    "jbus485"};
constexpr std::array<const char*, 10> kFaultNames{"none",   "nak",    "bel",     "can",  "checksum",
                                                  "length", "silent", "garbage", "long", "slow"};
// "slow" is not a FaultKind of its own: it only sets the delay between bytes.
constexpr std::size_t kSlowFaultIndex = 9;

constexpr int kMaxKvAddress = 63;
constexpr int kMaxFrameAddress = 0x7F;
constexpr int kMinJbusAddress = 1;
constexpr int kMaxJbusAddress = 247;
constexpr int kMaxVersion = 999;
constexpr int kMaxGarbage = 1000;
constexpr int kMaxSlowMs = 5000;

// The speeds each family's modules can be set to, as the driver's tables list them.
constexpr int kFastBauds[] = {9600, 19200, 38400, 115200};
constexpr int kFrameBauds[] = {9600, 19200, 38400};
constexpr int kTriloBauds[] = {4800, 9600, 19200, 38400, 115200};
// 7200 baud is missing: a terminal reports that speed only through the Linux-specific
// termios2 call, so the line could not tell that a client had set it.
constexpr int kAllBauds[] = {300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

template <std::size_t N> bool contains(const int (&list)[N], int value) {
    return std::find(std::begin(list), std::end(list), value) != std::end(list);
}

class Reader {
  public:
    Reader(std::string name, int line) : m_name(std::move(name)), m_line(line) {}

    [[noreturn]] void fail(const std::string& what) const {
        throw LineFileError(m_name + ":" + std::to_string(m_line) + ": " + what);
    }

    long integer(std::string_view key, std::string_view value, long min, long max,
                 int base = 10) const {
        std::optional<long> v;
        if (base == 16) {
            if (auto h = text::toHex(value)) {
                v = static_cast<long>(*h);
            }
        } else {
            v = text::toNumber(value);
            if (!v && text::istartsWith(value, "0x")) {
                if (auto h = text::toHex(value.substr(2))) {
                    v = static_cast<long>(*h);
                }
            }
        }
        if (!v || *v < min || *v > max) {
            fail("bad value \"" + std::string(value) + "\" for " + std::string(key) +
                 " (expected " + (base == 16 ? "hexadecimal " : "") + std::to_string(min) + "-" +
                 std::to_string(max) + ")");
        }
        return *v;
    }

  private:
    std::string m_name;
    int m_line;
};

Family parseFamily(const Reader& r, std::string_view word) {
    for (std::size_t i = 0; i < kFamilyNames.size(); ++i) {
        if (text::iequals(word, kFamilyNames[i])) {
            return static_cast<Family>(i);
        }
    }
    r.fail("unknown family \"" + std::string(word) +
           "\" (TRILO, MICROTRILO, VRX17, DVRX, VRX23, VRX34 or JBUS)");
}

Protocol parseProtocol(const Reader& r, std::string_view word) {
    for (std::size_t i = 0; i < kProtocolNames.size(); ++i) {
        if (text::iequals(word, kProtocolNames[i])) {
            return static_cast<Protocol>(i);
        }
    }
    r.fail("unknown protocol \"" + std::string(word) +
           "\" (xon, acknak, console, jbus232 or jbus485)");
}

void parseFault(const Reader& r, std::string_view value, FaultSetup& fault) {
    const auto colon = value.find(':');
    const std::string_view name = value.substr(0, colon);
    std::size_t index = kFaultNames.size();
    for (std::size_t i = 0; i < kFaultNames.size(); ++i) {
        if (text::iequals(name, kFaultNames[i])) {
            index = i;
        }
    }
    if (index == kFaultNames.size()) {
        r.fail("unknown fault \"" + std::string(name) +
               "\" (nak, bel, can, checksum, length, silent, garbage, long, slow)");
    }
    if (index == kSlowFaultIndex) {
        // "fault=slow:<ms>" is the same as "slow=<ms>".
        fault.slowMs =
            colon == std::string_view::npos
                ? 20
                : static_cast<int>(r.integer("slow", value.substr(colon + 1), 1, kMaxSlowMs));
        return;
    }
    fault.kind = static_cast<FaultKind>(index);
    if (colon != std::string_view::npos) {
        fault.count =
            static_cast<int>(r.integer("fault count", value.substr(colon + 1), 1, 1000000));
    }
}

int parseVersion(const Reader& r, std::string_view value) {
    // "1.05" or "105": major.minor, minor in two digits.
    const auto dot = value.find('.');
    long v = 0;
    if (dot == std::string_view::npos) {
        v = r.integer("version", value, 1, kMaxVersion);
    } else {
        const long major = r.integer("version", value.substr(0, dot), 0, 9);
        const std::string_view minorText = value.substr(dot + 1);
        if (minorText.size() != 2) {
            r.fail("bad value \"" + std::string(value) + "\" for version (like 1.05)");
        }
        v = major * 100 + r.integer("version", minorText, 0, 99);
    }
    if (v < 1 || v > kMaxVersion) {
        r.fail("version " + std::string(value) + " out of range (0.01-9.99)");
    }
    return static_cast<int>(v);
}

ModuleSetup parseModule(const Reader& r, const std::vector<std::string_view>& words) {
    ModuleSetup m;
    if (words.size() < 2) {
        r.fail("expected an address and a family");
    }
    m.family = parseFamily(r, words[1]);
    const bool frames = m.family == Family::Vrx23 || m.family == Family::Vrx34;
    if (frames) {
        m.address = static_cast<int>(r.integer("address", words[0], 0, kMaxFrameAddress, 16));
    } else if (m.family == Family::Jbus) {
        m.address =
            static_cast<int>(r.integer("address", words[0], kMinJbusAddress, kMaxJbusAddress));
    } else {
        m.address = static_cast<int>(r.integer("address", words[0], 0, kMaxKvAddress));
    }
    m.typeCode = defaultTypeCode(m.family);
    m.protocol = m.family == Family::Jbus ? Protocol::Jbus232 : Protocol::Xon;

    bool typeGiven = false;
    for (std::size_t i = 2; i < words.size(); ++i) {
        const std::string_view w = words[i];
        const auto eq = w.find('=');
        const std::string key = text::upper(w.substr(0, eq));
        const std::string_view value =
            eq == std::string_view::npos ? std::string_view{} : w.substr(eq + 1);
        if (eq == std::string_view::npos && key != "NOISE") {
            r.fail("expected key=value, found \"" + std::string(w) + "\"");
        }
        if (key == "TYPE") {
            m.typeCode = static_cast<std::uint16_t>(r.integer("type", value, 0, 0xFFFF));
            typeGiven = true;
        } else if (key == "PROTOCOL") {
            m.protocol = parseProtocol(r, value);
        } else if (key == "BAUD") {
            m.baud = static_cast<int>(r.integer("baud", value, 1, 4000000));
        } else if (key == "VERSION") {
            m.version = parseVersion(r, value);
        } else if (key == "SERIAL") {
            m.serial = r.integer("serial", value, 0, 999999999);
        } else if (key == "FAULT") {
            parseFault(r, value, m.fault);
        } else if (key == "GARBAGE") {
            m.fault.garbageBytes = static_cast<int>(r.integer("garbage", value, 1, kMaxGarbage));
        } else if (key == "SLOW") {
            m.fault.slowMs = static_cast<int>(r.integer("slow", value, 0, kMaxSlowMs));
        } else if (key == "INPUTS") {
            m.inputs = static_cast<std::uint32_t>(r.integer("inputs", value, 0, 0xFF, 16));
        } else if (key == "POWER") {
            if (text::iequals(value, "on") || text::iequals(value, "off")) {
                m.power = text::iequals(value, "on");
            } else {
                r.fail("bad value \"" + std::string(value) + "\" for power (on or off)");
            }
        } else if (key == "NOISE") {
            m.noiseOffSpeed = true;
        } else if (key == "CURRENT") {
            const std::string v(value);
            char* end = nullptr;
            const double c = std::strtod(v.c_str(), &end);
            if (v.empty() || end != v.c_str() + v.size() || !(c > 0.0) || c > 100.0) {
                r.fail("bad value \"" + v + "\" for current (amperes, 0-100)");
            }
            m.currentFactor = c;
        } else if (key.size() > 3 && key.compare(0, 3, "REG") == 0 && m.family == Family::Jbus) {
            const long reg =
                r.integer("register number", std::string_view(key).substr(3), 0, 0xFFFF);
            m.registers[static_cast<int>(reg)] =
                static_cast<std::uint16_t>(r.integer("register", value, 0, 0xFFFF));
        } else {
            r.fail("unknown key \"" + std::string(w.substr(0, eq)) + "\"");
        }
    }
    if (typeGiven &&
        (!typeCodeBelongsTo(m.typeCode, m.family) || !typeCodeHasIdentity(m.typeCode, m.family))) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "type 0x%04X is not a %s model", m.typeCode,
                      std::string(familyName(m.family)).c_str());
        r.fail(buf);
    }
    if (!protocolAllowed(m.family, m.protocol)) {
        r.fail("a " + std::string(familyName(m.family)) + " module cannot use protocol " +
               std::string(protocolName(m.protocol)));
    }
    if (!baudAllowed(m.family, m.baud)) {
        r.fail("a " + std::string(familyName(m.family)) + " module cannot run at " +
               std::to_string(m.baud) + " baud");
    }
    return m;
}

// Two modules clash when the same command reaches both: same speed and same address as
// written on the wire ("10" is KV module 10 and frame module 0x10 alike).
bool clash(const ModuleSetup& a, const ModuleSetup& b) {
    const bool jbusA = a.family == Family::Jbus;
    const bool jbusB = b.family == Family::Jbus;
    if (jbusA != jbusB || a.baud != b.baud) {
        return false;
    }
    if (jbusA) {
        return a.address == b.address;
    }
    auto wire = [](const ModuleSetup& m) {
        const bool frames = m.family == Family::Vrx23 || m.family == Family::Vrx34;
        char buf[8];
        std::snprintf(buf, sizeof buf, frames ? "%02X" : "%02d", static_cast<unsigned>(m.address));
        return std::string(buf);
    };
    const bool consoleA = a.protocol == Protocol::Console;
    const bool consoleB = b.protocol == Protocol::Console;
    return consoleA == consoleB && wire(a) == wire(b);
}

} // namespace

std::string_view familyName(Family family) {
    return kFamilyNames[static_cast<std::size_t>(family)];
}

std::string_view protocolName(Protocol protocol) {
    return kProtocolNames[static_cast<std::size_t>(protocol)];
}

std::string_view faultName(FaultKind kind) {
    return kFaultNames[static_cast<std::size_t>(kind)];
}

bool protocolAllowed(Family family, Protocol protocol) {
    switch (family) {
    case Family::Trilo:
        return protocol == Protocol::Xon || protocol == Protocol::AckNak ||
               protocol == Protocol::Console;
    case Family::MicroTrilo:
        return protocol == Protocol::Xon || protocol == Protocol::Console;
    case Family::Vrx17:
    case Family::Dvrx:
    case Family::Vrx23:
    case Family::Vrx34:
        return protocol == Protocol::Xon;
    case Family::Jbus:
        return protocol == Protocol::Jbus232 || protocol == Protocol::Jbus485;
    }
    return false;
}

bool baudAllowed(Family family, int baud) {
    switch (family) {
    case Family::Trilo:
        return contains(kTriloBauds, baud);
    case Family::MicroTrilo:
    case Family::Vrx17:
    case Family::Dvrx:
        return contains(kFastBauds, baud);
    case Family::Vrx23:
    case Family::Vrx34:
        return contains(kFrameBauds, baud);
    case Family::Jbus:
        return contains(kAllBauds, baud);
    }
    return false;
}

std::uint16_t defaultTypeCode(Family family) {
    switch (family) {
    case Family::Trilo:
        return 0x0205;
    case Family::MicroTrilo:
        return 0x1002;
    case Family::Vrx17:
        return 0x5000;
    case Family::Dvrx:
        return 0x6020;
    case Family::Vrx23:
        return 0x3001;
    case Family::Vrx34:
        return 0x4001;
    case Family::Jbus:
        return 0;
    }
    return 0;
}

bool typeCodeBelongsTo(std::uint16_t code, Family family) {
    const unsigned high = code >> 8;
    switch (family) {
    case Family::Trilo:
        return high >= 0x01 && high <= 0x04;
    case Family::MicroTrilo:
        return high == 0x10;
    case Family::Vrx23:
        return high == 0x30;
    case Family::Vrx34:
        return high == 0x40;
    case Family::Vrx17:
        return high == 0x50;
    case Family::Dvrx:
        return high == 0x60;
    case Family::Jbus:
        return true;
    }
    return false;
}

LineDescription parseLineText(std::string_view textIn, const std::string& name) {
    LineDescription line;
    line.name = name;
    int number = 0;
    std::size_t pos = 0;
    while (pos <= textIn.size()) {
        const std::size_t end = std::min(textIn.find('\n', pos), textIn.size());
        std::string_view raw = textIn.substr(pos, end - pos);
        pos = end + 1;
        ++number;
        if (const auto hash = raw.find('#'); hash != std::string_view::npos) {
            raw = raw.substr(0, hash);
        }
        std::string cleaned(raw);
        std::replace(cleaned.begin(), cleaned.end(), '\r', ' ');
        const auto words = text::words(cleaned);
        if (words.empty()) {
            continue;
        }
        const Reader reader(name, number);
        ModuleSetup m = parseModule(reader, words);
        m.sourceLine = number;
        for (const ModuleSetup& other : line.modules) {
            if (clash(other, m)) {
                reader.fail("address " + std::string(words[0]) +
                            " is already used at this speed by the module of line " +
                            std::to_string(other.sourceLine));
            }
        }
        line.modules.push_back(m);
    }
    return line;
}

namespace {

/// A line file is a few lines a module; anything larger is not one.
constexpr size_t kMaxLineFileBytes = 1024 * 1024;

std::string fileKindOf(mode_t mode) {
    if (S_ISDIR(mode)) {
        return "a directory";
    }
    if (S_ISFIFO(mode)) {
        return "a FIFO";
    }
    if (S_ISCHR(mode)) {
        return "a character device";
    }
    if (S_ISBLK(mode)) {
        return "a block device";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    return "a special file";
}

} // namespace

LineDescription readLineFile(const std::filesystem::path& path) {
    const std::string name = path.string();
    // Looked at before it is opened: a device such as /dev/zero never ends, and a FIFO
    // without a writer would keep the open waiting.
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0) {
        throw LineFileError(name + ": cannot open the line file: " + std::strerror(errno));
    }
    if (!S_ISREG(st.st_mode)) {
        throw LineFileError(name + ": the line file is not a regular file but " +
                            fileKindOf(st.st_mode));
    }
    if (st.st_size > static_cast<off_t>(kMaxLineFileBytes)) {
        throw LineFileError(name + ": the line file is too large (" + std::to_string(st.st_size) +
                            " bytes; at most " + std::to_string(kMaxLineFileBytes) + ")");
    }
    // The path may have been replaced since: the opened file is checked once more.
    const common::UniqueFd file(::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!file.valid()) {
        throw LineFileError(name + ": cannot open the line file: " + std::strerror(errno));
    }
    const int fd = file.get();
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        throw LineFileError(name + ": the line file is not a regular file");
    }
    std::string content;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            throw LineFileError(name + ": cannot read the line file: " + std::strerror(errno));
        }
        if (n == 0) {
            break;
        }
        content.append(buffer, static_cast<size_t>(n));
        if (content.size() > kMaxLineFileBytes) {
            throw LineFileError(name + ": the line file is too large (more than " +
                                std::to_string(kMaxLineFileBytes) + " bytes)");
        }
    }
    return parseLineText(content, name);
}

} // namespace kvsim
