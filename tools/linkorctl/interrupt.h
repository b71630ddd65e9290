// Ctrl-C and SIGTERM end a long subcommand between two exchanges, never inside one.
#pragma once

#include <chrono>

namespace linkorctl {

/// Installs the handlers; until then the signals keep their default action.
void catchInterrupts();
bool interrupted();
/// Sleeps for @p d, or less when an interrupt arrives; false when one did.
bool pause(std::chrono::milliseconds d);

} // namespace linkorctl
