// The thread that runs one scan of the configuration window: the engine's probe, lists and
// view over the application's requests, every one of them run on the user-interface thread
// through the gate. The window reads what the gauge should show from here at idle time.
#pragma once

#include "ui_gate.h"

#include <contract/request_sink.h>
#include <discovery/scan_engine.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace tamsel::discovery {

/// What the gauge shows, as the scan last set it.
struct GaugeState {
    int low = 0;
    int high = 100;
    int position = 0;
    std::string caption;
    bool shown = false;
    std::chrono::milliseconds remaining{-1};
};

/// The sweep a worker runs, given the engine it runs over.
using ScanJob = std::function<ScanEnd(ScanEngine&)>;

class TScanWorker final : private ScanProbe, private ScanLists, private ScanView {
  public:
    /// Requests go to @p app, run in the thread of @p owner; the scan fills @p table.
    TScanWorker(contract::TRequestSink& app, QObject& owner, ScanTable& table);
    /// Shuts the gate and joins: a scan that still runs ends before its next probe.
    ~TScanWorker() override;
    TScanWorker(const TScanWorker&) = delete;
    TScanWorker& operator=(const TScanWorker&) = delete;

    /// Starts @p job on a thread of its own; only while no job runs.
    void start(ScanJob job);
    /// The scan ends before its next probe.
    void requestStop() { m_stop = true; }
    /// A job was started and has not been collected yet.
    bool busy() const { return m_thread.joinable(); }
    /// The job has returned; collect() may be called.
    bool finished() const { return m_finished; }
    /// Joins the finished job and tells how it ended.
    ScanEnd collect();

    GaugeState gauge() const;
    /// The configuration of the last probe made.
    ProbeTry lastTry() const;

  private:
    std::optional<std::string> probe(const ProbeTry& t) override;
    NameList protocolsOf(const std::string& target) override;
    NameList baudsOf(const std::string& target, const std::string& protocol) override;
    bool stopRequested() override;
    void gaugeRange(int low, int high) override;
    void gaugePosition(int position) override;
    void gaugeCaption(const std::string& caption) override;
    void gaugeShown(bool shown) override;
    void trace(const std::string& text) override;
    void trying(const ProbeTry& t) override;
    void remainingTime(std::chrono::milliseconds left) override;

    void request(std::uint16_t code, void* record);

    contract::TRequestSink& m_app;
    ScanTable& m_table;
    TUiGate m_gate;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_finished{false};
    ScanEnd m_end = ScanEnd::Silent;
    mutable std::mutex m_mutex;
    GaugeState m_gauge;
    ProbeTry m_last;
    // Declared last: the thread goes first, before anything it uses.
    std::thread m_thread;
};

} // namespace tamsel::discovery
