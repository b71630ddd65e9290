#pragma once
// Selection lists that the project fills for the windows.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tamsel::project {

struct ListEntry {
    std::string text;
    /// The item's attached value, where the list attaches one.
    std::optional<int32_t> value;
    bool operator==(const ListEntry&) const = default;
};

struct ListFill {
    std::vector<ListEntry> entries;
    /// Index of the entry to select; -1 leaves the selection to the window.
    int selected = -1;
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        out.reserve(entries.size());
        for (const auto& entry : entries) {
            out.push_back(entry.text);
        }
        return out;
    }
};

/// The list selectors of the list requests 0x0302-0x0307.
namespace selector {
inline constexpr int32_t kPorts = 1;
inline constexpr int32_t kProtocols = 2;
inline constexpr int32_t kBauds = 3;
inline constexpr int32_t kModules = 4;
inline constexpr int32_t kModulesWithNone = 5;
inline constexpr int32_t kModulesWithVariables = 6;
inline constexpr int32_t kVariableNames = 7;
/// Request 0x0307 names the variable names of record n as 0x70000 + n.
inline constexpr int32_t kVariableNamesBase = 0x70000;
inline constexpr int32_t kTypeVariables = 0x302;
inline constexpr int32_t kDevices = 0x303;
} // namespace selector

} // namespace tamsel::project
