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
