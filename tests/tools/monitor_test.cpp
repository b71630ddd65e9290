// A module's status over time: the family's reads, the three output forms, the stops.
#include "tool_fixture.h"

#include <cctype>
#include <csignal>

namespace toolstest {
namespace {

class Monitor : public ToolLine {
  protected:
    void SetUp() override { startLine("demo.line"); }

    static std::vector<std::string> monitor(int address, std::vector<std::string> more,
                                            const char* target = "TRILO") {
        std::vector<std::string> args{
            "monitor", "--port", kPort, "--target", target, "--address", std::to_string(address)};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }
};

/// Local time with milliseconds and the zone's offset: 'D' a digit, 'S' a sign.
bool isTimeStamp(const std::string& t) {
    const std::string shape = "DDDD-DD-DDTDD:DD:DD.DDDSDDDD";
    if (t.size() != shape.size()) {
        return false;
    }
    for (std::size_t i = 0; i < t.size(); ++i) {
        const bool ok = shape[i] == 'D'   ? std::isdigit(static_cast<unsigned char>(t[i])) != 0
                        : shape[i] == 'S' ? t[i] == '+' || t[i] == '-'
                                          : t[i] == shape[i];
        if (!ok) {
            return false;
        }
    }
    return true;
}

/// The time stamp of a line, and the rest after the separator.
std::pair<std::string, std::string> splitStamp(const std::string& l, const std::string& sep) {
    const std::size_t at = l.find(sep);
    if (at == std::string::npos) {
        return {l, ""};
    }
    return {l.substr(0, at), l.substr(at + sep.size())};
}

TEST_F(Monitor, EachFamilyReportsTheInputsTheModuleHas) {
    struct Case {
        int address;
        const char* target;
        std::uint32_t inputs;
    };
    const Case cases[] = {{1, "TRILO", 0x0A}, {2, "TRILO", 0x03}, {3, "TRILO", 0x06}};
    for (const Case& c : cases) {
        ASSERT_TRUE(line->setInputs(c.address, c.inputs));
        const Outcome out =
            run(monitor(c.address, {"--count", "2", "--interval", "50", "--json"}, c.target));
        ASSERT_EQ(out.exitCode, 0) << c.address << out.err;
        const auto objs = objects(out);
        ASSERT_EQ(objs.size(), 2U) << out.out;
        const auto m = line->module(c.address);
        for (const JsonObject& o : objs) {
            EXPECT_TRUE(isTimeStamp(o.at("time").text)) << o.at("time").text;
            EXPECT_EQ(o.at("address").number(), c.address);
            EXPECT_EQ(o.at("inputs").number(), static_cast<long long>(c.inputs)) << c.address;
            EXPECT_EQ(o.at("position").number(), m->position) << c.address;
            EXPECT_EQ(o.at("power").text, m->power ? "true" : "false") << c.address;
            EXPECT_EQ(o.at("moving").text, "false");
        }
    }
}

TEST_F(Monitor, LinesAndCsvCarryTheSameFields) {
    ASSERT_TRUE(line->setInputs(2, 0x05));
    const Outcome plain = run(monitor(2, {"--count", "3", "--interval", "20"}));
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    const auto lines = linesOf(plain.out);
    ASSERT_EQ(lines.size(), 3U) << plain.out;
    for (const std::string& l : lines) {
        const auto [stamp, rest] = splitStamp(l, "  ");
        EXPECT_TRUE(isTimeStamp(stamp)) << l;
        EXPECT_EQ(rest, "position 0  power on  moving no  inputs 0x05  outputs 0x00  error 0");
    }

    const Outcome csv = run(monitor(2, {"--count", "2", "--interval", "20", "--csv"}));
    ASSERT_EQ(csv.exitCode, 0) << csv.err;
    const auto rows = linesOf(csv.out);
    ASSERT_EQ(rows.size(), 3U) << csv.out;
    EXPECT_EQ(rows[0], "time,position,power,moving,inputs,outputs,error");
    for (const std::string& r : {rows[1], rows[2]}) {
        const auto [stamp, rest] = splitStamp(r, ",");
        EXPECT_TRUE(isTimeStamp(stamp)) << r;
        EXPECT_EQ(rest, "0,1,0,5,0,0");
    }
}

TEST_F(Monitor, AGivenTypeSkipsTheIdentityRead) {
    const int before = line->module(2)->commandsHeard;
    const Outcome out = run(monitor(2, {"--type", "uVRX17", "--count", "1"}));
    ASSERT_EQ(out.exitCode, 0) << out.err;
    EXPECT_EQ(linesOf(out.out).size(), 1U);
    const int byName = line->module(2)->commandsHeard - before;
    const Outcome byCode = run(monitor(2, {"--type", "0x5000", "--count", "1"}));
    ASSERT_EQ(byCode.exitCode, 0) << byCode.err;
    EXPECT_EQ(line->module(2)->commandsHeard - before, 2 * byName);
    const Outcome asked = run(monitor(2, {"--count", "1"}));
    ASSERT_EQ(asked.exitCode, 0) << asked.err;
    // The identity read is the one exchange more.
    EXPECT_EQ(line->module(2)->commandsHeard - before, 3 * byName + 1);
}

TEST_F(Monitor, FrameModulesAreReadWithTheirSubReads) {
    const Outcome out = run(monitor(4, {"--count", "1", "--json"}, "VRX23"));
    ASSERT_EQ(out.exitCode, 0) << out.err;
    const auto objs = objects(out);
    ASSERT_EQ(objs.size(), 1U);
    EXPECT_EQ(objs[0].at("position").number(), line->module(4)->position);
}

TEST_F(Monitor, CtrlCEndsItBetweenTwoReads) {
    Child child(program(), monitor(0, {"--interval", "50"}), options());
    ASSERT_TRUE(child.waitOutput(
        [](const Outcome& so_far) { return linesOf(so_far.out).size() >= 2; }, kRunLimit));
    child.signal(SIGINT);
    const Outcome out = child.finish();
    EXPECT_EQ(out.exitCode, 0) << out.err;
    EXPECT_FALSE(out.timedOut);
    EXPECT_EQ(out.err, "");
    // Every line is whole: the read in progress was finished, not cut.
    for (const std::string& l : linesOf(out.out)) {
        EXPECT_NE(l.find("error 0"), std::string::npos) << l;
    }
}

TEST_F(Monitor, ASilentModuleIsALineFailure) {
    const Outcome absent = run(monitor(9, {"--count", "1"}));
    EXPECT_EQ(absent.exitCode, 1);
    EXPECT_EQ(absent.err, "linkorctl: module 09 does not tell its identity: Default: reception "
                          "timeout! (status 0x3002)\n");

    // Reads that fail stop the monitor unless it is told to go on.
    kvsim::FaultSetup silent;
    silent.kind = kvsim::FaultKind::Silent;
    ASSERT_TRUE(line->setFault(2, silent));
    const Outcome stops = run(monitor(2, {"--type", "0x5000", "--count", "3", "--interval", "10"}));
    EXPECT_EQ(stops.exitCode, 1);
    EXPECT_EQ(linesOf(stops.err).size(), 1U) << stops.err;
    EXPECT_NE(stops.err.find("module 02: Default: reception timeout! (status 0x3002)"),
              std::string::npos)
        << stops.err;

    const Outcome goesOn =
        run(monitor(2, {"--type", "0x5000", "--count", "3", "--interval", "10", "--keep-going"}));
    EXPECT_EQ(goesOn.exitCode, 1);
    EXPECT_EQ(linesOf(goesOn.err).size(), 3U) << goesOn.err;
}

TEST_F(Monitor, FrameFamiliesTellThePowerAsUnknownInEachForm) {
    // Their status replies carry no power flag: "off" would be a guess, and a wrong one for
    // a module whose motor is powered.
    struct Case {
        int address;
        const char* target;
    };
    for (const Case c : {Case{4, "VRX23"}, Case{5, "VRX34"}}) {
        SCOPED_TRACE(c.target);
        const Outcome json = run(monitor(c.address, {"--count", "1", "--json"}, c.target));
        ASSERT_EQ(json.exitCode, 0) << json.err;
        const auto objs = objects(json);
        ASSERT_EQ(objs.size(), 1U) << json.out;
        EXPECT_EQ(objs[0].at("power").kind, JsonValue::Kind::Null) << json.out;
        EXPECT_EQ(objs[0].at("position").number(), line->module(c.address)->position);

        const Outcome csv = run(monitor(c.address, {"--count", "1", "--csv"}, c.target));
        ASSERT_EQ(csv.exitCode, 0) << csv.err;
        const auto rows = linesOf(csv.out);
        ASSERT_EQ(rows.size(), 2U) << csv.out;
        const auto [stamp, rest] = splitStamp(rows[1], ",");
        EXPECT_TRUE(isTimeStamp(stamp)) << rows[1];
        EXPECT_EQ(rest.rfind(std::to_string(line->module(c.address)->position) + ",,", 0), 0U)
            << rows[1];

        const Outcome plain = run(monitor(c.address, {"--count", "1"}, c.target));
        ASSERT_EQ(plain.exitCode, 0) << plain.err;
        EXPECT_NE(plain.out.find("  power ?  moving "), std::string::npos) << plain.out;
    }
    // A family whose reply tells the power still says it.
    const Outcome known = run(monitor(2, {"--count", "1", "--json"}));
    ASSERT_EQ(known.exitCode, 0) << known.err;
    const auto objs = objects(known);
    ASSERT_EQ(objs.size(), 1U);
    EXPECT_EQ(objs[0].at("power").kind, JsonValue::Kind::Boolean);
}

// A read a module has just answered is printed; the next one comes an interval later, so a
// line stopped as soon as a read is seen goes away between two reads.
constexpr const char* kLongInterval = "2000";

bool hasReads(const Outcome& so_far, std::size_t n) {
    return linesOf(so_far.out).size() >= n;
}

TEST_F(Monitor, APortThatGoesAwayEndsItAsLost) {
    for (const char* form : {"--csv", "--json"}) {
        SCOPED_TRACE(form);
        if (!line->running()) {
            startLine("demo.line");
        }
        Child child(program(), monitor(2, {"--interval", kLongInterval, form}), options());
        ASSERT_TRUE(child.waitOutput([](const Outcome& o) { return hasReads(o, 2); }, kRunLimit));
        line->stop();
        const Outcome out = child.finish();
        EXPECT_FALSE(out.timedOut);
        EXPECT_EQ(out.exitCode, 1);
        EXPECT_EQ(out.err, "linkorctl: port COM7 lost\n");
    }
}

TEST_F(Monitor, KeepGoingOpensThePortAgainWhenItReturns) {
    Child child(program(), monitor(2, {"--interval", "100", "--json", "--keep-going"}), options());
    ASSERT_TRUE(child.waitOutput([](const Outcome& o) { return hasReads(o, 1); }, kRunLimit));
    line->stop();
    std::size_t readsBefore = 0;
    ASSERT_TRUE(child.waitOutput(
        [&readsBefore](const Outcome& o) {
            readsBefore = linesOf(o.out).size();
            return o.err.find("port COM7 lost; opening it again when it returns") !=
                   std::string::npos;
        },
        kRunLimit));
    // A new line under the same port name, as an adapter plugged in again.
    startLine("demo.line");
    ASSERT_TRUE(child.waitOutput(
        [readsBefore](const Outcome& o) {
            return o.err.find("port COM7 is back: reading again") != std::string::npos &&
                   hasReads(o, readsBefore + 2);
        },
        kRunLimit));
    child.signal(SIGINT);
    const Outcome out = child.finish();
    EXPECT_FALSE(out.timedOut);
    // Failures were met on the way: the status says so.
    EXPECT_EQ(out.exitCode, 1);
    EXPECT_GT(line->module(2)->commandsHeard, 0) << "the new line heard no read";
    const auto objs = objects(out);
    ASSERT_GE(objs.size(), readsBefore + 2);
    for (const JsonObject& o : objs) {
        EXPECT_EQ(o.at("inputs").number(), 5);
    }
    // Told once, and no failed read while the port was away.
    const std::string lost = "port COM7 lost; opening it again";
    const std::size_t at = out.err.find(lost);
    ASSERT_NE(at, std::string::npos) << out.err;
    EXPECT_EQ(out.err.find(lost, at + 1), std::string::npos) << out.err;
    EXPECT_EQ(out.err.find("module 02:", at), std::string::npos) << out.err;
    EXPECT_EQ(out.err.find("command emission"), std::string::npos) << out.err;
}

} // namespace
} // namespace toolstest
