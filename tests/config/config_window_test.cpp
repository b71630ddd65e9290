// The configuration window through the real shell, the real driver and the real project,
// against the virtual line on a pseudo-terminal; boxes are answered by the scripted prompter.
#include "config_codes.h"
#include "config_hooks.h"
#include "config_window.h"
#include "help.h"
#include "init_box_driver.h"
#include "line_backend.h"
#include "main_app.h"
#include "main_frame.h"
#include "scripted_prompter.h"
#include "shell_codes.h"
#include "wait.h"

#include <discovery/localize_run.h>
#include <discovery/module_menu.h>
#include <discovery/scan_results.h>
#include <kvsim/virtual_line.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace tamsel::discovery::test {
namespace {

using shell::TBox;
using shell::TBoxAnswer;
using shell::TLineBackend;
using shell::TMainApp;
using shell::test::TInitBoxDriver;
using shell::test::TScriptedPrompter;
using shell::test::waitFor;

// Scans of 63 addresses at 9600 baud wait out the silence of every empty address.
constexpr int kScanWaitMs = 120000;
// A stop ends the scan within the probe under way.
constexpr int kStopWaitMs = 20000;

struct DemoModule {
    int address;
    int typeCode;
    const char* serial;
};
// The six modules of the demo line that share its setting, with the type codes their identities
// decode to (the VRX17 family's carry its version above the type); a TRILO of this generation
// tells no serial number in its identity.
constexpr DemoModule kDemo[] = {{0, 0x0205, ""},        {1, 0x1002, "1002"}, {2, 0x1055000, "1003"},
                                {3, 0x20A6020, "1004"}, {4, 0x3001, "1005"}, {5, 0x4001, "1006"}};

QString id(int n) {
    return QString::number(n);
}

class ConfigWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(work.isValid());
        ASSERT_TRUE(ports.isValid());
        qputenv("LINKOR_PORTS", ports.path().toLocal8Bit());
        QDir(work.path()).mkpath("template");
        QFile::link(QStringLiteral(TAMSEL_LINKOR_FILE), work.filePath("liblinkor.so"));
        // The files the build ships beside the program, as the demo runs it.
        const QDir bin(QStringLiteral(TAMSEL_BIN_DIR));
        ASSERT_TRUE(QFile::copy(bin.filePath("template/tamsel2.ktp"),
                                work.filePath("template/tamsel2.ktp")));
        ASSERT_TRUE(QFile::copy(bin.filePath("tm2cmde.txt"), work.filePath("tm2cmde.txt")));
        previous = QDir::currentPath();
        QDir::setCurrent(work.path());
    }
    void TearDown() override {
        app.reset();
        backend.reset();
        QDir::setCurrent(previous);
        if (line) {
            line->stop();
        }
        qunsetenv("LINKOR_PORTS");
    }
    void startLine(const char* file) {
        line = std::make_unique<kvsim::VirtualLine>(
            kvsim::VirtualLine::fromFile(std::string(TAMSEL_SOURCE_DIR) + "/sim/lines/" + file));
        line->start(ports.path().toStdString(), 1);
    }
    void startLineText(const char* text) {
        line = std::make_unique<kvsim::VirtualLine>(kvsim::VirtualLine::fromText(text));
        line->start(ports.path().toStdString(), 1);
    }
    /// Starts the program; a project without modules opens the window by itself.
    void startProgram() {
        backend = std::make_unique<TLineBackend>(prompter, work.filePath("no-settings.conf"));
        app = std::make_unique<TMainApp>(*backend, prompter);
        registerConfigurationWindow(*app, prompter);
        app->setScreenFacts({96, 96, 1024, 768, 24});
        ASSERT_TRUE(app->start());
    }
    TDial_DES* window() const {
        QMdiSubWindow* sub = app->childWithId(shell::winid::kConfiguration);
        return sub == nullptr ? nullptr : qobject_cast<TDial_DES*>(sub->widget());
    }
    template <typename T> T* control(int n) const { return window()->findChild<T*>(id(n)); }
    void press(int n) const { control<QPushButton>(n)->click(); }
    /// Waits until the scan and the results it left are all shown.
    bool scanDone(int ms = kScanWaitMs) const {
        return waitFor(
            [this] {
                const int32_t d = window()->displayState();
                return !window()->scanning() &&
                       (d == display::kScanDone || d == display::kDebugDone) &&
                       control<QPushButton>(ctl::kStart)->text() == "&Scanning";
            },
            ms);
    }
    /// The addresses the window's table holds, for the failure messages.
    std::string addresses() const {
        std::string out;
        for (int a : window()->table().rows()) {
            out += std::to_string(a) + " " + window()->table().entry(a).target + ", ";
        }
        return out;
    }

    QTemporaryDir work;
    QTemporaryDir ports;
    QString previous;
    std::unique_ptr<kvsim::VirtualLine> line;
    TScriptedPrompter prompter;
    TInitBoxDriver person;
    std::unique_ptr<TLineBackend> backend;
    std::unique_ptr<TMainApp> app;
};

