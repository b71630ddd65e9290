// Command files: what sending each line does, and saving one without loss.

#include "fixture.h"
#include "project/command_file.h"
#include "project/file_io.h"

#include <gtest/gtest.h>

namespace {

using namespace tamsel::project;
using namespace project_test;
using Kind = CommandFileLine::Kind;

struct LineCase {
    std::string line;
    CommandFileLine result;
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << '"' << c.line << '"';
}

class CommandLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(CommandLine, IsSkippedShownOrSent) {
    EXPECT_EQ(commandFileLine(GetParam().line), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CommandLine,
    ::testing::Values(LineCase{"", {}}, LineCase{"* a comment", {}}, LineCase{"; a comment", {}},
                      LineCase{"   ; only a comment", {}}, LineCase{" \t ", {}},
                      LineCase{"03RV", {Kind::Send, "03RV"}},
                      LineCase{"03RV ; version", {Kind::Send, "03RV"}},
                      LineCase{"\t03PR\t1000 ", {Kind::Send, "03PR 1000"}},
                      LineCase{" 03RV", {Kind::Send, "03RV"}},
                      LineCase{"03PR 5 (kept: only the terminal cuts this)",
                               {Kind::Send, "03PR 5 (kept: only the terminal cuts this)"}},
                      LineCase{"~ wait for the motor", {Kind::Show, "~ wait for the motor"}},
                      LineCase{"$syntaxe=AB", {Kind::Send, "$syntaxe=AB"}}));

TEST(CommandFile, SavedBytesStayAsTheyAre) {
    ScratchDir dir;
    const std::string bytes = "03RV\r\n; caf\xe9\r\n~ \x80 done\r\nno end";
    std::string error;
    ASSERT_TRUE(saveCommandFile(dir / "run.CMT", bytes, error)) << error;
    EXPECT_EQ(readBytes(dir / "run.CMT"), bytes);
    EXPECT_FALSE(fs::exists(dir / "run.CMT.tmp"));
    EXPECT_EQ(commandFileLines(bytes),
              (std::vector<std::string>{"03RV", "; caf\xe9", "~ \x80 done", "no end"}));
    EXPECT_EQ(kCommandFileFilter, "*.CMT;*.CMD");
}

} // namespace
