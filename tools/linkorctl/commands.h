// The subcommands. Each parses its own operands and options and returns the exit status;
// failures are thrown as UsageError or LineError.
#pragma once

#include "arguments.h"
#include "driver_session.h"

#include <string>
#include <vector>

namespace linkorctl {

struct Invocation {
    GlobalOptions global;
    std::vector<std::string> args; ///< what follows the subcommand's name
};

int runPorts(const Invocation& call);
int runTypes(const Invocation& call);
int runProtocols(const Invocation& call);
int runBauds(const Invocation& call);
int runIdentity(const Invocation& call);
int runMessage(const Invocation& call);
int runSend(const Invocation& call);
int runFile(const Invocation& call);
int runScan(const Invocation& call);
int runMonitor(const Invocation& call);
int runBackup(const Invocation& call);
int runCompare(const Invocation& call);
int runRestore(const Invocation& call);

/// Parses a subcommand's arguments; the global options found there join the call's.
Arguments parseFor(const Invocation& call, std::span<const OptionSpec> own, GlobalOptions& global);

} // namespace linkorctl
