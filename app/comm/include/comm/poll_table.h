/**
 * @file poll_table.h
 * The poll table: the reads that windows asked to be made periodically or once, and the
 * search of the poll thread for the next one to run. Not locked: its owner is.
 */
#pragma once

#include "comm/comm_records.h"

#include <array>
#include <functional>

namespace tkv {

class TKV_PollTable {
  public:
    /**
     * @brief Adds an entry; the entry's and its record's repeat counts are set from the
     *        module family first. A kind-0x20 entry takes three consecutive free entries.
     * @return false when the table had no room (or the entry no record): nothing changed.
     */
    bool add(const TagPollEntry& entry);

    /// Sets the mode of every live entry of @p owner; mode 0 also frees them. An entry
    /// already free stays free.
    void setModeByOwner(TKV_WindowHandle owner, int32_t mode);
    /// Sets the mode of every entry of @p kind; mode 0 also frees them.
    void setModeByKind(int32_t kind, int32_t mode);

    /**
     * @brief Looks for the next entry to run from the poll index, going round the table at
     *        most twice, and stopping as soon as @p enabled says no.
     * @return the index of the entry chosen, -1 when there is none (a once entry is freed
     *         as it is chosen).
     */
    int next(const std::function<bool()>& enabled);
    /// Moves the poll index past the entry that ran.
    void advance(int ran) { m_index = ran + 1; }

    const TagPollEntry& entry(int i) const { return m_entries[static_cast<std::size_t>(i)]; }
    /// Index where the next search starts (-1: only paused entries were seen).
    int32_t index() const { return m_index; }
    static constexpr int size() { return kPollEntries; }

  private:
    bool isFree(int i) const;

    std::array<TagPollEntry, kPollEntries> m_entries{};
    int32_t m_index = 0;
};

} // namespace tkv
