// The module-window base inside the real program: the application over the real driver,
// binding and project, emulated modules on a pseudo-terminal, and the example window
// registered as the program registers its windows.
#include "example_window.h"

#include <comm_error_dialog.h>
#include <widget_ids.h>
#include <window_hooks.h>

#include <help.h>
#include <line_backend.h>
#include <main_app.h>
#include <main_frame.h>
#include <prompter.h>
#include <shell_codes.h>

#include <contract/module_window.h>
#include <kvsim/virtual_line.h>

#include "support/event_wait.h"
#include "support/program_folder.h"
#include "support/sent_bytes.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace tamsel::windows::test {
namespace {

using example::TPositionWatch;
namespace req = contract::req;

constexpr const char* kLine = "00 TRILO type=0x0205 serial=1001\n"
                              "03 DVRX type=0x6020 serial=1004 version=2.10\n";
constexpr int kTriloAddress = 0;
constexpr int kDvrxAddress = 3;
constexpr int kDvrxEntry = 1; ///< its place in the device selector
constexpr int kModuleError = 0x21;
// Passes of the witness's entry that would have run the paused entry several times over.
constexpr int kWitnessPasses = 4;

QByteArray projectText() {
    return "; test project\n[CONFIGURATION]\nTarget = TRILO\nPortComm = COM1\n"
           "BaudRate = 9600\nProtocole = XON-XOFF\n"
           "Cnf00000  = 00 , 00517 ,_,_,_\nCnf00001  = 03 , 24608 ,_,_,_\n;\n"
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

/// A second poll entry on another module: its completions show that the poll thread went
/// round the table, so that an entry it did not read was skipped, not merely not reached.
class TWitness final : public QObject, public contract::TModuleWindow {
  public:
    void pollCompleted(int, int) override { ++completions; }
    void shellCommand(int) override {}
    contract::TagStatus status;
    contract::TagRequest record;
    int completions = 0;
};

class WindowLineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(
            folder.prepare(QStringLiteral(TAMSEL_LINKOR_FILE), QStringLiteral(TAMSEL_HELP_FILE)));
        line = std::make_unique<kvsim::VirtualLine>(kvsim::VirtualLine::fromText(kLine));
        line->start(folder.portsPath(), 1);
        ASSERT_TRUE(folder.write("template/tamsel2.ktp", projectText()));
        folder.enter();

        backend = std::make_unique<shell::TLineBackend>(prompter, folder.filePath("none.conf"));
        app = std::make_unique<shell::TMainApp>(*backend, prompter);
        hooks = std::make_unique<TWindowHooks>(*app, prompter);
        hooks->addWindow(shell::TWindowKind::Dialog, [this](const TWindowSetup& setup) {
            auto* window = new TPositionWatch(setup);
            watch = window;
            return window;
        });
        app->setScreenFacts({96, 96, 1024, 768, 24});
        ASSERT_TRUE(app->start());
        ASSERT_NE(backend->comm().lineHandle(), 0);
        backend->startPolling();
    }
    void TearDown() override {
        withdrawWitness();
        hooks.reset();
        app.reset();
        backend.reset();
        folder.leave();
        line->stop();
    }
    void writeFile(const char* name, const QByteArray& text) {
        ASSERT_TRUE(folder.write(name, text));
    }
    int heard(int address) const { return line->module(address)->commandsHeard; }
    QByteArray sentToModules() const { return support::sentToModules(*line); }

    /// Opens the example window on the module at @p entry of the device selector and waits
    /// for its first good read.
    TPositionWatch* openWatch(int entry) {
        app->frame().deviceSelector()->setCurrentIndex(entry);
        app->command(shell::cmd::kDialog);
        if (watch == nullptr || !waitFor([this] {
                return watch != nullptr && watch->completions() > 0 && watch->lastStatus() == 0;
            })) {
            return nullptr;
        }
        return watch;
    }
    QMdiSubWindow* watchFrame() const { return app->childWithId(shell::winid::kDialog); }

    void startWitness() {
        witness.record.kind = contract::kKindStatus;
        witness.record.data = &witness.status;
        witness.record.address = kTriloAddress;
        witness.record.typeCode = 0x0205;
        contract::TagPollEntry entry;
        entry.kind = contract::kKindStatus;
        entry.mode = contract::kPollPeriodic;
        entry.owner = shell::TLineBackend::handleOf(&witness);
        entry.request = &witness.record;
        app->request(req::kPollAdd, 0, &entry);
        witnessOn = true;
    }
    void withdrawWitness() {
        if (witnessOn) {
            contract::TKV_WindowHandle owner = shell::TLineBackend::handleOf(&witness);
            app->request(req::kPollModeByOwner, contract::kPollFree, &owner);
            witnessOn = false;
        }
    }
    QList<int> modesOf(contract::TKV_WindowHandle owner) const {
        QList<int> modes;
        for (int i = 0; i < contract::kPollEntries; ++i) {
            const contract::TagPollEntry e = backend->comm().pollEntry(i);
            if (e.owner == owner) {
                modes << e.mode;
            }
        }
        return modes;
    }
    template <class T> T* control(QWidget* parent, int id) const {
        return parent->findChild<T*>(QString::number(id));
    }

