#include "ui_gate.h"

namespace tamsel::discovery {

bool TUiGate::run(const std::function<void()>& call) {
    std::unique_lock lock(m_mutex);
    if (m_shut) {
        return false;
    }
    m_pending = &call;
    m_done = false;
    // The owner is the context of the queued call: if it is destroyed first, Qt drops the
    // call, and shut() has let this worker go already.
    QMetaObject::invokeMethod(
        &m_owner, [this] { serve(); }, Qt::QueuedConnection);
    // A call that has begun is waited for even when the gate shuts meanwhile: it runs on
    // this worker's arguments.
    m_changed.wait(lock, [this] { return m_done || (m_shut && !m_running); });
    const bool ran = m_done;
    m_pending = nullptr;
    return ran;
}

void TUiGate::serve() {
    const std::function<void()>* call = nullptr;
    {
        const std::lock_guard lock(m_mutex);
        if (m_shut || m_pending == nullptr || m_done) {
            return;
        }
        call = m_pending;
        m_running = true;
    }
    // Run unlocked: the call may show a box, whose loop serves nothing of this gate, and the
    // worker stays blocked on the condition meanwhile.
    (*call)();
    {
        const std::lock_guard lock(m_mutex);
        m_done = true;
        m_running = false;
    }
    m_changed.notify_all();
}

void TUiGate::shut() {
    {
        const std::lock_guard lock(m_mutex);
        m_shut = true;
    }
    m_changed.notify_all();
}

bool TUiGate::isShut() const {
    const std::lock_guard lock(m_mutex);
    return m_shut;
}

} // namespace tamsel::discovery
