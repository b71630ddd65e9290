#include "line_fixture.h"

#include <main_frame.h>
#include <shell_codes.h>

#include <contract/request_codes.h>

#include "support/event_wait.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMdiArea>

namespace tamsel::windows::test {

namespace {

// The TRILO is of the first family: it runs at "+ Wh" and has two-state outputs; the
// MICROTRILO has a speed limit and outputs that may stay as they are.
constexpr const char* kLine = "00 TRILO type=0x0100 serial=1001\n"
                              "01 MICROTRILO type=0x1002 serial=1002 version=1.05\n"
                              "02 VRX17 type=0x5000 serial=1003 version=1.05\n";

QByteArray projectText() {
    return "; test project\n[CONFIGURATION]\nTarget = TRILO\nPortComm = COM1\n"
           "BaudRate = 9600\nProtocole = XON-XOFF\n"
           "Cnf00000  = 00 , 00256 ,_,_,_\nCnf00001  = 01 , 04098 ,_,_,_\n"
           "Cnf00002  = 02 , 20480 ,_,_,_\n;\n"
           "[TM2_SETUP]\nSwMode = 0\nSwPn0 = 1\n;\n[LabelVariable]\n;\n[LAST_COMMAND]\n;\n";
}

} // namespace

shell::TBoxAnswer TQuietPrompter::ask(QWidget*, const shell::TBox& box) {
    boxes << box.text;
    return shell::TBoxAnswer::Ok;
}

bool waitFor(const std::function<bool()>& condition) {
    return support::waitForEvents(condition);
}

void LineFixture::SetUp() {
    ASSERT_TRUE(
        folder.prepare(QStringLiteral(TAMSEL_LINKOR_FILE), QStringLiteral(TAMSEL_HELP_FILE)));
    line = std::make_unique<kvsim::VirtualLine>(kvsim::VirtualLine::fromText(kLine));
    line->start(folder.portsPath(), 1);
    ASSERT_TRUE(folder.write("template/tamsel2.ktp", projectText()));
    folder.enter();

    backend = std::make_unique<shell::TLineBackend>(prompter, folder.filePath("none.conf"));
    app = std::make_unique<shell::TMainApp>(*backend, prompter);
    // The program's own wiring: the windows under test are registered by the hooks.
    hooks = std::make_unique<TWindowHooks>(*app, prompter);
    app->setScreenFacts({96, 96, 1024, 768, 24});
    ASSERT_TRUE(app->start());
    ASSERT_NE(backend->comm().lineHandle(), 0);
    backend->startPolling();
}

void LineFixture::TearDown() {
    hooks.reset();
    app.reset();
    backend.reset();
    folder.leave();
    line->stop();
}

void LineFixture::writeFile(const char* name, const QByteArray& text) {
    ASSERT_TRUE(folder.write(name, text));
}

QWidget* LineFixture::open(int command, int entry) {
    app->frame().deviceSelector()->setCurrentIndex(entry);
    const QList<QMdiSubWindow*> before = app->frame().mdiArea()->subWindowList();
    app->command(command);
    for (QMdiSubWindow* sub : app->frame().mdiArea()->subWindowList()) {
        if (!before.contains(sub)) {
            return sub->widget();
        }
    }
    return nullptr;
}

QMdiSubWindow* LineFixture::frameOf(QWidget* window) {
    return qobject_cast<QMdiSubWindow*>(window->parentWidget());
}

QByteArray LineFixture::sentToModules() const {
    return support::sentToModules(*line);
}

QString LineFixture::sendText(const char* text) {
    contract::TagFreeText record;
    std::snprintf(record.text, sizeof record.text, "%s", text);
    app->request(contract::req::kFreeText, 0, &record);
    return QString::fromLatin1(record.reply);
}

bool LineFixture::pollTableEmpty() const {
    for (int i = 0; i < contract::kPollEntries; ++i) {
        const contract::TagPollEntry e = backend->comm().pollEntry(i);
        if (e.owner != 0 || e.mode != contract::kPollFree) {
            return false;
        }
    }
    return true;
}

} // namespace tamsel::windows::test
