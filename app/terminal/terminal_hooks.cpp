#include "terminal_hooks.h"

#include "command_view.h"
#include "dialog_trilo.h"
#include "file_sender.h"
#include "variables/variables_window.h"

#include <command_docs.h>
#include <main_app.h>
#include <main_frame.h>
#include <tool_plugins.h>

#include <utility>

namespace tamsel::terminal {

TTerminalHooks::TTerminalHooks(shell::TMainApp& app, shell::TPrompter& prompter,
                               TFileLineLink& link, TCommandFileSender::TTone tone)
    : m_app(app) {
    m_sender = std::make_unique<TCommandFileSender>(link, prompter, std::move(tone));
    m_tools = std::make_unique<shell::TToolPlugins>(app, prompter, &app.frame(),
                                                    [&app] { return app.programDirectory(); });
    app.registerWindow(shell::TWindowKind::Dialog,
                       [&prompter](const shell::TWindowContext& context) -> QWidget* {
                           return new TDialogTRILO(*context.app, prompter);
                       });
    app.registerWindow(shell::TWindowKind::Variables,
                       [&prompter](const shell::TWindowContext& context) -> QWidget* {
                           windows::TWindowSetup setup;
                           setup.app = context.app;
                           setup.address = context.address;
                           setup.typeCode = context.typeCode;
                           setup.familyMask = context.familyMask;
                           setup.handleOf = context.handleOf;
                           return new variables::TDial_VAR(setup, prompter);
                       });
    app.setToolHandler([this](void* record) { m_tools->handle(record); });
    TCommandFileSender* sender = m_sender.get();
    app.documents().setViewFactory([sender] { return new TCommandEditView(*sender); });
}

TTerminalHooks::~TTerminalHooks() {
    m_app.setToolHandler({});
    m_app.documents().setViewFactory({});
}

} // namespace tamsel::terminal
