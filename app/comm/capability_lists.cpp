#include "comm/capability_lists.h"

#include "comm/texts.h"

#include <vector>

namespace tkv {

namespace {

constexpr int kMaxProtocolBits = 32;

/// The text after the @p colons-th ":", trimmed; the whole text when there are fewer.
std::string afterColons(std::string_view s, int colons) {
    std::size_t start = 0;
    for (int i = 0; i < colons; ++i) {
        const std::size_t pos = s.find(':', start);
        if (pos == std::string_view::npos) {
            break;
        }
        start = pos + 1;
    }
    return std::string(text::trim(s.substr(start)));
}

const TagUnTypeDLL* lists(const TagConfigDLL& config, int target) {
    if (target < 0 || target >= static_cast<int>(config.perTarget.size())) {
        return nullptr;
    }
    return &config.perTarget[static_cast<std::size_t>(target)];
}

} // namespace

int32_t loadCapabilities(TagConfigDLL& config, const TKV_ListFunctions& f) {
    config = TagConfigDLL{};
    std::vector<char> buffer(drv::kCallBufferSize);

    buffer[0] = '\0';
    f.ports(buffer.data());
    config.ports = std::string(text::trim(buffer.data()));
    config.portCount = text::count(config.ports);

    buffer[0] = '\0';
    f.targets(buffer.data());
    config.targets = std::string(text::trim(buffer.data()));
    config.targetCount = text::count(config.targets);
    config.perTarget.resize(static_cast<std::size_t>(config.targetCount));
    config.loaded = 1;

    const std::vector<std::string> targets = text::words(config.targets);
    for (const std::string& name : targets) {
        buffer[0] = '\0';
        if (f.protocols(buffer.data(), name.c_str()) != 0) {
            continue;
        }
        const std::string_view reply = buffer.data();
        const std::size_t colon = reply.find(':');
        if (colon == std::string_view::npos) {
            continue;
        }
        const int owner = text::indexOf(config.targets, reply.substr(0, colon));
        if (owner < 0) {
            continue;
        }
        TagUnTypeDLL& t = config.perTarget[static_cast<std::size_t>(owner)];
        t.protocols = std::string(text::trim(reply.substr(colon + 1)));
        t.protocolCount = text::count(t.protocols);
        t.protocolsKnown = 1;
    }

    int32_t combinations = 0;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        TagUnTypeDLL& t = config.perTarget[i];
        buffer[0] = '\0';
        // No protocol asks for the target's whole baud list (the driver reads a null text
        // as "none"; an empty one would name a protocol).
        if (f.bauds(buffer.data(), targets[i].c_str(), nullptr) != 0) {
            continue;
        }
        t.bauds = afterColons(buffer.data(), 1);
        t.baudCount = text::count(t.bauds);
        t.baudsKnown = 1;
        t.protocolMasks.assign(static_cast<std::size_t>(t.baudCount), 0);
        const std::vector<std::string> protocols = text::words(t.protocols);
        for (std::size_t k = 0; k < protocols.size() && k < kMaxProtocolBits; ++k) {
            buffer[0] = '\0';
            if (f.bauds(buffer.data(), targets[i].c_str(), protocols[k].c_str()) != 0) {
                continue;
            }
            for (const std::string& b : text::words(afterColons(buffer.data(), 2))) {
                const int at = text::indexOf(t.bauds, b);
                if (at >= 0) {
                    t.protocolMasks[static_cast<std::size_t>(at)] |= static_cast<int32_t>(1U << k);
                }
            }
        }
        for (std::size_t k = 0; k < protocols.size() && k < kMaxProtocolBits; ++k) {
            for (int32_t mask : t.protocolMasks) {
                combinations += (static_cast<uint32_t>(mask) >> k) & 1U;
            }
        }
    }
    return combinations;
}

namespace caps {

int targetCount(const TagConfigDLL& config) {
    return config.targetCount;
}

std::string target(const TagConfigDLL& config, int n) {
    return text::item(config.targets, n);
}

int targetIndex(const TagConfigDLL& config, const std::string& name) {
    return text::indexOf(config.targets, name);
}

int portCount(const TagConfigDLL& config) {
    return config.portCount;
}

std::string port(const TagConfigDLL& config, int n) {
    return text::item(config.ports, n);
}

int protocolCount(const TagConfigDLL& config, int target) {
    const TagUnTypeDLL* t = lists(config, target);
    return t != nullptr ? t->protocolCount : 0;
}

std::string protocol(const TagConfigDLL& config, int target, int n) {
    const TagUnTypeDLL* t = lists(config, target);
    return t != nullptr ? text::item(t->protocols, n) : std::string();
}

int protocolIndex(const TagConfigDLL& config, int target, const std::string& name) {
    const TagUnTypeDLL* t = lists(config, target);
    return t != nullptr ? text::indexOf(t->protocols, name) : -1;
}

int baudCount(const TagConfigDLL& config, int target) {
    const TagUnTypeDLL* t = lists(config, target);
    return t != nullptr ? t->baudCount : 0;
}

std::string baud(const TagConfigDLL& config, int target, int n) {
    const TagUnTypeDLL* t = lists(config, target);
    return t != nullptr ? text::item(t->bauds, n) : std::string();
}

namespace {
std::vector<std::string> validBauds(const TagConfigDLL& config, int target, int protocol) {
    std::vector<std::string> out;
    const TagUnTypeDLL* t = lists(config, target);
    if (t == nullptr || protocol < 0 || protocol >= kMaxProtocolBits) {
        return out;
    }
    const std::vector<std::string> all = text::words(t->bauds);
    for (std::size_t i = 0; i < all.size() && i < t->protocolMasks.size(); ++i) {
        if (((static_cast<uint32_t>(t->protocolMasks[i]) >> protocol) & 1U) != 0) {
            out.push_back(all[i]);
        }
    }
    return out;
}
} // namespace

int validBaudCount(const TagConfigDLL& config, int target, int protocol) {
    return static_cast<int>(validBauds(config, target, protocol).size());
}

std::string validBaud(const TagConfigDLL& config, int target, int protocol, int n) {
    const auto list = validBauds(config, target, protocol);
    if (n < 0 || n >= static_cast<int>(list.size())) {
        return {};
    }
    return list[static_cast<std::size_t>(n)];
}

} // namespace caps

} // namespace tkv
