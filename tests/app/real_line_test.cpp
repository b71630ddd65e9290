// The program's start-up, dispatcher and minimise watcher with the real driver, the real
// driver binding and the real project, against emulated modules on a pseudo-terminal.
#include "init_box_driver.h"
#include "line_backend.h"
#include "main_app.h"
#include "main_frame.h"
#include "scripted_prompter.h"
#include "shell_codes.h"
#include "wait.h"

#include <contract/module_window.h>
#include <kvsim/virtual_line.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace tamsel::shell::test {
namespace {

constexpr const char* kLine = "00 TRILO type=0x0205 serial=1001\n"
                              "03 DVRX type=0x6020 serial=1004 version=2.10\n";

QByteArray projectText(const char* port) {
    return QByteArray("; test project\n[CONFIGURATION]\nTarget = TRILO\nPortComm = ") + port +
           "\nBaudRate = 9600\nProtocole = XON-XOFF\n"
           "Cnf00000  = 00 , 00517 ,_,_,_\nCnf00001  = 03 , 24608 ,_,_,_\n;\n"
           "[TM2_SETUP]\nSwMode = 0\nSwPn0 = 0\n;\n[LabelVariable]\n;\n[LAST_COMMAND]\n;\n";
}

class RealLineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(work.isValid());
        ASSERT_TRUE(ports.isValid());
        qputenv("LINKOR_PORTS", ports.path().toLocal8Bit());
        line = std::make_unique<kvsim::VirtualLine>(kvsim::VirtualLine::fromText(kLine));
        line->start(ports.path().toStdString(), 1);
        previous = QDir::currentPath();
        QDir(work.path()).mkpath("template");
        QFile::link(QStringLiteral(TAMSEL_LINKOR_FILE), work.filePath("liblinkor.so"));
        writeFile("tm2cmde.txt", "[TRILO]\n");
        writeFile("template/tamsel2.ktp", projectText("COM1"));
        QDir::setCurrent(work.path());
    }
    void TearDown() override {
        QDir::setCurrent(previous);
        line->stop();
        qunsetenv("LINKOR_PORTS");
    }
    void writeFile(const char* name, const QByteArray& text) {
        QFile f(work.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }
    /// Whether the line's device can be held exclusively, as the driver holds it.
    bool portFree() const {
        const int fd = ::open(line->devicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd < 0) {
            return false;
        }
        const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        ::close(fd);
        return free;
    }
    bool started(TMainApp& app) {
        app.setScreenFacts({96, 96, 1024, 768, 24});
        return app.start();
    }

    QTemporaryDir work;
    QTemporaryDir ports;
    QString previous;
    std::unique_ptr<kvsim::VirtualLine> line;
    TScriptedPrompter prompter;
    TInitBoxDriver person;
};

TEST_F(RealLineTest, StartsConnectedWithTheProjectModulesInTheSelector) {
    TLineBackend backend(prompter, work.filePath("no-settings.conf"));
    TMainApp app(backend, prompter);
    ASSERT_TRUE(started(app));
    EXPECT_TRUE(person.shown.isEmpty());
    EXPECT_TRUE(prompter.boxes.isEmpty()) << prompter.titles().join("|").toStdString();
    EXPECT_NE(backend.comm().lineHandle(), 0);
    EXPECT_EQ(app.frame().lineStatus(), "COM1 at 9600 bauds ");
    QComboBox* selector = app.frame().deviceSelector();
    ASSERT_EQ(selector->count(), 2);
    EXPECT_TRUE(selector->itemText(0).startsWith("@00="));
    EXPECT_TRUE(selector->itemText(1).startsWith("@03="));
    EXPECT_EQ(selector->itemData(1).toInt(), 0x6020);
    EXPECT_EQ(app.selectedDevice().target, "TRILO");
    EXPECT_EQ(app.selectedDevice().familyMask, 1);

    // The working line really reaches the modules.
    tkv::TagFreeText text;
    std::strcpy(text.text, "00RV");
    app.request(req::kFreeText, dlg::kTerminal, &text);
    EXPECT_EQ(text.status, 0) << text.reply;
    EXPECT_GT(std::strlen(text.reply), 0U);
    EXPECT_GE(line->module(0)->commandsHeard, 1);
}

