// What the module windows' layer gives the application: the communication error report of
// 0x8080 and the windows built on TModuleWindowBase. The program builds one of these beside
// its application object and keeps it for the application's life.
#pragma once

#include <comm_error_dialog.h>
#include <window_setup.h>

#include <main_app.h>

#include <QPointer>

#include <functional>

namespace tamsel::shell {
class TPrompter;
} // namespace tamsel::shell

namespace tamsel::windows {

/// Builds a module window from what the shell gives it.
using TWindowBuilder = std::function<QWidget*(const TWindowSetup&)>;

/// What a window built on the base is given, from the shell's context.
TWindowSetup setupOf(const shell::TWindowContext& context);

class TWindowHooks final {
  public:
    TWindowHooks(shell::TMainApp& app, shell::TPrompter& prompter);
    ~TWindowHooks();
    TWindowHooks(const TWindowHooks&) = delete;
    TWindowHooks& operator=(const TWindowHooks&) = delete;

    /// Registers a window of @p kind built by @p build.
    void addWindow(shell::TWindowKind kind, TWindowBuilder build);
    /// The report opened last, while it is open.
    widgets::TCommErrorDialog* openReport() const { return m_report; }

  private:
    void errorReport(void* record);
    /// A message box of a window, shown through the program's prompter.
    std::function<void(const QString& text, const QString& caption)> promptedBox();

    shell::TMainApp& m_app;
    shell::TPrompter& m_prompter;
    QPointer<widgets::TCommErrorDialog> m_report;
};

} // namespace tamsel::windows
