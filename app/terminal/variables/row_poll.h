// One row's poll entry for as long as the row shows its variable: registered (0x5552) when
// the row is filled, withdrawn by its kind (0x5554, mode 0) when the row is emptied or the
// window goes. The withdrawal returns only when the poll thread no longer reads the row's
// record, so the record may be reused for another variable right after.
#pragma once

#include <contract/records.h>
#include <contract/request_sink.h>

namespace tamsel::terminal::variables {

class TRowPoll final {
  public:
    /// Registers @p entry (its owner and mode are as given).
    TRowPoll(contract::TRequestSink& app, const contract::TagPollEntry& entry);
    ~TRowPoll();
    TRowPoll(const TRowPoll&) = delete;
    TRowPoll& operator=(const TRowPoll&) = delete;

    std::int32_t kind() const { return m_kind; }
    /// The owner withdrew all its entries at once: nothing is left to withdraw by kind, and
    /// withdrawing by kind could hit another window's entry of the same kind.
    void forget() { m_withdrawn = true; }

  private:
    contract::TRequestSink& m_app;
    std::int32_t m_kind;
    bool m_withdrawn = false;
};

} // namespace tamsel::terminal::variables
