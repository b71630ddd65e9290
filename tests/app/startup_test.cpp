// The start-up sequence's decisions and texts, driven through the initialization window
// as a person would, over a backend whose answers each case decides.
#include "fake_backend.h"
#include "init_box_driver.h"
#include "main_app.h"
#include "main_frame.h"
#include "scripted_prompter.h"
#include "wait.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace tamsel::shell::test {
namespace {

const QString kRefused =
    "The communication port use by Tamsel2 is COM1 \nThis port is not accessible ?!\nYou "
    "can :\n    __Select a another port (if possible)\n    __Correct and try again\n    "
    "__Quit Tamsel2";
const QString kPortList = "These COM ports were founded\nat Tamsel2 startup.If your \nCOM "
                          "port is not listed\nplease quit and restart Tamsel2";
const QString kDisplay =
    "Tamsel2 is designed in 800*600 pixels resolution \nand 96dpi screen font size "
    "configuration\n\nWith your configuration it will not work properly\n\nYou can quit "
    "Tamsel2 and setup your display property";
const QString kFiles = "Fatal Error\n\nA file is missing or corrupted\n\nTamsel2 will "
                       "close\nYou can try another installation";
const QString kNotHere = "LINKOR.DLL not found in Tamsel2 directory !!??\n\nTamsel2 will "
                         "look for LINKOR product location,\nand use its version of DLL";
const QString kMissing = "LINKOR product not install or corrupted !!!\nPlease install LINKOR "
                         "product before using Tamsel2\n    -Quit Tamsel2\n    -Install "
                         "LINKOR (see documentation)\n    -ReStart Tamsel2";
const QString kWrong = "\n  LINKOR.DLL is not the expected COMM DLL !?\n\n\nTamsel2 will close";
const QString kBadProject = "Fatal Error\n\nBad Project file \nPlease check your "
                            "installation\n\nTamsel2 will close";
const QString kNoPort = "WARNING !!!!\n\nNo serial port found :\n Already in use or not "
                        "available\n\n Tamsel2 will close";

class StartupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        previous = QDir::currentPath();
        QDir(dir.path()).mkpath("template");
        for (const char* file : {"tm2cmde.txt", "template/tamsel2.ktp"}) {
            QFile f(dir.filePath(file));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("[CONFIGURATION]\n;\n");
        }
        QDir::setCurrent(dir.path());
    }
    void TearDown() override { QDir::setCurrent(previous); }

    /// Runs the start-up; returns whether it succeeded and whether Exit followed.
    struct Outcome {
        bool ok = false;
        bool exited = false;
    };
    Outcome run(TMainApp& app) {
        Outcome outcome;
        QObject::connect(&app, &TMainApp::exitRequested, [&outcome] { outcome.exited = true; });
        outcome.ok = app.start();
        // The start-up's decision (exit or a window) is a queued command posted before
        // start() returns: a marker posted now is handled after it, so an unwanted exit
        // has shown by the time the marker arrives.
        bool settled = false;
        QMetaObject::invokeMethod(
            &app, [&settled] { settled = true; }, Qt::QueuedConnection);
        waitFor([&] { return settled && (outcome.ok || outcome.exited); });
        return outcome;
    }

    QTemporaryDir dir;
    QString previous;
    TFakeBackend backend;
    TScriptedPrompter prompter;
    TInitBoxDriver person;
};

/// The start-up's pauses at their normal length while it lives: the person reads the
/// window every 15 ms and must see each step, as a user would.
class NormalPauses {
  public:
    NormalPauses() : m_shortened(qgetenv(kVariable)) { qunsetenv(kVariable); }
    ~NormalPauses() {
        if (!m_shortened.isNull()) {
            qputenv(kVariable, m_shortened);
        }
    }
    NormalPauses(const NormalPauses&) = delete;
    NormalPauses& operator=(const NormalPauses&) = delete;

  private:
    static constexpr const char* kVariable = "TAMSEL_STARTUP_PAUSE_MS";
    QByteArray m_shortened;
};

