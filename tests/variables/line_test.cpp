// The variables window inside the real program: the application over the real driver,
// binding and project, emulated modules on a pseudo-terminal, and the window registered by
// the terminal's hooks as the program registers it.
#include <variables_window.h>

#include <input_dialog.h>
#include <terminal_hooks.h>
#include <widget_ids.h>

#include <line_backend.h>
#include <main_app.h>
#include <main_frame.h>
#include <prompter.h>
#include <shell_codes.h>

#include <kvsim/virtual_line.h>

#include "support/event_wait.h"
#include "support/program_folder.h"
#include "support/sent_bytes.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace tamsel::terminal::variables::test {
namespace {

namespace req = contract::req;

constexpr const char* kLine = "00 TRILO type=0x0205 serial=1001\n"
                              "01 MICROTRILO type=0x1002 serial=1002 version=1.05\n"
                              "03 DVRX type=0x6020 serial=1004 version=2.10\n";
constexpr int kTrilo = 0;      ///< type 0x0205: ten variables
constexpr int kMicroTrilo = 1; ///< type 0x1002: thirty-two variables
constexpr int kTriloVariables = 10;

/// The project's records: the TRILO at position 0, the MICROTRILO at 1, the DVRX (no
/// variables) at 2; the scan list of the MICROTRILO and a label of its are stored.
QByteArray projectText() {
    return "; test project\n[CONFIGURATION]\nTarget = TRILO\nPortComm = COM1\n"
           "BaudRate = 9600\nProtocole = XON-XOFF\n"
           "Cnf00000  = 00 , 00517 ,pump,_,_\nCnf00001  = 01 , 04098 ,fan,_,_\n"
           "Cnf00002  = 03 , 24608 ,_,_,_\n;\n"
           "[TM2_SETUP]\nSwMode = 0\nSwPn0 = 0\nSwV1 = 01:40 2 garbage 7 2\n;\n"
           "[LabelVariable]\n01=7:Torque\n;\n[LAST_COMMAND]\n;\n";
}

/// Only modules whose type has no variables.
QByteArray projectWithoutVariables() {
    return "; test project\n[CONFIGURATION]\nTarget = TRILO\nPortComm = COM1\n"
           "BaudRate = 9600\nProtocole = XON-XOFF\n"
           "Cnf00000  = 02 , 00261 ,_,_,_\nCnf00001  = 03 , 24608 ,_,_,_\n;\n"
           "[TM2_SETUP]\nSwMode = 0\nSwPn0 = 0\n;\n[LabelVariable]\n;\n[LAST_COMMAND]\n;\n";
}

bool waitFor(const std::function<bool()>& condition) {
    return support::waitForEvents(condition);
}

class TQuietPrompter final : public shell::TPrompter {
  public:
    QStringList boxes;
    int beeps = 0;
    shell::TBoxAnswer ask(QWidget*, const shell::TBox& box) override {
        boxes << box.text;
        return shell::TBoxAnswer::Ok;
    }
    QString chooseFile(QWidget*, const shell::TFileQuestion&) override { return {}; }
    void beep() override { ++beeps; }
};

/// Answers the window's input boxes with the texts given, in order, and keeps what was asked.
struct TScriptedInput {
    QStringList answers;
    QList<widgets::TagInputRequest> asked;
    widgets::TagInputResult operator()(const widgets::TagInputRequest& request) {
        asked << request;
        widgets::TagInputResult result;
        if (answers.isEmpty()) {
            return result;
        }
        result.code = widgets::kInputAccepted;
        result.text = answers.takeFirst();
        return result;
    }
};

class VariablesLineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.prepare(QStringLiteral(TAMSEL_LINKOR_FILE)));
        line = std::make_unique<kvsim::VirtualLine>(kvsim::VirtualLine::fromText(kLine));
        line->start(folder.portsPath(), 1);
        ASSERT_TRUE(folder.write("template/tamsel2.ktp", project()));
        folder.enter();
        startProgram();
    }
    void TearDown() override {
        stopProgram();
        folder.leave();
        line->stop();
    }
    virtual QByteArray project() const { return projectText(); }

    void startProgram() {
        backend = std::make_unique<shell::TLineBackend>(prompter, folder.filePath("none.conf"));
        app = std::make_unique<shell::TMainApp>(*backend, prompter);
        hooks = std::make_unique<TTerminalHooks>(*app, prompter, backend->fileLines());
        app->setScreenFacts({96, 96, 1024, 768, 24});
        ASSERT_TRUE(app->start());
        ASSERT_NE(backend->comm().lineHandle(), 0);
        backend->startPolling();
    }
    void stopProgram() {
        hooks.reset();
        app.reset();
        backend.reset();
    }
    void writeFile(const char* name, const QByteArray& text) {
        ASSERT_TRUE(folder.write(name, text));
    }
    QByteArray readProject() const {
        QFile f(folder.filePath("template/tamsel2.ktp"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QByteArray sentToModules() const { return support::sentToModules(*line); }
    long moduleVariable(int address, int number) const {
        const auto snapshot = line->module(address);
        const std::string key = QString::asprintf("#%02d", number).toStdString();
        if (!snapshot || snapshot->variables.count(key) == 0) {
            return -1;
        }
        return snapshot->variables.at(key);
    }
    /// Changes a module's variable the way another user of the line would.
    void setOnModule(int address, int number, long value) {
        contract::TagFreeText text;
        std::snprintf(text.text, sizeof text.text, "%02dPD #%02d:%ld", address, number, value);
        app->request(req::kFreeText, 0, &text);
        ASSERT_EQ(text.status, 0);
        ASSERT_EQ(moduleVariable(address, number), value);
    }

    TDial_VAR* openVariables() {
        app->frame().deviceSelector()->setCurrentIndex(0);
        app->command(shell::cmd::kVariables);
        window = app->frame().findChild<TDial_VAR*>();
        if (window) {
            window->setInputAsker(
                [this](const widgets::TagInputRequest& r, QWidget*) { return input(r); });
        }
        return window;
    }
    void closeVariables() {
        auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget());
        ASSERT_NE(sub, nullptr);
        sub->close();
        ASSERT_TRUE(waitFor([&] { return window.isNull(); }));
    }
    QList<contract::TagPollEntry> entriesOf(contract::TKV_WindowHandle owner) const {
        QList<contract::TagPollEntry> entries;
        for (int i = 0; i < contract::kPollEntries; ++i) {
            const contract::TagPollEntry e = backend->comm().pollEntry(i);
            if (e.owner == owner && e.mode != contract::kPollFree) {
                entries << e;
            }
        }
        return entries;
    }
    template <class T> T* control(int id) const {
        return window->findChild<T*>(QString::number(id));
    }
    /// Triggers the item @p name of the row's pop-up menu.
    bool choose(int row, TColumn column, const char* name) {
        std::unique_ptr<QMenu> menu = window->rowMenu(row, column);
        if (!menu) {
            return false;
        }
        auto* action = menu->findChild<QAction*>(QString::fromLatin1(name).trimmed());
        if (action == nullptr || !action->isEnabled()) {
            return false;
        }
        action->trigger();
        return true;
    }
    /// Picks variable @p number from the name list dropped over @p row.
    void pickFromList(int row, int number) {
        window->dropNameList(row);
        auto* list = control<QComboBox>(ids::kNameList);
        ASSERT_NE(list, nullptr);
        ASSERT_TRUE(list->isVisible());
        emit list->activated(number - 1);
        EXPECT_FALSE(list->isVisible());
    }
    bool rowsShow(const std::vector<int>& numbers) const {
        return window->scanList().numbers() == numbers;
    }
    /// Waits for a pass of the window's reads after this call.
    bool freshReads(int passes = 2) {
        const int seen = window->completions();
        return waitFor([&] { return window && window->completions() >= seen + passes; });
    }

    support::TProgramFolder folder;
    std::unique_ptr<kvsim::VirtualLine> line;
    TQuietPrompter prompter;
    TScriptedInput input;
    std::unique_ptr<shell::TLineBackend> backend;
    std::unique_ptr<shell::TMainApp> app;
    std::unique_ptr<TTerminalHooks> hooks;
    QPointer<TDial_VAR> window;
};

TEST_F(VariablesLineTest, TheModuleListHoldsTheModulesWithVariablesAndRowsFollowTheModule) {
    ASSERT_NE(openVariables(), nullptr);
    EXPECT_EQ(window->windowTitle(), "Variables");
    auto* modules = control<QComboBox>(ids::kModuleList);
    ASSERT_NE(modules, nullptr);
    ASSERT_EQ(modules->count(), 2) << "the DVRX has no variables";
    // "%02d %10s %10s": address, the catalogue's type name, the record's label.
    EXPECT_EQ(modules->itemText(0).toStdString(), "00   KB01 v40       pump");
    EXPECT_EQ(modules->itemText(1).toStdString().substr(0, 3), "01 ");
    EXPECT_EQ(modules->currentIndex(), 0);
    EXPECT_EQ(window->moduleAddress(), kTrilo);
    ASSERT_EQ(window->names().size(), kTriloVariables);
    EXPECT_EQ(window->names().front(), "Variable01");
    EXPECT_TRUE(rowsShow({}));

    setOnModule(kTrilo, 3, 77);
    setOnModule(kTrilo, 5, -12);
    line->clearLog();
    pickFromList(0, 3);
    pickFromList(1, 5);
    ASSERT_TRUE(rowsShow({3, 5}));
    // One periodic entry per row, named by its row and variable.
    const QList<contract::TagPollEntry> entries = entriesOf(window->handle());
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0].kind, 0x103);
    EXPECT_EQ(entries[1].kind, 0x10105);
    EXPECT_EQ(entries[0].count, 0);
    EXPECT_EQ(entries[0].mode, contract::kPollPeriodic);
    EXPECT_TRUE(waitFor([&] {
        return window->scanList().row(0).current == 77 && window->scanList().row(1).current == -12;
    }));
    EXPECT_EQ(window->scanList().row(0).initial, 77);
    EXPECT_TRUE(sentToModules().contains("00QN#03")) << sentToModules().toStdString();
    EXPECT_TRUE(sentToModules().contains("00QN#05"));

    // The module's variable changes: the row follows.
    setOnModule(kTrilo, 3, 4660);
    EXPECT_TRUE(waitFor([&] { return window->scanList().row(0).current == 4660; }));
    EXPECT_TRUE(choose(0, TColumn::Current, text::kHexaView));
    EXPECT_EQ(window->scanList().row(0).mode, TViewMode::Hexa);
    std::unique_ptr<QMenu> menu = window->rowMenu(0, TColumn::Current);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->objectName(), QString::number(ids::kValueMenu));
    EXPECT_TRUE(menu->findChild<QAction*>(text::kHexaView)->isChecked());
    EXPECT_FALSE(menu->findChild<QAction*>(text::kFreeView)->isChecked());
    // The next row added takes the view chosen last.
    pickFromList(2, 1);
    EXPECT_EQ(window->scanList().row(2).mode, TViewMode::Hexa);

    // The same variable again: refused with a beep and hint 3302.
    const int beeps = prompter.beeps;
    pickFromList(3, 5);
    EXPECT_TRUE(rowsShow({3, 5, 1}));
    EXPECT_EQ(prompter.beeps, beeps + 1);
    EXPECT_EQ(window->shownHint(), 3302);
    EXPECT_EQ(control<QLabel>(ids::kHint)->text(),
              "Already in the scan list ,retry\nESC or right click to cancel ");
    EXPECT_EQ(entriesOf(window->handle()).size(), 3);
    // Escape takes the hint away.
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_EQ(window->shownHint(), 0);
    EXPECT_FALSE(control<QLabel>(ids::kHint)->isVisible());

    // A hovered menu item says what it does in the frame's status line.
    std::unique_ptr<QMenu> names = window->rowMenu(0, TColumn::Name);
    ASSERT_NE(names, nullptr);
    EXPECT_EQ(names->objectName(), QString::number(ids::kNameMenu));
    QAction* remove = names->findChild<QAction*>(text::kRemove);
    ASSERT_NE(remove, nullptr);
    emit names->hovered(remove);
    EXPECT_EQ(app->frame().message(), "Take the variable out of the scan list");
    // No menu over an unused row's values.
    EXPECT_EQ(window->rowMenu(5, TColumn::Current), nullptr);
}