TEST_F(ConfigWindowTest, AutomaticFindsTheDemoLineAcceptPutsItIntoTheProjectCheckingAgrees) {
    startLine("demo.line");
    startProgram();
    // The shipped project has no module and the driver's first target: the window opens.
    ASSERT_TRUE(waitFor([this] { return window() != nullptr; }));
    TDial_DES* w = window();
    ASSERT_TRUE(waitFor([w] { return !w->displayPending(); }));
    EXPECT_EQ(w->displayState(), display::kUnconfigured);
    EXPECT_TRUE(control<QRadioButton>(ctl::kAutomatic)->isChecked());
    EXPECT_FALSE(control<QRadioButton>(ctl::kChecking)->isEnabled());
    EXPECT_FALSE(control<QPushButton>(ctl::kAccept)->isEnabled());
    EXPECT_EQ(control<QLabel>(ctl::kCount)->text(), "!?");
    EXPECT_EQ(control<QComboBox>(ctl::kTarget)->currentText(), "DVRX");

    press(ctl::kStart);
    EXPECT_EQ(control<QPushButton>(ctl::kStart)->text(), "&Stop Scanning");
    EXPECT_FALSE(control<QComboBox>(ctl::kPort)->isEnabled());
    ASSERT_TRUE(scanDone());
    ASSERT_EQ(w->table().liveCount(), 6) << addresses();
    EXPECT_TRUE(prompter.boxes.isEmpty()) << prompter.titles().join("|").toStdString();
    for (const DemoModule& m : kDemo) {
        const ModuleEntry& e = w->table().entry(m.address);
        EXPECT_EQ(e.typeCode, m.typeCode) << m.address;
        EXPECT_EQ(e.serial, m.serial) << m.address;
        EXPECT_FALSE(e.target.empty()) << m.address;
    }
    // The console-mode module at 10 keeps another setting and is not reached.
    EXPECT_TRUE(w->table().entry(10).empty());
    EXPECT_EQ(control<QLabel>(ctl::kCount)->text(), "06");
    auto* list = w->findChild<QTableWidget*>(id(ctl::kModuleList));
    ASSERT_EQ(list->rowCount(), 6);
    EXPECT_EQ(list->item(3, 0)->text(), "03 ");
    EXPECT_EQ(list->item(3, 3)->text(), "1004");
    EXPECT_TRUE(control<QPushButton>(ctl::kAccept)->isEnabled());
    EXPECT_TRUE(control<QRadioButton>(ctl::kChecking)->isEnabled());

    if (const QByteArray dir = qgetenv("TAMSEL_SCREENSHOT_DIR"); !dir.isEmpty()) {
        w->parentWidget()->grab().save(
            QDir(QString::fromLocal8Bit(dir)).filePath("configuration.png"));
    }

    // Accept: the project holds the six modules and the device selector lists them.
    const QPointer<TDial_DES> alive = w;
    press(ctl::kAccept);
    EXPECT_TRUE(prompter.boxes.isEmpty()) << prompter.titles().join("|").toStdString();
    ASSERT_TRUE(waitFor([&alive] { return alive.isNull(); }));
    EXPECT_EQ(backend->moduleRecordCount(), 6);
    QComboBox* selector = app->frame().deviceSelector();
    ASSERT_EQ(selector->count(), 6);
    EXPECT_TRUE(selector->itemText(5).startsWith("@05=")) << selector->itemText(5).toStdString();
    EXPECT_EQ(selector->itemData(3).toInt(), kDemo[3].typeCode);

    // Opened again, the window starts from that configuration and a check agrees with the line.
    app->command(shell::cmd::kConfiguration);
    ASSERT_NE(window(), nullptr);
    w = window();
    ASSERT_TRUE(waitFor([w] { return !w->displayPending(); }));
    EXPECT_EQ(w->displayState(), display::kConfigured);
    EXPECT_EQ(w->table().liveCount(), 6);
    EXPECT_TRUE(control<QRadioButton>(ctl::kChecking)->isChecked());
    press(ctl::kStart);
    ASSERT_TRUE(scanDone());
    ASSERT_TRUE(waitFor([this] { return !prompter.boxes.isEmpty(); }));
    const QString correct = "This configuration is correct :Accept to save and quit configuration";
    EXPECT_EQ(prompter.boxes.last().title, "Checking :");
    EXPECT_EQ(prompter.boxes.last().text, correct);
    EXPECT_EQ(control<QLabel>(ctl::kMessage)->text(), correct);
}