TEST_F(StartupTest, SuccessShowsEveryStepAndConnectsWithTheAddressTexts) {
    const NormalPauses pauses;
    TMainApp app(backend, prompter);
    app.setScreenFacts({96, 96, 1024, 768, 24});
    const Outcome outcome = run(app);
    EXPECT_TRUE(outcome.ok);
    EXPECT_FALSE(outcome.exited);
    EXPECT_TRUE(person.shown.isEmpty());
    EXPECT_EQ(person.title, "   Tamsel2\nKorvel\nVersion 2.7.4");
    EXPECT_EQ(person.steps, QStringList({"Checking Display Parameters", "Checking Files",
                                         "Comm DLL localize and access", "Checking Project file",
                                         "Checking List of cards", "Com port initialization"}));
    EXPECT_EQ(person.lastProgress, 60);
    EXPECT_TRUE(person.sawAnimation);
    EXPECT_EQ(
        backend.calls.mid(0, 8),
        QStringList({"check tm2cmde.txt", "check template/tamsel2.ktp", "locateCurrent", "examine",
                     "bind", "open template/tamsel2.ktp", "connect", "buildAddressTable"}));
    EXPECT_EQ(backend.connectTexts, QStringList({"TRILO COM1 XON-XOFF 9600 "}));
    EXPECT_EQ(backend.settingsSent, backend.addressTexts);
    EXPECT_TRUE(app.frame().isVisible());
    EXPECT_TRUE(app.frame().isMaximized());
    EXPECT_EQ(app.frame().lineStatus(), "COM1 at 9600 bauds ");
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST_F(StartupTest, PausesKeepTheirLengthWithoutTheTestVariable) {
    const NormalPauses pauses;
    TMainApp app(backend, prompter);
    app.setScreenFacts({96, 96, 1024, 768, 24});
    QElapsedTimer clock;
    clock.start();
    const Outcome outcome = run(app);
    const qint64 elapsed = clock.elapsed();
    EXPECT_TRUE(outcome.ok);
    // The title and the closing stay 100 ms each, each of the six steps 200 ms.
    EXPECT_GE(elapsed, 100 + 6 * 200 + 100);
}

struct AfterCase {
    bool firstTarget;
    int records;
    const char* opened; // "Dialog", "Configuration" or ""
};

class StartupAfterTest : public StartupTest, public ::testing::WithParamInterface<AfterCase> {};

TEST_P(StartupAfterTest, OpensTheWindowThatTheProjectCallsFor) {
    backend.firstTarget = GetParam().firstTarget;
    backend.records = GetParam().records;
    TMainApp app(backend, prompter);
    app.setScreenFacts({96, 96, 1024, 768, 24});
    QStringList built;
    app.registerWindow(TWindowKind::Dialog, [&built](const TWindowContext&) {
        built << "Dialog";
        return new QLabel("terminal");
    });
    app.registerWindow(TWindowKind::Configuration, [&built](const TWindowContext&) {
        built << "Configuration";
        return new QLabel("configuration");
    });
    ASSERT_TRUE(run(app).ok);
    pump(100);
    const QString expected = QString::fromLatin1(GetParam().opened);
    EXPECT_EQ(built, expected.isEmpty() ? QStringList() : QStringList{expected});
    if (!expected.isEmpty()) {
        const int id = expected == "Dialog" ? 0x800 : 0x400;
        ASSERT_NE(app.childWithId(id), nullptr);
        EXPECT_TRUE(app.childWithId(id)->isVisible());
    }
}

INSTANTIATE_TEST_SUITE_P(Decisions, StartupAfterTest,
                         ::testing::Values(AfterCase{false, 2, "Dialog"},
                                           AfterCase{false, 0, "Dialog"},
                                           AfterCase{true, 0, "Configuration"},
                                           AfterCase{true, 3, ""}));

struct FailureCase {
    const char* name;
    std::function<void(TFakeBackend&, TMainApp&, const QString& dir)> arrange;
    std::deque<QString> script;
    /// Messages expected in order: text and buttons.
    QList<QPair<QString, QStringList>> messages;
    bool succeeds;
    /// Backend calls that must have happened (in order, as a sub-sequence).
    QStringList calls;
    /// A call that must not have happened.
    QString never;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class StartupFailureTest : public StartupTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(StartupFailureTest, ShowsTheMessageAndButtonsAndDecides) {
    const FailureCase& c = GetParam();
    TMainApp app(backend, prompter);
    app.setScreenFacts({96, 96, 1024, 768, 24});
    c.arrange(backend, app, dir.path());
    person.script = c.script;
    const Outcome outcome = run(app);
    EXPECT_FALSE(person.unexpected);
    ASSERT_EQ(person.shown.size(), c.messages.size());
    for (int i = 0; i < c.messages.size(); ++i) {
        EXPECT_EQ(person.shown[i].text, c.messages[i].first) << i;
        EXPECT_EQ(person.shown[i].buttons, c.messages[i].second) << i;
    }
    EXPECT_EQ(outcome.ok, c.succeeds);
    EXPECT_EQ(outcome.exited, !c.succeeds);
    EXPECT_TRUE(app.frame().isVisible() || outcome.exited);
    qsizetype from = 0;
    for (const QString& call : c.calls) {
        const qsizetype at = backend.calls.indexOf(call, from);
        EXPECT_GE(at, 0) << call.toStdString();
        from = at < 0 ? from : at + 1;
    }
    if (!c.never.isEmpty()) {
        EXPECT_FALSE(backend.calls.contains(c.never)) << c.never.toStdString();
    }
}

const QStringList kQuit{"Quit Tamsel2"};

INSTANTIATE_TEST_SUITE_P(
    Paths, StartupFailureTest,
    ::testing::Values(
        FailureCase{"missing glossary",
                    [](TFakeBackend&, TMainApp&, const QString& d) {
                        QFile::remove(QDir(d).filePath("tm2cmde.txt"));
                    },
                    {"Quit Tamsel2"},
                    {{kFiles + "\n\ntm2cmde.txt: missing", kQuit}},
                    false,
                    {},
                    "locateCurrent"},
        FailureCase{"missing template",
                    [](TFakeBackend&, TMainApp&, const QString& d) {
                        QFile::remove(QDir(d).filePath("template/tamsel2.ktp"));
                    },
                    {"Quit Tamsel2"},
                    {{kFiles + "\n\ntemplate/tamsel2.ktp: missing", kQuit}},
                    false,
                    {"check tm2cmde.txt"},
                    "locateCurrent"},
        FailureCase{"glossary that is a folder",
                    [](TFakeBackend&, TMainApp&, const QString& d) {
                        QFile::remove(QDir(d).filePath("tm2cmde.txt"));
                        QDir(d).mkpath("tm2cmde.txt");
                    },
                    {"Quit Tamsel2"},
                    {{kFiles + "\n\ntm2cmde.txt: unreadable (not a file)", kQuit}},
                    false,
                    {},
                    "check tm2cmde.txt"},
        FailureCase{
            "glossary not valid",
            [](TFakeBackend& b, TMainApp&, const QString&) {
                b.glossaryProblem = "not valid at line 1 (byte 0x00 is not text)";
            },
            {"Quit Tamsel2"},
            {{kFiles + "\n\ntm2cmde.txt: not valid at line 1 (byte 0x00 is not text)", kQuit}},
            false,
            {"check tm2cmde.txt"},
            "check template/tamsel2.ktp"},
        FailureCase{"template not valid",
                    [](TFakeBackend& b, TMainApp&, const QString&) {
                        b.templateProblem = "not valid at line 2 (the file ends without a "
                                            "[CONFIGURATION] section)";
                    },
                    {"Quit Tamsel2"},
                    {{kFiles + "\n\ntemplate/tamsel2.ktp: not valid at line 2 (the file ends "
                               "without a [CONFIGURATION] section)",
                      kQuit}},
                    false,
                    {"check tm2cmde.txt", "check template/tamsel2.ktp"},
                    "locateCurrent"},
        FailureCase{"display at 120 dpi, quit",
                    [](TFakeBackend&, TMainApp& a, const QString&) {
                        a.setScreenFacts({120, 120, 1024, 768, 32});
                    },
                    {"Quit Tamsel2"},
                    {{kDisplay, {"Continue", "Quit Tamsel2"}}},
                    false,
                    {},
                    "locateCurrent"},
        FailureCase{"display at 8 bits, continue",
                    [](TFakeBackend&, TMainApp& a, const QString&) {
                        a.setScreenFacts({96, 96, 800, 600, 8});
                    },
                    {"Continue"},
                    {{kDisplay, {"Continue", "Quit Tamsel2"}}},
                    true,
                    {"locateCurrent", "connect"},
                    ""},
        FailureCase{
            "driver nowhere",
            [](TFakeBackend& b, TMainApp&, const QString&) { b.inCurrentDirectory = false; },
            {"Continue", "Quit Tamsel2"},
            {{kNotHere, {"Continue"}}, {kMissing, kQuit}},
            false,
            {"locateCurrent", "locateRegistry", "locateAsking"},
            "examine"},
        FailureCase{"driver from the localize setting",
                    [](TFakeBackend& b, TMainApp&, const QString&) {
                        b.inCurrentDirectory = false;
                        b.inRegistry = true;
                    },
                    {"Continue"},
                    {{kNotHere, {"Continue"}}},
                    true,
                    {"locateRegistry", "examine", "bind", "connect"},
                    "locateAsking"},
        FailureCase{"driver chosen by the user",
                    [](TFakeBackend& b, TMainApp&, const QString&) {
                        b.inCurrentDirectory = false;
                        b.askedFileGiven = true;
                    },
                    {"Continue"},
                    {{kNotHere, {"Continue"}}},
                    true,
                    {"locateRegistry", "locateAsking", "examine", "bind"},
                    ""},
        FailureCase{"driver not the expected one",
                    [](TFakeBackend& b, TMainApp&, const QString&) { b.examines = false; },
                    {"Quit Tamsel2"},
                    {{kWrong, kQuit}},
                    false,
                    {"examine"},
                    "bind"},
        FailureCase{"bad template project",
                    [](TFakeBackend& b, TMainApp&, const QString&) { b.opens = false; },
                    {"Quit Tamsel2"},
                    {{kBadProject + "\n\ntemplate/tamsel2.ktp: not valid at line 1 (test)", kQuit}},
                    false,
                    {"open template/tamsel2.ktp"},
                    "connect"},
        FailureCase{"no port list",
                    [](TFakeBackend& b, TMainApp&, const QString&) { b.hasPorts = false; },
                    {"Quit Tamsel2"},
                    {{kNoPort, kQuit}},
                    false,
                    {},
                    "connect"},
        FailureCase{"port refused, try again",
                    [](TFakeBackend& b, TMainApp&, const QString&) { b.connects = {false}; },
                    {"Try again"},
                    {{kRefused, {"Try again", "Quit Tamsel2", "Select Port"}}},
                    true,
                    {"connect", "connect", "buildAddressTable"},
                    ""},
        FailureCase{"port refused, quit",
                    [](TFakeBackend& b, TMainApp&, const QString&) { b.connects = {false}; },
                    {"Quit Tamsel2"},
                    {{kRefused, {"Try again", "Quit Tamsel2", "Select Port"}}},
                    false,
                    {"connect"},
                    "buildAddressTable"},
        FailureCase{"port refused, another port selected",
                    [](TFakeBackend& b, TMainApp&, const QString&) { b.connects = {false}; },
                    {"Select Port", "COM3", "Select done"},
                    {{kRefused, {"Try again", "Quit Tamsel2", "Select Port"}},
                     {kPortList, {"Select done", "Quit Tamsel2"}}},
                    true,
                    {"connect", "setPort COM3", "connect", "buildAddressTable"},
                    ""},
        FailureCase{"port refused, selection quit",
                    [](TFakeBackend& b, TMainApp&, const QString&) { b.connects = {false}; },
                    {"Select Port", "Quit Tamsel2"},
                    {{kRefused, {"Try again", "Quit Tamsel2", "Select Port"}},
                     {kPortList, {"Select done", "Quit Tamsel2"}}},
                    false,
                    {"connect"},
                    "setPort COM3"}),
    [](const ::testing::TestParamInfo<FailureCase>& param) {
        QString name = QString::fromLatin1(param.param.name);
        name.replace(QRegularExpression("[^A-Za-z0-9]"), "_");
        return name.toStdString();
    });

TEST_F(StartupTest, BindFailureShowsTheSevereFailureBoxAndExits) {
    backend.binds = false;
    TMainApp app(backend, prompter);
    app.setScreenFacts({96, 96, 1024, 768, 24});
    const Outcome outcome = run(app);
    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(outcome.exited);
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].title, "Contact QZ");
    EXPECT_EQ(prompter.boxes[0].text, "Severe failure : 0x123\nQuit Tamsel2");
    EXPECT_FALSE(backend.calls.contains("open template/tamsel2.ktp"));
}

TEST_F(StartupTest, PortSelectionOffersTheProjectPortsWithTheCurrentOneSelected) {
    backend.connects = {false};
    backend.port = "COM2";
    person.script = {"Select Port", "Select done"};
    TMainApp app(backend, prompter);
    app.setScreenFacts({96, 96, 1024, 768, 24});
    ASSERT_TRUE(run(app).ok);
    ASSERT_EQ(person.shown.size(), 2);
    EXPECT_EQ(person.shown[1].ports, QStringList({"COM1", "COM2", "COM3"}));
    EXPECT_EQ(person.shown[1].currentPort, "COM2");
    EXPECT_EQ(person.shown[1].step, "Com port selection");
    EXPECT_TRUE(backend.calls.contains("setPort COM2"));
}

} // namespace
} // namespace tamsel::shell::test
