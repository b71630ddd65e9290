#include "comm/poll_table.h"

#include "comm/read_commands.h"

namespace tkv {

namespace {
constexpr int kSearchRounds = 2;
} // namespace

bool TKV_PollTable::isFree(int i) const {
    const TagPollEntry& e = entry(i);
    return e.mode == kPollFree && e.owner == 0;
}

bool TKV_PollTable::add(const TagPollEntry& in) {
    if (in.request == nullptr) {
        return false;
    }
    const int32_t count = cmdset::repeatCount(in.kind, in.request->typeCode);
    if (in.kind == kKindSpecificGroup) {
        const bool firstFamily = familyOf(in.request->typeCode) == kFamilyTrilo;
        const int32_t kinds[kPollGroupSize] = {
            kKindPowerOnFunction, firstFamily ? kKindEndSensorCell : kKindSpecificLabelled,
            firstFamily ? kKindSlidingShort : kKindAutoOutput};
        for (int start = 0; start <= kPollLastGroupStart; ++start) {
            if (!isFree(start) || !isFree(start + 1) || !isFree(start + 2)) {
                continue;
            }
            in.request->count = count;
            for (int k = 0; k < kPollGroupSize; ++k) {
                TagPollEntry& e = m_entries[static_cast<std::size_t>(start + k)];
                e = in;
                e.kind = kinds[k];
                e.count = 0;
            }
            return true;
        }
        return false;
    }
    for (int i = 0; i < kPollEntries; ++i) {
        if (isFree(i)) {
            in.request->count = count;
            TagPollEntry& e = m_entries[static_cast<std::size_t>(i)];
            e = in;
            e.count = count;
            return true;
        }
    }
    return false;
}

void TKV_PollTable::setModeByOwner(TKV_WindowHandle owner, int32_t mode) {
    for (TagPollEntry& e : m_entries) {
        if (e.owner != owner) {
            continue;
        }
        if (mode == kPollFree) {
            e.mode = kPollFree;
            e.owner = 0;
        } else if (e.mode != kPollFree) {
            // A once entry that has run keeps its owner until the search frees it; pausing
            // and resuming the owner's entries must not bring it back to life.
            e.mode = mode;
        }
    }
}

void TKV_PollTable::setModeByKind(int32_t kind, int32_t mode) {
    for (TagPollEntry& e : m_entries) {
        if (e.kind == kind) {
            e.mode = mode;
            // A withdrawn entry is free at once, as one withdrawn by its owner: a later
            // mode change of that owner must not bring it back.
            if (mode == kPollFree) {
                e.owner = 0;
            }
        }
    }
}

int TKV_PollTable::next(const std::function<bool()>& enabled) {
    // -1 (only paused entries last time) starts again from the first entry.
    int i = m_index < 0 || m_index > kPollEntries ? 0 : m_index;
    int endsSeen = 0;
    bool pausedSeen = false;
    while (enabled()) {
        if (i >= kPollEntries) {
            // The end marker: round again from the first entry, once.
            if (++endsSeen >= kSearchRounds) {
                break;
            }
            i = 0;
            continue;
        }
        TagPollEntry& e = m_entries[static_cast<std::size_t>(i)];
        switch (e.mode) {
        case kPollFree:
            e.owner = 0;
            break;
        case kPollPaused:
            pausedSeen = true;
            break;
        case kPollOnce:
            e.mode = kPollFree;
            m_index = i;
            return i;
        case kPollPeriodic:
            m_index = i;
            return i;
        default:
            break;
        }
        ++i;
    }
    m_index = pausedSeen ? -1 : 0;
    return -1;
}

} // namespace tkv
