#include "discovery/module_menu.h"

#include "text_format.h"

#include <array>

namespace tamsel::discovery {

namespace {

using detail::format;

constexpr std::string_view kLabelCharacters =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_#+- ";

constexpr const char* kStopLocalizeLine = "Next localize will stopped";
constexpr const char* kChangeAddressHint = "To select another adress device";

constexpr std::array<const char*, 4> kBaudChoices{"9600", "19200", "38400", "115200"};
constexpr std::array<const char*, 4> kProtocolChoices{"XON", "ACK", "CONSOLE", "TERMINAL"};
constexpr int kNoValue = -1;

constexpr const char* kNoDialog = "No Dialog : ";

int32_t purposeOf(ConfigChange change) {
    switch (change) {
    case ConfigChange::Address:
        return command_purpose::kSetAddress;
    case ConfigChange::Baud:
        return command_purpose::kSetBaud;
    case ConfigChange::Protocol:
        return command_purpose::kSetProtocol;
    }
    return command_purpose::kSetAddress;
}

MenuItem item(int id, const char* text, bool enabled = true) {
    return {id, text, enabled, {}};
}

} // namespace

bool labelCharacterAccepted(char c) {
    return c != '\0' && kLabelCharacters.find(c) != std::string_view::npos;
}

std::string filterLabel(std::string_view typed) {
    std::string kept;
    for (const char c : typed) {
        if (kept.size() == kMaxLabelLength) {
            break;
        }
        if (labelCharacterAccepted(c)) {
            kept += c;
        }
    }
    return kept;
}

std::vector<LabelItem> labelList(const ModuleTable& table) {
    std::vector<LabelItem> items;
    for (const int address : table.rows()) {
        const ModuleEntry& e = table.entry(address);
        if (!e.label.empty()) {
            items.push_back({e.label, address});
        }
    }
    return items;
}

std::string directExchangeResult(const std::optional<std::string>& reply) {
    return reply ? *reply : std::string{kNoDialog};
}

const ModuleEntry& ModuleMenus::currentEntry() const {
    // Every item acts on the entry its menu was opened on; before any menu, or once that entry
    // is gone, they act on an empty entry and change nothing.
    static const ModuleEntry kNone;
    const int address = m_table.current();
    if (address == kNoAddress || m_table.entry(address).empty()) {
        return kNone;
    }
    return m_table.entry(address);
}

RowClick ModuleMenus::rightClick(int row, bool localizing) {
    RowClick click;
    if (localizing) {
        click.stopLocalize = true;
        click.messageLine = kStopLocalizeLine;
        return click;
    }
    const ModuleEntry* e = m_table.entryOfRow(row);
    if (e == nullptr || e->state == entry_state::kLost) {
        m_table.removeHighlight();
        return click;
    }
    switch (e->state) {
    case entry_state::kPresent:
        m_table.setCurrent(e->address);
        click.kind = MenuKind::Present;
        click.items = presentMenu();
        break;
    case entry_state::kFound:
        m_table.setCurrent(e->address);
        click.kind = MenuKind::Found;
        click.items = {item(menu_item::kLocalize, "Localize"),
                       item(menu_item::kFoundTypeDescription, "Type description")};
        break;
    case entry_state::kModified:
        m_table.setCurrent(e->address);
        click.kind = MenuKind::Modified;
        click.items = {item(menu_item::kLocalize, "Localize"),
                       item(menu_item::kGetInfo, "Get Info "),
                       item(menu_item::kModifiedTypeDescription, "Type description")};
        break;
    default:
        // A Full Debug row describes a line setting, not a module to act on.
        m_table.removeHighlight();
        break;
    }
    return click;
}

std::vector<MenuItem> ModuleMenus::presentMenu() {
    const ModuleEntry& e = currentEntry();
    const int32_t changes = m_catalogue.strategy(e.typeCode, kLineSettingsStrategy);
    MenuItem change{0, "Change Configuration", changes != 0, {}};
    change.items = {
        item(menu_item::kChangeAddress, "Address", (changes & kChangesAddress) != 0),
        item(menu_item::kChangeBaud, "BaudRate", (changes & kChangesBaud) != 0),
        item(menu_item::kChangeProtocol, "Protocole", (changes & kChangesProtocol) != 0)};

    MenuItem label{0, "Label setting   ", true, {}};
    label.items = {item(menu_item::kLabelNew, "New one"),
                   item(menu_item::kLabelPick, "Pick from list")};

    m_typeNames.clear();
    MenuItem manual{0, "Manual Type Setting", false, {}};
    MenuItem cancel = item(menu_item::kCancelSetting, "Cancel Setting", false);
    if (m_catalogue.isLabelGeneric(e.typeName)) {
        manual.enabled = true;
        const int32_t count = m_catalogue.associateCount(e.typeCode);
        for (int32_t i = 1; i <= count && i <= kMaxTypeNames; ++i) {
            m_typeNames.push_back(m_catalogue.associate(e.typeCode, i));
        }
    } else if (m_catalogue.isCodeAssociated(e.typeCode)) {
        manual.enabled = true;
        cancel.enabled = true;
    }
    manual.items.push_back(cancel);
    for (std::size_t i = 0; i < m_typeNames.size(); ++i) {
        manual.items.push_back(
            {menu_item::kFirstTypeName + static_cast<int>(i), m_typeNames[i], true, {}});
    }

    return {change, item(menu_item::kFullIdentity, "Full identity   "),
            item(menu_item::kTypeDescription, "Type Description"), label, manual};
}

std::string ModuleMenus::hint(int itemId) {
    const int typeIndex = itemId - menu_item::kFirstTypeName;
    if (typeIndex >= 0 && typeIndex < static_cast<int>(m_typeNames.size())) {
        return m_catalogue.infoTypeAssocied(m_typeNames[static_cast<std::size_t>(typeIndex)]);
    }
    if (itemId == menu_item::kChangeAddress) {
        return kChangeAddressHint;
    }
    return {};
}

ChoiceDialog ModuleMenus::changeDialog(ConfigChange change) const {
    ChoiceDialog d;
    d.title = format("Device Adr %d Software configuration :", m_table.current());
    switch (change) {
    case ConfigChange::Address:
        d.prompt = "Select the new address :";
        for (const int address : m_table.rows()) {
            d.choices.push_back(format("%d", address));
            d.values.push_back(address);
        }
        break;
    case ConfigChange::Baud:
        d.prompt = "Select the new baudrate:";
        d.choices.assign(kBaudChoices.begin(), kBaudChoices.end());
        d.values.assign(kBaudChoices.size(), kNoValue);
        break;
    case ConfigChange::Protocol:
        d.prompt = "Select the protocole :";
        d.choices.assign(kProtocolChoices.begin(), kProtocolChoices.end());
        d.values.assign(kProtocolChoices.size(), kNoValue);
        break;
    }
    return d;
}

ConfirmBox ModuleMenus::confirmChange() const {
    return {"Warning : ",
            format("Confirm this action for the device adr %d \n", m_table.current())};
}

DirectCommand ModuleMenus::changeCommand(ConfigChange change, const std::string& chosen) {
    const ModuleEntry& e = currentEntry();
    const int32_t purpose = purposeOf(change);
    DirectCommand c;
    if (e.empty()) {
        return c;
    }
    c.target = e.target;
    c.traces.push_back(format("adresse := %d carte %d commande %d = %s", e.address, e.typeCode,
                              purpose, chosen.c_str()));
    c.text = format("%02d%s", e.address, m_catalogue.findCmde(e.typeCode, purpose, chosen).c_str());
    c.traces.push_back(c.text);
    return c;
}

DirectCommand ModuleMenus::fullIdentityCommand() {
    const ModuleEntry& e = currentEntry();
    DirectCommand c;
    if (e.empty()) {
        return c;
    }
    c.target = e.target;
    c.text = format("%02d%s", e.address,
                    m_catalogue.findCmde(e.typeCode, command_purpose::kReadVersion, "").c_str());
    return c;
}

std::string ModuleMenus::fullIdentityTitle() const {
    return "Full Identity  is";
}

LabelDialog ModuleMenus::labelDialog() const {
    const ModuleEntry& e = currentEntry();
    return {"Module label :", format("LABEL for module Address := %02d", e.address), e.label,
            kMaxLabelLength};
}

void ModuleMenus::setLabel(std::string_view typed) {
    const ModuleEntry& e = currentEntry();
    if (!e.empty()) {
        m_table.setLabel(e.address, filterLabel(typed));
    }
}

void ModuleMenus::pickLabels(const std::vector<LabelItem>& items) {
    for (const LabelItem& i : items) {
        if (i.address >= 0 && i.address < kAddressCount && !m_table.entry(i.address).empty()) {
            m_table.setLabel(i.address, i.label);
        }
    }
}

void ModuleMenus::chooseType(int itemId) {
    const int typeIndex = itemId - menu_item::kFirstTypeName;
    if (typeIndex < 0 || typeIndex >= static_cast<int>(m_typeNames.size())) {
        return;
    }
    const ModuleEntry& e = currentEntry();
    if (e.empty()) {
        return;
    }
    m_table.setType(e.address, m_catalogue.typeAssocied(
                                   e.typeCode, m_typeNames[static_cast<std::size_t>(typeIndex)]));
}

void ModuleMenus::cancelSetting() {
    const ModuleEntry& e = currentEntry();
    if (!e.empty()) {
        m_table.setType(e.address, m_catalogue.typeGenerique(e.typeCode));
    }
}

ResultBox ModuleMenus::getInfo() const {
    const ModuleEntry& e = currentEntry();
    std::string text =
        "Characteristics of this axes are diferent from the original configuration:\n";
    const std::string checkedName = m_catalogue.typeName(e.checkedTypeCode);
    if (checkedName != e.typeName) {
        text += format("\n  -Type is %s instead %s  (see generic)\n", e.typeName.c_str(),
                       checkedName.c_str());
    }
    if (e.checkedSerial != e.serial) {
        text += format("\n  -Serial N\xc2\xb0 is %s instead %s\n", e.serial.c_str(),
                       e.checkedSerial.c_str());
    }
    text += "\nYou must confirm this setting with a new Automatic Scanning";
    return {"From Checking ,module information :", text, ResultBox::Icon::Exclamation,
            kGetInfoHelpContext};
}

ConfirmBox ModuleMenus::localizeBox() const {
    return {"Module localization ",
            "The fault LED (red) of the requested device will flash.\nA serie of 20 Reset will be "
            "sent to the device.\n\nYou can stop it with a right ckick.\n\nTake care about "
            "auto_start function , see Help for information"};
}

} // namespace tamsel::discovery
