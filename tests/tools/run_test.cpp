// Command files: the line rules, shown lines, and the stop at the first failure.
#include "tool_fixture.h"

#include <fstream>

namespace toolstest {
namespace {

class RunFile : public ToolLine {
  protected:
    void SetUp() override { startLine("demo.line"); }

    fs::path writeFile(const std::string& name, const std::string& text) {
        const fs::path p = root() / name;
        std::ofstream(p, std::ios::binary) << text;
        return p;
    }

    std::string identityReply(int address) const {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02d", address);
        return digits + line->module(address)->identity;
    }

    Outcome runFile(const fs::path& file, std::vector<std::string> more = {}) const {
        std::vector<std::string> args{"run", file.string(), "--port", kPort};
        args.insert(args.end(), more.begin(), more.end());
        return run(args);
    }
};

const std::string kFile = "* a comment line\n"
                          "; another one\n"
                          "00RV ; the TRILO\n"
                          "\n"
                          "~ now the others\n"
                          "\t01RV\t\r\n"
                          "09RV\n"
                          "02RV\n";

TEST_F(RunFile, SendsTheLinesThatAreCommandsAndShowsTheTildeLines) {
    const fs::path f = writeFile("good.cmd", "* header\n00RV ; first\n~ shown\n\t03RV\n");
    const Outcome out = runFile(f);
    ASSERT_EQ(out.exitCode, 0) << out.err;
    EXPECT_EQ(linesOf(out.out), (std::vector<std::string>{"00RV -> " + identityReply(0), "~ shown",
                                                          "03RV -> " + identityReply(3)}));
    EXPECT_EQ(out.err, "");
}

TEST_F(RunFile, StopsAtTheFirstFailureWithItsLineNumber) {
    const fs::path f = writeFile("failing.cmd", kFile);
    const int heard2 = line->module(2)->commandsHeard;
    const Outcome out = runFile(f);
    EXPECT_EQ(out.exitCode, 1);
    EXPECT_EQ(out.err, "linkorctl: " + f.string() + ":7: 09RV: Default: reception timeout!\n");
    EXPECT_EQ(linesOf(out.out),
              (std::vector<std::string>{"00RV -> " + identityReply(0), "~ now the others",
                                        "01RV -> " + identityReply(1)}));
    EXPECT_EQ(line->module(2)->commandsHeard, heard2) << "a line after the failure was sent";
}

TEST_F(RunFile, GoesOnWhenToldAndGivesOneObjectPerLineInJson) {
    const fs::path f = writeFile("failing.cmd", kFile);
    const Outcome out = runFile(f, {"--keep-going", "--json"});
    EXPECT_EQ(out.exitCode, 1);
    const auto objs = objects(out);
    ASSERT_EQ(objs.size(), 5U) << out.out;
    struct Expected {
        long long line;
        const char* command; ///< nullptr: a shown line
        bool ok;
    };
    const Expected expected[] = {{3, "00RV", true},
                                 {5, nullptr, true},
                                 {6, "01RV", true},
                                 {7, "09RV", false},
                                 {8, "02RV", true}};
    for (std::size_t i = 0; i < objs.size(); ++i) {
        const JsonObject& o = objs[i];
        EXPECT_EQ(o.at("line").number(), expected[i].line);
        if (expected[i].command == nullptr) {
            EXPECT_EQ(o.at("shown").text, "~ now the others");
            continue;
        }
        EXPECT_EQ(o.at("command").text, expected[i].command);
        EXPECT_EQ(o.at("ok").text, expected[i].ok ? "true" : "false");
        if (expected[i].ok) {
            const int address = std::stoi(std::string(expected[i].command).substr(0, 2));
            EXPECT_EQ(o.at("reply").text, identityReply(address));
        } else {
            EXPECT_EQ(o.at("message").text, "Default: reception timeout!");
        }
    }
}

TEST_F(RunFile, LinesTheDriverWouldCutShortAreRefusedWithTheirLineNumber) {
    // The driver takes a C string and ends a frame at a carriage return: each of these would
    // put another command on the wire than the one the file shows.
    struct Case {
        const char* name;
        std::string bad;
        std::string shown;
        std::string why;
    };
    const Case cases[] = {
        {"NUL and junk", std::string("00RV\0junk", 9), "00RV\\x00junk",
         "the line holds a NUL byte"},
        {"NUL before the argument", std::string("01GA\0 5000", 10), "01GA\\x00 5000",
         "the line holds a NUL byte"},
        {"carriage return inside", "01RV\r02RV", "01RV\\x0D02RV",
         "the line holds a carriage return before its end"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path f = writeFile("cut.cmd", "00RV\n" + c.bad + "\n03RV\n");
        const int heard1 = line->module(1)->commandsHeard;
        const int heard3 = line->module(3)->commandsHeard;
        const Outcome out = runFile(f);
        EXPECT_EQ(out.exitCode, 1);
        EXPECT_EQ(out.err,
                  "linkorctl: " + f.string() + ":2: " + c.shown + ": " + c.why + ": not sent\n");
        EXPECT_EQ(linesOf(out.out), std::vector<std::string>{"00RV -> " + identityReply(0)});
        EXPECT_EQ(line->module(1)->commandsHeard, heard1) << "a part of the line was sent";
        EXPECT_EQ(line->module(3)->commandsHeard, heard3) << "the run went on";

        const Outcome goesOn = runFile(f, {"--keep-going", "--json"});
        EXPECT_EQ(goesOn.exitCode, 1);
        const auto objs = objects(goesOn);
        ASSERT_EQ(objs.size(), 3U) << goesOn.out;
        EXPECT_EQ(objs[1].at("line").number(), 2);
        EXPECT_EQ(objs[1].at("ok").text, "false");
        EXPECT_EQ(objs[1].at("command").text, c.bad);
        EXPECT_EQ(objs[1].at("message").text, c.why + ": not sent");
        EXPECT_EQ(objs[2].at("reply").text, identityReply(3));
        EXPECT_EQ(line->module(1)->commandsHeard, heard1);
    }
}

TEST_F(RunFile, LinesOfControlCharactersOnlyAreToldAsSkipped) {
    // "\r\r\n" leaves a lone carriage return once the line end is taken off.
    const fs::path f = writeFile("controls.cmd", "00RV\n\x01\x02\n\r\r\n \x1b ; esc\n03RV\n");
    line->clearLog();
    const Outcome out = runFile(f);
    ASSERT_EQ(out.exitCode, 0) << out.err;
    const std::string skipped = " skipped: the line holds only control characters";
    EXPECT_EQ(linesOf(out.out),
              (std::vector<std::string>{"00RV -> " + identityReply(0), "line 2" + skipped,
                                        "line 3" + skipped, "line 4" + skipped,
                                        "03RV -> " + identityReply(3)}));
    EXPECT_EQ(out.err, "");
    for (const kvsim::LogEntry& e : line->log()) {
        if (e.direction == kvsim::Direction::ToModules) {
            EXPECT_NE(e.byte, 0x01);
            EXPECT_NE(e.byte, 0x1B);
        }
    }

    const Outcome json = runFile(f, {"--json"});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    const auto objs = objects(json);
    ASSERT_EQ(objs.size(), 5U) << json.out;
    EXPECT_EQ(objs[1].at("line").number(), 2);
    EXPECT_EQ(objs[1].at("skipped").text, "the line holds only control characters");
    EXPECT_EQ(objs[1].count("ok"), 0U);
}

TEST_F(RunFile, AFileThatCannotBeReadIsAUsageError) {
    const Outcome missing = runFile(root() / "nowhere.cmd");
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_NE(missing.err.find("cannot read the command file"), std::string::npos) << missing.err;
    const Outcome directory = runFile(root());
    EXPECT_EQ(directory.exitCode, 2);
    EXPECT_EQ(line->module(0)->commandsHeard, 0);
}

} // namespace
} // namespace toolstest
