#include "config_hooks.h"

#include "config_window.h"

#include <main_app.h>

namespace tamsel::discovery {

void registerConfigurationWindow(shell::TMainApp& app, shell::TPrompter& prompter) {
    app.registerWindow(shell::TWindowKind::Configuration,
                       [&prompter](const shell::TWindowContext& context) -> QWidget* {
                           return new TDial_DES(*context.app, prompter);
                       });
}

} // namespace tamsel::discovery
