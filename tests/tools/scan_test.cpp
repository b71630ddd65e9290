// Finding the modules of a line: identities decoded by the catalogue, at one setting and
// with the automatic sweep.
#include "modtyp.h"
#include "tool_fixture.h"

#include <csignal>
#include <map>

namespace toolstest {
namespace {

using kvsim::Family;

class Scan : public ToolLine {};

struct Expected {
    std::string type;
    std::string target;
    std::string serial;
    std::string setting;
};

/// The tool's address of a module: VRX23/VRX34 frame digits read as the two digits.
int toolAddress(const kvsim::ModuleSetup& m) {
    if (m.family == Family::Vrx23 || m.family == Family::Vrx34) {
        return (m.address >> 4) * 10 + (m.address & 0x0F);
    }
    return m.address;
}

bool carriesSerial(std::uint16_t code) {
    const int family = code >> 8;
    return family == 0x10 || family == 0x30 || family == 0x40 || family == 0x50 || family == 0x60 ||
           (family == 0x04 && (code & 0x08) != 0);
}

/// What a scan at 9600 baud in the XON mode must report, from the line's own description.
std::map<int, Expected> expectedModules(const kvsim::LineDescription& d, bool framesAsVrx23) {
    std::map<int, Expected> out;
    for (const kvsim::ModuleSetup& m : d.modules) {
        if (m.family == Family::Jbus || m.protocol != kvsim::Protocol::Xon || m.baud != 9600) {
            continue;
        }
        char name[32] = "";
        char target[32] = "";
        GetTypeName(m.typeCode, name);
        GetTargetName(m.typeCode, target);
        const bool frames = m.family == Family::Vrx23 || m.family == Family::Vrx34;
        const std::string lineTarget = frames && framesAsVrx23 ? "VRX23" : "TRILO";
        out[toolAddress(m)] = {name, target,
                               carriesSerial(m.typeCode) ? std::to_string(m.serial) : "",
                               lineTarget + " COM7 " + kXon + " 9600"};
    }
    return out;
}

void expectFound(const std::vector<JsonObject>& objs, const std::map<int, Expected>& expected) {
    std::map<int, JsonObject> found;
    for (const JsonObject& o : objs) {
        EXPECT_EQ(found.count(static_cast<int>(o.at("address").number())), 0U);
        found[static_cast<int>(o.at("address").number())] = o;
    }
    ASSERT_EQ(found.size(), expected.size());
    for (const auto& [address, e] : expected) {
        ASSERT_EQ(found.count(address), 1U) << "module " << address << " not found";
        const JsonObject& o = found.at(address);
        EXPECT_EQ(o.at("type").text, e.type) << address;
        EXPECT_EQ(o.at("target").text, e.target) << address;
        EXPECT_EQ(o.at("serial").text, e.serial) << address;
        EXPECT_EQ(o.at("setting").text, e.setting) << address;
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02d", address);
        EXPECT_EQ(o.at("reply").text.rfind(digits, 0), 0U) << o.at("reply").text;
    }
}

TEST_F(Scan, TheAutomaticSweepFindsTheDemoLinesModulesWithTheirTypes) {
    startLine("demo.line");
    const Outcome out = run({"scan", "--auto", "--port", kPort, "--json"});
    ASSERT_EQ(out.exitCode, 0) << out.err;
    const auto objs = objects(out);
    const auto expected = expectedModules(line->description(), true);
    // The demo line holds one module of each KV family at the sweep's setting.
    ASSERT_EQ(expected.size(), 6U);
    expectFound(objs, expected);
    // Found in the order of their addresses; the progress stays off a pipe.
    for (std::size_t i = 1; i < objs.size(); ++i) {
        EXPECT_LT(objs[i - 1].at("address").number(), objs[i].at("address").number());
    }
    EXPECT_EQ(out.err, "");
}

TEST_F(Scan, TheAutomaticSweepTellsTheSettingItFoundAndEachModuleOnALine) {
    startLine("demo.line");
    const Outcome out = run({"scan", "--auto", "--port", kPort, "--to", "3"});
    ASSERT_EQ(out.exitCode, 0) << out.err;
    const auto lines = linesOf(out.out);
    ASSERT_EQ(lines.size(), 5U) << out.out;
    EXPECT_EQ(lines[0], std::string("line setting: TRILO COM7 ") + kXon + " 9600");
    EXPECT_EQ(lines[1].substr(0, 4), "00  ");
    EXPECT_NE(lines[1].find("KB01 v40"), std::string::npos) << lines[1];
    EXPECT_NE(lines[4].find("DVRX"), std::string::npos) << lines[4];
    EXPECT_NE(lines[4].find("1004"), std::string::npos) << lines[4];
}

TEST_F(Scan, AddressesAtOneSetting) {
    startLine("demo.line");
    struct Case {
        std::vector<std::string> args;
        std::vector<int> addresses;
    };
    const Case cases[] = {
        {{"--from", "0", "--to", "12"}, {0, 1, 2, 3}},
        {{"--from", "2", "--to", "3"}, {2, 3}},
        {{"--target", "VRX23", "--from", "3", "--to", "6"}, {4, 5}},
    };
    const auto all = expectedModules(line->description(), false);
    const auto frames = expectedModules(line->description(), true);
    for (const Case& c : cases) {
        std::vector<std::string> args{"scan", "--json", "--port", kPort};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const Outcome out = run(args);
        ASSERT_EQ(out.exitCode, 0) << out.err;
        std::map<int, Expected> expected;
        const bool vrx = c.args[0] == "--target";
        for (int a : c.addresses) {
            expected[a] = (vrx ? frames : all).at(a);
        }
        expectFound(objects(out), expected);
    }
}

TEST_F(Scan, TheConsoleModuleIsFoundAtItsOwnSetting) {
    startLine("demo.line");
    const Outcome out = run({"scan", "--json", "--port", kPort, "--protocol", "console", "--baud",
                             "19200", "--from", "10", "--to", "10"});
    ASSERT_EQ(out.exitCode, 0) << out.err;
    const auto objs = objects(out);
    ASSERT_EQ(objs.size(), 1U) << out.out;
    EXPECT_EQ(objs[0].at("type").text, "KC01 v80");
    EXPECT_EQ(objs[0].at("serial").text, "1007");
    EXPECT_EQ(objs[0].at("code").number(), 0x0409);
}

TEST_F(Scan, NothingAnsweringIsALineFailure) {
    startLine("empty.line");
    const Outcome range = run({"scan", "--port", kPort, "--to", "3"});
    EXPECT_EQ(range.exitCode, 1);
    EXPECT_EQ(range.err, "linkorctl: no module answered at addresses 00 to 03\n");
    EXPECT_EQ(range.out, "");

    const Outcome sweep = run({"scan", "--auto", "--port", kPort});
    EXPECT_EQ(sweep.exitCode, 1);
    EXPECT_EQ(sweep.err, "linkorctl: module 00 not found with any target, protocol and baud rate "
                         "on COM7; check the cable and the power supply, or the port\n");
}

TEST_F(Scan, AnAbsentPortEndsTheScanAtOnce) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"scan", "--port", "COM8"},
          std::vector<std::string>{"scan", "--auto", "--port", "COM8"}}) {
        const Outcome out = run(args);
        EXPECT_EQ(out.exitCode, 1);
        EXPECT_EQ(out.err, "linkorctl: port COM8 cannot be opened: no such device: " +
                               (portsDir() / "COM8").string() +
                               " does not exist; the driver can use no port\n");
    }
}