TEST_F(RealLineTest, MissingDriverAsksForItThenQuits) {
    QFile::remove(work.filePath("liblinkor.so"));
    TLineBackend backend(prompter, work.filePath("no-settings.conf"));
    TMainApp app(backend, prompter);
    bool exited = false;
    QObject::connect(&app, &TMainApp::exitRequested, [&exited] { exited = true; });
    person.script = {"Continue", "Quit Tamsel2"};
    EXPECT_FALSE(started(app));
    EXPECT_FALSE(person.unexpected);
    ASSERT_EQ(person.shown.size(), 2);
    EXPECT_TRUE(person.shown[0].text.startsWith("LINKOR.DLL not found in Tamsel2 directory"));
    EXPECT_TRUE(person.shown[1].text.startsWith("LINKOR product not install or corrupted"));
    EXPECT_EQ(person.shown[1].buttons, QStringList{"Quit Tamsel2"});
    // The user was offered the file dialog between the two messages and cancelled it.
    ASSERT_EQ(prompter.questions.size(), 1);
    EXPECT_EQ(prompter.questions[0].title, " localize the tm2 comm dll");
    EXPECT_TRUE(waitFor([&] { return exited; }, 5000));
}

TEST_F(RealLineTest, DriverFoundThroughTheLocalizeSetting) {
    QDir(work.path()).mkpath("linkor");
    QFile::rename(work.filePath("liblinkor.so"), work.filePath("linkor/liblinkor.so"));
    writeFile("LINKOR.conf", "[General]\nlocalize=" + work.filePath("linkor").toUtf8() + "\n");
    TLineBackend backend(prompter, work.filePath("LINKOR.conf"));
    TMainApp app(backend, prompter);
    person.script = {"Continue"};
    EXPECT_TRUE(started(app));
    ASSERT_EQ(person.shown.size(), 1);
    EXPECT_TRUE(person.shown[0].text.startsWith("LINKOR.DLL not found in Tamsel2 directory"));
    EXPECT_TRUE(prompter.questions.isEmpty());
    EXPECT_NE(backend.comm().lineHandle(), 0);
}

TEST_F(RealLineTest, RefusedPortThenTheSelectedPortConnects) {
    writeFile("template/tamsel2.ktp", projectText("COM7"));
    TLineBackend backend(prompter, work.filePath("no-settings.conf"));
    TMainApp app(backend, prompter);
    person.script = {"Select Port", "COM1", "Select done"};
    EXPECT_TRUE(started(app));
    EXPECT_FALSE(person.unexpected);
    ASSERT_EQ(person.shown.size(), 2);
    EXPECT_TRUE(person.shown[0].text.startsWith(
        "The communication port use by Tamsel2 is COM7 \nThis port is not accessible ?!"));
    EXPECT_EQ(person.shown[0].buttons, QStringList({"Try again", "Quit Tamsel2", "Select Port"}));
    EXPECT_TRUE(person.shown[1].ports.contains("COM1"));
    EXPECT_NE(backend.comm().lineHandle(), 0);
    EXPECT_EQ(backend.project().port(), "COM1");
    EXPECT_TRUE(app.notes().contains("pb sur com init"));
}

TEST_F(RealLineTest, MinimiseClosesTheLineAndStopsPollingRestoreReconnects) {
    TLineBackend backend(prompter, work.filePath("no-settings.conf"));
    TMainApp app(backend, prompter);
    ASSERT_TRUE(started(app));
    backend.comm().startPolling();
    ASSERT_NE(backend.comm().lineHandle(), 0);
    EXPECT_FALSE(portFree());
    app.frame().showMinimized();
    ASSERT_TRUE(waitFor([&] { return app.minimised(); }));
    EXPECT_EQ(backend.comm().lineHandle(), 0);
    EXPECT_TRUE(waitFor([&] { return !backend.comm().pollingEnabled(); }));
    EXPECT_EQ(app.frame().lineStatus(), "close by iconicstate");
    // The port is free again: another program could hold it exclusively now.
    EXPECT_TRUE(portFree());
    app.frame().showMaximized();
    ASSERT_TRUE(waitFor([&] { return !app.minimised(); }));
    EXPECT_NE(backend.comm().lineHandle(), 0);
    EXPECT_TRUE(backend.comm().pollingEnabled());
    EXPECT_EQ(app.frame().lineStatus(), "COM1 at 9600 bauds ");
}

