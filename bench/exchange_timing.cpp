#include "exchange_timing.h"

#include <algorithm>
#include <cmath>

namespace bench {

namespace {

double microsecondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::micro>(to - from).count();
}

} // namespace

std::vector<EndLatency> endLatencies(const std::vector<Call>& calls,
                                     const std::vector<LineByte>& log, std::uint8_t commandStart,
                                     double preSendUs, double afterReplyUs) {
    std::vector<EndLatency> out;
    out.reserve(calls.size());
    std::size_t at = 0;
    for (const Call& c : calls) {
        while (at < log.size() && log[at].time < c.start) {
            ++at;
        }
        // The reply is the first run of the modules' bytes after the command: what the
        // modules send after the driver's acknowledgement belongs to no reply.
        const LineByte* firstCommand = nullptr;
        const LineByte* lastReply = nullptr;
        for (std::size_t i = at; i < log.size() && log[i].time <= c.end; ++i) {
            if (log[i].toModules) {
                if (lastReply != nullptr) {
                    break;
                }
                if (firstCommand == nullptr && log[i].value == commandStart) {
                    firstCommand = &log[i];
                }
            } else if (firstCommand != nullptr) {
                lastReply = &log[i];
            }
        }
        EndLatency e;
        if (firstCommand != nullptr && lastReply != nullptr) {
            e.sendUs = microsecondsBetween(c.start, firstCommand->time) - preSendUs;
            e.replyUs = microsecondsBetween(lastReply->time, c.end) - afterReplyUs;
            e.complete = true;
        }
        out.push_back(e);
    }
    return out;
}

Spread spreadOf(std::vector<double> values) {
    Spread s;
    s.count = values.size();
    if (values.empty()) {
        return s;
    }
    std::sort(values.begin(), values.end());
    const auto rank = [&values](double p) {
        const auto n = static_cast<double>(values.size());
        const auto k = static_cast<std::size_t>(std::ceil(p * n));
        return values[std::clamp<std::size_t>(k, 1, values.size()) - 1];
    };
    s.median = rank(0.5);
    s.p99 = rank(0.99);
    return s;
}

} // namespace bench