    support::TProgramFolder folder;
    std::unique_ptr<kvsim::VirtualLine> line;
    TQuietPrompter prompter;
    std::unique_ptr<shell::TLineBackend> backend;
    std::unique_ptr<shell::TMainApp> app;
    std::unique_ptr<TWindowHooks> hooks;
    QPointer<TPositionWatch> watch;
    TWitness witness;
    bool witnessOn = false;
};

// ---- the poll subscription ----------------------------------------------------------------

TEST_F(WindowLineTest, MinimisePausesTheWindowsReadsRestoreResumesThemClosingWithdrawsThem) {
    TPositionWatch* window = openWatch(kDvrxEntry);
    ASSERT_NE(window, nullptr);
    const contract::TKV_WindowHandle owner = window->handle();
    EXPECT_EQ(modesOf(owner), QList<int>{contract::kPollPeriodic});
    EXPECT_TRUE(waitFor(
        [&] { return control<QLabel>(window, example::ids::kPosition)->text() == "0 steps"; }));
    startWitness();

    watchFrame()->showMinimized();
    EXPECT_TRUE(window->polls().paused());
    EXPECT_EQ(modesOf(owner), QList<int>{contract::kPollPaused});
    // A read already under way when the window went may still end: start counting after it.
    const int seen = witness.completions;
    ASSERT_TRUE(waitFor([&] { return witness.completions >= seen + 1; }));
    const int heardPaused = heard(kDvrxAddress);
    const int readsPaused = window->completions();
    const int passes = witness.completions;
    ASSERT_TRUE(waitFor([&] { return witness.completions >= passes + kWitnessPasses; }));
    EXPECT_EQ(heard(kDvrxAddress), heardPaused) << "no read of a minimised window's module";
    EXPECT_EQ(window->completions(), readsPaused);

    watchFrame()->showNormal();
    EXPECT_FALSE(window->polls().paused());
    EXPECT_EQ(modesOf(owner), QList<int>{contract::kPollPeriodic});
    EXPECT_TRUE(waitFor(
        [&] { return heard(kDvrxAddress) > heardPaused && window->completions() > readsPaused; }));

    // Closing withdraws the entries before the records go: with the witness withdrawn too,
    // the table is empty, and the poll thread never wrote into the freed records (ASan).
    watchFrame()->close();
    ASSERT_TRUE(waitFor([&] { return watch.isNull(); }));
    withdrawWitness();
    for (int i = 0; i < contract::kPollEntries; ++i) {
        EXPECT_EQ(backend->comm().pollEntry(i).owner, 0) << i;
        EXPECT_EQ(backend->comm().pollEntry(i).mode, contract::kPollFree) << i;
    }
    const int heardAfter = heard(kDvrxAddress);
    startWitness();
    const int after = witness.completions;
    ASSERT_TRUE(waitFor([&] { return witness.completions >= after + kWitnessPasses; }));
    EXPECT_EQ(heard(kDvrxAddress), heardAfter);
}

// ---- the communication error report ---------------------------------------------------------

class ErrorReportTest : public WindowLineTest {
  protected:
    /// Makes the next read of the DVRX fail, once, while the module holds an error.
    widgets::TCommErrorDialog* failNextRead() {
        line->setErrorCode(kDvrxAddress, kModuleError);
        kvsim::FaultSetup silent;
        silent.kind = kvsim::FaultKind::Silent;
        silent.count = 1;
        line->setFault(kDvrxAddress, silent);
        if (!waitFor([this] { return hooks->openReport() != nullptr; })) {
            return nullptr;
        }
        return hooks->openReport();
    }
    QString field(QWidget* report, int id) const {
        auto* label = control<QLabel>(report, id);
        return label == nullptr ? QStringLiteral("<missing>") : label->text();
    }
    QString driverMessage(std::int32_t status) {
        char text[contract::kTextSize] = {};
        std::snprintf(text, sizeof text, "%s", widgets::statusCodeText(status).toLatin1().data());
        app->request(req::kStatusMessage, 0, text);
        return QString::fromLatin1(text);
    }
};

