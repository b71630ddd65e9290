// The one way a test without an event loop waits: for a positive event, with a generous bound,
// never for a silence that might just be a slow machine.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace support {

using namespace std::chrono_literals;

/// Long enough for anything the line or a thread has to do on a slow, loaded machine.
inline constexpr auto kGenerousWait = 30s;
/// How often a condition is looked at again.
inline constexpr auto kWaitStep = 20ms;

/// Repeats @p done until it holds or @p bound has passed; whether it held.
inline bool waitUntil(const std::function<bool()>& done,
                      std::chrono::steady_clock::duration bound = kGenerousWait) {
    const auto end = std::chrono::steady_clock::now() + bound;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        std::this_thread::sleep_for(kWaitStep);
    }
    return true;
}

} // namespace support