TEST_F(Scan, APortThatGoesAwayHalfWayIsLostNotAShortList) {
    // Stopped once the first modules are in: the silent addresses that follow take a
    // reception time-out each, so the scan is still asking when the line goes.
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::size_t linesFirst; ///< output lines that show the scan under way
    };
    const Case cases[] = {
        {"one setting", {"scan", "--port", kPort}, 2},
        {"automatic", {"scan", "--auto", "--port", kPort}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        startLine("demo.line");
        Child child(program(), c.args, options());
        const std::size_t first = c.linesFirst;
        ASSERT_TRUE(child.waitOutput(
            [first](const Outcome& o) { return linesOf(o.out).size() >= first; }, kRunLimit));
        line->stop();
        const Outcome out = child.finish();
        EXPECT_FALSE(out.timedOut);
        EXPECT_EQ(out.exitCode, 1) << out.out;
        EXPECT_EQ(out.err, "linkorctl: port COM7 lost\n");
        // What was found before stays printed; the frame modules at 04 and 05 were never
        // reached.
        EXPECT_GE(linesOf(out.out).size(), first);
        EXPECT_EQ(out.out.find("VRX34"), std::string::npos) << out.out;
    }
}

TEST_F(Scan, ProgressGoesToATerminalOnly) {
    startLine("demo.line");
    ChildOptions o = options();
    o.stderrTerminal = true;
    const Outcome out = run({"scan", "--port", kPort, "--to", "2"}, o);
    ASSERT_EQ(out.exitCode, 0) << out.err;
    EXPECT_NE(out.err.find("\r\033[Kaddress 01 (0 to 2) TRILO COM7"), std::string::npos) << out.err;
    // The line is clean again before the program ends.
    EXPECT_EQ(out.err.substr(out.err.size() - 4), "\r\033[K") << out.err;
    EXPECT_EQ(linesOf(out.out).size(), 3U) << out.out;
}

TEST_F(Scan, CtrlCStopsTheSweepBeforeItsNextProbe) {
    startLine("empty.line");
    ChildOptions o = options();
    // The progress on a terminal tells that the sweep has begun.
    o.stderrTerminal = true;
    Child child(program(), {"scan", "--auto", "--port", kPort}, o);
    ASSERT_TRUE(child.waitOutput(
        [](const Outcome& so_far) { return so_far.err.find("[2/") != std::string::npos; },
        kRunLimit));
    child.signal(SIGINT);
    const Outcome out = child.finish();
    EXPECT_EQ(out.exitCode, 1);
    EXPECT_NE(out.err.find("linkorctl: scan stopped by the user"), std::string::npos) << out.err;
    // Stopped well before the last of the combinations.
    EXPECT_EQ(out.err.find("[40/"), std::string::npos) << out.err;
}

} // namespace
} // namespace toolstest