TEST_F(ErrorReportTest, AFailedReadOpensTheReportWithWhatFailedAndTheModulesOwnWord) {
    TPositionWatch* window = openWatch(kDvrxEntry);
    ASSERT_NE(window, nullptr);
    line->clearLog();
    widgets::TCommErrorDialog* report = failNextRead();
    ASSERT_NE(report, nullptr);
    const std::int32_t status = window->lastStatus();
    ASSERT_NE(status, 0);

    const widgets::TagCommErrorData& data = report->errorData();
    EXPECT_EQ(data.operation, contract::kFailedRead);
    EXPECT_EQ(data.kind, contract::kKindStatus);
    EXPECT_EQ(data.address, kDvrxAddress);
    EXPECT_EQ(data.typeCode, 0x6020);
    EXPECT_EQ(field(report, widgets::ids::kErrorFrom), " Position watch 03");
    EXPECT_TRUE(field(report, widgets::ids::kLastCommand).startsWith("03"))
        << field(report, widgets::ids::kLastCommand).toStdString();
    EXPECT_EQ(field(report, widgets::ids::kErrorCode), widgets::errorCodeText(status));
    EXPECT_EQ(field(report, widgets::ids::kDetail), driverMessage(status));
    EXPECT_FALSE(field(report, widgets::ids::kDetail).isEmpty());

    // The module's report: its read-error command went on the line, its reply is shown.
    EXPECT_TRUE(sentToModules().contains("REA H#ERR")) << sentToModules().toStdString();
    EXPECT_EQ(field(report, widgets::ids::kModuleReport), "03#ERR=h21");
    EXPECT_EQ(prompter.beeps, 1);
    EXPECT_EQ(line->module(kDvrxAddress)->errorCode, kModuleError);

    // Closing sends the clear-error command: the module's error is gone.
    const QPointer<widgets::TCommErrorDialog> alive = report;
    line->clearLog();
    report->accept();
    EXPECT_TRUE(sentToModules().contains("#ERR := 0")) << sentToModules().toStdString();
    EXPECT_EQ(line->module(kDvrxAddress)->errorCode, 0);
    // Outside the program's event loop, the deferred deletion is run by hand.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
}

TEST_F(ErrorReportTest, AWindowClosedWhileItsReportIsOpenIsNeverTouched) {
    TPositionWatch* window = openWatch(kDvrxEntry);
    ASSERT_NE(window, nullptr);
    widgets::TCommErrorDialog* report = failNextRead();
    ASSERT_NE(report, nullptr);
    watchFrame()->close();
    ASSERT_TRUE(waitFor([&] { return watch.isNull(); }));
    // The report still closes through the module (ASan watches the window's memory).
    line->clearLog();
    report->reject();
    EXPECT_TRUE(sentToModules().contains("#ERR := 0"));
    EXPECT_EQ(field(report, widgets::ids::kErrorFrom), " Position watch 03");
}

TEST_F(ErrorReportTest, AModuleThatStaysSilentGivesTheDriversMessageAsItsReport) {
    TPositionWatch* window = openWatch(kDvrxEntry);
    ASSERT_NE(window, nullptr);
    kvsim::FaultSetup silent;
    silent.kind = kvsim::FaultKind::Silent;
    silent.count = -1;
    line->setFault(kDvrxAddress, silent);
    ASSERT_TRUE(waitFor([this] { return hooks->openReport() != nullptr; }));
    widgets::TCommErrorDialog* report = hooks->openReport();
    const QString shown = field(report, widgets::ids::kModuleReport);
    EXPECT_FALSE(shown.isEmpty());
    EXPECT_EQ(shown, driverMessage(window->lastStatus()));
    EXPECT_FALSE(shown.startsWith("#ERR"));
    // Failures that follow are one streak: one report only.
    const int reads = window->completions();
    ASSERT_TRUE(waitFor([&] { return window->completions() >= reads + 2; }));
    EXPECT_EQ(hooks->openReport(), report);
    EXPECT_EQ(prompter.beeps, 1);
    line->setFault(kDvrxAddress, {});
}

// ---- context help -----------------------------------------------------------------------------

TEST_F(WindowLineTest, F1TheHelpButtonAndTheHelpModeOpenTheWindowsOwnTopic) {
    TPositionWatch* window = openWatch(kDvrxEntry);
    ASSERT_NE(window, nullptr);
    const QString anchor = QString::number(example::kHelpContext);
    ASSERT_FALSE(app->help().shown());

    auto* position = control<QLabel>(window, example::ids::kPosition);
    ASSERT_NE(position, nullptr);
    QTest::keyClick(position, Qt::Key_F1);
    EXPECT_TRUE(app->help().shown());
    EXPECT_EQ(app->help().shownAnchor(), anchor);

    app->help().quit();
    ASSERT_TRUE(waitFor([&] { return !app->help().shown(); }));
    auto* help = window->findChild<QPushButton*>(TModuleWindowBase::kHelpButtonName);
    ASSERT_NE(help, nullptr);
    help->click();
    EXPECT_EQ(app->help().shownAnchor(), anchor);

    // What's This: a click on a control deep in the window finds the window's number.
    app->help().quit();
    ASSERT_TRUE(waitFor([&] { return !app->help().shown(); }));
    app->command(shell::cmd::kHelpMode);
    ASSERT_TRUE(app->helpMode());
    QTest::mouseClick(position, Qt::LeftButton);
    EXPECT_FALSE(app->helpMode());
    EXPECT_EQ(app->help().shownAnchor(), anchor);
    EXPECT_TRUE(prompter.boxes.isEmpty()) << prompter.boxes.join('|').toStdString();
}

} // namespace
} // namespace tamsel::windows::test