TEST_F(VariablesLineTest, ChangeValueSendsTheCodedCommandAndTheModuleTakesTheValue) {
    ASSERT_NE(openVariables(), nullptr);
    setOnModule(kTrilo, 4, 9);
    pickFromList(0, 4);
    ASSERT_TRUE(waitFor([&] { return window->scanList().row(0).initial == 9; }));

    line->clearLog();
    input.answers = {"-250"};
    ASSERT_TRUE(choose(0, TColumn::Init, text::kChangeValue));
    ASSERT_EQ(input.asked.size(), 1);
    EXPECT_EQ(input.asked[0].caption, "Variable Setting");
    EXPECT_EQ(input.asked[0].prompt, "Change Init Value for #04 (Variable04)");
    EXPECT_EQ(input.asked[0].text, "9");
    EXPECT_TRUE(sentToModules().contains("00PD  #04:-250 ")) << sentToModules().toStdString();
    EXPECT_EQ(moduleVariable(kTrilo, 4), -250);
    EXPECT_TRUE(waitFor([&] { return window->scanList().row(0).current == -250; }));

    // A text that is no number sends nothing.
    line->clearLog();
    input.answers = {"abc"};
    ASSERT_TRUE(choose(0, TColumn::Current, text::kChangeValue));
    EXPECT_FALSE(sentToModules().contains("PD")) << sentToModules().toStdString();
    EXPECT_EQ(moduleVariable(kTrilo, 4), -250);
}

