// The main frame after start-up: device selection and the family group, the enable rules,
// window opening by identifier, recent files and the command-file documents.
#include "command_docs.h"
#include "fake_backend.h"
#include "init_box_driver.h"
#include "main_app.h"
#include "main_frame.h"
#include "recent_files.h"
#include "scripted_prompter.h"
#include "shell_codes.h"
#include "wait.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

namespace tamsel::shell::test {
namespace {

class FrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        previous = QDir::currentPath();
        QDir(dir.path()).mkpath("template");
        for (const char* file : {"tm2cmde.txt", "template/tamsel2.ktp"}) {
            QFile f(dir.filePath(file));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
        QDir::setCurrent(dir.path());
        backend.devices = {{"@00=KB01 v40", 0x0205, 0}, {"@01=RT01", 0x1002, 1},
                           {"@02=V17", 0x5000, 2},      {"@03=DVRX", 0x6020, 3},
                           {"@04=VRX23", 0x3001, 4},    {"@05=VRX34", 0x4001, 5},
                           {"@09=UNKNOW", 0x0000, 9}};
        app = std::make_unique<TMainApp>(backend, prompter);
        for (TWindowKind kind :
             {TWindowKind::Parameters, TWindowKind::DirectMotion, TWindowKind::SpecificMode,
              TWindowKind::Panel, TWindowKind::PanelVrx, TWindowKind::Vrx17Control,
              TWindowKind::V234Control, TWindowKind::Variables}) {
            app->registerWindow(kind, [this, kind](const TWindowContext& context) {
                built << qMakePair(static_cast<int>(kind), context.address);
                return new QLabel(QStringLiteral("window"));
            });
        }
        app->setScreenFacts({96, 96, 1024, 768, 24});
        ASSERT_TRUE(app->start());
    }
    void TearDown() override {
        app.reset();
        QDir::setCurrent(previous);
    }
    bool enabled(int id) {
        app->updateCommands();
        return app->frame().action(id)->isEnabled();
    }

