// The program's start-up, dispatcher and minimise watcher with the real driver, the real
// driver binding and the real project, against emulated modules on a pseudo-terminal.
#include "init_box_driver.h"
#include "line_backend.h"
#include "main_app.h"
#include "main_frame.h"
#include "scripted_prompter.h"
#include "shell_codes.h"
#include "wait.h"

#include <kvsim/virtual_line.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
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

} // namespace
} // namespace tamsel::shell::test