TEST_F(VariablesLineTest, ANinthVariableIsRefusedAndRemoveNextPrevWorkOnTheirRow) {
    ASSERT_NE(openVariables(), nullptr);
    for (int n = 1; n <= kRows; ++n) {
        pickFromList(n - 1, n);
    }
    ASSERT_TRUE(rowsShow({1, 2, 3, 4, 5, 6, 7, 8}));
    const int beeps = prompter.beeps;
    EXPECT_EQ(window->addVariable(9), TAddResult::Full);
    EXPECT_EQ(prompter.beeps, beeps + 1);
    EXPECT_EQ(control<QLabel>(ids::kStatus)->text(), text::kScanListFull);
    EXPECT_EQ(entriesOf(window->handle()).size(), kRows);

    // Remove withdraws that row's entry only; the freed row takes the ninth.
    ASSERT_TRUE(choose(2, TColumn::Name, text::kRemove));
    EXPECT_TRUE(rowsShow({1, 2, 4, 5, 6, 7, 8}));
    QList<contract::TagPollEntry> entries = entriesOf(window->handle());
    EXPECT_EQ(entries.size(), kRows - 1);
    for (const contract::TagPollEntry& e : entries) {
        EXPECT_NE(e.kind, 0x20103);
    }
    pickFromList(2, 9);
    EXPECT_TRUE(rowsShow({1, 2, 9, 4, 5, 6, 7, 8}));

    // Next skips what other rows show; Prev goes back the same way.
    ASSERT_TRUE(choose(2, TColumn::Name, text::kNext));
    EXPECT_TRUE(rowsShow({1, 2, 10, 4, 5, 6, 7, 8}));
    EXPECT_FALSE(choose(2, TColumn::Name, text::kNext)) << "no variable after the tenth";
    ASSERT_TRUE(choose(2, TColumn::Name, text::kPrev));
    ASSERT_TRUE(choose(2, TColumn::Name, text::kPrev));
    EXPECT_TRUE(rowsShow({1, 2, 3, 4, 5, 6, 7, 8}));
    entries = entriesOf(window->handle());
    ASSERT_EQ(entries.size(), kRows);
    QList<int> kinds;
    for (const contract::TagPollEntry& e : entries) {
        kinds << e.kind;
    }
    EXPECT_TRUE(kinds.contains(0x20103));
    EXPECT_FALSE(kinds.contains(0x20109));
    EXPECT_FALSE(kinds.contains(0x2010A));
    EXPECT_TRUE(freshReads(kRows));
}