    QTemporaryDir dir;
    QString previous;
    TFakeBackend backend;
    TScriptedPrompter prompter;
    TInitBoxDriver person;
    std::unique_ptr<TMainApp> app;
    QList<QPair<int, int>> built;
};

struct SelectionCase {
    int index;
    const char* target;
    int mask;
    QList<int> group;
    QList<int> enabled;
    QList<int> disabled;
};

TEST_F(FrameTest, DeviceSelectionSetsTheFamilyMaskTheGroupAndTheEnableRules) {
    using namespace cmd;
    const QList<SelectionCase> cases{
        {0,
         "TRILO",
         1,
         {kParameters, kDirectMotion, kVariables},
         {kParameters, kDirectMotion, kSpecificModes, kVariables, kPanel},
         {kFamilyControl}},
        {1,
         "MICROTRILO",
         2,
         {kParameters, kDirectMotion},
         {kParameters, kDirectMotion, kSpecificModes, kPanel},
         {kVariables, kFamilyControl}},
        {2,
         "VRX17",
         4,
         {kFamilyControl},
         {kFamilyControl, kPanel},
         {kParameters, kDirectMotion, kSpecificModes, kVariables}},
        {3,
         "DVRX",
         4,
         {kFamilyControl},
         {kFamilyControl},
         {kParameters, kDirectMotion, kSpecificModes, kVariables}},
        {4, "VRX23", 8, {kFamilyControl}, {kFamilyControl}, {kParameters, kVariables}},
        {5, "VRX34", 8, {kFamilyControl}, {kFamilyControl}, {kDirectMotion, kSpecificModes}},
        {6,
         "UNKNOW",
         0,
         {},
         {kPanel},
         {kParameters, kDirectMotion, kSpecificModes, kVariables, kFamilyControl}},
    };
    QComboBox* selector = app->frame().deviceSelector();
    EXPECT_EQ(selector->objectName(), "9890");
    EXPECT_EQ(selector->font().family(), "Tahoma");
    EXPECT_TRUE(selector->font().bold());
    for (const SelectionCase& c : cases) {
        SCOPED_TRACE(c.target);
        selector->setCurrentIndex(c.index);
        EXPECT_EQ(app->selectedDevice().target, c.target);
        EXPECT_EQ(app->selectedDevice().familyMask, c.mask);
        EXPECT_EQ(app->selectedDevice().address, selector->itemText(c.index).mid(1, 2).toInt());
        EXPECT_EQ(app->frame().familyGroup(), c.group);
        for (int id : c.enabled) {
            EXPECT_TRUE(enabled(id)) << id;
        }
        for (int id : c.disabled) {
            EXPECT_FALSE(enabled(id)) << id;
        }
        if (c.mask == 4 || c.mask == 8) {
            EXPECT_EQ(app->frame().action(kFamilyControl)->property("bitmap").toInt(),
                      c.mask == 4 ? 3978 : 3979);
        }
    }
}

TEST_F(FrameTest, ToolBarButtonsShowTheirPicturesAndNameTheirCommands) {
    ASSERT_TRUE(QImageReader::supportedImageFormats().contains("svg"))
        << "the tool bar's pictures need Qt's SVG image format (libqt6svg6)";
    const auto picture = [](const QIcon& icon) { return icon.pixmap(24, 24).toImage(); };
    const struct {
        int device; ///< selector entry that shows the button
        int id;
        const char* file;
        const char* name;
    } cases[] = {
        {0, cmd::kConfiguration, "configuration", "Configuration"},
        {0, cmd::kDialog, "dialog", "Dialog"},
        {0, cmd::kPanel, "panel", "Panel"},
        {0, cmd::kParameters, "parameters", "Parameters"},
        {0, cmd::kDirectMotion, "direct_motion", "Direct - Motion"},
        {0, cmd::kVariables, "variables", "Variables"},
        {3, cmd::kFamilyControl, "vrx17_control", "Vrx Control"},
        {4, cmd::kFamilyControl, "v234_control", "Vrx Control"},
        {0, cmd::kEditCut, "edit_cut", "Cut"},
        {0, cmd::kEditFind, "edit_find", "Find"},
        {0, cmd::kHelpMode, "help_mode", "What's This ?"},
        {0, cmd::kEmergencyStop, "emergency_stop", "Quick stop and motor power off"},
    };
    auto* bar = app->frame().findChild<QToolBar*>(QStringLiteral("Main ToolBar"));
    ASSERT_NE(bar, nullptr);
    for (const auto& c : cases) {
        app->selectDevice(c.device);
        QAction* a = app->frame().action(c.id);
        auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(a));
        ASSERT_NE(button, nullptr) << c.file;
        const QString resource = QStringLiteral(":/icons/%1.svg").arg(QLatin1String(c.file));
        ASSERT_TRUE(QFile::exists(resource)) << c.file;
        const QImage shown = picture(a->icon());
        EXPECT_FALSE(shown.isNull()) << c.file;
        EXPECT_EQ(shown, picture(QIcon(resource))) << c.file;
        EXPECT_TRUE(button->accessibleName().startsWith(QLatin1String(c.name)))
            << c.file << ": " << button->accessibleName().toStdString();
        EXPECT_TRUE(a->toolTip().startsWith(QLatin1String(c.name))) << c.file;
    }
}

TEST_F(FrameTest, WithoutModulesOrWindowsTheModuleCommandsStayDisabled) {
    backend.records = 0;
    EXPECT_FALSE(enabled(cmd::kParameters));
    EXPECT_FALSE(enabled(cmd::kPanel));
    // No layer registered these windows: their commands never open a placeholder.
    EXPECT_FALSE(enabled(cmd::kConfiguration));
    EXPECT_FALSE(enabled(cmd::kDialog));
    app->command(cmd::kDialog);
    EXPECT_TRUE(app->frame().mdiArea()->subWindowList().isEmpty());
    backend.records = 2;
    backend.setupZero = false;
    EXPECT_TRUE(enabled(cmd::kParameters));
    EXPECT_FALSE(enabled(cmd::kPanel));
}

TEST_F(FrameTest, OpeningFindsTheWindowByIdentifierRestoresOrCreates) {
    QComboBox* selector = app->frame().deviceSelector();
    selector->setCurrentIndex(0);
    app->command(cmd::kParameters);
    ASSERT_EQ(built.size(), 1);
    QMdiSubWindow* first = app->childWithId(0x500);
    ASSERT_NE(first, nullptr);
    app->command(cmd::kParameters);
    EXPECT_EQ(built.size(), 1);
    first->showMinimized();
    app->command(cmd::kParameters);
    EXPECT_EQ(built.size(), 1);
    EXPECT_FALSE(first->isMinimized());
    // Another address gets its own window; the panel of a TRILO is the plain panel.
    selector->setCurrentIndex(1);
    app->command(cmd::kParameters);
    EXPECT_NE(app->childWithId(0x501), nullptr);
    app->command(cmd::kPanel);
    EXPECT_NE(app->childWithId(0x1001), nullptr);
    EXPECT_EQ(built.last(), qMakePair(static_cast<int>(TWindowKind::PanelVrx), 1));
    selector->setCurrentIndex(4);
    app->command(cmd::kFamilyControl);
    EXPECT_NE(app->childWithId(0x2004), nullptr);
    EXPECT_EQ(built.last(), qMakePair(static_cast<int>(TWindowKind::V234Control), 4));
    // 0x1411 minimises every module window.
    app->request(req::kMinimiseModuleWindows, 0, nullptr);
    for (QMdiSubWindow* sub : app->frame().mdiArea()->subWindowList()) {
        EXPECT_TRUE(sub->isMinimized());
    }
}

