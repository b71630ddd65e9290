// The real program over the real driver, binding and project, with emulated modules on a
// pseudo-terminal: the ground the direct motion and monitoring windows are tested on.
#pragma once

#include <window_hooks.h>

#include <line_backend.h>
#include <main_app.h>
#include <prompter.h>

#include <kvsim/virtual_line.h>

#include "support/program_folder.h"
#include "support/sent_bytes.h"

#include <QMdiSubWindow>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace tamsel::windows::test {

/// Answers every box with OK and keeps its text.
class TQuietPrompter final : public shell::TPrompter {
  public:
    QStringList boxes;
    int beeps = 0;
    shell::TBoxAnswer ask(QWidget*, const shell::TBox& box) override;
    QString chooseFile(QWidget*, const shell::TFileQuestion&) override { return {}; }
    void beep() override { ++beeps; }
};

/// Positions of the line's modules in the device selector.
inline constexpr int kTriloEntry = 0;
inline constexpr int kMicroEntry = 1;
inline constexpr int kVrx17Entry = 2;
inline constexpr int kTriloAddress = 0;
inline constexpr int kMicroAddress = 1;
inline constexpr int kVrx17Address = 2;

bool waitFor(const std::function<bool()>& condition);

class LineFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    /// Opens the window of @p command for the module at @p entry of the device selector.
    QWidget* open(int command, int entry);
    /// The MDI child that holds @p window.
    static QMdiSubWindow* frameOf(QWidget* window);
    kvsim::ModuleSnapshot module(int address) const { return *line->module(address); }
    int heard(int address) const { return module(address).commandsHeard; }
    /// Every byte the program wrote since the last clearLog().
    QByteArray sentToModules() const;
    /// Sends @p text to the line as the terminal does, and returns the reply.
    QString sendText(const char* text);
    /// Whether no entry of the poll table is left.
    bool pollTableEmpty() const;
    template <class T> static T* control(QWidget* parent, int id) {
        return parent->findChild<T*>(QString::number(id));
    }

    support::TProgramFolder folder;
    std::unique_ptr<kvsim::VirtualLine> line;
    TQuietPrompter prompter;
    std::unique_ptr<shell::TLineBackend> backend;
    std::unique_ptr<shell::TMainApp> app;
    std::unique_ptr<TWindowHooks> hooks;

  private:
    void writeFile(const char* name, const QByteArray& text);
};

} // namespace tamsel::windows::test