TEST_F(VariablesLineTest, LabelsAndScanListsAreKeptInTheProjectAndComeBack) {
    ASSERT_NE(openVariables(), nullptr);
    // The MICROTRILO's stored list: 40 and the garbage are ignored, 2 is shown once.
    auto* modules = control<QComboBox>(ids::kModuleList);
    modules->setCurrentIndex(1);
    EXPECT_EQ(window->moduleAddress(), kMicroTrilo);
    ASSERT_TRUE(rowsShow({2, 7}));
    EXPECT_EQ(window->scanList().row(1).name, "Torque");
    EXPECT_EQ(window->names().at(6), "Torque");

    // Back on the TRILO: a label and two rows.
    modules->setCurrentIndex(0);
    ASSERT_TRUE(rowsShow({}));
    pickFromList(0, 6);
    pickFromList(1, 2);
    input.answers = {"Speed,max:1"};
    ASSERT_TRUE(choose(0, TColumn::Name, text::kNewLabel));
    ASSERT_EQ(input.asked.size(), 1);
    EXPECT_EQ(input.asked[0].caption, "Variable Label");
    EXPECT_EQ(input.asked[0].prompt, "Change label for variable #06 :");
    EXPECT_EQ(input.asked[0].maxLength, kLabelInputLength);
    EXPECT_EQ(window->scanList().row(0).name, "Speedmax1");
    EXPECT_EQ(control<QComboBox>(ids::kNameList)->itemText(5), "Speedmax1");

    closeVariables();
    ASSERT_TRUE(backend->saveProject());
    const QByteArray saved = readProject();
    EXPECT_TRUE(saved.contains("\n00=06:Speedmax1\n")) << saved.toStdString();
    EXPECT_TRUE(saved.contains("\n01=7:Torque\n")) << saved.toStdString();
    EXPECT_TRUE(saved.contains(" = 00:6 2\n")) << saved.toStdString();
    EXPECT_TRUE(saved.contains(" = 01:40 2 garbage 7 2\n")) << "not shown changed, kept";

    // A new start of the program from the saved project shows them again.
    stopProgram();
    startProgram();
    ASSERT_NE(openVariables(), nullptr);
    EXPECT_TRUE(rowsShow({6, 2}));
    EXPECT_EQ(window->scanList().row(0).name, "Speedmax1");
    EXPECT_EQ(window->names().at(5), "Speedmax1");
    EXPECT_TRUE(freshReads());

    // Erase Labels: the module's labels go, its rows stay.
    ASSERT_TRUE(choose(1, TColumn::Name, text::kEraseLabels));
    EXPECT_TRUE(rowsShow({6, 2}));
    EXPECT_EQ(window->scanList().row(0).name, "Variable06");
    EXPECT_EQ(entriesOf(window->handle()).size(), 2);
}

