// The "Quick Command" window over a stand-in application: what it asks, what it shows,
// and how its edit, lists, menus and address selector behave.
#include "terminal_support.h"

#include <command_menus.h>
#include <dialog_trilo.h>
#include <edit_style.h>
#include <find_replace.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

namespace tamsel::terminal::test {
namespace {

class DialogTest : public ::testing::Test {
  protected:
    void open() {
        window = std::make_unique<TDialogTRILO>(app, prompter);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void TearDown() override { window.reset(); }

    TKV_EditStyle1* edit() const { return window->commandEdit(); }
    void press(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(edit(), static_cast<Qt::Key>(key), mods);
    }
    void type(const QString& text) { QTest::keyClicks(edit(), text); }
    void up(int times = 1) {
        for (int i = 0; i < times; ++i) {
            window->upDown()->upButton()->click();
        }
    }
    void down(int times = 1) {
        for (int i = 0; i < times; ++i) {
            window->upDown()->downButton()->click();
        }
    }
    QString addressShown() const { return window->addressLabel()->text(); }
    void rightClick() {
        QTest::mouseClick(edit(), Qt::RightButton, {}, QPoint(10, 5));
        settle();
    }
    QAction* menuAction(const QString& text) const {
        QMenu* menu = window->targetMenu();
        if (menu == nullptr) {
            return nullptr;
        }
        for (QAction* a : menu->actions()) {
            if (a->text() == text) {
                return a;
            }
        }
        return nullptr;
    }
    void selectTarget(const QString& name) {
        QComboBox* targets = window->targets();
        const int index = targets->findText(name);
        ASSERT_GE(index, 0) << name.toStdString();
        targets->setCurrentIndex(index);
        emit targets->activated(index);
    }
    /// Picks a row of the open list as the user does, with the mouse in its pop-up.
    void chooseRow(int row) {
        TListBox* list = window->list();
        ASSERT_TRUE(waitFor([list] { return list->view()->isVisible(); }, 5000));
        QAbstractItemView* view = list->view();
        const QRect where = view->visualRect(list->model()->index(row, 0));
        ASSERT_TRUE(where.isValid());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, where.center());
        ASSERT_TRUE(waitFor([this] { return window->listMode() == TListMode::None; }, 5000));
    }
    void cancelList() {
        TListBox* list = window->list();
        ASSERT_TRUE(waitFor([list] { return list->view()->isVisible(); }, 5000));
        QTest::keyClick(list->view(), Qt::Key_Escape);
        ASSERT_TRUE(waitFor([this] { return window->listMode() == TListMode::None; }, 5000));
    }
    QStringList listItems() const {
        QStringList out;
        for (int i = 0; i < window->list()->count(); ++i) {
            out << window->list()->itemText(i);
        }
        return out;
    }