TEST_F(FrameTest, StatusBarShowsTracesAndTheLineField) {
    char text[] = "01GS --> 01S 3";
    app->request(req::kTrace, 0, text);
    EXPECT_EQ(app->frame().message(), "01GS --> 01S 3");
    app->request(req::kCloseLine, 0, nullptr);
    EXPECT_EQ(app->frame().lineStatus(), "Not in normal use");
    EXPECT_TRUE(backend.calls.contains("closeLine"));
    app->request(req::kReconnect, 0, nullptr);
    EXPECT_EQ(app->frame().lineStatus(), "COM1 at 9600 bauds ");
}

TEST_F(FrameTest, MenusCarryTheirTextsAndAccelerators) {
    const QList<QPair<int, QString>> texts{
        {cmd::kFileNew, "&New ..."},
        {cmd::kFileOpen, "&Open..."},
        {cmd::kFileClose, "&Close"},
        {cmd::kFileSave, "&Save"},
        {cmd::kFileSaveAs, "Save &As..."},
        {cmd::kFilePrintSetup, "P&rint setup..."},
        {cmd::kFilePrintPreview, "Print pre&view..."},
        {cmd::kFilePrint, "&Print..."},
        {cmd::kExit, "E&xit\tAlt+F4"},
        {cmd::kConfiguration, "&Configuration"},
        {cmd::kDialog, "&Dialog\tAlt F9"},
        {cmd::kPanel, "Panel\tAlt F8"},
        {cmd::kParameters, "&Parameters"},
        {cmd::kDirectMotion, "Direct - &Motion"},
        {cmd::kFamilyControl, "Vrx Control"},
        {cmd::kSpecificModes, "&Specific modes"},
        {cmd::kVariables, "&Variables"},
        {cmd::kCascade, "&Cascade"},
        {cmd::kTile, "&Tile"},
        {cmd::kArrangeIcons, "Arrange &Icons"},
        {cmd::kCloseAll, "C&lose all"},
        {cmd::kHelpContents, "&Contents"},
        {cmd::kHelpOnHelp, "&Using help"},
        {cmd::kAbout, "&About..."},
    };
    for (const auto& [id, text] : texts) {
        ASSERT_NE(app->frame().action(id), nullptr) << id;
        EXPECT_EQ(app->frame().action(id)->text(), text) << id;
    }
    EXPECT_EQ(app->frame().action(cmd::kDialog)->shortcut(), QKeySequence("Alt+F9"));
    EXPECT_EQ(app->frame().action(cmd::kPanel)->shortcut(), QKeySequence("Alt+F8"));
    EXPECT_EQ(app->frame().action(cmd::kEmergencyStop)->toolTip(),
              "Quick stop and motor power off \nemergency stop");
    EXPECT_EQ(app->frame().action(cmd::kHelpMode)->toolTip(), "What's This ?");
    app->command(cmd::kEmergencyStop);
    EXPECT_TRUE(backend.calls.contains("free /STOP"));
}

TEST_F(FrameTest, CommandFilesGoToTheRecentListWithTheNoticeOnce) {
    QFile cmd(dir.filePath("moves.CMD"));
    ASSERT_TRUE(cmd.open(QIODevice::WriteOnly));
    cmd.write("; a comment\n00RV\n");
    cmd.close();
    prompter.files = {dir.filePath("moves.CMD")};
    app->command(cmd::kFileOpen);
    TCommandFileView* view = app->documents().activeView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->toPlainText(), "; a comment\n00RV\n");
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].title, "By Tamsel2 dev");
    EXPECT_EQ(prompter.boxes[0].text, "Warning :\nAll TM2 files will be limited to 32Kbytes size");
    EXPECT_EQ(app->recentFiles().entries().value(0), dir.filePath("moves.CMD"));
    view->appendPlainText("01RV");
    prompter.files = {dir.filePath("copy.CMT")};
    app->command(cmd::kFileSaveAs);
    EXPECT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(app->recentFiles().entries().value(0), dir.filePath("copy.CMT"));
    QFile saved(dir.filePath("copy.CMT"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), "; a comment\n00RV\n\n01RV");
    // The profile holds the list for the next start.
    TRecentFiles again(dir.filePath("tm2mru.ini"));
    EXPECT_EQ(again.entries(), QStringList({dir.filePath("copy.CMT"), dir.filePath("moves.CMD")}));

    view->setSending(true);
    app->command(cmd::kFileClose);
    ASSERT_EQ(prompter.boxes.size(), 2);
    EXPECT_EQ(prompter.boxes[1].title, "test");
    EXPECT_EQ(prompter.boxes[1].text, "no close file if sending ");
    view->parentWidget()->close();
    ASSERT_EQ(prompter.boxes.size(), 3);
    EXPECT_EQ(prompter.boxes[2].text, "can't close if sending pending !!");
    EXPECT_EQ(app->documents().viewCount(), 1);
    view->setSending(false);
    app->command(cmd::kFileClose);
    EXPECT_TRUE(waitFor([&] { return app->documents().viewCount() == 0; }));
}

