// What the discovery layer gives the application: the configuration window (command 1601),
// registered against its row.
#pragma once

namespace tamsel::shell {
class TMainApp;
class TPrompter;
} // namespace tamsel::shell

namespace tamsel::discovery {

void registerConfigurationWindow(shell::TMainApp& app, shell::TPrompter& prompter);

} // namespace tamsel::discovery
