// The poll table operations and the poll thread.
#include "comm/comm_dll.h"

#include <chrono>
#include <vector>

namespace tkv {

namespace {
constexpr auto kPassPeriod = std::chrono::milliseconds(300);

bool isSpecificMember(int32_t kind) {
    return kind >= kKindPowerOnFunction && kind <= kKindAutoOutput;
}
} // namespace

bool TKV_CommDLL::addPollEntry(const TagPollEntry& entry) {
    std::lock_guard<std::mutex> lock(m_tableMutex);
    return m_table.add(entry);
}

void TKV_CommDLL::setModeByOwner(TKV_WindowHandle owner, int32_t mode) {
    std::unique_lock<std::mutex> lock(m_tableMutex);
    std::vector<const TagRequest*> records;
    for (int i = 0; i < TKV_PollTable::size(); ++i) {
        if (m_table.entry(i).owner == owner) {
            records.push_back(m_table.entry(i).request);
        }
    }
    m_table.setModeByOwner(owner, mode);
    if (mode != kPollFree) {
        return;
    }
    // The window frees its records after this: the read in progress must be over. The
    // poll thread does not wait for this thread while it reads, so this wait ends.
    m_tableCv.wait(lock, [&] {
        for (const TagRequest* r : records) {
            if (r == m_inUse) {
                return false;
            }
        }
        return true;
    });
}

void TKV_CommDLL::setModeByKind(int32_t kind, int32_t mode) {
    std::unique_lock<std::mutex> lock(m_tableMutex);
    std::vector<const TagRequest*> records;
    for (int i = 0; i < TKV_PollTable::size(); ++i) {
        if (m_table.entry(i).kind == kind) {
            records.push_back(m_table.entry(i).request);
        }
    }
    m_table.setModeByKind(kind, mode);
    if (mode != kPollFree) {
        return;
    }
    // As for a withdrawal by owner: the window reuses or frees the record after this.
    m_tableCv.wait(lock, [&] {
        for (const TagRequest* r : records) {
            if (r == m_inUse) {
                return false;
            }
        }
        return true;
    });
}

void TKV_CommDLL::startPolling() {
    m_guard.startPolling();
}

void TKV_CommDLL::requestStop() {
    m_guard.requestStop();
}

bool TKV_CommDLL::pollingEnabled() const {
    return m_guard.pollingEnabled();
}

TagPollEntry TKV_CommDLL::pollEntry(int index) const {
    std::lock_guard<std::mutex> lock(m_tableMutex);
    if (index < 0 || index >= TKV_PollTable::size()) {
        return {};
    }
    return m_table.entry(index);
}

int32_t TKV_CommDLL::pollIndex() const {
    std::lock_guard<std::mutex> lock(m_tableMutex);
    return m_table.index();
}

void TKV_CommDLL::pollLoop() {
    std::unique_lock<std::mutex> lock(m_quitMutex);
    // Passes keep their period whatever their exchanges take; a pass that overran starts
    // the count afresh instead of letting the next ones bunch up.
    auto nextPass = std::chrono::steady_clock::now() + kPassPeriod;
    while (!m_quit) {
        m_quitCv.wait_until(lock, nextPass, [this] { return m_quit; });
        if (m_quit) {
            break;
        }
        nextPass += kPassPeriod;
        lock.unlock();
        if (m_guard.beginPass()) {
            runNextEntry();
            m_guard.endPass();
        }
        if (const auto now = std::chrono::steady_clock::now(); now > nextPass) {
            nextPass = now + kPassPeriod;
        }
        lock.lock();
    }
}

bool TKV_CommDLL::stillOwned(int index, const TagPollEntry& chosen) const {
    const TagPollEntry& now = m_table.entry(index);
    return chosen.owner != 0 && now.owner == chosen.owner && now.request == chosen.request;
}

void TKV_CommDLL::runNextEntry() {
    TagPollEntry chosen;
    int index = -1;
    {
        std::lock_guard<std::mutex> lock(m_tableMutex);
        index = m_table.next([this] { return m_guard.pollingEnabled(); });
        if (index < 0) {
            return;
        }
        chosen = m_table.entry(index);
        m_table.advance(index);
    }
    const int32_t count = chosen.count;
    for (int32_t sub = count == 0 ? 0 : 1; sub <= count; ++sub) {
        {
            std::lock_guard<std::mutex> lock(m_tableMutex);
            if (!stillOwned(index, chosen)) {
                return;
            }
            m_inUse = chosen.request;
        }
        m_guard.setBusy(true);
        {
            std::lock_guard<std::recursive_mutex> wire(m_guard.wire());
            TagRequest& r = *chosen.request;
            if (isSpecificMember(chosen.kind)) {
                r.kind = chosen.kind;
            }
            if (count > 0) {
                r.subIndex = sub;
            }
            read(r, true);
        }
        // Neither the line nor "busy" is kept while the owner's window handles the
        // notification on the user-interface thread.
        m_guard.setBusy(false);
        {
            std::lock_guard<std::mutex> lock(m_tableMutex);
            m_inUse = nullptr;
        }
        m_tableCv.notify_all();
        const int32_t message = m_notifyMessage.load();
        if (message != 0) {
            m_shell.send(chosen.owner, message, kNoteCompleted, chosen.kind);
        }
    }
}

} // namespace tkv