TEST_F(RealLineTest, ShippedInstallationStartsOnTheRealScreen) {
    // The files the build puts beside the program, as the demo runs it.
    const QDir bin(QStringLiteral(TAMSEL_BIN_DIR));
    QFile::remove(work.filePath("template/tamsel2.ktp"));
    QFile::remove(work.filePath("tm2cmde.txt"));
    ASSERT_TRUE(
        QFile::copy(bin.filePath("template/tamsel2.ktp"), work.filePath("template/tamsel2.ktp")));
    ASSERT_TRUE(QFile::copy(bin.filePath("tm2cmde.txt"), work.filePath("tm2cmde.txt")));
    TLineBackend backend(prompter, work.filePath("no-settings.conf"));
    TMainApp app(backend, prompter);
    EXPECT_TRUE(app.start());
    EXPECT_FALSE(person.unexpected);
    EXPECT_TRUE(person.shown.isEmpty()) << person.shown.value(0).text.toStdString();
    EXPECT_NE(backend.comm().lineHandle(), 0);
    EXPECT_TRUE(app.frame().isMaximized());
}

const QString kFiles = "Fatal Error\n\nA file is missing or corrupted\n\nTamsel2 will "
                       "close\nYou can try another installation";

QByteArray randomBytes(int n, quint32 seed) {
    QByteArray out;
    for (int i = 0; i < n; ++i) {
        seed = seed * 1103515245u + 12345u;
        out += static_cast<char>(seed >> 16);
    }
    return out;
}

struct BadStartFile {
    const char* name;
    const char* file;
    QByteArray bytes;
    /// The start of what follows the file's name in the message, and a part of the rest.
    const char* detailStart;
    const char* detailPart;
};

void PrintTo(const BadStartFile& c, std::ostream* os) {
    *os << c.name;
}

class RealLineBadFileTest : public RealLineTest,
                            public ::testing::WithParamInterface<BadStartFile> {};

TEST_P(RealLineBadFileTest, StopsTheStartUpNamingTheFileAndKeepsTheBackup) {
    const BadStartFile& bad = GetParam();
    const QByteArray good = projectText("COM1");
    writeFile("template/tamsel2.bak", good);
    writeFile(bad.file, bad.bytes);
    TLineBackend backend(prompter, work.filePath("no-settings.conf"));
    TMainApp app(backend, prompter);
    person.script = {"Quit Tamsel2"};
    EXPECT_FALSE(started(app));
    EXPECT_FALSE(person.unexpected);
    ASSERT_EQ(person.shown.size(), 1);
    const QString text = person.shown[0].text;
    const QString head = kFiles + "\n\n" + bad.file + ": " + bad.detailStart;
    EXPECT_TRUE(text.startsWith(head)) << text.toStdString();
    EXPECT_TRUE(text.contains(QLatin1String(bad.detailPart))) << text.toStdString();
    EXPECT_FALSE(backend.projectLoaded());
    EXPECT_EQ(backend.comm().lineHandle(), 0);
    QFile backup(work.filePath("template/tamsel2.bak"));
    ASSERT_TRUE(backup.open(QIODevice::ReadOnly));
    EXPECT_EQ(backup.readAll(), good) << "the copy of the good project was replaced";
}

INSTANTIATE_TEST_SUITE_P(
    Files, RealLineBadFileTest,
    ::testing::Values(BadStartFile{"empty_template", "template/tamsel2.ktp", "",
                                   "not valid at line 1", "(the file is empty)"},
                      BadStartFile{"truncated_template", "template/tamsel2.ktp",
                                   projectText("COM1").left(150), "not valid at line 8",
                                   "(the file ends inside the [CONFIGURATION] section of line 2)"},
                      BadStartFile{"random_template", "template/tamsel2.ktp", randomBytes(4096, 3),
                                   "not valid at line ", "is not text)"},
                      BadStartFile{"random_glossary", "tm2cmde.txt", randomBytes(4096, 5),
                                   "not valid at line ", "is not text)"},
                      BadStartFile{"empty_glossary", "tm2cmde.txt", "", "not valid at line 1",
                                   "(the file is empty)"}),
    [](const ::testing::TestParamInfo<BadStartFile>& param) {
        return std::string(param.param.name);
    });

