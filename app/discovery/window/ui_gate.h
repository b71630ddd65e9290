// The one way the scan worker reaches the application: each call is handed to the
// user-interface thread and waited for there, so the line and the widgets are only ever
// touched by that thread. The gate can be shut: a worker that calls it afterwards gets a
// refusal at once, which is how a window that goes away during a scan ends its worker
// without waiting on itself.
#pragma once

#include <QObject>

#include <condition_variable>
#include <functional>
#include <mutex>

namespace tamsel::discovery {

class TUiGate {
  public:
    /// Calls are run in the thread of @p owner, as queued calls on it.
    explicit TUiGate(QObject& owner) : m_owner(owner) {}
    TUiGate(const TUiGate&) = delete;
    TUiGate& operator=(const TUiGate&) = delete;

    /// From the worker: runs @p call on the owner's thread and waits until it has run.
    /// @return false, without running it, once the gate is shut.
    bool run(const std::function<void()>& call);
    /// From the owner's thread: no call runs any more, and a waiting worker is let go.
    void shut();
    bool isShut() const;

  private:
    void serve();

    QObject& m_owner;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    const std::function<void()>* m_pending = nullptr;
    bool m_done = false;
    bool m_running = false;
    bool m_shut = false;
};

} // namespace tamsel::discovery
