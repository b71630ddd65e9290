// The real program over the virtual line, headless, for the parameters and specific modes
// windows: a TRILO and a MICROTRILO of the demo line, the windows registered as the program
// registers them, boxes answered and kept by a scripted prompter.
#pragma once

#include <window_hooks.h>

#include <line_backend.h>
#include <main_app.h>
#include <main_frame.h>
#include <prompter.h>
#include <shell_codes.h>

#include <contract/module_window.h>
#include <contract/request_codes.h>
#include <kvsim/virtual_line.h>

#include "support/event_wait.h"
#include "support/program_folder.h"
#include "support/sent_bytes.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMdiSubWindow>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

namespace tamsel::windows::test {

inline constexpr const char* kLine = "00 TRILO type=0x0205 serial=1001\n"
                                     "01 MICROTRILO type=0x1002 serial=1002 version=1.05\n";
inline constexpr int kTriloAddress = 0;
inline constexpr int kTriloType = 0x0205;
inline constexpr int kMicroAddress = 1;
inline constexpr int kMicroType = 0x1002;

inline bool waitFor(const std::function<bool()>& condition) {
    return support::waitForEvents(condition);
}

class TScriptedPrompter final : public shell::TPrompter {
  public:
    QStringList boxes; ///< "caption|text" of every box
    int beeps = 0;
    shell::TBoxAnswer ask(QWidget*, const shell::TBox& box) override {
        boxes << box.title + QLatin1Char('|') + box.text;
        return shell::TBoxAnswer::Ok;
    }
    QString chooseFile(QWidget*, const shell::TFileQuestion&) override { return {}; }
    void beep() override { ++beeps; }
};

/// A periodic status read of another module: its completions show that the poll thread went
/// round the table, so that an entry it did not read was skipped, not merely not reached.
class TWitness final : public QObject, public contract::TModuleWindow {
  public:
    void pollCompleted(int, int) override { ++completions; }
    void shellCommand(int) override {}
    contract::TagStatus status;
    contract::TagRequest record;
    std::atomic<int> completions = 0;
};
/// Passes of the witness that would have run a paused entry several times over.
inline constexpr int kWitnessPasses = 4;

class LineFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(
            folder.prepare(QStringLiteral(TAMSEL_LINKOR_FILE), QStringLiteral(TAMSEL_HELP_FILE)));
        line = std::make_unique<kvsim::VirtualLine>(kvsim::VirtualLine::fromText(kLine));
        line->start(folder.portsPath(), 1);
        ASSERT_TRUE(folder.write(
            "template/tamsel2.ktp",
            "; test project\n[CONFIGURATION]\nTarget = TRILO\nPortComm = COM1\n"
            "BaudRate = 9600\nProtocole = XON-XOFF\n"
            "Cnf00000  = 00 , 00517 ,_,_,_\nCnf00001  = 01 , 04098 ,_,_,_\n;\n"
            "[TM2_SETUP]\nSwMode = 0\nSwPn0 = 0\n;\n[LabelVariable]\n;\n[LAST_COMMAND]\n;\n"));
        folder.enter();

        backend = std::make_unique<shell::TLineBackend>(prompter, folder.filePath("none.conf"));
        app = std::make_unique<shell::TMainApp>(*backend, prompter);
        hooks = std::make_unique<TWindowHooks>(*app, prompter);
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
    QByteArray sentToModules() const { return support::sentToModules(*line); }
    long param(int address, const char* name) const {
        const auto m = line->module(address);
        if (!m) {
            return -1;
        }
        const auto it = m->parameters.find(name);
        return it == m->parameters.end() ? -1 : it->second;
    }
    /// Opens the window of @p command on the module at @p entry of the device selector.
    template <class W> W* open(int command, int entry, int identifier) {
        app->frame().deviceSelector()->setCurrentIndex(entry);
        app->command(command);
        QMdiSubWindow* sub = app->childWithId(identifier);
        return sub == nullptr ? nullptr : qobject_cast<W*>(sub->widget());
    }
    QList<int> liveModesOf(contract::TKV_WindowHandle owner) const {
        QList<int> modes;
        for (int i = 0; i < contract::kPollEntries; ++i) {
            const contract::TagPollEntry e = backend->comm().pollEntry(i);
            if (e.owner == owner && e.mode != contract::kPollFree) {
                modes << e.mode;
            }
        }
        return modes;
    }
    void startWitness(int address, int typeCode) {
        witness.record.kind = contract::kKindStatus;
        witness.record.data = &witness.status;
        witness.record.address = address;
        witness.record.typeCode = typeCode;
        contract::TagPollEntry entry;
        entry.kind = contract::kKindStatus;
        entry.mode = contract::kPollPeriodic;
        entry.owner = shell::TLineBackend::handleOf(&witness);
        entry.request = &witness.record;
        app->request(contract::req::kPollAdd, 0, &entry);
        witnessOn = true;
    }
    void withdrawWitness() {
        if (witnessOn) {
            contract::TKV_WindowHandle owner = shell::TLineBackend::handleOf(&witness);
            app->request(contract::req::kPollModeByOwner, contract::kPollFree, &owner);
            witnessOn = false;
        }
    }
    /// Waits until the poll thread has gone round the table a few times.
    bool waitForPasses() {
        const int seen = witness.completions;
        return waitFor([&] { return witness.completions >= seen + kWitnessPasses; });
    }
    template <class T> T* control(QWidget* parent, int id) const {
        return parent->findChild<T*>(QString::number(id));
    }

    support::TProgramFolder folder;
    std::unique_ptr<kvsim::VirtualLine> line;
    TScriptedPrompter prompter;
    std::unique_ptr<shell::TLineBackend> backend;
    std::unique_ptr<shell::TMainApp> app;
    std::unique_ptr<TWindowHooks> hooks;
    TWitness witness;
    bool witnessOn = false;
};

} // namespace tamsel::windows::test
