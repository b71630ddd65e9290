#include "discovery/scan_engine.h"

#include "text_format.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace tamsel::discovery {

namespace {

constexpr int kAutomaticZeroGaugeLow = 1;
constexpr int kAutomaticZeroGaugeHigh = 17;
constexpr int kFirstRestAddress = 1;

// The driver's wait for the first byte of an answer: 1,500,000 / baud ms, within 20-312 ms; a
// JBUS master gives up after its silence.
constexpr long kFirstByteWaitTimesBaud = 1500000;
constexpr std::chrono::milliseconds kShortestFirstByteWait{20};
constexpr std::chrono::milliseconds kLongestFirstByteWait{312};
constexpr std::chrono::milliseconds kJbusSilence{100};
constexpr const char* kJbusPrefix = "JBUS";

using detail::format;

int wrapped(int start, int step, int size) {
    if (size <= 0) {
        return 0;
    }
    const int first = start < 0 || start >= size ? 0 : start;
    return (first + step) % size;
}

/// The caption of a sweep over the addresses: the "%02d" left shows the address.
std::string addressCaption(const std::string& protocol, const std::string& baud) {
    return format("N\xc2\xb0 %%02d in %s %s", protocol.c_str(), baud.c_str());
}

void answered(ScanRecord& record, const std::string& reply) {
    record.state = ScanState::Answered;
    record.reply = reply;
}

} // namespace

int automaticZeroTries(const AutomaticZeroStart& s, ScanLists& lists) {
    int total = 0;
    for (const std::string& target : s.targets.names) {
        for (const std::string& protocol : lists.protocolsOf(target).names) {
            total += lists.baudsOf(target, protocol).size();
        }
    }
    return total;
}

namespace {

/// The tries of a Search, each a protocol and a baud rate, in the order they are made.
struct SearchPlan {
    const char* strategy = nullptr;
    std::vector<std::pair<std::string, std::string>> tries;
};

SearchPlan planSearch(const SearchStart& s, const NameList& protocols) {
    SearchPlan plan;
    if (protocols.names.empty()) {
        return plan;
    }
    const std::string& first = protocols.names.front();
    if (s.withBaud && s.onlyFirst) {
        plan.tries.emplace_back(first, s.fixedBaud);
    } else if (s.withBaud) {
        plan.strategy = "variation des protocole,baudrate fixe";
        for (const std::string& p : protocols.names) {
            plan.tries.emplace_back(p, s.fixedBaud);
        }
    } else if (s.onlyFirst) {
        plan.strategy = "protocole fixe , variation des baudrates";
        for (const std::string& b : s.bauds) {
            plan.tries.emplace_back(first, b);
        }
    } else {
        plan.strategy = "variation des protocole,variation des baudrate ";
        for (const std::string& p : protocols.names) {
            for (const std::string& b : s.bauds) {
                plan.tries.emplace_back(p, b);
            }
        }
    }
    return plan;
}

} // namespace

int searchTries(const SearchStart& s, ScanLists& lists) {
    return static_cast<int>(planSearch(s, lists.protocolsOf(s.target)).tries.size()) *
           kAddressCount;
}

int automaticRestTries(const AutomaticRestStart& s) {
    return 2 * std::max(0, std::min(s.lastAddress, kLastAddress) - kFirstRestAddress + 1);
}

std::optional<std::string> ScanEngine::ask(const ProbeTry& t) {
    m_last = t;
    m_view.trying(t);
    m_view.trace(format("[%s %s %d]", t.baud.c_str(), t.target.c_str(), t.address));
    const auto started = std::chrono::steady_clock::now();
    auto reply = m_probe.probe(t);
    m_clock.measured(std::chrono::steady_clock::now() - started);
    m_view.remainingTime(m_clock.remaining(t));
    return reply;
}

std::chrono::milliseconds silentProbeTime(const ProbeTry& t) {
    if (t.protocol.rfind(kJbusPrefix, 0) == 0) {
        return kJbusSilence;
    }
    const long baud = std::strtol(t.baud.c_str(), nullptr, 10);
    if (baud <= 0) {
        return kLongestFirstByteWait;
    }
    return std::clamp(std::chrono::milliseconds(kFirstByteWaitTimesBaud / baud),
                      kShortestFirstByteWait, kLongestFirstByteWait);
}

void ScanClock::plan(int tries) {
    m_left = tries;
    m_made = 0;
    m_spent = {};
}

