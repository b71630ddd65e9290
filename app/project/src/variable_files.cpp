#include "project/variable_files.h"

#include "text.h"

namespace tamsel::project {

namespace {

constexpr std::string_view kDefaultBase = "BugMapSeeQZ";
constexpr int32_t kMaxCount = 32;

bool push(std::vector<VariableItem>& items, std::string itemText, int32_t number) {
    if (itemText.size() > kMaxVariableItem) {
        return false;
    }
    items.push_back({std::move(itemText), number});
    return true;
}

} // namespace

bool readVariableLine(std::string_view line, std::vector<VariableItem>& items) {
    if (text::trim(line).empty() || line.front() == ';') {
        return true;
    }
    if (text::hasControlBytes(line)) {
        return false;
    }
    const auto w = text::words(line);
    if (w.size() < 2) {
        return false;
    }
    const std::string_view name = w[0];
    const auto number = text::toInt(w[1]);
    if (!number) {
        return false;
    }
    if (name.front() != '*') {
        return push(items, *number == 0 ? std::string(name) : "#" + std::string(name), *number);
    }
    std::string_view rest = name.substr(1);
    std::size_t digits = 0;
    while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9') {
        ++digits;
    }
    const auto count = text::toInt(rest.substr(0, digits));
    if (!count || *count < 1 || *count > kMaxCount) {
        return false;
    }
    std::string_view base = rest.substr(digits);
    if (base.empty()) {
        base = kDefaultBase;
    }
    std::vector<VariableItem> made;
    for (int32_t i = 1; i <= *count; ++i) {
        std::string itemText = base.front() == '!'
                                   ? text::format("#%d", i)
                                   : "#" + std::string(base) + text::format("%d", i);
        if (!push(made, std::move(itemText), *number)) {
            return false;
        }
    }
    items.insert(items.end(), made.begin(), made.end());
    return true;
}

std::vector<VariableItem> readVariableFile(std::string_view bytes, int* ignored) {
    std::vector<VariableItem> items;
    int refused = 0;
    for (const auto& line : text::lines(bytes)) {
        if (!readVariableLine(line.content, items)) {
            ++refused;
        }
    }
    if (ignored) {
        *ignored = refused;
    }
    return items;
}

const std::vector<VariableItem>* TVariableCache::find(int32_t typeCode) const {
    const int32_t type = typeCode & 0xFFFF;
    for (const auto& entry : m_entries) {
        if (entry.type == type) {
            return &entry.items;
        }
    }
    return nullptr;
}

const std::vector<VariableItem>& TVariableCache::add(int32_t typeCode,
                                                     std::vector<VariableItem> items) {
    m_entries.push_back({typeCode & 0xFFFF, std::move(items)});
    return m_entries.back().items;
}

} // namespace tamsel::project