TEST_F(ConfigWindowTest, SilentLineGivesModule00NotFoundAndKeepsTheLastConfiguration) {
    startLine("empty.line");
    startProgram();
    ASSERT_TRUE(waitFor([this] { return window() != nullptr; }));
    // The person reads the box's help before answering it.
    QDir(work.path()).mkpath("help");
    QFile helpFile(work.filePath("help/Tamsel2.html"));
    ASSERT_TRUE(helpFile.open(QIODevice::WriteOnly));
    helpFile.write("<html><body><a name=\"1051\">Module 00</a></body></html>");
    helpFile.close();
    QString helpShownDuringBox;
    prompter.onBox = [this, &helpShownDuringBox](const TBox& box) {
        if (box.showHelp && helpShownDuringBox.isEmpty()) {
            box.showHelp(box.helpContext);
            helpShownDuringBox = app->help().shownAnchor();
        }
    };
    const QString target = control<QComboBox>(ctl::kTarget)->currentText();
    const QString protocol = control<QComboBox>(ctl::kProtocol)->currentText();
    const QString baud = control<QComboBox>(ctl::kBaud)->currentText();
    press(ctl::kStart);
    ASSERT_TRUE(scanDone());
    ASSERT_TRUE(waitFor([this] { return !prompter.boxes.isEmpty(); }));
    EXPECT_EQ(prompter.boxes.first().title, "Module 00 not found ?");
    EXPECT_TRUE(prompter.boxes.first().text.startsWith("No communication with module 00.\n"));
    EXPECT_EQ(prompter.boxes.first().helpContext, kModule00HelpContext);
    EXPECT_EQ(helpShownDuringBox, "1051");
    prompter.onBox = nullptr;
    EXPECT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(control<QComboBox>(ctl::kTarget)->currentText(), target);
    EXPECT_EQ(control<QComboBox>(ctl::kProtocol)->currentText(), protocol);
    EXPECT_EQ(control<QComboBox>(ctl::kBaud)->currentText(), baud);
    EXPECT_EQ(window()->table().liveCount(), 0);
    EXPECT_TRUE(window()
                    ->findChild<QProgressBar*>(kGaugeName)
                    ->text()
                    .startsWith("  Last configuration : COM1 , "));
}

TEST_F(ConfigWindowTest, StopEndsTheScanAndClosingWhileScanningIsRefused) {
    startLine("empty.line");
    startProgram();
    ASSERT_TRUE(waitFor([this] { return window() != nullptr; }));
    press(ctl::kStart);
    auto* gauge = window()->findChild<QProgressBar*>(kGaugeName);
    // A few probes have gone unanswered: the estimate of what is left is shown.
    ASSERT_TRUE(waitFor([gauge] { return gauge->value() >= 2; }));
    EXPECT_TRUE(window()->findChild<QLabel*>(kRemainingName)->text().endsWith(" s left"));

    EXPECT_FALSE(app->childWithId(shell::winid::kConfiguration)->close());
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].title, "CONFIGURATION WARNING");
    EXPECT_EQ(prompter.boxes[0].text, "You must Stop Scanning\nbefore Closing the Dialog BOX");
    ASSERT_NE(window(), nullptr);

    const int stoppedAt = gauge->value();
    press(ctl::kStart);
    ASSERT_TRUE(scanDone(kStopWaitMs));
    // Stopped well before the end of the sweep, and without the silent line's box.
    EXPECT_LT(gauge->value(), gauge->maximum());
    EXPECT_LE(gauge->value(), stoppedAt + 1);
    EXPECT_EQ(prompter.boxes.size(), 1) << prompter.titles().join("|").toStdString();

    // Idle again, the window closes, asking first about the empty configuration.
    const QPointer<TDial_DES> alive = window();
    prompter.answers = {TBoxAnswer::Cancel};
    EXPECT_FALSE(app->childWithId(shell::winid::kConfiguration)->close());
    EXPECT_EQ(prompter.boxes.last().text,
              "No configuration will be saved .\nTamsel2 will be a limited version");
    EXPECT_TRUE(app->childWithId(shell::winid::kConfiguration)->close());
    EXPECT_TRUE(waitFor([&alive] { return alive.isNull(); }));
}

/// The action of a menu or of one of its submenus with @p text, or null.
QAction* findAction(const QMenu& menu, const QString& text) {
    for (QAction* a : menu.actions()) {
        if (a->text() == text) {
            return a;
        }
        if (a->menu() != nullptr) {
            if (QAction* inner = findAction(*a->menu(), text)) {
                return inner;
            }
        }
    }
    return nullptr;
}