void ScanClock::skip(int tries) {
    m_left = std::max(0, m_left - tries);
}

void ScanClock::measured(std::chrono::steady_clock::duration spent) {
    m_left = std::max(0, m_left - 1);
    ++m_made;
    m_spent += spent;
}

std::chrono::milliseconds ScanClock::remaining(const ProbeTry& next) const {
    if (m_made == 0) {
        return silentProbeTime(next) * m_left;
    }
    return std::chrono::duration_cast<std::chrono::milliseconds>(m_spent * m_left / m_made);
}

ScanEnd ScanEngine::automaticZero(const AutomaticZeroStart& s) {
    plan(automaticZeroTries(s, m_lists));
    m_view.gaugeRange(kAutomaticZeroGaugeLow, kAutomaticZeroGaugeHigh);
    m_view.gaugeShown(true);
    int position = 0;
    bool firstProtocol = true;
    const int targets = s.targets.size();
    for (int k = 0; k < targets; ++k) {
        const int targetIndex = wrapped(s.targets.selected, k, targets);
        const std::string& target = s.targets.names[static_cast<std::size_t>(targetIndex)];
        const NameList protocols = m_lists.protocolsOf(target);
        for (int p = 0; p < protocols.size(); ++p) {
            const std::string& protocol = protocols.names[static_cast<std::size_t>(p)];
            const NameList bauds = m_lists.baudsOf(target, protocol);
            const int start = firstProtocol ? s.rememberedBaud : bauds.selected;
            firstProtocol = false;
            for (int n = 0; n < bauds.size(); ++n) {
                if (m_view.stopRequested()) {
                    return ScanEnd::Stopped;
                }
                const int baudIndex = wrapped(start, n, bauds.size());
                const std::string& baud = bauds.names[static_cast<std::size_t>(baudIndex)];
                m_view.gaugeCaption(format("Try target %s ,%s  ,%s on axis 00", target.c_str(),
                                           protocol.c_str(), baud.c_str()));
                m_view.gaugePosition(++position);
                const auto reply = ask({target, s.port, protocol, baud, 0, true, true});
                if (reply) {
                    ScanRecord& r = m_table.records[0];
                    answered(r, *reply);
                    r.hit = true;
                    r.setting = packSetting({p, baudIndex, s.portIndex, targetIndex});
                    m_table.found.append(0);
                    return ScanEnd::Answered;
                }
            }
        }
    }
    m_view.gaugeShown(false);
    // Listed even in silence: showing address 00 is what tells the window the sweep is over.
    m_table.found.append(0);
    return ScanEnd::Silent;
}

ScanEnd ScanEngine::automaticRest(const AutomaticRestStart& s) {
    plan(automaticRestTries(s));
    const int lastAddress = std::clamp(s.lastAddress, 0, kLastAddress);
    m_view.gaugeRange(kFirstRestAddress, kLastAddress);
    m_view.gaugeCaption(addressCaption(s.protocol, s.baud));
    m_view.gaugeShown(true);
    bool any = false;
    for (int address = kFirstRestAddress; address <= lastAddress; ++address) {
        if (m_view.stopRequested()) {
            return ScanEnd::Stopped;
        }
        m_view.gaugePosition(address);
        const bool last = address == lastAddress;
        auto reply = ask({kFirstRestTarget, s.port, s.protocol, s.baud, address,
                          address == kFirstRestAddress, last});
        if (!reply) {
            if (m_view.stopRequested()) {
                return ScanEnd::Stopped;
            }
            reply = ask({kSecondRestTarget, s.port, s.protocol, s.baud, address, last, last});
        } else {
            m_clock.skip();
        }
        if (reply) {
            answered(m_table.records[static_cast<std::size_t>(address)], *reply);
            m_table.found.append(address);
            any = true;
        }
    }
    m_view.gaugeShown(false);
    return any ? ScanEnd::Answered : ScanEnd::Silent;
}

