/**
 * @file line_guard.h
 * Keeps the foreground exchanges of the user-interface thread and the reads of the poll
 * thread apart on the working line.
 *
 * The three flags of the poll protocol (polling enabled, poll thread busy, stop requested)
 * are atomics. On top of them every use of the driver holds the wire lock, so that two
 * exchanges never interleave on the line even when the poll thread outlasts the foreground
 * wait; the lock is never held while either thread waits for the other one's window.
 */
#pragma once

#include <atomic>
#include <mutex>

namespace tkv {

class TKV_LineGuard {
  public:
    /// Most 10 ms steps a foreground exchange waits for the poll thread.
    static constexpr int kMaxWaitSteps = 21;

    /**
     * @brief Foreground: disables polling, waits while the poll thread is busy, then takes
     *        the wire.
     * @return the number of 10 ms steps waited.
     */
    int acquire();
    /// Foreground: gives the wire back and enables polling (even if it was off before).
    void release();

    /// The lock every call of the driver is made under; it may be taken again by its holder.
    std::recursive_mutex& wire() { return m_wire; }

    bool pollingEnabled() const { return m_enabled.load(); }
    void startPolling() { m_enabled.store(true); }
    /// Asks the poll thread to disable polling after its current pass.
    void requestStop();

    /// Poll thread: sets busy when polling is enabled; false when it is not.
    bool beginPass();
    /// Poll thread: marks itself busy or idle between the reads of one pass.
    void setBusy(bool busy) { m_busy.store(busy); }
    bool busy() const { return m_busy.load(); }
    /// Poll thread: clears busy and carries out a stop request.
    void endPass();

  private:
    std::atomic<bool> m_enabled{false};
    std::atomic<bool> m_busy{false};
    std::atomic<bool> m_stop{false};
    std::recursive_mutex m_wire;
};

/// A foreground exchange's hold on the line, for one scope.
class TKV_LineHold {
  public:
    explicit TKV_LineHold(TKV_LineGuard& guard) : m_guard(guard), m_steps(guard.acquire()) {}
    ~TKV_LineHold() { m_guard.release(); }
    TKV_LineHold(const TKV_LineHold&) = delete;
    TKV_LineHold& operator=(const TKV_LineHold&) = delete;
    int steps() const { return m_steps; }

  private:
    TKV_LineGuard& m_guard;
    int m_steps;
};

} // namespace tkv