/// The row of the module list that shows @p address, or -1.
int rowOf(const QTableWidget& list, int address) {
    const QString shown = QStringLiteral("%1 ").arg(address, 2, 10, QLatin1Char('0'));
    for (int r = 0; r < list.rowCount(); ++r) {
        if (list.item(r, 0)->text() == shown) {
            return r;
        }
    }
    return -1;
}

/// How often @p text went to the modules in the traffic log.
int sentCount(const std::vector<kvsim::LogEntry>& log, const std::string& text) {
    std::string sent;
    for (const kvsim::LogEntry& e : log) {
        if (e.direction == kvsim::Direction::ToModules) {
            sent += static_cast<char>(e.byte);
        }
    }
    int n = 0;
    for (std::size_t at = sent.find(text); at != std::string::npos;
         at = sent.find(text, at + text.size())) {
        ++n;
    }
    return n;
}

// The line as accepted, and as it is found again: the VRX23 at 01 has gone, the VRX17 at 02 was
// swapped for one of another serial number and a MICROTRILO came at 04; the VRX17 at 03 stayed.
constexpr const char* kAcceptedLine = "00 TRILO type=0x0205 serial=1001\n"
                                      "01 VRX23 type=0x3001 serial=1005 version=1.05\n"
                                      "02 VRX17 type=0x5000 serial=1003 version=1.05\n"
                                      "03 VRX17 type=0x5000 serial=1004 version=1.05\n";
constexpr const char* kChangedLine = "00 TRILO type=0x0205 serial=1001\n"
                                     "02 VRX17 type=0x5000 serial=1033 version=1.05\n"
                                     "03 VRX17 type=0x5000 serial=1004 version=1.05\n"
                                     "04 MICROTRILO type=0x1002 serial=1002 version=1.05\n";

