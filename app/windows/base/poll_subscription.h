// A window's poll entries for as long as the subscription lives: registered (0x5552) when
// it is built, paused (mode 2) and resumed (mode 1) with the window, withdrawn (mode 0) when
// it goes. Declare it after the records its entries point at: it is destroyed first, and the
// withdrawal returns only when the poll thread has stopped writing into them.
#pragma once

#include <contract/records.h>
#include <contract/request_sink.h>

#include <vector>

namespace tamsel::windows {

class TPollSubscription final {
  public:
    /// Registers @p entries under @p owner (their owner field is set here). An entry the
    /// full table has no room for is simply never read.
    /// A window whose entries read once each (mode kPollOnce) gives that as @p resumeMode:
    /// a read that was waiting when the window was minimised is still a single read after.
    TPollSubscription(contract::TRequestSink& app, contract::TKV_WindowHandle owner,
                      std::vector<contract::TagPollEntry> entries,
                      std::int32_t resumeMode = contract::kPollPeriodic);
    ~TPollSubscription();
    TPollSubscription(const TPollSubscription&) = delete;
    TPollSubscription& operator=(const TPollSubscription&) = delete;

    /// Registers one more entry under the owner, paused while the subscription is.
    void add(contract::TagPollEntry entry);
    /// Stops the reads while the window cannot be seen.
    void pause();
    /// Reads again, in the resume mode.
    void resume();
    bool paused() const { return m_paused; }
    contract::TKV_WindowHandle owner() const { return m_owner; }

  private:
    void setMode(std::int32_t mode);

    contract::TRequestSink& m_app;
    contract::TKV_WindowHandle m_owner;
    std::int32_t m_resumeMode;
    bool m_paused = false;
};

} // namespace tamsel::windows