    TFakeApp app;
    TRecordingPrompter prompter;
    std::unique_ptr<TDialogTRILO> window;
};

TEST_F(DialogTest, OpensWithTheProjectTargetsAddressZeroAndTheHistoryAtItsEnd) {
    app.selectedTarget = 3;
    app.lastCommands = {"00RV", "01QD"};
    open();
    EXPECT_EQ(window->windowTitle(), " Dialog TRILO");
    EXPECT_EQ(window->objectName(), "1450");
    QComboBox* targets = window->targets();
    ASSERT_EQ(targets->objectName(), "1454");
    QStringList names;
    for (int i = 0; i < targets->count(); ++i) {
        names << targets->itemText(i);
    }
    EXPECT_EQ(names, QStringList({"TRILO", "MICROTRILO", "VRX17", "DVRX", "VRX23", "VRX34"}));
    EXPECT_EQ(targets->currentText(), "DVRX");
    const int kinds[] = {14000, 14000, 14001, 14001, 14002, 14002};
    for (int i = 0; i < targets->count(); ++i) {
        EXPECT_EQ(targets->itemData(i).toInt(), kinds[i]) << names[i].toStdString();
    }
    EXPECT_EQ(addressShown(), " 00 ");
    EXPECT_EQ(window->address(), 0);
    EXPECT_EQ(window->historyPosition(), 2);
    EXPECT_TRUE(window->targetChanged());
    EXPECT_TRUE(window->list()->isHidden());
    EXPECT_EQ(window->sizeHint(), QSize(620, 420));
    // Every request names the terminal's dialog.
    ASSERT_FALSE(app.of(shell::req::kListTargets).isEmpty());
    EXPECT_EQ(app.of(shell::req::kListTargets).first().hi, 1450);
    EXPECT_EQ(app.of(shell::req::kLastCommandCount).first().hi, 1450);
    EXPECT_EQ(app.of(shell::req::kDialogGeometry).size(), 1);
    // The controls are found by their numbers.
    for (int id : {1451, 1452, 1453, 1454, 1456, 1457, 1458, 1461, 1462}) {
        EXPECT_NE(window->findChild<QWidget*>(QString::number(id)), nullptr) << id;
    }
}

TEST_F(DialogTest, F1AsksForTheTerminalsOwnHelpTopic) {
    open();
    app.sent.clear();
    QTest::keyClick(edit(), Qt::Key_F1);
    const QList<TSentRequest> help = app.of(shell::req::kHelp);
    ASSERT_EQ(help.size(), 1);
    EXPECT_EQ(help[0].hi, shell::dlg::kTerminal);
    EXPECT_EQ(app.help.controlId, contract::kHelpTopicControl);
    EXPECT_EQ(app.help.contextId, shell::dlg::kTerminal);
    EXPECT_EQ(window->property("helpContext").toInt(), shell::dlg::kTerminal);
}

TEST_F(DialogTest, UpAndDownWalkTheHistoryWithinItsBounds) {
    app.lastCommands = {"00RV", "01QD", "02GS"};
    open();
    type("typed");
    struct Step {
        int key;
        const char* command;
        int position;
    };
    const Step steps[] = {
        {Qt::Key_Up, "02GS", 2},   {Qt::Key_Up, "01QD", 1},   {Qt::Key_Up, "00RV", 0},
        {Qt::Key_Up, "00RV", 0},   {Qt::Key_Down, "01QD", 1}, {Qt::Key_Down, "02GS", 2},
        {Qt::Key_Down, "02GS", 2}, {Qt::Key_Up, "01QD", 1},
    };
    int i = 0;
    for (const Step& s : steps) {
        press(s.key);
        EXPECT_EQ(edit()->text(), s.command) << "step " << i;
        EXPECT_EQ(window->historyPosition(), s.position) << "step " << i;
        ++i;
    }
}

TEST_F(DialogTest, WithoutHistoryTheArrowsChangeNothing) {
    open();
    type("05RV");
    press(Qt::Key_Up);
    press(Qt::Key_Down);
    EXPECT_EQ(edit()->text(), "05RV");
    EXPECT_EQ(window->historyPosition(), 0);
    EXPECT_TRUE(app.of(shell::req::kLastCommand).isEmpty());
}

// Leaving the overtype mode gives the window its caption back rather than an empty title:
// an empty title would leave the window nameless in the frame's window list and title bar.
TEST_F(DialogTest, InsertTogglesTheCaretAndOvertypeOffRestoresTheCaptionNotAnEmptyTitle) {
    open();
    EXPECT_TRUE(edit()->insertFlag());
    EXPECT_EQ(edit()->caretName(), "bloc_caret");
    press(Qt::Key_Insert);
    EXPECT_FALSE(edit()->insertFlag());
    EXPECT_EQ(edit()->caretName(), "line_caret");
    EXPECT_EQ(window->windowTitle(), "Overtype mode");
    press(Qt::Key_Insert);
    EXPECT_TRUE(edit()->insertFlag());
    EXPECT_EQ(edit()->caretName(), "bloc_caret");
    EXPECT_EQ(window->windowTitle(), " Dialog TRILO");
}

TEST_F(DialogTest, OvertypeReplacesCharactersAndTheEditKeepsItsLimit) {
    open();
    type("05WH 1000");
    press(Qt::Key_Home);
    press(Qt::Key_Right);
    press(Qt::Key_Insert);
    type("7");
    EXPECT_EQ(edit()->text(), "07WH 1000");
    press(Qt::Key_End);
    type("5");
    EXPECT_EQ(edit()->text(), "07WH 10005");
    // Back in insert mode the characters go in between.
    press(Qt::Key_Insert);
    press(Qt::Key_Home);
    type("X");
    EXPECT_EQ(edit()->text(), "X07WH 10005");

    // A command over 100 characters is cut by the edit, typed or pasted, in both modes.
    edit()->clear();
    type(QString(120, QLatin1Char('A')));
    EXPECT_EQ(edit()->text().size(), 100);
    press(Qt::Key_Insert);
    type("B");
    EXPECT_EQ(edit()->text(), QString(100, QLatin1Char('A')));
    QApplication::clipboard()->setText(QString(150, QLatin1Char('C')));
    edit()->clear();
    edit()->paste();
    EXPECT_EQ(edit()->text().size(), 100);
}

TEST_F(DialogTest, AfterASendTheNextCharacterStartsANewCommand) {
    open();
    // Overtype: the caret waits at the start and the first character erases the command.
    press(Qt::Key_Insert);
    type("05RV");
    press(Qt::Key_Return);
    EXPECT_EQ(edit()->cursorPosition(), 0);
    EXPECT_TRUE(edit()->clearPending());
    type("Q");
    EXPECT_EQ(edit()->text(), "Q");
    EXPECT_FALSE(edit()->clearPending());
    type("D");
    EXPECT_EQ(edit()->text(), "QD");

    // Insert: the whole command is selected, so typing replaces it as well.
    press(Qt::Key_Insert);
    edit()->setText("05RV");
    press(Qt::Key_Return);
    EXPECT_EQ(edit()->selectedText(), "05RV");
    type("06");
    EXPECT_EQ(edit()->text(), "06");
}

TEST_F(DialogTest, TheAddressSelectorStopsAtAllAndAt63) {
    open();
    struct Case {
        int ups;
        int downs;
        const char* shown;
        int address;
    };
    // From 0 each time: the up arrow raises the address, the down arrow lowers it.
    const Case cases[] = {
        {1, 0, " 01 ", 1},   {0, 1, "ALL", -1},   {0, 5, "ALL", -1},
        {63, 0, " 63 ", 63}, {80, 0, " 63 ", 63}, {80, 1, " 62 ", 62},
        {0, 2, "ALL", -1},   {5, 0, " 05 ", 5},   {12, 2, " 10 ", 10},
    };
    for (const Case& c : cases) {
        down(70);
        up(1); // from ALL to 0
        ASSERT_EQ(addressShown(), " 00 ");
        window->replyEdit()->setText("old reply");
        up(c.ups);
        down(c.downs);
        EXPECT_EQ(addressShown(), c.shown) << c.ups << " up, " << c.downs << " down";
        EXPECT_EQ(window->address(), c.address);
        EXPECT_TRUE(window->replyEdit()->text().isEmpty());
    }
    // From "ALL" one step up comes back to 0.
    down(70);
    up();
    EXPECT_EQ(addressShown(), " 00 ");
}

struct MenuCase {
    const char* target;
    int menuId;
    const char* item;
    int ups; ///< address steps up from 0; -1 for ALL
    const char* command;
    const char* selected;
};

class DialogMenuTest : public DialogTest, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(DialogMenuTest, AMenuItemBecomesTheCommandWithTheAddressAndItsValueSelected) {
    const MenuCase& c = GetParam();
    open();
    selectTarget(c.target);
    if (c.ups < 0) {
        down();
    } else {
        up(c.ups);
    }
    press(Qt::Key_Insert); // overtype: a marker found brings insert mode back
    window->replyEdit()->setText("old reply");
    rightClick();
    QMenu* popup = window->commandPopup();
    ASSERT_EQ(popup->objectName(), "102");
    EXPECT_TRUE(popup->isVisible());
    ASSERT_NE(window->targetMenu(), nullptr);
    EXPECT_EQ(window->targetMenu()->objectName(), QString::number(c.menuId));
    EXPECT_EQ(window->targetMenu()->title(), "Quick Command");
    EXPECT_EQ(popup->actions().first()->menu(), window->targetMenu());
    QAction* item = menuAction(QString::fromLatin1(c.item));
    ASSERT_NE(item, nullptr) << c.item;
    popup->hide();
    item->trigger();
    EXPECT_EQ(edit()->text(), c.command);
    EXPECT_EQ(edit()->selectedText(), c.selected);
    EXPECT_EQ(edit()->insertFlag(), QString::fromLatin1(c.selected) == "nnn.");
    EXPECT_TRUE(window->replyEdit()->text().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Items, DialogMenuTest,
    ::testing::Values(MenuCase{"TRILO", 14000, "GO nnn.", -1, "GO nnn.", "nnn."},
                      MenuCase{"TRILO", 14000, "GO nnn.", 5, "05GO nnn.", "nnn."},
                      MenuCase{"MICROTRILO", 14000, "MR", 5, "05MR", ""},
                      MenuCase{"DVRX", 14001, "MON nnn.", 12, "12MON nnn.", "nnn."},
                      MenuCase{"VRX17", 14001, "POW OFF", -1, "POW OFF", ""},
                      MenuCase{"VRX34", 14002, "wx nnn.", 0, "00wx nnn.", "nnn."},
                      MenuCase{"VRX23", 14002, "ql", 63, "63ql", ""}),
    [](const ::testing::TestParamInfo<MenuCase>& param) {
        std::string name =
            std::string(param.param.target) + "_" + param.param.item + "_" +
            (param.param.ups < 0 ? std::string("ALL") : std::to_string(param.param.ups));
        for (char& c : name) {
            if (!std::isalnum(static_cast<unsigned char>(c))) {
                c = '_';
            }
        }
        return name;
    });

TEST_F(DialogTest, TheTargetMenusHoldTheirCommandsInOrder) {
    const struct {
        const char* target;
        QStringList items;
    } menus[] = {
        {"TRILO",
         {"MR", "GS", "", "GO nnn.", "GA nnn.", "GH", "GF nnn.", "", "DP nnn.", "GM", "GR", "",
          "SS nnn."}},
        {"VRX17",
         {"MRE", "STO", "", "MON nnn.", "MTO nnn.", "MSP nnn.", "", "TRA nnn.", "POW ON", "POW OFF",
          "", "SSE nnn."}},
        {"VRX34",
         {"mr", "gs", "ge", "", "ga nnn.", "gf nnn.", "gh", "", "gi nnn.", "wx nnn.", "", "di",
          "qp", "ql"}},
    };
    open();
    for (const auto& m : menus) {
        selectTarget(m.target);
        rightClick();
        window->commandPopup()->hide();
        QStringList shown;
        for (QAction* a : window->targetMenu()->actions()) {
            shown << (a->isSeparator() ? QString() : a->text());
        }
        EXPECT_EQ(shown, m.items) << m.target;
    }
    // The rest of menu 102.
    QStringList rest;
    for (QAction* a : window->commandPopup()->actions().mid(1)) {
        if (!a->isSeparator()) {
            rest << a->text();
        }
    }
    EXPECT_EQ(rest.mid(0, 3), QStringList({"&Find...", "&Replace...", "&Next"}));
    EXPECT_TRUE(rest.contains("&Copy"));
    EXPECT_TRUE(rest.contains("&Paste"));
    ASSERT_EQ(window->replyPopup()->objectName(), "103");
    ASSERT_EQ(window->replyPopup()->actions().size(), 1);
    EXPECT_EQ(window->replyPopup()->actions().first()->text(), "C&opy");
}

TEST_F(DialogTest, ThePopUpOpensTenPixelsAboveTheClick) {
    open();
    const QPoint click = edit()->mapToGlobal(QPoint(20, 8));
    QTest::mouseClick(edit(), Qt::RightButton, {}, QPoint(20, 8));
    QMenu* popup = window->commandPopup();
    ASSERT_TRUE(waitFor([popup] { return popup->isVisible(); }, 5000));
    EXPECT_EQ(edit()->lastRightClick(), click);
    EXPECT_EQ(popup->pos(), click - QPoint(0, 10));
    popup->hide();
}

TEST_F(DialogTest, ATargetChangeClearsTheCommandAndReloadsTheMenuOnce) {
    app.targets = {"TRILO", "ODD", "VRX23"};
    open();
    rightClick();
    window->commandPopup()->hide();
    EXPECT_FALSE(window->targetChanged());
    QMenu* first = window->targetMenu();
    rightClick();
    window->commandPopup()->hide();
    EXPECT_EQ(window->targetMenu(), first);

    type("05RV");
    selectTarget("ODD");
    EXPECT_TRUE(edit()->text().isEmpty());
    EXPECT_TRUE(window->targetChanged());
    rightClick();
    window->commandPopup()->hide();
    ASSERT_EQ(app.of(shell::req::kDiagnostic).size(), 1);
    EXPECT_EQ(app.of(shell::req::kDiagnostic).first().text, "false");
    EXPECT_FALSE(window->targetMenu()->isEnabled());

    selectTarget("VRX23");
    rightClick();
    window->commandPopup()->hide();
    EXPECT_EQ(window->targetMenu()->objectName(), "14002");
    EXPECT_TRUE(window->targetMenu()->isEnabled());
    EXPECT_EQ(app.of(shell::req::kDiagnostic).size(), 1);
}

TEST_F(DialogTest, TheHistoryListShowsTheNewestFirstAndGivesBackTheChoice) {
    app.lastCommands = {"00RV", "01QD", "02GS"};
    open();
    window->historyButton()->click();
    EXPECT_EQ(window->listMode(), TListMode::History);
    EXPECT_TRUE(edit()->isHidden());
    EXPECT_FALSE(window->list()->isHidden());
    EXPECT_EQ(window->list()->placeholderText(), "history command list");
    EXPECT_EQ(listItems(), QStringList({"no01: 02GS", "no02: 01QD", "no03: 00RV"}));
    window->replyEdit()->setText("old reply");
    chooseRow(1);
    EXPECT_EQ(edit()->text(), "01QD");
    EXPECT_EQ(window->historyPosition(), 1);
    EXPECT_FALSE(edit()->isHidden());
    EXPECT_TRUE(window->list()->isHidden());
    EXPECT_TRUE(window->replyEdit()->text().isEmpty());
    EXPECT_EQ(window->focusWidget(), edit());
    // The walk goes on from the command chosen.
    press(Qt::Key_Up);
    EXPECT_EQ(edit()->text(), "00RV");

    window->historyButton()->click();
    cancelList();
    EXPECT_TRUE(edit()->text().isEmpty());
    EXPECT_FALSE(edit()->isHidden());
}

TEST_F(DialogTest, TheHistoryListFormatsTwoDigitNumbers) {
    for (int i = 0; i < 12; ++i) {
        app.lastCommands << QString::asprintf("%02dRV", i);
    }
    open();
    window->historyButton()->click();
    const QStringList items = listItems();
    ASSERT_EQ(items.size(), 12);
    EXPECT_EQ(items.first(), "no01: 11RV");
    EXPECT_EQ(items[9], "no10: 02RV");
    EXPECT_EQ(items.last(), "no12: 00RV");
    cancelList();
}

TEST_F(DialogTest, AGlossaryEntryComesWithTheAddressAndIsSentCleaned) {
    app.glossary["TRILO"] = {"RV (identity and firmware version)",
                             "GA ..nnn (move to an absolute position)"};
    open();
    up(5);
    window->glossaryButton()->click();
    EXPECT_EQ(window->listMode(), TListMode::Glossary);
    EXPECT_EQ(window->list()->placeholderText(), "Glossary command list for TRILO");
    ASSERT_EQ(app.of(shell::req::kListGlossary).size(), 1);
    EXPECT_EQ(app.of(shell::req::kListGlossary).first().text, "TRILO");
    EXPECT_EQ(listItems(), app.glossary["TRILO"]);
    chooseRow(1);
    EXPECT_EQ(edit()->text(), "05GA ..nnn (move to an absolute position)");
    EXPECT_EQ(edit()->selectedText(), "..nnn");
    EXPECT_EQ(window->freeTextMode(), 2);
    type("1200");
    window->sendButton()->click();
    const QList<TSentRequest> sends = app.of(shell::req::kFreeTextKept);
    ASSERT_EQ(sends.size(), 1);
    EXPECT_EQ(sends[0].mode, 2);
    EXPECT_EQ(sends[0].text, "05GA 1200");
    EXPECT_EQ(sends[0].hi, 1450);
    // The edit shows what went out, and the history keeps it.
    EXPECT_EQ(edit()->text(), "05GA 1200");
    EXPECT_EQ(window->replyEdit()->text(), "ok 05GA 1200");
    EXPECT_EQ(app.lastCommands.last(), "05GA 1200");
    EXPECT_EQ(window->freeTextMode(), 1);
    // The next command is as typed again.
    edit()->setText("05RV (not a comment now)");
    window->sendButton()->click();
    EXPECT_EQ(app.of(shell::req::kFreeTextKept).last().mode, 1);
    EXPECT_EQ(app.of(shell::req::kFreeTextKept).last().text, "05RV (not a comment now)");
}

TEST_F(DialogTest, GlossaryCleaningCutsAtTheParenthesisTurnsTabsAndTrims) {
    const struct {
        const char* entry;
        const char* sent;
    } cases[] = {
        {"RV (identity)", "05RV"},  {"GF + WH\t(run forward)", "05GF + WH"},
        {"MS\tN  ", "05MS N"},      {"QM C6 84", "05QM C6 84"},
        {"(only a comment)", "05"},
    };
    for (const auto& c : cases) {
        app.glossary["TRILO"] << QString::fromLatin1(c.entry);
    }
    open();
    up(5);
    int row = 0;
    for (const auto& c : cases) {
        window->glossaryButton()->click();
        chooseRow(row++);
        window->sendButton()->click();
        EXPECT_EQ(app.of(shell::req::kFreeTextKept).last().text, c.sent) << c.entry;
        EXPECT_EQ(edit()->text(), c.sent);
    }
}

TEST_F(DialogTest, AGlossaryEntryWithAllModulesHasNoAddress) {
    app.glossary["VRX23"] = {"gs (stop)"};
    app.selectedTarget = 4;
    open();
    down();
    window->glossaryButton()->click();
    EXPECT_EQ(window->list()->placeholderText(), "Glossary command list for VRX23");
    chooseRow(0);
    EXPECT_EQ(edit()->text(), "gs (stop)");
    EXPECT_FALSE(edit()->hasSelectedText());
    window->glossaryButton()->click();
    cancelList();
    EXPECT_TRUE(edit()->text().isEmpty());
}

TEST_F(DialogTest, ASuccessfulSendShowsTheReplyAndFollowsTheAddress) {
    app.lastCommands = {"00RV"};
    open();
    const struct {
        const char* command;
        const char* shown;
    } cases[] = {{"63GS", " 63 "}, {"RV", "ALL"}, {"07QD", " 07 "}};
    for (const auto& c : cases) {
        edit()->setText(c.command);
        press(Qt::Key_Return);
        EXPECT_EQ(window->replyEdit()->text(), QStringLiteral("ok ") + c.command);
        EXPECT_EQ(addressShown(), c.shown) << c.command;
        EXPECT_EQ(edit()->text(), c.command);
        EXPECT_TRUE(edit()->isEnabled());
        EXPECT_EQ(window->historyPosition(), app.lastCommands.size() - 1);
    }
    EXPECT_EQ(prompter.beeps, 0);
    // The address the command gave is the one the menus use next.
    up();
    EXPECT_EQ(addressShown(), " 08 ");
}

TEST_F(DialogTest, AFailedSendBeepsAndShowsTheDriversMessage) {
    open();
    up(2);
    app.line = [](contract::TagFreeText& r) {
        std::snprintf(r.reply, sizeof r.reply, "Time out de reception");
        r.status = 0x3002;
    };
    edit()->setText("09RV");
    window->sendButton()->click();
    EXPECT_EQ(prompter.beeps, 1);
    EXPECT_EQ(window->replyEdit()->text(), "Time out de reception");
    EXPECT_EQ(edit()->text(), "09RV");
    EXPECT_EQ(addressShown(), " 02 ");
    // Insert mode: the whole command is selected for the next one.
    EXPECT_EQ(edit()->selectedText(), "09RV");
    EXPECT_TRUE(edit()->clearPending());
}

TEST_F(DialogTest, AnEmptyCommandOnlyClearsTheReply) {
    open();
    window->replyEdit()->setText("old reply");
    window->sendButton()->click();
    EXPECT_TRUE(window->replyEdit()->text().isEmpty());
    EXPECT_TRUE(app.of(shell::req::kFreeTextKept).isEmpty());
}

TEST_F(DialogTest, ADollarCommandStartsAToolAndNothingIsSent) {
    open();
    const struct {
        const char* command;
        std::uint8_t result;
        bool asked;
        bool box;
    } cases[] = {
        {"$example", 0, true, true},
        {"$example", 1, true, false},
        {"$purge", 0, true, false},
        {"$123456789012345678901234567890123456789", 0, true, true},
        {"$1234567890123456789012345678901234567890", 1, false, true},
    };
    for (const auto& c : cases) {
        app.toolResult = c.result;
        const int asked = static_cast<int>(app.of(shell::req::kTool).size());
        const int boxes = static_cast<int>(prompter.boxes.size());
        edit()->setText(c.command);
        press(Qt::Key_Return);
        EXPECT_EQ(app.of(shell::req::kTool).size(), asked + (c.asked ? 1 : 0)) << c.command;
        if (c.asked) {
            EXPECT_EQ(app.of(shell::req::kTool).last().text, QString::fromLatin1(c.command + 1));
            EXPECT_EQ(app.of(shell::req::kTool).last().hi, 1450);
            EXPECT_EQ(app.toolOwner, edit());
        }
        ASSERT_EQ(prompter.boxes.size(), boxes + (c.box ? 1 : 0)) << c.command;
        if (c.box) {
            EXPECT_EQ(prompter.boxes.last().text, "This tool is not localized");
            EXPECT_EQ(prompter.boxes.last().title, "contact QZ");
        }
        EXPECT_EQ(edit()->text(), c.command);
    }
    EXPECT_TRUE(app.of(shell::req::kFreeTextKept).isEmpty());
    // The syntax macro is the driver binding's, through the free text.
    edit()->setText("$syntaxe=AB");
    press(Qt::Key_Return);
    ASSERT_EQ(app.of(shell::req::kFreeTextKept).size(), 1);
    EXPECT_EQ(app.of(shell::req::kFreeTextKept).first().text, "$syntaxe=AB");
}

TEST_F(DialogTest, TheReplyCopiesAndTheCommandFindsAndReplaces) {
    open();
    window->replyEdit()->setText("01V 50 65029");
    window->replyPopup()->actions().first()->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "01V 50 65029");