TEST_F(ConfigWindowTest, CheckingMarksChangedRowsLocalizeFlashesThemAndAModuleMovesToALostAddress) {
    startLineText(kAcceptedLine);
    startProgram();
    ASSERT_TRUE(waitFor([this] { return window() != nullptr; }));
    press(ctl::kStart);
    ASSERT_TRUE(scanDone());
    ASSERT_EQ(window()->table().liveCount(), 4) << addresses();
    const QPointer<TDial_DES> alive = window();
    press(ctl::kAccept);
    ASSERT_TRUE(waitFor([&alive] { return alive.isNull(); }));
    ASSERT_EQ(backend->moduleRecordCount(), 4);

    line->stop();
    startLineText(kChangedLine);
    app->command(shell::cmd::kConfiguration);
    ASSERT_NE(window(), nullptr);
    TDial_DES* w = window();
    ASSERT_TRUE(waitFor([w] { return !w->displayPending(); }));
    EXPECT_TRUE(control<QRadioButton>(ctl::kChecking)->isChecked());
    press(ctl::kStart);
    ASSERT_TRUE(scanDone());
    ASSERT_TRUE(waitFor([this] { return !prompter.boxes.isEmpty(); }));
    const TBox summary = prompter.boxes.last();
    EXPECT_EQ(summary.title, "Checking Warning :");
    EXPECT_EQ(summary.text.toStdString(),
              "1 module(s) lost       (blue line(s))\n"
              "1 module(s) found      (green line(s))\n"
              "1 module(s) modified   (see GetInfo on yellow line(s) Popup Menu)\n"
              "\nTo valid this new configuration, \nYou must Scan again with Automatic option.");
    EXPECT_EQ(summary.icon, shell::TBoxIcon::Exclamation);
    EXPECT_EQ(summary.helpContext, kCheckingHelpContext);

    auto* list = w->findChild<QTableWidget*>(id(ctl::kModuleList));
    ASSERT_EQ(list->rowCount(), 5) << addresses();
    struct Marked {
        int address;
        const char* label;
        QColor fill;
    };
    const Marked marked[] = {{1, "lost", QColor(198, 198, 255)},
                             {2, "modified", QColor(255, 255, 128)},
                             {4, "found", QColor(127, 198, 127)}};
    for (const Marked& m : marked) {
        const int row = rowOf(*list, m.address);
        ASSERT_GE(row, 0) << m.address;
        EXPECT_EQ(list->item(row, 4)->text(), m.label) << m.address;
        for (int c = 0; c < list->columnCount(); ++c) {
            EXPECT_EQ(list->item(row, c)->background().color(), m.fill) << m.address << " " << c;
        }
    }
    for (const int address : {0, 3}) {
        const int present = rowOf(*list, address);
        ASSERT_GE(present, 0) << address;
        EXPECT_EQ(list->item(present, 0)->background().style(), Qt::NoBrush) << address;
    }

    // Get Info on the modified row: only the serial number differs.
    const char* chosen = "Get Info ";
    w->setMenuChooser([&chosen](QMenu& menu, const QPoint&) { return findAction(menu, chosen); });
    w->rowRightClick(rowOf(*list, 2), QPoint(10, 10));
    ASSERT_EQ(prompter.boxes.last().title, "From Checking ,module information :");
    const QString info = prompter.boxes.last().text;
    EXPECT_TRUE(info.contains(QString::fromUtf8("-Serial N\xc2\xb0 is "))) << info.toStdString();
    EXPECT_TRUE(info.contains("1003") && info.contains("1033")) << info.toStdString();
    EXPECT_FALSE(info.contains("Type is")) << info.toStdString();
    EXPECT_EQ(prompter.boxes.last().helpContext, kGetInfoHelpContext);

    // Localize on the found row: twenty resets, each followed by a status, then it ends.
    chosen = "Localize";
    line->clearLog();
    auto* message = control<QLabel>(ctl::kMessage);
    w->rowRightClick(rowOf(*list, 4), QPoint(10, 10));
    EXPECT_EQ(prompter.boxes.last().title, "Module localization ");
    EXPECT_EQ(prompter.boxes.last().helpContext, kLocalizeHelpContext);
    ASSERT_TRUE(message->text().startsWith("Localize in progress"));
    ASSERT_TRUE(waitFor([message] { return message->text().isEmpty(); }, kScanWaitMs));
    const std::vector<kvsim::LogEntry> full = line->log();
    EXPECT_EQ(sentCount(full, "04MR"), kLocalizeSteps);
    EXPECT_EQ(sentCount(full, "04GS"), kLocalizeSteps);

    // On the modified row, a right click while it runs stops it well before the twentieth.
    line->clearLog();
    w->rowRightClick(rowOf(*list, 2), QPoint(10, 10));
    ASSERT_TRUE(message->text().startsWith("Localize in progress"));
    ASSERT_TRUE(waitFor([this] { return sentCount(line->log(), "02GS") >= 2; }, kScanWaitMs));
    QTest::mouseClick(w, Qt::RightButton);
    ASSERT_TRUE(waitFor([message] { return message->text().isEmpty(); }, kScanWaitMs));
    const std::vector<kvsim::LogEntry> stopped = line->log();
    const int resets = sentCount(stopped, "02MR");
    EXPECT_GE(resets, 2);
    EXPECT_LT(resets, kLocalizeSteps);
    EXPECT_EQ(sentCount(stopped, "02GS"), resets);

    // The unchanged VRX17 at 03 takes the address of the lost module, among the configured
    // addresses the dialog offers; the Automatic scan that follows finds it there.
    chosen = "Address";
    QStringList offered;
    w->setInputAsker([&offered](const widgets::TagInputRequest& r, QWidget*) {
        widgets::TagInputResult answer;
        for (const widgets::TagInputChoice& c : r.choices) {
            offered << c.text;
            if (c.value == 1) {
                answer.code = widgets::kInputAccepted;
                answer.text = c.text;
                answer.value = c.value;
            }
        }
        return answer;
    });
    w->rowRightClick(rowOf(*list, 3), QPoint(10, 10));
    EXPECT_EQ(offered.join(" ").toStdString(), "0 1 2 3 4");
    EXPECT_EQ(prompter.boxes.last().title, "Warning : ");
    EXPECT_TRUE(waitFor([this] { return line->module(1).has_value(); }));
    EXPECT_FALSE(line->module(3).has_value());
    EXPECT_TRUE(waitFor([w] { return w->scanning(); }));
    EXPECT_TRUE(control<QRadioButton>(ctl::kAutomatic)->isChecked());
    ASSERT_TRUE(scanDone());
    EXPECT_EQ(w->table().liveCount(), 4) << addresses();
    EXPECT_EQ(w->table().entry(1).serial, "1004") << addresses();
    EXPECT_TRUE(w->table().entry(3).empty()) << addresses();
}

