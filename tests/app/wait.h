// The shell tests wait the one way every window test waits.
#pragma once

#include "support/event_wait.h"

namespace tamsel::shell::test {

inline bool waitFor(const std::function<bool()>& condition,
                    int timeoutMs = support::kGenerousWaitMs) {
    return support::waitForEvents(condition, timeoutMs);
}

inline void pump(int ms) {
    support::pumpEvents(ms);
}

} // namespace tamsel::shell::test
