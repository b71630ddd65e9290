// The command glossary: sections per target, 40 slots of which 39 are listed,
// the contains-rule, and reading the file again only when needed.

#include "fixture.h"
#include "project/glossary.h"
#include "project/project.h"

#include <gtest/gtest.h>

namespace {

using namespace tamsel::project;
using namespace project_test;

std::string section(std::string_view header, int commands, std::string_view prefix) {
    std::string out = std::string(header) + "\n";
    for (int i = 1; i <= commands; ++i) {
        out += std::string(prefix) + std::to_string(i) + "\n";
    }
    return out;
}

class Glossary : public ::testing::Test {
  protected:
    void write(std::string_view bytes) { writeBytes(dir / "tm2cmde.txt", bytes); }
    ScratchDir dir;
    TGlossary glossary;
};

TEST_F(Glossary, SectionLinesAndCommentsAsTheFileGivesThem) {
    write("* glossary\n\n[TRILO]\n; a comment\nRV (version)\n\n  PR 1000 (leading blanks kept)\n"
          "*another comment\n[ VRX17 ]  \nREA #POS\n");
    ASSERT_TRUE(glossary.checkPresence(dir / "tm2cmde.txt"));
    EXPECT_EQ(glossary.commands("TRILO"),
              (std::vector<std::string>{"RV (version)", "  PR 1000 (leading blanks kept)"}));
    EXPECT_EQ(glossary.sectionName(), "TRILO");
    EXPECT_EQ(glossary.commands("VRX17"), (std::vector<std::string>{"REA #POS"}));
    EXPECT_EQ(glossary.sectionName(), "VRX17");
}

TEST_F(Glossary, TargetSelectsTheFirstSectionWhoseHeaderContainsIt) {
    write(section("[MICROTRILO]", 2, "QR") + section("[TRILO]", 2, "RD"));
    ASSERT_TRUE(glossary.checkPresence(dir / "tm2cmde.txt"));
    EXPECT_EQ(glossary.commands("TRILO"), (std::vector<std::string>{"QR1", "QR2"}));
    EXPECT_EQ(glossary.sectionName(), "MICROTRILO");
}

TEST_F(Glossary, SameTargetAgainDoesNotReadTheFile) {
    write(section("[MICROTRILO]", 2, "QR") + section("[TRILO]", 2, "RD"));
    ASSERT_TRUE(glossary.checkPresence(dir / "tm2cmde.txt"));
    ASSERT_EQ(glossary.commands("TRILO").size(), 2u);
    write(section("[TRILO]", 3, "NEW"));
    EXPECT_EQ(glossary.commands("TRILO"), (std::vector<std::string>{"QR1", "QR2"}))
        << "the loaded section is kept";
    EXPECT_EQ(glossary.commands("VRX17"), (std::vector<std::string>{}));
    EXPECT_EQ(glossary.commands("TRILO"), (std::vector<std::string>{"NEW1", "NEW2", "NEW3"}));
}

TEST_F(Glossary, SectionLoadedForAnotherTargetIsReadAgain) {
    // MICROTRILO's section holds "TRILO" in its name, yet it is not what a
    // TRILO target selects in this file.
    write(section("[TRILO]", 1, "RD") + section("[MICROTRILO]", 1, "QR"));
    ASSERT_TRUE(glossary.checkPresence(dir / "tm2cmde.txt"));
    EXPECT_EQ(glossary.commands("MICROTRILO"), (std::vector<std::string>{"QR1"}));
    EXPECT_EQ(glossary.commands("TRILO"), (std::vector<std::string>{"RD1"}));
}

TEST_F(Glossary, FortyCommandsAreReadAndThirtyNineListed) {
    write(section("[VRX17]", 45, "C") + section("[DVRX]", 1, "D"));
    ASSERT_TRUE(glossary.checkPresence(dir / "tm2cmde.txt"));
    const auto commands = glossary.commands("VRX17");
    ASSERT_EQ(commands.size(), 39u);
    EXPECT_EQ(commands.front(), "C1");
    EXPECT_EQ(commands.back(), "C39");
    EXPECT_EQ(glossary.count(), 40);
    write(section("[VRX17]", 39, "C"));
    EXPECT_EQ(glossary.commands("DVRX").size(), 0u);
    EXPECT_EQ(glossary.commands("VRX17").size(), 39u);
}

TEST_F(Glossary, LongLinesKeep119Characters) {
    write("[TRILO]\n" + std::string(250, 'x') + "\n");
    ASSERT_TRUE(glossary.checkPresence(dir / "tm2cmde.txt"));
    const auto commands = glossary.commands("TRILO");
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0], std::string(119, 'x'));
}

TEST_F(Glossary, NoMatchingSectionReadsAgainOnTheNextRequest) {
    write(section("[TRILO]", 1, "RD"));
    ASSERT_TRUE(glossary.checkPresence(dir / "tm2cmde.txt"));
    EXPECT_TRUE(glossary.commands("VRX34").empty());
    EXPECT_EQ(glossary.count(), 0);
    write(section("[VRX34]", 1, "qp"));
    EXPECT_EQ(glossary.commands("VRX34"), (std::vector<std::string>{"qp1"}));
}

TEST_F(Glossary, MissingFileGivesEmptyListsUntilTheNextProjectLoad) {
    EXPECT_FALSE(glossary.checkPresence(dir / "tm2cmde.txt"));
    write(section("[TRILO]", 1, "RD"));
    EXPECT_TRUE(glossary.commands("TRILO").empty());
    EXPECT_TRUE(glossary.checkPresence(dir / "tm2cmde.txt"));
    EXPECT_EQ(glossary.commands("TRILO").size(), 1u);
}

TEST_F(Glossary, ProjectChecksTheGlossaryInItsCurrentDirectory) {
    RecordingHost host;
    TKV_Project project;
    writeBytes(dir / "p.ktp", "[CONFIGURATION]\n;\n");
    LoadReport report = project.open("p.ktp", host, dir.path());
    ASSERT_TRUE(report.opened);
    EXPECT_FALSE(report.glossaryPresent);
    EXPECT_TRUE(project.glossary("TRILO").empty());
    write(section("[TRILO]", 2, "RD"));
    report = project.open("p.ktp", host, dir.path());
    EXPECT_TRUE(report.glossaryPresent);
    EXPECT_EQ(project.glossary("TRILO"), (std::vector<std::string>{"RD1", "RD2"}));
}

} // namespace