TEST_F(VariablesLineTest, SwitchingModulesWithdrawsEveryRowBeforeTheRowsAreReused) {
    ASSERT_NE(openVariables(), nullptr);
    pickFromList(0, 1);
    pickFromList(1, 2);
    pickFromList(2, 3);
    ASSERT_TRUE(freshReads(3));
    const contract::TKV_WindowHandle owner = window->handle();

    control<QComboBox>(ids::kModuleList)->setCurrentIndex(1);
    ASSERT_TRUE(rowsShow({2, 7}));
    const QList<contract::TagPollEntry> entries = entriesOf(owner);
    ASSERT_EQ(entries.size(), 2);
    for (const contract::TagPollEntry& e : entries) {
        EXPECT_EQ(e.request->address, kMicroTrilo);
    }
    // The TRILO is no longer read while the MICROTRILO's rows are.
    ASSERT_TRUE(freshReads(2));
    const int heard = line->module(kTrilo)->commandsHeard;
    ASSERT_TRUE(freshReads(4));
    EXPECT_EQ(line->module(kTrilo)->commandsHeard, heard);

    // Minimising pauses the rows; closing withdraws them before the records go (ASan).
    auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget());
    sub->showMinimized();
    for (const contract::TagPollEntry& e : entriesOf(owner)) {
        EXPECT_EQ(e.mode, contract::kPollPaused);
    }
    sub->showNormal();
    EXPECT_EQ(entriesOf(owner).size(), 2);
    EXPECT_EQ(entriesOf(owner).front().mode, contract::kPollPeriodic);
    closeVariables();
    EXPECT_TRUE(entriesOf(owner).isEmpty());
    // The scan list comes back on reopening.
    ASSERT_NE(openVariables(), nullptr);
    EXPECT_TRUE(rowsShow({1, 2, 3}));
}

