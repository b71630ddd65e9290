// Files that are not a project, or not a glossary: emptied, cut short, overwritten with
// other data. None of them may load, and none may take the place of the ".bak" copy of
// the last project that did.

#include "fixture.h"
#include "project/file_check.h"
#include "project/project.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace {

using namespace tamsel::project;
using namespace project_test;

std::string shippedTemplate() {
    return readBytes(shipped(kTemplateProject));
}

/// The template up to (not including) the first occurrence of @p mark.
std::string templateCutBefore(std::string_view mark) {
    const std::string whole = shippedTemplate();
    const auto at = whole.find(mark);
    EXPECT_NE(at, std::string::npos) << mark;
    return whole.substr(0, at);
}

std::string randomBytes(std::size_t n, uint32_t seed) {
    std::string out;
    for (std::size_t i = 0; i < n; ++i) {
        seed = seed * 1103515245u + 12345u;
        out += static_cast<char>(seed >> 16);
    }
    return out;
}

struct BadFile {
    const char* name;
    std::string bytes;
    int line;           ///< the line the refusal names
    const char* reason; ///< part of the reason given
};

void PrintTo(const BadFile& c, std::ostream* os) {
    *os << c.name;
}

std::vector<BadFile> badProjects() {
    std::string utf16;
    for (const char c : shippedTemplate()) {
        utf16 += c;
        utf16 += '\0';
    }
    return {
        {"empty", "", 1, "the file is empty"},
        {"blank lines only", "\n  \r\n\t\n", 1, "the file is empty"},
        {"cut after 150 bytes", shippedTemplate().substr(0, 150), 2,
         "the file ends without a [CONFIGURATION] section"},
        {"cut inside a line of [CONFIGURATION]", templateCutBefore("M1\n") + "M", 9,
         "the file ends inside the [CONFIGURATION] section of line 7"},
        {"cut after the [CONFIGURATION] header", templateCutBefore("Target"), 7,
         "the file ends inside the [CONFIGURATION] section of line 7"},
        {"cut inside [TM2_SETUP]", templateCutBefore("SwV3"), 20,
         "the file ends inside the [TM2_SETUP] section of line 13"},
        {"random bytes", randomBytes(4096, 7), 0, "is not text"},
        {"written as UTF-16", utf16, 1, "byte 0x00 is not text"},
        {"text without any section", "just some text\nwith no section = at all\n", 2,
         "the file ends without a [CONFIGURATION] section"},
    };
}

class RefusedProject : public ::testing::TestWithParam<BadFile> {
  protected:
    void SetUp() override {
        writeBytes(dir / "p.ktp", good);
        const LoadReport first = project.open("p.ktp", host, dir.path());
        ASSERT_TRUE(first.opened) << first.error;
        ASSERT_TRUE(first.backupWritten);
        ASSERT_EQ(readBytes(dir / "p.bak"), good);
    }
    ScratchDir dir;
    RecordingHost host;
    TKV_Project project;
    const std::string good = readBytes(fixture("full.ktp"));
};

TEST_P(RefusedProject, DoesNotLoadAndLeavesTheBackupAsItWas) {
    const BadFile& bad = GetParam();
    writeBytes(dir / "p.ktp", bad.bytes);
    const LoadReport report = project.open("p.ktp", host, dir.path());
    EXPECT_FALSE(report.opened);
    EXPECT_FALSE(report.backupWritten);
    EXPECT_EQ(readBytes(dir / "p.bak"), good) << "the copy of the good project was replaced";
    EXPECT_EQ(readBytes(dir / "p.ktp"), bad.bytes) << "a refused file is never rewritten";

    // The refusal names the file, the line and what is wrong there.
    EXPECT_NE(report.error.find((dir / "p.ktp").string()), std::string::npos) << report.error;
    EXPECT_NE(report.error.find(bad.reason), std::string::npos) << report.error;
    if (bad.line > 0) {
        EXPECT_EQ(report.problemLine, bad.line) << report.error;
    } else {
        EXPECT_GE(report.problemLine, 1);
    }
    EXPECT_NE(report.error.find("not valid at line " + std::to_string(report.problemLine)),
              std::string::npos)
        << report.error;

    // Nothing is loaded any more, so nothing can be written over the refused file.
    EXPECT_FALSE(project.loaded());
    EXPECT_TRUE(project.path().empty());
    ASSERT_TRUE(project.setPort("COM3"));
    EXPECT_EQ(project.save().status, SaveStatus::NoProject);
    EXPECT_EQ(readBytes(dir / "p.ktp"), bad.bytes);
}

INSTANTIATE_TEST_SUITE_P(Files, RefusedProject, ::testing::ValuesIn(badProjects()),
                         [](const ::testing::TestParamInfo<BadFile>& param) {
                             std::string name = param.param.name;
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c))) {
                                     c = '_';
                                 }
                             }
                             return name;
                         });

