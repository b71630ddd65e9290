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
    *os << '"';
    for (const char ch : c.line) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x20 || b == 0x7F) {
            *os << "\\x" << std::hex << static_cast<int>(b) << std::dec;
        } else {
            *os << ch;
        }
    }
    *os << '"';
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
                      LineCase{"$syntaxe=AB", {Kind::Send, "$syntaxe=AB"}},
                      LineCase{"03RV\r", {Kind::Send, "03RV\r"}},
                      LineCase{"~ a\rb", {Kind::Show, "~ a\rb"}}));

// Lines whose text the driver would not send as the file shows it: a NUL ends the C string
// the driver is handed, a carriage return ends the frame.
INSTANTIATE_TEST_SUITE_P(
    Refused, CommandLine,
    ::testing::Values(LineCase{std::string("00RV\0junk", 9),
                               {Kind::Refuse, std::string("00RV\0junk", 9), kLineHoldsNul}},
                      LineCase{std::string("01GA\0 5000", 10),
                               {Kind::Refuse, std::string("01GA\0 5000", 10), kLineHoldsNul}},
                      LineCase{std::string("\0", 1),
                               {Kind::Refuse, std::string("\0", 1), kLineHoldsNul}},
                      LineCase{std::string("* comment\0", 10),
                               {Kind::Refuse, std::string("* comment\0", 10), kLineHoldsNul}},
                      LineCase{"01RV\r02RV", {Kind::Refuse, "01RV\r02RV", kLineInnerReturn}},
                      LineCase{"\r01GA 5000", {Kind::Refuse, "\r01GA 5000", kLineInnerReturn}}));

// Lines that look like text but hold nothing the driver would send: skipped, with a note.
INSTANTIATE_TEST_SUITE_P(
    ControlsOnly, CommandLine,
    ::testing::Values(LineCase{"\r", {Kind::Skip, "\r", kLineControlsOnly}},
                      LineCase{"\x01\x02", {Kind::Skip, "\x01\x02", kLineControlsOnly}},
                      LineCase{" \x1b \x7f ; x", {Kind::Skip, "\x1b \x7f", kLineControlsOnly}}));

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
