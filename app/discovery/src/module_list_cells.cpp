#include "discovery/module_list_cells.h"

#include "text_format.h"

namespace tamsel::discovery {

namespace {

using detail::format;

constexpr Rgb kLostFill{198, 198, 255};
constexpr Rgb kFoundFill{127, 198, 127};
constexpr Rgb kModifiedFill{255, 255, 128};

// Each column keeps a colour of its own, and the word "found" another, so that a glance tells
// the columns apart on the coloured rows.
constexpr Rgb kPlainText{0, 0, 0};
constexpr Rgb kTargetText{0, 0, 160};
constexpr Rgb kSerialText{128, 0, 0};
constexpr Rgb kLabelText{0, 96, 96};
constexpr Rgb kFoundText{0, 112, 0};

std::string nameAt(const std::vector<std::string>& names, int index) {
    return index >= 0 && index < static_cast<int>(names.size())
               ? names[static_cast<std::size_t>(index)]
               : std::string{};
}

std::string infoText(const ModuleEntry& e, const WorkingListNames& lists) {
    switch (e.state) {
    case entry_state::kFound:
        return "found";
    case entry_state::kLost:
        return "lost";
    case entry_state::kModified:
        return "modified";
    case entry_state::kFullDebug: {
        const LineIndexes line = unpackSetting(e.lineSetting);
        return nameAt(lists.bauds, line.baud) + "," + nameAt(lists.protocols, line.protocol);
    }
    default:
        return e.label;
    }
}

Rgb infoColour(const ModuleEntry& e) {
    return e.state == entry_state::kFound ? kFoundText : kLabelText;
}

} // namespace

const std::array<const char*, kListColumns> kListHeaders{" @", "Target", "Type", "serial n",
                                                         "Label/Info"};
const std::array<int, kListColumns> kListColumnWidths{4, 8, 8, 7, 10};

std::optional<Rgb> rowBackground(int32_t state) {
    switch (state) {
    case entry_state::kLost:
        return kLostFill;
    case entry_state::kFound:
        return kFoundFill;
    case entry_state::kModified:
        return kModifiedFill;
    default:
        return std::nullopt;
    }
}

ListCell listCell(const ModuleTable& table, const WorkingListNames& lists, int row, int column) {
    ListCell cell;
    const ModuleEntry* e = table.entryOfRow(row);
    if (e == nullptr) {
        return cell;
    }
    cell.rowState = e->state;
    cell.highlighted = table.highlighted() && table.current() == e->address;
    switch (column) {
    case list_column::kAddress:
        cell.text = format("%02d ", e->address);
        cell.textColour = kPlainText;
        break;
    case list_column::kTarget:
        cell.text = e->target;
        cell.textColour = kTargetText;
        break;
    case list_column::kType:
        cell.text = e->typeName;
        cell.textColour = kPlainText;
        break;
    case list_column::kSerial:
        cell.text = e->serial;
        cell.textColour = kSerialText;
        break;
    case list_column::kLabel:
        cell.text = infoText(*e, lists);
        cell.textColour = infoColour(*e);
        break;
    default:
        break;
    }
    return cell;
}

} // namespace tamsel::discovery
