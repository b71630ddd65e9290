// Bad command lines, help texts, and finding the driver.
#include "tool_fixture.h"

#include <fstream>

namespace toolstest {
namespace {

class Usage : public ToolLine {};

struct UsageCase {
    std::vector<std::string> args;
    const char* says; ///< part of the one-line message
};

const UsageCase kUsageCases[] = {
    {{}, "no subcommand given (try 'linkorctl --help')"},
    {{"frobnicate"}, "unknown subcommand 'frobnicate'"},
    {{"--json"}, "no subcommand given"},
    {{"ports", "--bogus"}, "unknown option '--bogus' (try 'linkorctl ports --help')"},
    {{"ports", "extra"}, "unexpected operand 'extra'"},
    {{"--lang"}, "option '--lang' needs a value"},
    {{"types", "--json=yes"}, "option '--json' takes no value"},
    {{"send", "00RV"}, "the line needs --port COMn"},
    {{"send", "--port", "COM7"}, "send needs at least one COMMAND"},
    {{"send", "--port", "LPT1", "00RV"}, "bad port 'LPT1'"},
    {{"send", "--port", "COM0", "00RV"}, "bad port 'COM0'"},
    {{"send", "--port", "COM7", "--baud", "9601", "00RV"},
     "bad baud rate '9601' for TRILO XON-XOFF.&.XON-EXTENDED; use one of: 4800 9600 19200 38400 "
     "115200"},
    {{"send", "--port", "COM7", "--target", "VRX23", "--baud", "115200", "04RV"},
     "bad baud rate '115200' for VRX23"},
    {{"send", "--port", "COM7", "--target", "NOPE", "00RV"}, "unknown target 'NOPE'"},
    {{"send", "--port", "COM7", "--protocol", "ACK", "--target", "DVRX", "00RV"},
     "unknown protocol 'ACK' for DVRX; use one of: XON-XOFF.&.XON-EXTENDED"},
    {{"send", "--port", "COM7", "--settings", "TACK 400", "00RV"}, "between slashes"},
    {{"bauds"}, "bauds needs the target TYPE"},
    {{"bauds", "TRILO", "JBUS-232"}, "unknown protocol 'JBUS-232' for TRILO"},
    {{"message"}, "message needs the status CODE"},
    {{"message", "zz"}, "status code 'zz' is not a number from 0 to 65535"},
    {{"message", "--lang", "KLINGON", "1"}, "the driver knows no language 'KLINGON'"},
    {{"run", "--port", "COM7"}, "run needs the command FILE"},
    {{"monitor", "--port", "COM7"}, "monitor needs the module's --address N"},
    {{"monitor", "--port", "COM7", "--address", "64"},
     "--address '64' is not a number from 0 to 63"},
    {{"monitor", "--port", "COM7", "--address", "1", "--json", "--csv"}, "exclude each other"},
    {{"monitor", "--port", "COM7", "--address", "1", "--type", "NOSUCH"},
     "the catalogue has no type named 'NOSUCH'"},
    {{"monitor", "--port", "COM7", "--address", "1", "--count", "0"}, "--count '0'"},
    {{"scan", "--port", "COM7", "--to", "70"}, "--to '70' is not a number from 0 to 63"},
    {{"scan", "--port", "COM7", "--from", "5", "--to", "2"}, "--to 2 comes before --from 5"},
    {{"scan", "--auto", "--port", "COM7", "--from", "1"}, "leave out --from and --protocol"},
};

TEST_F(Usage, BadCommandLinesGiveOneLineAndStatusTwo) {
    startLine("demo.line");
    for (const UsageCase& c : kUsageCases) {
        std::string shown;
        for (const std::string& a : c.args) {
            shown += a + " ";
        }
        const Outcome out = run(c.args);
        EXPECT_EQ(out.exitCode, 2) << shown << out.err;
        EXPECT_EQ(linesOf(out.err).size(), 1U) << shown << out.err;
        EXPECT_EQ(out.err.rfind("linkorctl: ", 0), 0U) << shown << out.err;
        EXPECT_NE(out.err.find(c.says), std::string::npos) << shown << out.err;
        EXPECT_EQ(out.out, "") << shown;
    }
    // Nothing reached a module.
    for (std::size_t i = 0; i < line->description().modules.size(); ++i) {
        EXPECT_EQ(line->moduleAt(i)->commandsHeard, 0) << i;
    }
}

TEST_F(Usage, EverySubcommandHasItsHelp) {
    const char* names[] = {"ports", "types", "protocols", "bauds",   "identity", "message",
                           "send",  "run",   "scan",      "monitor", "doctor"};
    for (const char* name : names) {
        for (const char* form : {"--help", "-h"}) {
            const Outcome out = run({name, form});
            EXPECT_EQ(out.exitCode, 0) << name;
            EXPECT_EQ(out.out.rfind(std::string("Usage: linkorctl ") + name, 0), 0U) << out.out;
            EXPECT_NE(out.out.find("Exit status: 0 success, 1 a module or driver failure, 2 bad "
                                   "usage."),
                      std::string::npos)
                << name;
            EXPECT_EQ(out.err, "") << name;
        }
    }
    // Help is given even where the rest of the line is wrong.
    const Outcome wrong = run({"send", "--baud", "1", "--help"});
    EXPECT_EQ(wrong.exitCode, 0);
    EXPECT_EQ(wrong.out.rfind("Usage: linkorctl send", 0), 0U);

    const Outcome top = run({"--help"});
    EXPECT_EQ(top.exitCode, 0);
    EXPECT_EQ(top.out.rfind("Usage: linkorctl [", 0), 0U) << top.out;
    for (const char* name : names) {
        EXPECT_NE(top.out.find(std::string("\n  ") + name), std::string::npos) << name;
    }
}

TEST_F(Usage, TheDriverIsFoundAsTamsel2FindsItOrTheFailureSaysHowToFixIt) {
    const fs::path elsewhere = root() / "elsewhere";
    fs::create_directories(elsewhere);
    const fs::path config = root() / "xdg";
    fs::create_directories(config / "Korvel");

    ChildOptions o = options();
    o.workingDirectory = elsewhere;
    o.environment["XDG_CONFIG_DIRS"] = "/nonexistent:" + config.string();
    const Outcome none = run({"identity"}, o);
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(linesOf(none.err).size(), 1U) << none.err;
    EXPECT_NE(none.err.find("liblinkor.so is not in the current directory"), std::string::npos)
        << none.err;
    EXPECT_NE(none.err.find("give --driver DIR"), std::string::npos) << none.err;

    // The "localize" value as QSettings writes it.
    std::ofstream(config / "Korvel" / "LINKOR.conf")
        << "[Other]\nlocalize=/nowhere\n[General]\nlocalize=" << driverDir().string() << "\n";
    const Outcome localized = run({"identity"}, o);
    EXPECT_EQ(localized.exitCode, 0) << localized.err;
    EXPECT_EQ(localized.out, "Dll Linkor - Version: 2.7.4 - Date: 10/06/2009\n");

    std::ofstream(config / "Korvel" / "LINKOR.conf")
        << "[General]\nlocalize=" << elsewhere.string() << "\n";
    const Outcome wrongDir = run({"identity"}, o);
    EXPECT_EQ(wrongDir.exitCode, 1);
    EXPECT_NE(wrongDir.err.find("its directory holds no liblinkor.so"), std::string::npos)
        << wrongDir.err;

    const Outcome given = run({"--driver", driverDir().string(), "identity"}, o);
    EXPECT_EQ(given.exitCode, 0) << given.err;
    const Outcome givenWrong = run({"identity", "--driver", elsewhere.string()});
    EXPECT_EQ(givenWrong.exitCode, 1);
    EXPECT_EQ(givenWrong.err, "linkorctl: no line driver in '" + elsewhere.string() +
                                  "' (it holds no liblinkor.so); give the directory of "
                                  "liblinkor.so with --driver DIR\n");
}

} // namespace
} // namespace toolstest