TEST_F(ConfigWindowTest, ChangeOfBaudRateReachesTheModuleAndTheNewScanNoLongerFindsIt) {
    startLineText("00 TRILO type=0x0205 serial=1001\n"
                  "01 VRX17 type=0x5000 serial=1003 version=1.05\n");
    startProgram();
    ASSERT_TRUE(waitFor([this] { return window() != nullptr; }));
    TDial_DES* w = window();
    press(ctl::kStart);
    ASSERT_TRUE(scanDone());
    ASSERT_EQ(w->table().liveCount(), 2) << addresses();

    QStringList offered;
    w->setMenuChooser([&offered](QMenu& menu, const QPoint&) {
        for (QAction* a : menu.actions()) {
            offered << a->text();
        }
        return findAction(menu, "BaudRate");
    });
    widgets::TagInputRequest asked;
    w->setInputAsker([&asked](const widgets::TagInputRequest& r, QWidget*) {
        asked = r;
        widgets::TagInputResult answer;
        answer.code = widgets::kInputAccepted;
        answer.text = "19200";
        return answer;
    });
    w->rowRightClick(1, QPoint(10, 10));
    EXPECT_TRUE(offered.contains("Change Configuration")) << offered.join("|").toStdString();
    EXPECT_EQ(asked.caption, "Device Adr 1 Software configuration :");
    EXPECT_EQ(asked.prompt, "Select the new baudrate:");
    ASSERT_FALSE(prompter.boxes.isEmpty());
    EXPECT_EQ(prompter.boxes.last().title, "Warning : ");
    // The module took its new speed from the command sent to it.
    EXPECT_TRUE(waitFor([this] { return line->module(1)->setup.baud == 19200; }));

    // The new Automatic scan starts by itself and finds the module no more at 9600.
    EXPECT_TRUE(waitFor([w] { return w->scanning(); }));
    EXPECT_TRUE(control<QRadioButton>(ctl::kAutomatic)->isChecked());
    ASSERT_TRUE(scanDone());
    EXPECT_EQ(w->table().liveCount(), 1) << addresses();
    EXPECT_TRUE(w->table().entry(1).empty());
}

/// The probes the window announced, "[baud target address]", oldest first.
QStringList probeTraces(const QStringList& notes) {
    QStringList out;
    for (const QString& n : notes) {
        if (n.startsWith('[') && n.endsWith(']')) {
            out << n;
        }
    }
    return out;
}

// A generic TRILO whose exact type only its user knows, and a VRX17 that tells its version.
constexpr const char* kTwoModules = "00 TRILO type=0x0100 serial=1001\n"
                                    "01 VRX17 type=0x5000 serial=1003 version=1.05\n";

TEST_F(ConfigWindowTest, FullIdentityLabelAndManualTypeActOnTheRowAndTheLabelReachesTheProject) {
    startLineText(kTwoModules);
    startProgram();
    ASSERT_TRUE(waitFor([this] { return window() != nullptr; }));
    TDial_DES* w = window();
    press(ctl::kStart);
    ASSERT_TRUE(scanDone());
    ASSERT_EQ(w->table().liveCount(), 2) << addresses();
    auto* list = w->findChild<QTableWidget*>(id(ctl::kModuleList));
    const char* chosen = nullptr;
    w->setMenuChooser([&chosen](QMenu& menu, const QPoint&) { return findAction(menu, chosen); });

    // Full identity: the version command of the module's type, answered by the module itself.
    chosen = "Full identity   ";
    line->clearLog();
    w->rowRightClick(rowOf(*list, 1), QPoint(10, 10));
    ASSERT_FALSE(prompter.boxes.isEmpty());
    EXPECT_EQ(prompter.boxes.last().title, "Full Identity  is");
    const QString identity = prompter.boxes.last().text;
    EXPECT_NE(identity, "No Dialog : ");
    EXPECT_TRUE(identity.contains("1.05")) << identity.toStdString();
    EXPECT_EQ(sentCount(line->log(), "01"), 1);

    // A new label: the input keeps to the allowed characters and ten of them.
    chosen = "New one";
    widgets::TagInputRequest asked;
    w->setInputAsker([&asked](const widgets::TagInputRequest& r, QWidget*) {
        asked = r;
        widgets::TagInputResult answer;
        answer.code = widgets::kInputAccepted;
        answer.text = "AX-1 #2";
        return answer;
    });
    w->rowRightClick(rowOf(*list, 1), QPoint(10, 10));
    EXPECT_EQ(asked.caption, "Module label :");
    EXPECT_EQ(asked.prompt, "LABEL for module Address := 01");
    EXPECT_EQ(asked.maxLength, 10);
    const QRegularExpression allowed("^" + asked.allowed + "$");
    EXPECT_TRUE(allowed.match("AX-1 #2_+").hasMatch());
    EXPECT_FALSE(allowed.match("AX/1").hasMatch());
    EXPECT_FALSE(allowed.match(QString::fromUtf8("\xc3\xa9t\xc3\xa9")).hasMatch());
    EXPECT_EQ(w->table().entry(1).label, "AX-1 #2");
    EXPECT_EQ(list->item(rowOf(*list, 1), 4)->text(), "AX-1 #2");

    // The generic TRILO takes the exact type the user picks, and gives it back on Cancel.
    const int32_t generic = w->table().entry(0).typeCode;
    chosen = "KA01";
    w->rowRightClick(rowOf(*list, 0), QPoint(10, 10));
    EXPECT_EQ(w->table().entry(0).typeCode, 0x0181) << w->table().entry(0).typeName;
    EXPECT_EQ(w->table().entry(0).typeName, "KA01");
    chosen = "Cancel Setting";
    w->rowRightClick(rowOf(*list, 0), QPoint(10, 10));
    EXPECT_EQ(w->table().entry(0).typeCode, generic);
    chosen = "KA01";
    w->rowRightClick(rowOf(*list, 0), QPoint(10, 10));

    // A module that has gone since the scan gives no identity.
    line->stop();
    chosen = "Full identity   ";
    w->rowRightClick(rowOf(*list, 1), QPoint(10, 10));
    EXPECT_EQ(prompter.boxes.last().text, "No Dialog : ");
    startLineText(kTwoModules);

    // Accepted and opened again, the project gives back the label and the exact type.
    const QPointer<TDial_DES> alive = w;
    press(ctl::kAccept);
    ASSERT_TRUE(waitFor([&alive] { return alive.isNull(); }));
    app->command(shell::cmd::kConfiguration);
    ASSERT_NE(window(), nullptr);
    w = window();
    ASSERT_TRUE(waitFor([w] { return !w->displayPending(); }));
    EXPECT_EQ(w->table().entry(1).label, "AX-1 #2");
    EXPECT_EQ(w->table().entry(0).typeCode, 0x0181);
    auto* labels = control<QComboBox>(ctl::kLabels);
    ASSERT_EQ(labels->count(), 1);
    EXPECT_EQ(labels->itemText(0), "AX-1 #2");
    EXPECT_EQ(labels->itemData(0).toInt(), 1);
}

