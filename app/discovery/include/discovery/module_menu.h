// The pop-up menus of the module list and the per-module commands behind them: which menu a
// row opens, which of its items are enabled, and the texts, lists and commands each item
// leads to. The window shows what this gives and sends what it builds.
#pragma once

#include "discovery/module_table.h"
#include "discovery/scan_results.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamsel::discovery {

/// Identifiers of the pop-up items; an item's hint is the string of its number.
namespace menu_item {
inline constexpr int kChangeAddress = 1103;
inline constexpr int kChangeBaud = 1104;
inline constexpr int kChangeProtocol = 1105;
inline constexpr int kLabelNew = 1110;
inline constexpr int kLabelPick = 1111;
inline constexpr int kCancelSetting = 1120;
/// The associated type names follow "Cancel Setting", one identifier each.
inline constexpr int kFirstTypeName = 1121;
inline constexpr int kLocalize = 1130;
inline constexpr int kGetInfo = 1131;
inline constexpr int kFullIdentity = 1163;
inline constexpr int kTypeDescription = 1164;
inline constexpr int kFoundTypeDescription = 1165;
inline constexpr int kModifiedTypeDescription = 1091;
} // namespace menu_item

/// "Manual Type Setting" has room for this many type names.
inline constexpr int kMaxTypeNames = 5;

inline constexpr int kTypeDescriptionHelpContext = 1057;
inline constexpr int kGetInfoHelpContext = 1056;
inline constexpr int kLocalizeHelpContext = 1052;

/// An item, or a submenu when it has items (a submenu has no identifier).
struct MenuItem {
    int id = 0;
    std::string text;
    bool enabled = true;
    std::vector<MenuItem> items;
};

enum class MenuKind { None, Present, Found, Modified };

/// What a right click on a row of the module list does.
struct RowClick {
    MenuKind kind = MenuKind::None;
    std::vector<MenuItem> items;
    /// A right click during a localize stops it and opens nothing.
    bool stopLocalize = false;
    std::string messageLine;
};

enum class ConfigChange { Address, Baud, Protocol };

/// The input dialog of Change Configuration: a prompt over a drop-down of choices.
struct ChoiceDialog {
    std::string title;
    std::string prompt;
    std::vector<std::string> choices;
    /// The value each choice carries (the address of an "Address" choice), -1 where none.
    std::vector<int> values;
};

/// A box asking OK or Cancel.
struct ConfirmBox {
    std::string title;
    std::string text;
};

/// A text sent to the module with the direct exchange, and the traces that go with it; an
/// empty text when no menu is open on a module, and nothing is to be sent.
struct DirectCommand {
    std::string target;
    std::string text;
    std::vector<std::string> traces;
};

/// The small input dialog of "New one".
struct LabelDialog {
    std::string title;
    std::string prompt;
    std::string initial;
    std::size_t maxLength = kMaxLabelLength;
};

/// One entry of the label drop-down: a label the project held and its module's address.
struct LabelItem {
    std::string label;
    int address = 0;
    bool operator==(const LabelItem&) const = default;
};

/// What an input field keeps of a typed label: the accepted characters, cut at ten.
std::string filterLabel(std::string_view typed);
/// Whether the label field accepts a character.
bool labelCharacterAccepted(char c);

/// The labels of the modules in a table, for the label drop-down.
std::vector<LabelItem> labelList(const ModuleTable& table);

/// The result of a direct exchange as the user reads it.
std::string directExchangeResult(const std::optional<std::string>& reply);

class ModuleMenus {
  public:
    ModuleMenus(ModuleTable& table, TCatalogueQueries& catalogue)
        : m_table(table), m_catalogue(catalogue) {}

    /**
     * @brief A right click on a row: the menu of its entry's state, the entry made current
     * and highlighted; no menu for a lost row or a row beyond the table, whose click removes
     * the highlight instead.
     */
    RowClick rightClick(int row, bool localizing);
    /// The message line while the pointer is over an item of the menu opened last; empty
    /// where the item's string is the window's.
    std::string hint(int itemId);

    ChoiceDialog changeDialog(ConfigChange change) const;
    ConfirmBox confirmChange() const;
    /// The command that makes the current module take @p chosen.
    DirectCommand changeCommand(ConfigChange change, const std::string& chosen);
    DirectCommand fullIdentityCommand();
    std::string fullIdentityTitle() const;

    LabelDialog labelDialog() const;
    /// OK in the label dialog: the field's text becomes the current entry's label.
    void setLabel(std::string_view typed);
    /// "Pick from list": the label of each item goes to the module at its address.
    void pickLabels(const std::vector<LabelItem>& items);

    /// A type name of "Manual Type Setting" chosen: the associated type of that name.
    void chooseType(int itemId);
    /// "Cancel Setting": back to the generic type.
    void cancelSetting();

    /// Get Info on a modified row: how the module differs from its configuration.
    ResultBox getInfo() const;
    ConfirmBox localizeBox() const;

  private:
    std::vector<MenuItem> presentMenu();
    const ModuleEntry& currentEntry() const;

    ModuleTable& m_table;
    TCatalogueQueries& m_catalogue;
    /// The type names the last "Manual Type Setting" listed.
    std::vector<std::string> m_typeNames;
};

} // namespace tamsel::discovery