TEST_F(FrameTest, ExitAsksEveryChangedFileBeforeClosingAnyAndACancelKeepsThemAll) {
    QList<TCommandFileView*> views;
    for (const char* text : {"00RV\n", "01RV\n", "02RV\n"}) {
        TCommandFileView* view = app->documents().newDocument();
        ASSERT_NE(view, nullptr);
        view->setPlainText(QString::fromLatin1(text));
        view->document()->setModified(true);
        views << view;
    }
    QSignalSpy exits(app.get(), &TMainApp::exitRequested);
    // Not the first one, cancel on the second: the third is not asked, nothing closes.
    prompter.answers = {TBoxAnswer::No, TBoxAnswer::Cancel};
    app->command(cmd::kExit);
    ASSERT_EQ(prompter.boxes.size(), 2);
    for (const TBox& box : prompter.boxes) {
        EXPECT_EQ(box.buttons, TBoxButtons::YesNoCancel);
    }
    EXPECT_EQ(app->documents().viewCount(), 3);
    EXPECT_EQ(exits.count(), 0);
    EXPECT_TRUE(backend.calls.contains("save")) << "the project is written back either way";
    EXPECT_FALSE(backend.calls.contains("closeLine"));

    // Each is asked once when none cancels, then all go and the program may end.
    prompter.boxes.clear();
    prompter.answers = {TBoxAnswer::No, TBoxAnswer::No, TBoxAnswer::No};
    app->command(cmd::kExit);
    EXPECT_EQ(prompter.boxes.size(), 3);
    EXPECT_TRUE(waitFor([&] { return app->documents().viewCount() == 0; }));
    EXPECT_EQ(exits.count(), 1);
    EXPECT_TRUE(backend.calls.contains("closeLine"));
}

// A window that keeps itself open when asked to close, as one with a scan running does.
class TStubbornWindow final : public QLabel {
  public:
    TStubbornWindow() : QLabel(QStringLiteral("busy")) {}