TEST_F(ConfigWindowTest, SearchWithBothBoxesMakesOneTryAtEveryAddressFullDebugKeepsTheFirstPair) {
    // Both modules at 38400 baud keep the silent addresses short.
    startLineText("00 TRILO type=0x0205 serial=1001 baud=38400\n"
                  "03 DVRX type=0x6020 serial=1004 version=2.10 baud=38400\n");
    startProgram();
    ASSERT_TRUE(waitFor([this] { return window() != nullptr; }));
    TDial_DES* w = window();
    ASSERT_TRUE(waitFor([w] { return !w->displayPending(); }));

    control<QRadioButton>(ctl::kSearch)->click();
    auto* searchTarget = control<QComboBox>(ctl::kSearchTarget);
    ASSERT_TRUE(searchTarget->isVisible());
    EXPECT_EQ(searchTarget->currentText(), "DVRX MICROTRILO ");
    control<QCheckBox>(ctl::kSearchWithBaud)->setChecked(true);
    EXPECT_TRUE(control<QComboBox>(ctl::kSearchBaud)->isEnabled());
    EXPECT_EQ(control<QComboBox>(ctl::kSearchBaud)->currentText(), "38400");
    ASSERT_TRUE(control<QCheckBox>(ctl::kSearchOnlyXon)->isChecked());
    auto* gauge = w->findChild<QProgressBar*>(kGaugeName);
    QString caption;
    press(ctl::kStart);
    ASSERT_TRUE(waitFor([gauge, &caption] {
        caption = gauge->format();
        return caption.startsWith(" Try ");
    }));
    ASSERT_TRUE(scanDone());
    EXPECT_TRUE(caption.startsWith(" Try 1/1 : MICROTRILO , ")) << caption.toStdString();
    EXPECT_TRUE(caption.contains(" , 38400 on COM1 , axis n")) << caption.toStdString();

    const QStringList searched = probeTraces(app->notes());
    ASSERT_EQ(searched.size(), 64) << searched.join(" ").toStdString();
    for (int a = 0; a < 64; ++a) {
        EXPECT_EQ(searched[a].toStdString(),
                  QStringLiteral("[38400 MICROTRILO %1]").arg(a).toStdString());
    }
    EXPECT_EQ(w->table().liveCount(), 2) << addresses();
    EXPECT_EQ(w->table().entry(3).serial, "1004");
    EXPECT_EQ(control<QComboBox>(ctl::kBaud)->currentText(), "38400");
    EXPECT_EQ(control<QComboBox>(ctl::kTarget)->currentText(), "MICROTRILO");
    EXPECT_TRUE(prompter.boxes.isEmpty()) << prompter.titles().join("|").toStdString();

    // Full Debug from 19200: every protocol and baud rate at every address, the one that
    // answered recorded.
    control<QRadioButton>(ctl::kFullDebug)->click();
    auto* baud = control<QComboBox>(ctl::kBaud);
    baud->setCurrentIndex(baud->findText("19200"));
    ASSERT_EQ(baud->currentText(), "19200");
    const auto itemsOf = [](const QComboBox* box) {
        QStringList out;
        for (int i = 0; i < box->count(); ++i) {
            out << box->itemText(i);
        }
        return out;
    };
    const QStringList bauds = itemsOf(baud);
    const int protocols = control<QComboBox>(ctl::kProtocol)->count();
    ASSERT_GE(protocols, 1);
    const long long before = app->notesMade();
    press(ctl::kStart);
    const int pairs = protocols * static_cast<int>(bauds.size());
    // Addresses 0 to 3 are enough to see it; the rest is silence.
    ASSERT_TRUE(waitFor(
        [this, before, pairs] { return probeTraces(app->notesSince(before)).size() > 4 * pairs; },
        kScanWaitMs));
    press(ctl::kStart);
    ASSERT_TRUE(scanDone(kStopWaitMs));
    EXPECT_EQ(w->displayState(), display::kDebugDone);
    EXPECT_TRUE(control<QRadioButton>(ctl::kFullDebug)->isChecked());
    EXPECT_FALSE(control<QPushButton>(ctl::kAccept)->isEnabled());

    const QStringList debugged = probeTraces(app->notesSince(before));
    ASSERT_GE(debugged.size(), 4 * pairs) << debugged.join(" ").toStdString();
    const int from = static_cast<int>(bauds.indexOf("19200"));
    for (int a = 0; a < 4; ++a) {
        for (int p = 0; p < pairs; ++p) {
            EXPECT_EQ(debugged[a * pairs + p].toStdString(),
                      QStringLiteral("[%1 TRILO %2]")
                          .arg(bauds[(from + p) % bauds.size()])
                          .arg(a)
                          .toStdString())
                << debugged.join(" ").toStdString();
        }
    }
    for (const int a : {0, 3}) {
        const ModuleEntry& e = w->table().entry(a);
        ASSERT_FALSE(e.empty()) << a;
        EXPECT_EQ(e.state, entry_state::kFullDebug) << a;
        EXPECT_EQ(unpackSetting(e.lineSetting).baud, bauds.indexOf("38400")) << a;
    }
    EXPECT_TRUE(w->table().entry(1).empty());
    auto* list = w->findChild<QTableWidget*>(id(ctl::kModuleList));
    ASSERT_EQ(list->rowCount(), 2);
    EXPECT_TRUE(list->item(1, 4)->text().startsWith("38400,"))
        << list->item(1, 4)->text().toStdString();
}