struct BadLineValue {
    const char* name;
    QByteArray from;
    QByteArray to;
    const char* said;
};

void PrintTo(const BadLineValue& c, std::ostream* os) {
    *os << c.name;
}

class RealLineBadValueTest : public RealLineTest,
                             public ::testing::WithParamInterface<BadLineValue> {};

TEST_P(RealLineBadValueTest, IsReportedAsABadValueNotAsAPortThatFails) {
    const BadLineValue& bad = GetParam();
    writeFile("template/tamsel2.ktp", projectText("COM1").replace(bad.from, bad.to));
    TLineBackend backend(prompter, work.filePath("no-settings.conf"));
    TMainApp app(backend, prompter);
    EXPECT_TRUE(started(app));
    EXPECT_FALSE(person.unexpected);
    EXPECT_TRUE(person.shown.isEmpty()) << person.shown.value(0).text.toStdString();
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].title, "project error");
    const QString text = prompter.boxes[0].text;
    EXPECT_TRUE(text.startsWith("Bad value in the project file template/tamsel2.ktp\n"))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QLatin1String(bad.said))) << text.toStdString();
    EXPECT_TRUE(text.endsWith("The line is ignored: the line setting is COM1 at 9600 bauds "))
        << text.toStdString();
    EXPECT_NE(backend.comm().lineHandle(), 0) << "the line opens with the setting it falls back on";
}

INSTANTIATE_TEST_SUITE_P(
    Values, RealLineBadValueTest,
    ::testing::Values(
        BadLineValue{"baud_of_twenty_digits", "BaudRate = 9600", "BaudRate = 99999999999999999999",
                     "line 5: BaudRate \"99999999999999999999\" is not a baud rate"},
        BadLineValue{"port_followed_by_many_digits", "PortComm = COM1",
                     "PortComm = COM1" + QByteArray(100000, '1'),
                     "line 4: PortComm \"COM111111111111111111111...\" is not a port name (COM1 "
                     "to COM255)"}),
    [](const ::testing::TestParamInfo<BadLineValue>& param) {
        return std::string(param.param.name);
    });

/// A module window as the contract has it: it keeps its record and counts what the
/// program tells it, on which thread.
class TPollingWindow final : public QWidget, public contract::TModuleWindow {
  public:
    void pollCompleted(int first, int kind) override {
        completions << qMakePair(first, kind);
        threads << QThread::currentThread();
    }
    void shellCommand(int id) override { orders << id; }

    tkv::TagStatus status;
    tkv::TagRequest record;
    QList<QPair<int, int>> completions;
    QList<QThread*> threads;
    QList<int> orders;
};

TEST_F(RealLineTest, PollCompletionsAndShellOrdersReachTheWindowThroughItsContract) {
    TLineBackend backend(prompter, work.filePath("no-settings.conf"));
    TMainApp app(backend, prompter);
    TPollingWindow* window = nullptr;
    app.registerWindow(TWindowKind::Dialog, [&window](const TWindowContext&) {
        window = new TPollingWindow;
        return window;
    });
    ASSERT_TRUE(started(app));
    app.command(cmd::kDialog);
    ASSERT_NE(window, nullptr);
    const QPointer<TPollingWindow> alive = window;

    window->status.position = -1;
    window->record.kind = tkv::kKindStatus;
    window->record.data = &window->status;
    window->record.address = 0;
    window->record.typeCode = 0x0205;
    tkv::TagPollEntry entry;
    entry.kind = tkv::kKindStatus;
    entry.mode = tkv::kPollPeriodic;
    entry.owner = TLineBackend::handleOf(window);
    entry.request = &window->record;
    app.request(req::kPollAdd, 0, &entry);
    backend.startPolling();
    ASSERT_TRUE(waitFor([&] { return window->completions.size() >= 2; }));
    EXPECT_EQ(window->completions.first(),
              qMakePair(int{req::kPollNotification}, tkv::kKindStatus));
    for (QThread* thread : window->threads) {
        EXPECT_EQ(thread, QThread::currentThread()) << "the user-interface thread";
    }
    EXPECT_EQ(window->status.position, 0);

    // The configuration changed: every module window hears it, once the loop turns.
    app.request(req::kConfigurationChanged, 0, nullptr);
    EXPECT_TRUE(waitFor([&] { return window->orders.contains(cmd::kUpdate); }));

    // The window withdraws its entries before it goes: the table no longer names it.
    tkv::TKV_WindowHandle owner = entry.owner;
    app.request(req::kPollModeByOwner, tkv::kPollFree, &owner);
    for (int i = 0; i < tkv::kPollEntries; ++i) {
        EXPECT_NE(backend.comm().pollEntry(i).owner, owner) << i;
    }
    app.childWithId(winid::kDialog)->close();
    EXPECT_TRUE(waitFor([&] { return alive.isNull(); }));
}

