// What the command terminal's layer gives the application: the "Dialog" window (1801),
// the command-file views with their "Se&nd" menu and the sender behind it, and the tool
// plug-ins of request 0xf000. The program builds one of these beside its application
// object and keeps it for the application's life.
#pragma once

#include "file_sender.h"

#include <memory>

namespace tamsel::shell {
class TMainApp;
class TPrompter;
class TToolPlugins;
} // namespace tamsel::shell

namespace tamsel::terminal {

class TTerminalHooks final {
  public:
    /// @p link carries the command-file lines to the line; @p tone sounds the send's
    /// beeps, by default the prompter's beep.
    TTerminalHooks(shell::TMainApp& app, shell::TPrompter& prompter, TFileLineLink& link,
                   TCommandFileSender::TTone tone = {});
    ~TTerminalHooks();
    TTerminalHooks(const TTerminalHooks&) = delete;
    TTerminalHooks& operator=(const TTerminalHooks&) = delete;

    TCommandFileSender& sender() const { return *m_sender; }
    shell::TToolPlugins& tools() const { return *m_tools; }

  private:
    shell::TMainApp& m_app;
    std::unique_ptr<TCommandFileSender> m_sender;
    std::unique_ptr<shell::TToolPlugins> m_tools;
};

} // namespace tamsel::terminal
