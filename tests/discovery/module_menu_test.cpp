// The pop-up menus of the module list over the real catalogue: which menu each row opens,
// what its items enable for real module types, and the dialogs, commands and texts behind the
// items.

#include "discovery/modtyp_catalogue.h"
#include "discovery/module_menu.h"
#include "real_modules.h"

#include <gtest/gtest.h>

namespace tamsel::discovery {
namespace {

using testing::RealModule;

std::vector<std::string> texts(const std::vector<MenuItem>& items) {
    std::vector<std::string> out;
    for (const MenuItem& i : items) {
        out.push_back(i.text);
    }
    return out;
}

std::vector<bool> enabled(const std::vector<MenuItem>& items) {
    std::vector<bool> out;
    for (const MenuItem& i : items) {
        out.push_back(i.enabled);
    }
    return out;
}

class MenuTest : public ::testing::Test {
  protected:
    /// Enters a module and opens the menu of its row.
    RowClick open(int address, const RealModule& m) {
        table.enterDecoded(address, m.reply);
        return menus.rightClick(table.rowOf(address), false);
    }

    static MenuItem find(const RowClick& click, const std::string& text) {
        for (const MenuItem& i : click.items) {
            if (i.text == text) {
                return i;
            }
        }
        throw std::runtime_error("no item " + text);
    }

