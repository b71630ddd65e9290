#include "comm/line_guard.h"

#include <chrono>
#include <thread>

namespace tkv {

namespace {
constexpr auto kWaitStep = std::chrono::milliseconds(10);
} // namespace

int TKV_LineGuard::acquire() {
    m_enabled.store(false);
    int steps = 0;
    while (m_busy.load() && steps < kMaxWaitSteps) {
        std::this_thread::sleep_for(kWaitStep);
        ++steps;
    }
    m_wire.lock();
    return steps;
}

void TKV_LineGuard::release() {
    m_wire.unlock();
    m_enabled.store(true);
}

void TKV_LineGuard::requestStop() {
    if (m_enabled.load()) {
        m_stop.store(true);
    }
}

bool TKV_LineGuard::beginPass() {
    if (!m_enabled.load()) {
        return false;
    }
    m_busy.store(true);
    return true;
}

void TKV_LineGuard::endPass() {
    m_busy.store(false);
    if (m_stop.exchange(false)) {
        m_enabled.store(false);
    }
}

} // namespace tkv