TEST_F(ConfigWindowTest, AnotherPortStartsAgainAtAddress00AndAPortThatFailsIsSilence) {
    startLineText(kTwoModules);
    // A second line, with nothing on it.
    kvsim::VirtualLine empty = kvsim::VirtualLine::fromText("");
    empty.start(ports.path().toStdString(), 2);
    startProgram();
    ASSERT_TRUE(waitFor([this] { return window() != nullptr; }));
    TDial_DES* w = window();
    auto* port = control<QComboBox>(ctl::kPort);
    ASSERT_GE(port->findText("COM2"), 0);
    press(ctl::kStart);
    ASSERT_TRUE(scanDone());
    ASSERT_EQ(w->table().liveCount(), 2) << addresses();

    port->setCurrentIndex(port->findText("COM2"));
    const long long before = app->notesMade();
    press(ctl::kStart);
    ASSERT_TRUE(scanDone());
    const QStringList tried = probeTraces(app->notesSince(before));
    ASSERT_FALSE(tried.isEmpty());
    for (const QString& t : tried) {
        EXPECT_TRUE(t.endsWith(" 0]")) << t.toStdString();
    }
    ASSERT_FALSE(prompter.boxes.isEmpty());
    EXPECT_EQ(prompter.boxes.last().title, "Module 00 not found ?");
    EXPECT_EQ(w->table().liveCount(), 0);

    // The port goes away under the window: its tries fail at once and count as silence.
    empty.stop();
    const int boxes = prompter.boxes.size();
    press(ctl::kStart);
    ASSERT_TRUE(scanDone());
    ASSERT_EQ(prompter.boxes.size(), boxes + 1);
    EXPECT_EQ(prompter.boxes.last().title, "Module 00 not found ?");

    // Back on the first port the sweep begins at 00 again, finds it, and goes on at 01.
    port->setCurrentIndex(port->findText("COM1"));
    const long long again = app->notesMade();
    press(ctl::kStart);
    ASSERT_TRUE(waitFor(
        [this, again] {
            for (const QString& t : probeTraces(app->notesSince(again))) {
                if (t.endsWith(" 1]")) {
                    return true;
                }
            }
            return false;
        },
        kScanWaitMs))
        << app->notesSince(again).join("|").toStdString();
    press(ctl::kStart);
    ASSERT_TRUE(scanDone(kStopWaitMs));
    EXPECT_TRUE(probeTraces(app->notesSince(again)).first().endsWith(" 0]"));
    EXPECT_FALSE(w->table().entry(0).empty()) << addresses();
    EXPECT_EQ(prompter.boxes.size(), boxes + 1) << prompter.titles().join("|").toStdString();
}

} // namespace
} // namespace tamsel::discovery::test