TEST(ProjectBackup, IsReplacedByEachProjectThatLoads) {
    ScratchDir dir;
    RecordingHost host;
    TKV_Project project;
    const std::string first = readBytes(fixture("full.ktp"));
    const std::string second = readBytes(fixture("no_setup.ktp"));
    writeBytes(dir / "p.ktp", first);
    ASSERT_TRUE(project.open("p.ktp", host, dir.path()).opened);
    EXPECT_EQ(readBytes(dir / "p.bak"), first);
    writeBytes(dir / "p.ktp", "");
    EXPECT_FALSE(project.open("p.ktp", host, dir.path()).opened);
    writeBytes(dir / "p.ktp", second);
    const LoadReport report = project.open("p.ktp", host, dir.path());
    ASSERT_TRUE(report.opened) << report.error;
    EXPECT_TRUE(report.backupWritten);
    EXPECT_EQ(readBytes(dir / "p.bak"), second);
    EXPECT_EQ(project.path(), dir / "p.ktp");
    EXPECT_FALSE(fs::exists(dir / "p.bak.tmp"));
}

TEST(ProjectBackup, ShippedTemplateIsAProjectAndItsLastByteMatters) {
    const std::string whole = shippedTemplate();
    EXPECT_EQ(checkProjectText(whole), std::nullopt);
    // Lines that fail their checks, control bytes and all, are skipped one by one:
    // the file is still a project.
    EXPECT_EQ(checkProjectText(readBytes(fixture("bad_lines.ktp"))), std::nullopt);
    // Without its closing ";" the last section may have lost lines.
    EXPECT_NE(checkProjectText(whole.substr(0, whole.rfind(';'))), std::nullopt);
}

// ---------------------------------------------------------------- bad values of the line

TEST(ProjectLineSetting, BadPortAndBaudRateAreIgnoredAndReportedWithTheirLine) {
    ScratchDir dir;
    RecordingHost host;
    TKV_Project project;
    writeBytes(dir / "p.ktp", "[CONFIGURATION]\nTarget = TRILO\nPortComm = COM1" +
                                  std::string(100000, '7') +
                                  "\nBaudRate = 99999999999999999999\nProtocole = XON-XOFF\n;\n");
    const LoadReport report = project.open("p.ktp", host, dir.path());
    ASSERT_TRUE(report.opened) << report.error;
    ASSERT_EQ(report.ignored.size(), 2u);
    EXPECT_EQ(report.ignored[0].line, 3);
    EXPECT_EQ(report.ignored[0].badValue, "PortComm \"COM1" + std::string(20, '7') +
                                              "...\" is not a port name (COM1 to COM255)");
    EXPECT_EQ(report.ignored[1].line, 4);
    EXPECT_EQ(report.ignored[1].badValue, "BaudRate \"99999999999999999999\" is not a baud rate "
                                          "(a whole number from 1 to 4000000)");
    EXPECT_EQ(project.connectText(), "TRILO COM1 XON-XOFF 9600 ");
}

TEST(ProjectLineSetting, OtherIgnoredLinesCarryNoBadValue) {
    ScratchDir dir;
    RecordingHost host;
    TKV_Project project;
    writeBytes(dir / "p.ktp", readBytes(fixture("bad_lines.ktp")));
    const LoadReport report = project.open("p.ktp", host, dir.path());
    ASSERT_TRUE(report.opened);
    for (const IgnoredLine& line : report.ignored) {
        // "PortComm = COM9" names a port, only not one of its list.
        EXPECT_TRUE(line.badValue.empty()) << line.line << ": " << line.badValue;
    }
}

// ---------------------------------------------------------------- glossary

struct GlossaryCase {
    const char* name;
    std::string bytes;
    std::optional<FileProblem> problem;
};

void PrintTo(const GlossaryCase& c, std::ostream* os) {
    *os << c.name;
}

class GlossaryText : public ::testing::TestWithParam<GlossaryCase> {};

TEST_P(GlossaryText, IsCheckedBeforeTheProgramRelies) {
    EXPECT_EQ(checkGlossaryText(GetParam().bytes), GetParam().problem);
}

INSTANTIATE_TEST_SUITE_P(
    Files, GlossaryText,
    ::testing::Values(GlossaryCase{"shipped", readBytes(shipped(kGlossaryFileName)), std::nullopt},
                      GlossaryCase{"one section", "* comment\n[TRILO]\n", std::nullopt},
                      GlossaryCase{"empty", "", FileProblem{1, "the file is empty"}},
                      GlossaryCase{"no section", "RV\nQD\n",
                                   FileProblem{2, "the file ends without a [target] section"}},
                      GlossaryCase{"odd bytes in a command", std::string("[TRILO]\nRV\x02\n", 11),
                                   std::nullopt},
                      GlossaryCase{"binary", std::string("RV\n\x7f\x02[TRILO]\n[\x01]\n", 17),
                                   FileProblem{2, "byte 0x7F is not text"}}));

TEST(GlossaryText, RandomBytesAreNoGlossary) {
    for (uint32_t seed : {1u, 11u, 4242u}) {
        const auto problem = checkGlossaryText(randomBytes(4096, seed));
        ASSERT_TRUE(problem.has_value()) << seed;
        EXPECT_NE(problem->reason.find("is not text"), std::string::npos) << problem->reason;
    }
}

TEST(FileProblemText, SaysLineAndReason) {
    EXPECT_EQ(describe(FileProblem{12, "the file is empty"}),
              "not valid at line 12 (the file is empty)");
}

} // namespace
