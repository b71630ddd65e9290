#include "kv/kv_types.h"

#include "linkor_status.h"

#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace linkor::kv {

namespace {

struct TypeEntry {
    int type;
    const char* name;
};

// VRX17 is a second name of the DVRX type; it is accepted but never listed.
constexpr TypeEntry kTypeNames[] = {
    {kTypeVrx17, "DVRX"},  {kTypeVrx17, "VRX17"}, {kTypeMicroTrilo, "MICROTRILO"},
    {kTypeVrx23, "VRX23"}, {kTypeVrx34, "VRX34"}, {kTypeTrilo, "TRILO"}};
constexpr const char* kListedTypeNames[kTypeCount] = {"DVRX", "MICROTRILO", "VRX23", "VRX34",
                                                      "TRILO"};

struct ProtocolEntry {
    const char* name;
    int code;
};

constexpr ProtocolEntry kProtocols[] = {{"XON-XOFF.&.XON-EXTENDED", kProtocolXon},
                                        {"ACK-NAK", kProtocolAckNak},
                                        {"CONSOLE.&.TERMINAL", kProtocolConsole},
                                        {"XON-XOFF", kProtocolXon},
                                        {"XON-EXTENDED", kProtocolXon},
                                        {"CONSOLE", kProtocolConsole},
                                        {"TERMINAL", kProtocolConsole}};
constexpr int kListedProtocols = 3; // one name per code
constexpr size_t kMinimumPrefix = 3;

struct TypeCapabilities {
    bool protocols[3];
    bool bauds[kBaudTexts.size()];
};

// Index by type - 1. Every allowed protocol allows the same bauds.
constexpr TypeCapabilities kCapabilities[kTypeCount] = {
    {{true, false, false},
     {false, false, false, false, false, false, true, true, true, false, true}},
    {{true, false, true},
     {false, false, false, false, false, false, true, true, true, false, true}},
    {{true, false, false},
     {false, false, false, false, false, false, true, true, true, false, false}},
    {{true, false, false},
     {false, false, false, false, false, false, true, true, true, false, false}},
    {{true, true, true}, {false, false, false, false, true, false, true, true, true, false, true}},
};

const char* listedProtocolName(int code) {
    return kProtocols[code].name;
}

} // namespace

std::optional<int> baudOf(const char* text) {
    if (text == nullptr) {
        return std::nullopt;
    }
    for (const char* baud : kBaudTexts) {
        if (std::strcmp(text, baud) == 0) {
            return std::atoi(baud);
        }
    }
    return std::nullopt;
}

std::optional<int> moduleTypeOf(const char* name) {
    if (name == nullptr) {
        return std::nullopt;
    }
    for (const auto& entry : kTypeNames) {
        if (strcasecmp(name, entry.name) == 0) {
            return entry.type;
        }
    }
    return std::nullopt;
}

std::optional<int> protocolCodeOf(const char* name) {
    if (name == nullptr) {
        return std::nullopt;
    }
    const size_t length = std::strlen(name);
    if (length < kMinimumPrefix) {
        return std::nullopt;
    }
    for (const auto& entry : kProtocols) {
        if (length <= std::strlen(entry.name) && strncasecmp(name, entry.name, length) == 0) {
            return entry.code;
        }
    }
    return std::nullopt;
}

std::optional<int> exactProtocolCodeOf(const char* name) {
    if (name == nullptr) {
        return std::nullopt;
    }
    for (const auto& entry : kProtocols) {
        if (std::strcmp(name, entry.name) == 0) {
            return entry.code;
        }
    }
    return std::nullopt;
}

bool protocolAllowed(int type, int code) {
    return type >= 1 && type <= kTypeCount && code >= 0 && code < kListedProtocols &&
           kCapabilities[type - 1].protocols[code];
}

bool baudAllowed(int type, int code, int baudIndex) {
    return protocolAllowed(type, code) && baudIndex >= 0 &&
           baudIndex < static_cast<int>(kBaudTexts.size()) &&
           kCapabilities[type - 1].bauds[baudIndex];
}

std::string typeList() {
    std::string out;
    for (const char* name : kListedTypeNames) {
        if (!out.empty()) {
            out += ' ';
        }
        out += name;
    }
    return out;
}

bool protocolList(const char* type, std::string& out) {
    out.clear();
    if (type == nullptr) {
        out = listedProtocolName(kProtocolXon);
        return true;
    }
    const auto t = moduleTypeOf(type);
    if (!t) {
        return false;
    }
    out = std::string(type) + ":";
    for (int code = 0; code < kListedProtocols; ++code) {
        if (protocolAllowed(*t, code)) {
            out += ' ';
            out += listedProtocolName(code);
        }
    }
    return true;
}

int baudList(const char* type, const char* protocol, std::string& out) {
    out.clear();
    if (type == nullptr) {
        for (const char* baud : kBaudTexts) {
            if (!out.empty()) {
                out += ' ';
            }
            out += baud;
        }
        return LINKOR_OK;
    }
    const auto t = moduleTypeOf(type);
    if (!t) {
        return LINKOR_BAD_MODULE_TYPE;
    }
    std::string list = std::string(type) + ":";
    int code = -1;
    if (protocol != nullptr) {
        const auto c = exactProtocolCodeOf(protocol);
        if (!c || !protocolAllowed(*t, *c)) {
            return LINKOR_BAD_PROTOCOL;
        }
        code = *c;
        list += ' ';
        list += protocol;
        list += ':';
    }
    for (int i = 0; i < static_cast<int>(kBaudTexts.size()); ++i) {
        const bool allowed = code < 0 ? kCapabilities[*t - 1].bauds[i] : baudAllowed(*t, code, i);
        if (allowed) {
            list += ' ';
            list += kBaudTexts[static_cast<size_t>(i)];
        }
    }
    out = list;
    return LINKOR_OK;
}

} // namespace linkor::kv