  protected:
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

TEST_F(FrameTest, WindowsStillOpenWhenTheApplicationGoesNeverCallItBack) {
    app->registerWindow(TWindowKind::Variables,
                        [](const TWindowContext&) { return new TStubbornWindow; });
    app->frame().deviceSelector()->setCurrentIndex(0);
    app->command(cmd::kParameters);
    app->command(cmd::kVariables);
    ASSERT_EQ(app->frame().mdiArea()->subWindowList().size(), 2);
    // The stubborn window outlives the close of every window; the frame then destroys it,
    // and the change of the active window must not reach the application's other parts,
    // which are gone by then (AddressSanitizer stops the test if it does).
    app.reset();
}

TEST_F(FrameTest, AConfigurationChangeRefillsTheSelectorAndKeepsTheSelectedModule) {
    QComboBox* selector = app->frame().deviceSelector();
    selector->setCurrentIndex(3);
    ASSERT_EQ(app->selectedDevice().target, "DVRX");
    // The configuration window found another module before it and one module less.
    backend.devices = {{"@01=RT01", 0x1002, 1},
                       {"@02=V17", 0x5000, 2},
                       {"@03=DVRX", 0x6020, 3},
                       {"@12=VRX23", 0x3001, 12}};
    app->request(req::kConfigurationChanged, 0, nullptr);
    ASSERT_EQ(selector->count(), 4);
    EXPECT_EQ(selector->currentIndex(), 2);
    EXPECT_EQ(app->selectedDevice().address, 3);
    EXPECT_EQ(app->selectedDevice().target, "DVRX");
    EXPECT_EQ(app->frame().familyGroup(), QList<int>({cmd::kFamilyControl}));
    // The device's address is the entry's, whatever its text.
    selector->setCurrentIndex(3);
    EXPECT_EQ(app->selectedDevice().address, 12);

    // Gone from the project: the first module is selected.
    backend.devices = {{"@01=RT01", 0x1002, 1}, {"@02=V17", 0x5000, 2}};
    app->request(req::kConfigurationChanged, 0, nullptr);
    EXPECT_EQ(selector->currentIndex(), 0);
    EXPECT_EQ(app->selectedDevice().address, 1);
    EXPECT_EQ(app->selectedDevice().target, "MICROTRILO");
}

TEST_F(FrameTest, StatusBarShowsCapsLockAndNumLockBesideOvertype) {
    QTemporaryDir leds;
    ASSERT_TRUE(leds.isValid());
    const auto led = [&leds](const char* name, const char* value) {
        QDir(leds.path()).mkpath(name);
        QFile file(leds.filePath(QString::fromLatin1(name) + "/brightness"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(value);
    };
    auto* caps = app->frame().findChild<QLabel*>("statusCapsLock");
    auto* num = app->frame().findChild<QLabel*>("statusNumLock");
    auto* overtype = app->frame().findChild<QLabel*>("statusOvertype");
    ASSERT_NE(caps, nullptr);
    ASSERT_NE(num, nullptr);
    ASSERT_NE(overtype, nullptr);
    EXPECT_EQ(caps->text(), "CAP");
    EXPECT_EQ(num->text(), "NUM");
    EXPECT_EQ(caps->parentWidget(), overtype->parentWidget());
    EXPECT_TRUE(waitFor([&] { return caps->x() < num->x() && num->x() < overtype->x(); }))
        << "in that order, left of the overtype indicator";

    // Without LEDs the indicators stay off and say why; nothing fails.
    app->setLockKeyDirectory(leds.filePath("none"));
    app->updateCommands();
    EXPECT_FALSE(caps->isEnabled());
    EXPECT_FALSE(num->isEnabled());
    EXPECT_FALSE(caps->toolTip().isEmpty());

    led("input3::capslock", "1\n");
    led("input3::numlock", "0\n");
    app->setLockKeyDirectory(leds.path());
    app->updateCommands();
    EXPECT_TRUE(caps->isEnabled());
    EXPECT_FALSE(num->isEnabled());
    EXPECT_TRUE(num->toolTip().isEmpty());
    led("input3::capslock", "0\n");
    led("input3::numlock", "1\n");
    app->updateCommands();
    EXPECT_FALSE(caps->isEnabled());
    EXPECT_TRUE(num->isEnabled());
}

TEST(RecentFilesTest, KeepsFiveNewestFirstWithoutDuplicates) {
    QTemporaryDir dir;
    const QString profile = dir.filePath("tm2mru.ini");
    TRecentFiles recent(profile);
    for (const char* name : {"a.CMD", "b.CMD", "c.CMD", "a.CMD", "d.CMD", "e.CMD", "f.CMD"}) {
        EXPECT_TRUE(recent.add(dir.filePath(name)));
    }
    const QStringList expected{dir.filePath("f.CMD"), dir.filePath("e.CMD"), dir.filePath("d.CMD"),
                               dir.filePath("a.CMD"), dir.filePath("c.CMD")};
    EXPECT_EQ(recent.entries(), expected);
    EXPECT_EQ(TRecentFiles(profile).entries(), expected);
}

TEST(RecentFilesTest, ACorruptProfileGivesAnEmptyOrPartialListNeverACrash) {
    QTemporaryDir dir;
    const QString profile = dir.filePath("tm2mru.ini");
    // What survives: only entries that can be paths, among the first five.
    const QList<QPair<QByteArray, QStringList>> contents{
        {QByteArray("\x00\xff\xfe garbage \x01\x02[[[[=\n\n=", 20), {}},
        {QByteArray("[Recent File List]\nFile1=\nFile2=") + QByteArray(400, 'x') +
             "\nFile3=/tmp/ok.CMD\nFile9=/tmp/far.CMD\nFile4=a\x01b\n",
         {"/tmp/ok.CMD"}},
        {QByteArray("[Recent File List\nFile1=/tmp/half.CMD"), {"/tmp/half.CMD"}},
    };
    for (const auto& [content, kept] : contents) {
        QFile f(profile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
        f.close();
        TRecentFiles recent(profile);
        EXPECT_EQ(recent.entries(), kept);
        EXPECT_TRUE(recent.add(dir.filePath("new.CMD")));
        EXPECT_EQ(TRecentFiles(profile).entries().value(0), dir.filePath("new.CMD"));
    }
}

} // namespace
} // namespace tamsel::shell::test
