// What the module list draws in each cell: the texts of the five columns, the row's state and
// whether it is highlighted, and the background colour a state fills the row with.
#pragma once

#include "discovery/module_table.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tamsel::discovery {

inline constexpr int kListColumns = 5;
namespace list_column {
inline constexpr int kAddress = 0;
inline constexpr int kTarget = 1;
inline constexpr int kType = 2;
inline constexpr int kSerial = 3;
inline constexpr int kLabel = 4;
} // namespace list_column

/// The column headers, in column order.
extern const std::array<const char*, kListColumns> kListHeaders;
/// Widths of the columns in average characters of the list's font.
extern const std::array<int, kListColumns> kListColumnWidths;

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Rgb&) const = default;
};

/// The fill of a row in a state, or nothing when the row keeps the list's background.
std::optional<Rgb> rowBackground(int32_t state);

struct ListCell {
    std::string text;
    Rgb textColour;
    bool highlighted = false;
    /// The state of the row's entry; 1 for a row beyond the table, as the list presets it.
    int32_t rowState = entry_state::kPresent;
};

/// The working lists the packed line setting of a Full Debug entry indexes into.
struct WorkingListNames {
    std::vector<std::string> protocols;
    std::vector<std::string> bauds;
};

/// The cell at @p row and @p column of the module list; an empty text beyond the table.
ListCell listCell(const ModuleTable& table, const WorkingListNames& lists, int row, int column);

} // namespace tamsel::discovery
