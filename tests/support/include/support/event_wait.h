// How a test with a Qt event loop waits: the loop turns while the condition is looked at, so
// queued signals and timers of the code under test run; generous bound, never a fixed sleep.
#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <functional>

namespace support {

/// Long enough for a window, a thread or the line on a slow, loaded machine.
inline constexpr int kGenerousWaitMs = 20000;
/// How long the event loop turns between two looks at the condition.
inline constexpr int kEventWaitStepMs = 5;

/// Turns the event loop until @p condition holds or @p timeoutMs has passed; whether it held.
inline bool waitForEvents(const std::function<bool()>& condition, int timeoutMs = kGenerousWaitMs) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs) {
            return false;
        }
        QEventLoop loop;
        QTimer::singleShot(kEventWaitStepMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

/// Turns the event loop for @p ms: for letting a queued reaction run, never as a wait for one.
inline void pumpEvents(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace support
