// Short waits at the microsecond scale spin on the clock: sleeping is far too coarse
// for the timing around RTS.
#pragma once

#include <chrono>

namespace linkor {

inline void spinFor(std::chrono::nanoseconds duration) {
    const auto until = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < until) {
    }
}

/// Duration of `bits` bit times at `baud`.
inline std::chrono::nanoseconds bitTimes(int bits, int baud) {
    return std::chrono::nanoseconds(static_cast<long long>(bits) * 1000000000LL /
                                    (baud > 0 ? baud : 1));
}

} // namespace linkor