    ModtypCatalogue catalogue;
    ModuleTable table{catalogue};
    ModuleMenus menus{table, catalogue};
    ScanResults results{table, catalogue};
};

// ---------------------------------------------------------------- which menu

struct MenuCase {
    int32_t state;
    MenuKind kind;
    std::vector<std::string> items;
};

class MenuPerState : public MenuTest, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(MenuPerState, OpensTheStatesMenuOnItsRow) {
    const MenuCase& c = GetParam();
    table.enterDecoded(2, testing::kVrx23.reply);
    table.enterDecoded(5, testing::kTriloKc61.reply);
    table.setCurrent(2);
    table.setState(5, c.state);
    const RowClick click = menus.rightClick(1, false);
    EXPECT_EQ(click.kind, c.kind);
    EXPECT_EQ(texts(click.items), c.items);
    EXPECT_FALSE(click.stopLocalize);
    if (c.kind == MenuKind::None) {
        EXPECT_FALSE(table.highlighted());
    } else {
        EXPECT_EQ(table.current(), 5);
        EXPECT_TRUE(table.highlighted());
    }
}

INSTANTIATE_TEST_SUITE_P(
    States, MenuPerState,
    ::testing::Values(MenuCase{entry_state::kPresent,
                               MenuKind::Present,
                               {"Change Configuration", "Full identity   ", "Type Description",
                                "Label setting   ", "Manual Type Setting"}},
                      MenuCase{
                          entry_state::kFound, MenuKind::Found, {"Localize", "Type description"}},
                      MenuCase{entry_state::kModified,
                               MenuKind::Modified,
                               {"Localize", "Get Info ", "Type description"}},
                      MenuCase{entry_state::kLost, MenuKind::None, {}},
                      MenuCase{entry_state::kFullDebug, MenuKind::None, {}}));

TEST_F(MenuTest, ARowBeyondTheTableOpensNothingAndRemovesTheHighlight) {
    open(2, testing::kVrx23);
    ASSERT_TRUE(table.highlighted());
    const RowClick click = menus.rightClick(1, false);
    EXPECT_EQ(click.kind, MenuKind::None);
    EXPECT_FALSE(table.highlighted());
}

TEST_F(MenuTest, ARightClickDuringALocalizeStopsItInstead) {
    table.enterDecoded(2, testing::kVrx23.reply);
    const RowClick click = menus.rightClick(0, true);
    EXPECT_EQ(click.kind, MenuKind::None);
    EXPECT_TRUE(click.stopLocalize);
    EXPECT_EQ(click.messageLine, "Next localize will stopped");
    EXPECT_EQ(table.current(), kNoAddress);
}

// ---------------------------------------------------------------- enabling

struct ChangeCase {
    RealModule module;
    bool menu;
    std::vector<bool> items; ///< Address, BaudRate, Protocole
};

void PrintTo(const ChangeCase& c, std::ostream* os) {
    *os << c.module.typeName;
}

class ChangeConfigurationEnabling : public MenuTest,
                                    public ::testing::WithParamInterface<ChangeCase> {};

TEST_P(ChangeConfigurationEnabling, FollowsTheTypesLineSettingStrategy) {
    const ChangeCase& c = GetParam();
    const MenuItem change = find(open(9, c.module), "Change Configuration");
    EXPECT_EQ(change.enabled, c.menu);
    EXPECT_EQ(texts(change.items), (std::vector<std::string>{"Address", "BaudRate", "Protocole"}));
    EXPECT_EQ(enabled(change.items), c.items);
}

INSTANTIATE_TEST_SUITE_P(
    RealTypes, ChangeConfigurationEnabling,
    ::testing::Values(ChangeCase{testing::kTriloKb01, false, {false, false, false}},
                      ChangeCase{testing::kMicroTrilo, false, {false, false, false}},
                      ChangeCase{testing::kVrx23, true, {true, true, false}},
                      ChangeCase{testing::kVrx34, true, {true, true, false}},
                      ChangeCase{testing::kDvrx, true, {true, true, false}},
                      ChangeCase{testing::kVrx17, true, {true, true, true}}));

struct ManualCase {
    const char* name;
    RealModule module;
    int32_t setCode; ///< a type set by hand before the menu opens, 0 for none
    bool menu;
    bool cancel;
    std::vector<std::string> names;
};

void PrintTo(const ManualCase& c, std::ostream* os) {
    *os << c.name;
}

class ManualTypeEnabling : public MenuTest, public ::testing::WithParamInterface<ManualCase> {};

TEST_P(ManualTypeEnabling, ListsTheAssociatedNamesOfAGenericType) {
    const ManualCase& c = GetParam();
    table.enterDecoded(4, c.module.reply);
    if (c.setCode != 0) {
        table.setType(4, {c.setCode, catalogue.typeName(c.setCode)});
    }
    const MenuItem manual = find(menus.rightClick(0, false), "Manual Type Setting");
    EXPECT_EQ(manual.enabled, c.menu);
    ASSERT_FALSE(manual.items.empty());
    EXPECT_EQ(manual.items[0].text, "Cancel Setting");
    EXPECT_EQ(manual.items[0].enabled, c.cancel);
    std::vector<std::string> names;
    for (std::size_t i = 1; i < manual.items.size(); ++i) {
        EXPECT_EQ(manual.items[i].id, menu_item::kFirstTypeName + static_cast<int>(i) - 1);
        EXPECT_TRUE(manual.items[i].enabled);
        names.push_back(manual.items[i].text);
    }
    EXPECT_EQ(names, c.names);
}

INSTANTIATE_TEST_SUITE_P(
    RealTypes, ManualTypeEnabling,
    ::testing::Values(
        ManualCase{"GenericKa", testing::kTriloGenericKa, 0, true, false, {"KA01", "KA61"}},
        ManualCase{"GenericKb", testing::kTriloGenericKb, 0, true, false, {"KB61", "KB41"}},
        ManualCase{"AssociatedKa01", testing::kTriloGenericKa, 0x0181, true, true, {}},
        ManualCase{"AssociatedKb41", testing::kTriloGenericKb, 0x0382, true, true, {}},
        ManualCase{"ExactKb01", testing::kTriloKb01, 0, false, false, {}},
        ManualCase{"Vrx23", testing::kVrx23, 0, false, false, {}}),
    [](const auto& param) { return std::string{param.param.name}; });

TEST_F(MenuTest, ManualTypeSettingAndCancelSettingGoBetweenGenericAndAssociated) {
    const struct {
        RealModule module;
        int item; ///< index of the name chosen
        NamedType chosen;
    } cases[] = {
        {testing::kTriloGenericKa, 0, {0x0181, "KA01"}},
        {testing::kTriloGenericKa, 1, {0x0180, "KA61"}},
        {testing::kTriloGenericKb, 0, {0x0380, "KB61 v72"}},
        {testing::kTriloGenericKb, 1, {0x0382, "KB41 v72"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosen.name);
        open(4, c.module);
        menus.chooseType(menu_item::kFirstTypeName + c.item);
        EXPECT_EQ((NamedType{table.entry(4).typeCode, table.entry(4).typeName}), c.chosen);

        const MenuItem manual = find(menus.rightClick(0, false), "Manual Type Setting");
        ASSERT_TRUE(manual.items[0].enabled);
        menus.cancelSetting();
        EXPECT_EQ(table.entry(4).typeCode, c.module.code);
        EXPECT_EQ(table.entry(4).typeName, c.module.typeName);
    }
}

TEST_F(MenuTest, HintsOfTypeNamesComeFromTheCatalogue) {
    open(4, testing::kTriloGenericKb);
    EXPECT_EQ(menus.hint(menu_item::kFirstTypeName), "KB61");
    EXPECT_EQ(menus.hint(menu_item::kFirstTypeName + 1), "KB41");
    EXPECT_EQ(menus.hint(menu_item::kChangeAddress), "To select another adress device");
    // A menu without names has no name hints left from the one before.
    open(4, testing::kVrx23);
    EXPECT_EQ(menus.hint(menu_item::kFirstTypeName), "");
}

// ---------------------------------------------------------------- Change Configuration

TEST_F(MenuTest, ChangeDialogsOfferTheirChoices) {
    table.enterDecoded(3, testing::kTriloKb01.reply);
    open(7, testing::kVrx23);
    table.enterDecoded(20, testing::kVrx17.reply);

    const ChoiceDialog address = menus.changeDialog(ConfigChange::Address);
    EXPECT_EQ(address.title, "Device Adr 7 Software configuration :");
    EXPECT_EQ(address.prompt, "Select the new address :");
    EXPECT_EQ(address.choices, (std::vector<std::string>{"3", "7", "20"}));
    EXPECT_EQ(address.values, (std::vector<int>{3, 7, 20}));

    const ChoiceDialog baud = menus.changeDialog(ConfigChange::Baud);
    EXPECT_EQ(baud.title, address.title);
    EXPECT_EQ(baud.prompt, "Select the new baudrate:");
    EXPECT_EQ(baud.choices, (std::vector<std::string>{"9600", "19200", "38400", "115200"}));

    const ChoiceDialog protocol = menus.changeDialog(ConfigChange::Protocol);
    EXPECT_EQ(protocol.prompt, "Select the protocole :");
    EXPECT_EQ(protocol.choices, (std::vector<std::string>{"XON", "ACK", "CONSOLE", "TERMINAL"}));

    const ConfirmBox confirm = menus.confirmChange();
    EXPECT_EQ(confirm.title, "Warning : ");
    EXPECT_EQ(confirm.text, "Confirm this action for the device adr 7 \n");
}

struct CommandCase {
    RealModule module;
    int address;
    ConfigChange change;
    const char* chosen;
    const char* trace;
    const char* sent;
};

void PrintTo(const CommandCase& c, std::ostream* os) {
    *os << c.sent;
}

class ChangeCommands : public MenuTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(ChangeCommands, SendTheFamilysCommandToTheModulesAddress) {
    const CommandCase& c = GetParam();
    open(c.address, c.module);
    const DirectCommand command = menus.changeCommand(c.change, c.chosen);
    EXPECT_EQ(command.text, c.sent);
    EXPECT_EQ(command.target, c.module.target);
    EXPECT_EQ(command.traces, (std::vector<std::string>{c.trace, c.sent}));
}

INSTANTIATE_TEST_SUITE_P(
    RealTypes, ChangeCommands,
    ::testing::Values(
        CommandCase{testing::kVrx23, 7, ConfigChange::Address, "12",
                    "adresse := 7 carte 12289 commande 1 = 12", "07am12"},
        CommandCase{testing::kVrx23, 7, ConfigChange::Baud, "19200",
                    "adresse := 7 carte 12289 commande 2 = 19200", "071B0011223302"},
        CommandCase{testing::kVrx34, 9, ConfigChange::Baud, "9600",
                    "adresse := 9 carte 16386 commande 2 = 9600", "091B0011223301"},
        CommandCase{testing::kVrx17, 20, ConfigChange::Protocol, "ACK",
                    "adresse := 20 carte 17125376 commande 3 = ACK", "20SET_PROTOCOL ACK"},
        CommandCase{testing::kDvrx, 12, ConfigChange::Baud, "38400",
                    "adresse := 12 carte 17129504 commande 2 = 38400", "12SET_BAUDRATE 38400"},
        CommandCase{testing::kDvrx, 2, ConfigChange::Address, "5",
                    "adresse := 2 carte 17129504 commande 1 = 5", "02SET_ADDRESS 5"}));

TEST_F(MenuTest, WithoutAMenuOpenOnAModuleNothingIsSentOrChanged) {
    table.enterDecoded(4, testing::kTriloGenericKa.reply);
    EXPECT_EQ(menus.changeCommand(ConfigChange::Address, "5").text, "");
    EXPECT_EQ(menus.fullIdentityCommand().text, "");
    menus.setLabel("AXE");
    menus.cancelSetting();
    EXPECT_EQ(table.entry(4).label, "");
    EXPECT_EQ(table.entry(4).typeCode, 0x0100);
    // The module the menu was opened on has gone with a new scan.
    menus.rightClick(0, false);
    table.remove(4);
    EXPECT_EQ(menus.fullIdentityCommand().text, "");
}

TEST_F(MenuTest, FullIdentityReadsTheFamilysVersion) {
    const struct {
        RealModule module;
        const char* sent;
    } cases[] = {{testing::kVrx23, "07QV"},
                 {testing::kDvrx, "07RV"},
                 {testing::kMicroTrilo, "07QV"},
                 {testing::kTriloKb01, "07RV"}};
    for (const auto& c : cases) {
        open(7, c.module);
        const DirectCommand command = menus.fullIdentityCommand();
        EXPECT_EQ(command.text, c.sent);
        EXPECT_EQ(command.target, c.module.target);
    }
    EXPECT_EQ(menus.fullIdentityTitle(), "Full Identity  is");
    EXPECT_EQ(directExchangeResult(std::nullopt), "No Dialog : ");
    EXPECT_EQ(directExchangeResult(std::string{"07V23 rev 1.05"}), "07V23 rev 1.05");
}

// ---------------------------------------------------------------- labels

TEST(LabelFilter, KeepsTheAcceptedCharactersAndCutsAtTen) {
    const struct {
        const char* typed;
        const char* kept;
    } cases[] = {
        {"AXE_X", "AXE_X"},
        {"x y#+-_09", "x y#+-_09"},
        {"a/b*c.d", "abcd"},
        {"a,b", "ab"}, // a comma would split the project's record
        {"\xc3\x84xe", "xe"},
        {"0123456789AB", "0123456789"},
        {"!!0123456789", "0123456789"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(filterLabel(c.typed), c.kept) << c.typed;
    }
    EXPECT_TRUE(labelCharacterAccepted(' '));
    EXPECT_FALSE(labelCharacterAccepted('\0'));
    EXPECT_FALSE(labelCharacterAccepted('\t'));
}

TEST_F(MenuTest, NewLabelIsTypedThroughTheFilter) {
    open(5, testing::kTriloKc61);
    table.setLabel(5, "OLD");
    const LabelDialog dialog = menus.labelDialog();
    EXPECT_EQ(dialog.title, "Module label :");
    EXPECT_EQ(dialog.prompt, "LABEL for module Address := 05");
    EXPECT_EQ(dialog.initial, "OLD");
    EXPECT_EQ(dialog.maxLength, 10U);
    menus.setLabel("Z/AXE 1,long label");
    EXPECT_EQ(table.entry(5).label, "ZAXE 1long");
}

TEST_F(MenuTest, PickFromListGivesBackTheProjectsLabelsWhereAModuleIs) {
    ASSERT_TRUE(table.loadRecord("3,3,517,AXE_X,_,_,3"));
    ASSERT_TRUE(table.loadRecord("5,5,1032,_,_,042,5"));
    ASSERT_TRUE(table.loadRecord("9,9,16386,AXE_Z,_,11,9"));
    const std::vector<LabelItem> labels = labelList(table);
    EXPECT_EQ(labels, (std::vector<LabelItem>{{"AXE_X", 3}, {"AXE_Z", 9}}));

    // A new scan finds the modules again, without their labels, and one at another address.
    table.clear();
    table.enterDecoded(3, testing::kTriloKb01.reply);
    table.enterDecoded(5, testing::kTriloKc61.reply);
    table.enterDecoded(10, testing::kVrx34.reply);
    menus.pickLabels(labels);
    EXPECT_EQ(table.entry(3).label, "AXE_X");
    EXPECT_EQ(table.entry(5).label, "");
    EXPECT_EQ(table.entry(10).label, "");
    EXPECT_TRUE(table.entry(9).empty());
}

// ---------------------------------------------------------------- Get Info

class GetInfoTest : public MenuTest {
  protected:
    /// A Checking scan in which the module at 5 answers as @p now instead.
    ResultBox infoAfterCheck(const std::string& record, const RealModule& now) {
        EXPECT_TRUE(table.loadRecord(record));
        results.startScan(ScanMode::Checking);
        for (int address = 0; address < kAddressCount; ++address) {
            ScanRecord r;
            r.state = address == 5 ? ScanState::Answered : ScanState::Silent;
            r.reply = address == 5 ? now.reply : "";
            results.show(ScanMode::Checking, address, r);
        }
        EXPECT_EQ(menus.rightClick(table.rowOf(5), false).kind, MenuKind::Modified);
        return menus.getInfo();
    }
};

const char* const kInfoHead =
    "Characteristics of this axes are diferent from the original configuration:\n";
const char* const kInfoTail = "\nYou must confirm this setting with a new Automatic Scanning";

TEST_F(GetInfoTest, ANewSerialListsOnlyTheSerialLine) {
    const ResultBox box = infoAfterCheck("5,5,1032,_,_,042,5", testing::kTriloKc61Other);
    EXPECT_EQ(box.title, "From Checking ,module information :");
    EXPECT_EQ(box.text,
              std::string{kInfoHead} + "\n  -Serial N\xc2\xb0 is 042 instead 043\n" + kInfoTail);
    EXPECT_EQ(box.icon, ResultBox::Icon::Exclamation);
    EXPECT_EQ(box.helpContext, 1056);
}

TEST_F(GetInfoTest, ANewTypeListsOnlyTheTypeLine) {
    const ResultBox box = infoAfterCheck("5,5,1032,_,_,042,5", testing::kTriloKc01);
    EXPECT_EQ(box.text, std::string{kInfoHead} +
                            "\n  -Type is KC61 v80 instead KC01 v80  (see generic)\n" + kInfoTail);
}

TEST_F(GetInfoTest, AnAssociatedTypeSetByHandReadsAsItsGenericOnTheLine) {
    const ResultBox box = infoAfterCheck("5,5,385,_,_,_,5", testing::kTriloGenericKa);
    EXPECT_EQ(box.text, std::string{kInfoHead} + "\n  -Type is KA01 instead ka?1  (see generic)\n" +
                            kInfoTail);
}

TEST_F(MenuTest, LocalizeAsksFirst) {
    const ConfirmBox box = menus.localizeBox();
    EXPECT_EQ(box.title, "Module localization ");
    EXPECT_EQ(box.text, "The fault LED (red) of the requested device will flash.\nA serie of 20 "
                        "Reset will be sent to the device.\n\nYou can stop it with a right "
                        "ckick.\n\nTake care about auto_start function , see Help for information");
}

} // namespace
} // namespace tamsel::discovery