struct RouteCase {
    const char* name;
    std::uint16_t code;
    std::uint16_t hi;
    /// Fills the record, runs nothing else.
    std::function<void*()> record;
    std::function<void(TLineBackend&, void*)> check;
};

class RouteTest : public RealLineTest {};

TEST_F(RouteTest, EveryTableCodeReachesItsOwner) {
    TLineBackend backend(prompter, work.filePath("no-settings.conf"));
    TMainApp app(backend, prompter);
    ASSERT_TRUE(started(app));
    char text[kTextSize] = {};
    std::int32_t number = -1;
    TagList list;
    const tkv::TagConfigDLL* lists = nullptr;
    const auto buffer = [&text](const char* in) {
        std::strcpy(text, in);
        return static_cast<void*>(text);
    };
    const QList<RouteCase> cases{
        {"value 14", req::kModuleRecordCount, 0, [&] { return static_cast<void*>(&number); },
         [&](TLineBackend&, void*) { EXPECT_EQ(number, 2); }},
        {"text 6", req::kModuleRecord, 1, [&] { return buffer(""); },
         [&](TLineBackend&, void*) { EXPECT_STREQ(text, "1,3,24608,_,_,_,3"); }},
        {"text 10", req::kSetupSummary, 0, [&] { return buffer(""); },
         [&](TLineBackend& b, void*) { EXPECT_EQ(text, b.project().setupSummary()); }},
        {"text 21", req::kModuleTitle, 3, [&] { return buffer(""); },
         [&](TLineBackend& b, void*) { EXPECT_EQ(text, b.project().moduleTitle(3)); }},
        {"text 1", req::kPortList, 0, [&] { return buffer(""); },
         [&](TLineBackend&, void*) { EXPECT_NE(std::strstr(text, "COM1"), nullptr); }},
        {"identity", req::kDriverIdentity, 0, [&] { return buffer(""); },
         [&](TLineBackend&, void*) { EXPECT_GT(std::strlen(text), 0U); }},
        {"status message", req::kStatusMessage, 0, [&] { return buffer("12290"); },
         [&](TLineBackend&, void*) { EXPECT_STRNE(text, "12290"); }},
        {"combinations", req::kCombinationCount, 0, [&] { return static_cast<void*>(&number); },
         [&](TLineBackend&, void*) { EXPECT_GT(number, 0); }},
        {"capability lists", req::kCapabilityLists, 0, [&] { return static_cast<void*>(&lists); },
         [&](TLineBackend& b, void*) { EXPECT_EQ(lists, &b.comm().config()); }},
        {"targets", req::kListTargets, 0, [&] { return static_cast<void*>(&list); },
         [&](TLineBackend&, void*) {
             EXPECT_TRUE(list.items.contains("TRILO"));
             EXPECT_FALSE(list.items.contains("JBUS"));
             EXPECT_EQ(list.items.value(list.selected), "TRILO");
         }},
        {"device entries", req::kListDeviceEntries, 0, [&] { return static_cast<void*>(&list); },
         [&](TLineBackend&, void*) {
             ASSERT_EQ(list.items.size(), 2);
             EXPECT_EQ(list.values, QList<std::int32_t>({0x0205, 0x6020}));
         }},
        {"set 14", req::kSetModuleRecordCount, 0,
         [&] {
             number = 2;
             return static_cast<void*>(&number);
         },
         [&](TLineBackend& b, void*) { EXPECT_EQ(b.project().moduleRecordCount(), 2); }},
        {"close line", req::kCloseLine, 0, [] { return nullptr; },
         [&](TLineBackend& b, void*) {
             EXPECT_EQ(b.comm().lineHandle(), 0);
             EXPECT_EQ(app.frame().lineStatus(), "Not in normal use");
         }},
        {"reconnect", req::kReconnect, 0, [] { return nullptr; },
         [&](TLineBackend& b, void*) {
             EXPECT_NE(b.comm().lineHandle(), 0);
             EXPECT_EQ(app.frame().lineStatus(), "COM1 at 9600 bauds ");
         }},
        {"free text kept", req::kFreeTextKept, 0,
         [&]() -> void* {
             static tkv::TagFreeText record;
             std::strcpy(record.text, "03RV");
             return &record;
         },
         [&](TLineBackend& b, void* r) {
             EXPECT_EQ(static_cast<tkv::TagFreeText*>(r)->status, 0);
             EXPECT_EQ(b.project().lastCommand(b.project().lastCommandCount() - 1), "03RV");
         }},
        {"version", req::kVersionText, 0, [&] { return buffer(""); },
         [&](TLineBackend&, void*) { EXPECT_STREQ(text, "Version 2.7.4"); }},
        {"program directory", req::kProgramDirectory, 0, [&] { return buffer(""); },
         [&](TLineBackend&, void*) { EXPECT_EQ(QString(text), work.path()); }},
        {"trace", req::kTrace, 0, [&] { return buffer("03RV --> 03V 85"); },
         [&](TLineBackend&, void*) { EXPECT_EQ(app.frame().message(), "03RV --> 03V 85"); }},
    };
    for (const RouteCase& c : cases) {
        SCOPED_TRACE(c.name);
        void* record = c.record();
        app.request(c.code, c.hi, record);
        c.check(backend, record);
    }
    EXPECT_TRUE(prompter.boxes.isEmpty()) << prompter.titles().join("|").toStdString();
}

