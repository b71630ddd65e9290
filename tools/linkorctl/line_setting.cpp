#include "line_setting.h"

#include "errors.h"
#include <comm/capability_lists.h>
#include <comm/texts.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <vector>

namespace linkorctl {

namespace {

constexpr std::array<OptionSpec, 4> kLineOptions{{
    {"port", true},
    {"target", true},
    {"protocol", true},
    {"baud", true},
}};

constexpr const char* kDefaultTarget = "TRILO";
constexpr const char* kDefaultBaud = "9600";
constexpr std::size_t kMinimumPrefix = 3;
constexpr std::string_view kPartSeparator = ".&.";

std::string upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

std::vector<std::string> parts(const std::string& name) {
    std::vector<std::string> out{name};
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = name.find(kPartSeparator, start);
        out.push_back(name.substr(start, at - start));
        if (at == std::string::npos) {
            break;
        }
        start = at + kPartSeparator.size();
    }
    return out;
}

std::vector<std::string> validBauds(const tkv::TagConfigDLL& config, int target, int protocol) {
    std::vector<std::string> out;
    const int n = tkv::caps::validBaudCount(config, target, protocol);
    for (int i = 0; i < n; ++i) {
        out.push_back(tkv::caps::validBaud(config, target, protocol, i));
    }
    return out;
}

std::string joined(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& n : names) {
        out += (out.empty() ? "" : " ") + n;
    }
    return out;
}

} // namespace

std::span<const OptionSpec> lineOptions() {
    return kLineOptions;
}

std::string portName(const std::string& given) {
    const std::string p = upper(given);
    const bool digits = p.size() > 3 && std::all_of(p.begin() + 3, p.end(), [](unsigned char c) {
                            return std::isdigit(c) != 0;
                        });
    if (p.rfind("COM", 0) != 0 || !digits || p[3] == '0' || p.size() > 6 ||
        std::stoi(p.substr(3)) > 255) {
        throw UsageError("bad port '" + given + "': ports are named COM1 to COM255");
    }
    return p;
}

std::string targetName(const tkv::TagConfigDLL& config, const std::string& given) {
    for (const std::string& t : tkv::text::words(config.targets)) {
        if (upper(t) == upper(given)) {
            return t;
        }
    }
    throw UsageError("unknown target '" + given + "'; the driver knows " + config.targets);
}

std::string protocolName(const tkv::TagConfigDLL& config, const std::string& target,
                         const std::string& given) {
    const int t = tkv::caps::targetIndex(config, target);
    const int count = tkv::caps::protocolCount(config, t);
    const std::string wanted = upper(given);
    std::vector<std::string> matches;
    for (int i = 0; i < count; ++i) {
        const std::string name = tkv::caps::protocol(config, t, i);
        for (const std::string& part : parts(name)) {
            const std::string u = upper(part);
            if (u == wanted) {
                return name;
            }
            if (wanted.size() >= kMinimumPrefix && u.rfind(wanted, 0) == 0 &&
                std::find(matches.begin(), matches.end(), name) == matches.end()) {
                matches.push_back(name);
            }
        }
    }
    if (matches.size() == 1) {
        return matches.front();
    }
    std::vector<std::string> listed;
    for (int i = 0; i < count; ++i) {
        listed.push_back(tkv::caps::protocol(config, t, i));
    }
    throw UsageError((matches.empty() ? "unknown protocol '" : "ambiguous protocol '") + given +
                     "' for " + target + "; use one of: " + joined(listed));
}

LineSetting lineSetting(const Arguments& args, const tkv::TagConfigDLL& config) {
    LineSetting s;
    const auto port = args.value("port");
    if (!port) {
        throw UsageError("the line needs --port COMn (see 'linkorctl ports')");
    }
    s.port = portName(*port);
    s.target = targetName(config, args.value("target").value_or(kDefaultTarget));
    const int t = tkv::caps::targetIndex(config, s.target);
    if (tkv::caps::protocolCount(config, t) == 0) {
        throw UsageError("the driver lists no protocol for " + s.target);
    }
    s.protocol = args.value("protocol") ? protocolName(config, s.target, *args.value("protocol"))
                                        : tkv::caps::protocol(config, t, 0);
    const int p = tkv::caps::protocolIndex(config, t, s.protocol);
    const std::vector<std::string> bauds = validBauds(config, t, p);
    if (bauds.empty()) {
        throw UsageError("the driver lists no baud rate for " + s.target + " " + s.protocol);
    }
    if (const auto baud = args.value("baud")) {
        if (std::find(bauds.begin(), bauds.end(), *baud) == bauds.end()) {
            throw UsageError("bad baud rate '" + *baud + "' for " + s.target + " " + s.protocol +
                             "; use one of: " + joined(bauds));
        }
        s.baud = *baud;
    } else {
        s.baud = std::find(bauds.begin(), bauds.end(), kDefaultBaud) != bauds.end() ? kDefaultBaud
                                                                                    : bauds.front();
    }
    return s;
}

} // namespace linkorctl
