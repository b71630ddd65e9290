// linkorctl: the subcommand is chosen here; failures become the exit status.
#include "cmd_doctor.h"
#include "commands.h"
#include "errors.h"
#include "help_texts.h"
#include "output.h"

#include <exception>
#include <iostream>
#include <map>

namespace {

using namespace linkorctl;

using Runner = int (*)(const Invocation&);

const std::map<std::string, Runner>& runners() {
    static const std::map<std::string, Runner> r{
        {"ports", runPorts},     {"types", runTypes},       {"protocols", runProtocols},
        {"bauds", runBauds},     {"identity", runIdentity}, {"message", runMessage},
        {"send", runSend},       {"run", runFile},          {"scan", runScan},
        {"monitor", runMonitor}, {"backup", runBackup},     {"compare", runCompare},
        {"restore", runRestore}, {"doctor", runDoctor},
    };
    return r;
}

bool takesValue(const std::string& option) {
    for (const OptionSpec& s : globalOptions()) {
        if (option == std::string("--") + s.name) {
            return s.takesValue;
        }
    }
    return false;
}

bool asksForHelp(const std::vector<std::string>& args) {
    for (const std::string& a : args) {
        if (a == "--") {
            return false;
        }
        if (a == "--help" || a == "-h") {
            return true;
        }
    }
    return false;
}

void applyGlobal(const Arguments& a, GlobalOptions& g) {
    g.json = g.json || a.has("json");
    g.verbose = g.verbose || a.has("verbose");
    if (const auto d = a.value("driver")) {
        g.driverDir = *d;
    }
    if (const auto l = a.value("lang")) {
        g.language = *l;
    }
}

int run(const std::vector<std::string>& all, std::string& command) {
    std::size_t at = 0;
    while (at < all.size() && all[at].size() > 1 && all[at][0] == '-' && all[at] != "--") {
        at += takesValue(all[at]) ? 2 : 1;
    }
    const std::vector<std::string> leading(
        all.begin(), all.begin() + static_cast<long>(std::min(at, all.size())));
    if (at < all.size() && all[at] == "--") {
        ++at;
    }
    if (at >= all.size()) {
        if (asksForHelp(leading)) {
            std::cout << programHelp();
            return kExitOk;
        }
        // A mistyped option is what the user should hear of first.
        static_cast<void>(Arguments(leading, {}));
        throw UsageError("no subcommand given");
    }
    command = all[at];
    const auto runner = runners().find(command);
    if (runner == runners().end()) {
        const std::string unknown = command;
        command.clear();
        throw UsageError("unknown subcommand '" + unknown + "'");
    }
    Invocation call;
    call.args.assign(all.begin() + static_cast<long>(at) + 1, all.end());
    if (asksForHelp(leading) || asksForHelp(call.args)) {
        std::cout << *commandHelp(command);
        return kExitOk;
    }
    applyGlobal(Arguments(leading, {}), call.global);
    return runner->second(call);
}

} // namespace

namespace linkorctl {

Arguments parseFor(const Invocation& call, std::span<const OptionSpec> own, GlobalOptions& global) {
    Arguments a(call.args, own);
    global = call.global;
    applyGlobal(a, global);
    return a;
}

} // namespace linkorctl

int main(int argc, char** argv) {
    const std::vector<std::string> all(argv + 1, argv + argc);
    std::string command;
    try {
        return run(all, command);
    } catch (const UsageError& e) {
        printError(std::string(e.what()) + " (try 'linkorctl " +
                   (command.empty() ? std::string() : command + " ") + "--help')");
        return kExitUsage;
    } catch (const LineError& e) {
        printError(readable(e.what()));
        return kExitLine;
    } catch (const std::exception& e) {
        printError(e.what());
        return kExitLine;
    }
}