TEST_F(RouteTest, UnknownCodesBeepAndSayNotWired) {
    TLineBackend backend(prompter, work.filePath("no-settings.conf"));
    TMainApp app(backend, prompter);
    for (const std::uint16_t code :
         {std::uint16_t{0x7777}, std::uint16_t{0x1234}, std::uint16_t{0xabcd}}) {
        SCOPED_TRACE(code);
        const int beeps = prompter.beeps;
        prompter.boxes.clear();
        app.request(code, 0, nullptr);
        EXPECT_EQ(prompter.beeps, beeps + 1);
        ASSERT_EQ(prompter.boxes.size(), 1);
        EXPECT_EQ(prompter.boxes[0].title, "Réquete non cablée !!!");
        EXPECT_EQ(prompter.boxes[0].text,
                  QStringLiteral("N° :%1 \n").arg(code, 4, 16, QChar('0')).toUpper());
        EXPECT_EQ(prompter.boxes[0].icon, TBoxIcon::Stop);
    }
}

TEST_F(RouteTest, RequestsFromAnotherThreadRunOnTheUserInterfaceThread) {
    TLineBackend backend(prompter, work.filePath("no-settings.conf"));
    TMainApp app(backend, prompter);
    TagCatalogueQuery query;
    query.operation = catop::kTargetName;
    query.value = 0x6020;
    QThread* ranOn = nullptr;
    prompter.onBox = [&ranOn](const TBox&) { ranOn = QThread::currentThread(); };
    bool done = false;
    std::thread worker([&] {
        app.request(req::kCatalogue, 0, &query);
        app.request(0x7777, 0, nullptr);
        done = true;
    });
    EXPECT_TRUE(waitFor([&] { return done; }));
    worker.join();
    EXPECT_STREQ(query.textA, "DVRX");
    EXPECT_EQ(ranOn, QThread::currentThread());
}

} // namespace
} // namespace tamsel::shell::test
