// The driver's lists and texts, as lines and as JSON objects.
#include "tool_fixture.h"

#include <algorithm>

namespace toolstest {
namespace {

class Lists : public ToolLine {};

struct ListCase {
    std::vector<std::string> args;
    std::string field; ///< the JSON field of each listed name
    std::vector<std::string> expected;
};

const std::vector<std::string> kTriloProtocols{kXon, "ACK-NAK", "CONSOLE.&.TERMINAL"};

const ListCase kCases[] = {
    {{"types"}, "type", {"DVRX", "MICROTRILO", "VRX23", "VRX34", "TRILO", "JBUS"}},
    {{"protocols", "trilo"}, "protocol", kTriloProtocols},
    {{"protocols", "VRX34"}, "protocol", {kXon}},
    {{"bauds", "VRX23"}, "baud", {"9600", "19200", "38400"}},
    {{"bauds", "TRILO", "ack"}, "baud", {"4800", "9600", "19200", "38400", "115200"}},
    {{"bauds", "MICROTRILO", "CONSOLE"}, "baud", {"9600", "19200", "38400", "115200"}},
    {{"bauds", "JBUS", "JBUS-485"},
     "baud",
     {"300", "600", "1200", "2400", "4800", "7200", "9600", "19200", "38400", "57600", "115200"}},
    {{"identity"}, "identity", {"Dll Linkor - Version: 2.7.4 - Date: 10/06/2009"}},
    {{"message", "0x3002"}, "message", {"Default: reception timeout!"}},
    // The driver's French is Windows-1252; the terminal gets UTF-8.
    {{"message", "12290", "--lang", "FR"},
     "message",
     {"D\xC3\xA9"
      "faut: timeout en r\xC3\xA9"
      "ception!"}},
    {{"--lang", "FR", "message", "0x2008"},
     "message",
     {"D\xC3\xA9"
      "faut: absence d'acquittement du message (ACK)!"}},
};

TEST_F(Lists, EachListAsLinesAndAsObjects) {
    for (const ListCase& c : kCases) {
        const std::string name = c.args[0] + (c.args.size() > 1 ? " " + c.args[1] : "");
        const Outcome plain = run(c.args);
        EXPECT_EQ(plain.exitCode, 0) << name << plain.err;
        EXPECT_EQ(linesOf(plain.out), c.expected) << name;
        EXPECT_EQ(plain.err, "") << name;

        std::vector<std::string> jsonArgs = c.args;
        jsonArgs.push_back("--json");
        const Outcome json = run(jsonArgs);
        EXPECT_EQ(json.exitCode, 0) << name << json.err;
        const std::vector<JsonObject> objs = objects(json);
        ASSERT_EQ(objs.size(), c.expected.size()) << name << json.out;
        for (std::size_t i = 0; i < objs.size(); ++i) {
            ASSERT_EQ(objs[i].count(c.field), 1U) << name << json.out;
            EXPECT_EQ(objs[i].at(c.field).text, c.expected[i]) << name;
        }
    }
}

TEST_F(Lists, ObjectsNameTheTargetAndProtocolTheyBelongTo) {
    const Outcome out = run({"bauds", "trilo", "CONSOLE", "--json"});
    ASSERT_EQ(out.exitCode, 0) << out.err;
    for (const JsonObject& o : objects(out)) {
        EXPECT_EQ(o.at("type").text, "TRILO");
        EXPECT_EQ(o.at("protocol").text, "CONSOLE.&.TERMINAL");
    }
    const Outcome code = run({"message", "0x8004", "--json"});
    const auto objs = objects(code);
    ASSERT_EQ(objs.size(), 1U);
    EXPECT_EQ(objs[0].at("code").number(), 0x8004);
    EXPECT_EQ(objs[0].at("code").kind, JsonValue::Kind::Number);
    EXPECT_EQ(objs[0].at("language").text, "US");
}

TEST_F(Lists, EveryTargetWithItsProtocolsWithoutAType) {
    const Outcome out = run({"protocols"});
    ASSERT_EQ(out.exitCode, 0) << out.err;
    const auto lines = linesOf(out.out);
    ASSERT_EQ(lines.size(), 6U) << out.out;
    EXPECT_EQ(lines[4], "TRILO: XON-XOFF.&.XON-EXTENDED ACK-NAK CONSOLE.&.TERMINAL");
    EXPECT_EQ(lines[5], "JBUS: JBUS-232 JBUS-485");

    const auto objs = objects(run({"protocols", "--json"}));
    const auto trilo = std::count_if(
        objs.begin(), objs.end(), [](const JsonObject& o) { return o.at("type").text == "TRILO"; });
    EXPECT_EQ(trilo, 3);
    EXPECT_EQ(objs.size(), 1U + 2 + 1 + 1 + 3 + 2);
}

TEST_F(Lists, PortsAreTheOnesThatCanBeOpenedNow) {
    startLine("demo.line");
    const Outcome with = run({"ports"});
    ASSERT_EQ(with.exitCode, 0) << with.err;
    EXPECT_EQ(linesOf(with.out), std::vector<std::string>{kPort});
    const auto objs = objects(run({"ports", "--json"}));
    ASSERT_EQ(objs.size(), 1U);
    EXPECT_EQ(objs[0].at("port").text, kPort);

    line->stop();
    const Outcome without = run({"ports"});
    ASSERT_EQ(without.exitCode, 0) << without.err;
    EXPECT_EQ(without.out, "");
}

TEST_F(Lists, VerbosePortsTellTheDeviceAndHowItIsDriven) {
    startLine("demo.line");
    const Outcome text = run({"ports", "--verbose"});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    const std::vector<std::string> lines = linesOf(text.out);
    ASSERT_EQ(lines.size(), 1U) << text.out;
    EXPECT_EQ(lines[0].rfind(std::string(kPort) + "  /dev/pts/", 0), 0U) << lines[0];
    EXPECT_NE(lines[0].find(": RTS switched by the driver; pseudo-terminal, nothing to drain"),
              std::string::npos)
        << lines[0];
    const auto objs = objects(run({"ports", "--verbose", "--json"}));
    ASSERT_EQ(objs.size(), 1U);
    EXPECT_EQ(objs[0].at("port").text, kPort);
    EXPECT_EQ(objs[0].at("device").text.rfind("/dev/pts/", 0), 0U);
    EXPECT_EQ(objs[0].at("latency_timer_ms").kind, JsonValue::Kind::Null);
}

} // namespace
} // namespace toolstest
