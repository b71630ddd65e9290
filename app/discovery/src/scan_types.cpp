#include "discovery/scan_types.h"

namespace tamsel::discovery {

namespace {
constexpr int kFieldBits = 8;
constexpr uint32_t kFieldMask = 0xFFU;

uint32_t field(int value, int slot) {
    return (static_cast<uint32_t>(value) & kFieldMask) << (slot * kFieldBits);
}

int fieldOf(int32_t packed, int slot) {
    return static_cast<int>((static_cast<uint32_t>(packed) >> (slot * kFieldBits)) & kFieldMask);
}

enum Slot { kProtocolSlot = 0, kBaudSlot = 1, kPortSlot = 2, kTargetSlot = 3 };
} // namespace

int32_t packSetting(const LineIndexes& i) {
    return static_cast<int32_t>(field(i.protocol, kProtocolSlot) | field(i.baud, kBaudSlot) |
                                field(i.port, kPortSlot) | field(i.target, kTargetSlot));
}

LineIndexes unpackSetting(int32_t packed) {
    return {fieldOf(packed, kProtocolSlot), fieldOf(packed, kBaudSlot), fieldOf(packed, kPortSlot),
            fieldOf(packed, kTargetSlot)};
}

void FoundList::clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_addresses.clear();
}

void FoundList::append(int address) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_addresses.push_back(address);
}

int FoundList::size() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(m_addresses.size());
}

int FoundList::at(int index) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_addresses.at(static_cast<std::size_t>(index));
}

std::vector<int> FoundList::all() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_addresses;
}

void ScanTable::clear() {
    records.fill(ScanRecord{});
    found.clear();
}

} // namespace tamsel::discovery