    edit()->setText("05WH 100 05WL 100");
    edit()->setCursorPosition(0);
    TFindDialog* find = window->findDialog();
    find->setFindText("100");
    EXPECT_TRUE(find->findNext());
    EXPECT_EQ(edit()->selectionStart(), 5);
    EXPECT_TRUE(find->findNext());
    EXPECT_EQ(edit()->selectionStart(), 14);
    find->setReplaceText("250");
    EXPECT_EQ(find->replaceAll(), 2);
    EXPECT_EQ(edit()->text(), "05WH 250 05WL 250");
    find->setFindText("nothing");
    EXPECT_FALSE(find->findNext());
}

TEST(CommandMenus, AddressesAndKinds) {
    EXPECT_EQ(withAddress(-1, "GS"), "GS");
    EXPECT_EQ(withAddress(0, "GS"), "00GS");
    EXPECT_EQ(withAddress(63, "GS"), "63GS");
    EXPECT_EQ(addressText(-1), "ALL");
    EXPECT_EQ(addressText(7), " 07 ");
    EXPECT_EQ(targetKind("JBUS"), 0);
    EXPECT_EQ(targetKind("trilo"), 0);
    EXPECT_EQ(targetKind("TRILO"), 14000);
    EXPECT_TRUE(menuItems(0).isEmpty());
}

} // namespace
} // namespace tamsel::terminal::test