TEST_F(VariablesLineTest, AModuleGoneSilentShowsNoDialAndKeepsItsValues) {
    ASSERT_NE(openVariables(), nullptr);
    setOnModule(kTrilo, 2, 321);
    pickFromList(0, 2);
    ASSERT_TRUE(waitFor([&] { return window->scanList().row(0).current == 321; }));
    auto* status = control<QLabel>(ids::kStatus);
    EXPECT_EQ(status->text(), "");

    kvsim::FaultSetup silent;
    silent.kind = kvsim::FaultKind::Silent;
    silent.count = -1;
    line->setFault(kTrilo, silent);
    ASSERT_TRUE(waitFor([&] { return status->text() == "No Dial."; }));
    EXPECT_EQ(window->scanList().row(0).current, 321);
    EXPECT_EQ(window->scanList().row(0).initial, 321);
    EXPECT_TRUE(prompter.boxes.isEmpty()) << prompter.boxes.join('|').toStdString();

    line->setFault(kTrilo, {});
    EXPECT_TRUE(waitFor([&] { return status->text().isEmpty(); }));
    EXPECT_EQ(window->scanList().row(0).current, 321);
}

class NoVariablesTest : public VariablesLineTest {
  protected:
    QByteArray project() const override { return projectWithoutVariables(); }
};

TEST_F(NoVariablesTest, WithoutAModuleThatHasVariablesTheWindowClosesItselfAfterTwoSeconds) {
    const int beeps = prompter.beeps;
    ASSERT_NE(openVariables(), nullptr);
    auto* modules = control<QComboBox>(ids::kModuleList);
    EXPECT_EQ(modules->count(), 0);
    EXPECT_FALSE(modules->isEnabled());
    EXPECT_EQ(window->shownHint(), 3305);
    EXPECT_EQ(control<QLabel>(ids::kHint)->text(),
              "Invalid action for this module\nAuto close in 2 seconds");
    EXPECT_EQ(prompter.beeps, beeps + 1);
    EXPECT_TRUE(entriesOf(window->handle()).isEmpty());
    EXPECT_TRUE(waitFor([&] { return window.isNull(); }));
    EXPECT_EQ(app->frame().findChild<TDial_VAR*>(), nullptr);
}

} // namespace
} // namespace tamsel::terminal::variables::test
