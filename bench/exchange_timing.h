// The driver's own latency at both ends of an exchange, taken from the virtual line's time
// stamps: from the call to the first byte of the command on the line, and from the last byte
// of the reply on the line to the return. What the protocol makes the driver wait on either
// side is taken off, so that what is left is the driver's (and the rig's) overhead alone.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

/// One call of the driver, as the caller saw it.
struct Call {
    Clock::time_point start;
    Clock::time_point end;
};

/// One byte on the virtual line, as its log has it.
struct LineByte {
    Clock::time_point time;
    bool toModules;
    std::uint8_t value = 0;
};

/// The two ends of one exchange, in microseconds; `complete` is false when the line saw no
/// command or no reply byte within the call.
struct EndLatency {
    double sendUs = 0;
    double replyUs = 0;
    bool complete = false;
};

/// The ends of each call. The command begins with the first @p commandStart the driver sends
/// within the call: a late byte of the exchange before (its acknowledgement, logged after that
/// call returned on a loaded machine) is no command. The reply is the first run of the modules'
/// bytes after it, ended by the driver's next byte (an acknowledgement) or by the return.
/// @p log is in time order; @p preSendUs is the wait the protocol mandates before the first
/// byte, @p afterReplyUs the waits it mandates after the last reply byte before the return.
std::vector<EndLatency> endLatencies(const std::vector<Call>& calls,
                                     const std::vector<LineByte>& log, std::uint8_t commandStart,
                                     double preSendUs, double afterReplyUs);

struct Spread {
    double median = 0;
    double p99 = 0;
    std::size_t count = 0;
};

/// Median and 99th percentile by nearest rank; an empty set gives zeros.
Spread spreadOf(std::vector<double> values);

} // namespace bench