ScanEnd ScanEngine::search(const SearchStart& s) {
    m_view.gaugeCaption("Collect information on selected target , please wait ");
    const NameList protocols = m_lists.protocolsOf(s.target);
    const SearchPlan searchPlan = planSearch(s, protocols);
    plan(static_cast<int>(searchPlan.tries.size()) * kAddressCount);
    if (searchPlan.strategy != nullptr) {
        m_view.trace(searchPlan.strategy);
    }
    const int total = static_cast<int>(searchPlan.tries.size());
    for (int n = 0; n < total; ++n) {
        const auto& [protocol, baud] = searchPlan.tries[static_cast<std::size_t>(n)];
        if (total == 1) {
            m_view.gaugeCaption(format(" Try 1/1 : %s , %s , %s on %s , axis n\xc2\xb0%%02d",
                                       s.target.c_str(), protocol.c_str(), baud.c_str(),
                                       s.port.c_str()));
        } else {
            m_view.gaugeCaption(format(" Try %02d/%02d : %s , %s , %s on %s , axis n\xc2\xb0%%02d",
                                       n + 1, total, s.target.c_str(), protocol.c_str(),
                                       baud.c_str(), s.port.c_str()));
        }
        m_view.gaugeRange(0, kLastAddress);
        bool any = false;
        for (int address = 0; address < kAddressCount; ++address) {
            if (m_view.stopRequested()) {
                m_view.gaugeCaption("scan stop by user");
                return ScanEnd::Stopped;
            }
            m_view.gaugePosition(address);
            const auto reply = ask(
                {s.target, s.port, protocol, baud, address, address == 0, address == kLastAddress});
            if (reply) {
                answered(m_table.records[static_cast<std::size_t>(address)], *reply);
                m_table.found.append(address);
                any = true;
            }
        }
        m_view.gaugeCaption("");
        if (any) {
            m_view.trace(format("%s %s %s %s  ", s.port.c_str(), s.target.c_str(), protocol.c_str(),
                                baud.c_str()));
            return ScanEnd::Answered;
        }
    }
    return ScanEnd::Silent;
}

ScanEnd ScanEngine::fullDebug(const FullDebugStart& s) {
    m_view.gaugeRange(0, kLastAddress);
    m_view.gaugeShown(true);
    const int protocols = s.protocols.size();
    const int bauds = s.bauds.size();
    plan(kAddressCount * protocols * bauds);
    bool any = false;
    for (int address = 0; address < kAddressCount; ++address) {
        m_view.gaugePosition(address);
        ScanRecord& record = m_table.records[static_cast<std::size_t>(address)];
        bool stopped = false;
        for (int i = 0; i < protocols && !stopped; ++i) {
            const int p = wrapped(s.protocols.selected, i, protocols);
            const std::string& protocol = s.protocols.names[static_cast<std::size_t>(p)];
            for (int j = 0; j < bauds; ++j) {
                if (m_view.stopRequested()) {
                    stopped = true;
                    break;
                }
                const int b = wrapped(s.bauds.selected, j, bauds);
                const std::string& baud = s.bauds.names[static_cast<std::size_t>(b)];
                m_view.gaugeCaption(addressCaption(protocol, baud));
                const auto reply = ask({s.target, s.port, protocol, baud, address, true, true});
                // Only the first pair that reaches a module is kept; the others are still
                // tried, which is what a debug sweep is for.
                if (reply && !record.hit) {
                    answered(record, *reply);
                    record.hit = true;
                    record.setting = packSetting({p, b, s.portIndex, 0});
                }
            }
        }
        if (record.hit) {
            m_table.found.append(address);
            any = true;
        }
        if (stopped) {
            return ScanEnd::Stopped;
        }
    }
    m_view.gaugeShown(false);
    return any ? ScanEnd::Answered : ScanEnd::Silent;
}

ScanEnd ScanEngine::checking(const CheckingStart& s) {
    plan(kAddressCount);
    m_view.gaugeRange(1, kLastAddress);
    m_view.gaugeShown(true);
    bool any = false;
    for (int address = 0; address < kAddressCount; ++address) {
        if (m_view.stopRequested()) {
            return ScanEnd::Stopped;
        }
        m_view.gaugeCaption(addressCaption(s.protocol, s.baud));
        m_view.gaugePosition(address);
        std::string target = s.configuredTarget ? s.configuredTarget(address) : std::string();
        if (target.empty()) {
            target = kFirstRestTarget;
        }
        m_view.trace(target);
        const auto reply = ask(
            {target, s.port, s.protocol, s.baud, address, address == 0, address == kLastAddress});
        ScanRecord& record = m_table.records[static_cast<std::size_t>(address)];
        if (reply) {
            answered(record, *reply);
            any = true;
        } else {
            record.state = ScanState::Silent;
            record.reply.clear();
        }
        m_table.found.append(address);
    }
    m_view.gaugeShown(false);
    return any ? ScanEnd::Answered : ScanEnd::Silent;
}

} // namespace tamsel::discovery
