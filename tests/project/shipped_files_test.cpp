// The files the program ships with: the template project, the glossary and the
// variable files load whole, without a single ignored line.

#include "fixture.h"
#include "project/command_file.h"
#include "project/project.h"
#include "project/variable_files.h"

#include "modtyp.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using namespace tamsel::project;
using namespace project_test;

const std::vector<std::string> kTargets{"TRILO", "MICROTRILO", "VRX17", "DVRX", "VRX23", "VRX34"};

TEST(ShippedFiles, TemplateHoldsEverySectionAndLoadsWhole) {
    ScratchDir dir;
    writeBytes(dir / kTemplateProject, readBytes(shipped(kTemplateProject)));
    RecordingHost host;
    TKV_Project project;
    const LoadReport report = project.open(kTemplateProject, host, dir.path());
    ASSERT_TRUE(report.opened) << report.error;
    EXPECT_TRUE(report.ignored.empty());
    // The driver's first target: a new project opens the configuration window at start-up.
    EXPECT_EQ(project.connectText(), "DVRX COM1 XON-XOFF 9600 ");
    EXPECT_EQ(project.moduleRecordCount(), 0) << "a new project has no module yet";

    // Every section is there: a change to each one is found after a reload.
    ASSERT_TRUE(project.addLastCommand("01RV"));
    ASSERT_TRUE(project.setModuleRecord("00,1,512,axis,mm,3,_"));
    ASSERT_TRUE(project.setSetupNumbers("1 0 -1 -1 -1"));
    ASSERT_TRUE(project.storeLabels(0, {{1, "speed"}}));
    ASSERT_EQ(project.save().status, SaveStatus::Saved);
    TKV_Project again;
    ASSERT_TRUE(again.open(kTemplateProject, host, dir.path()).opened);
    EXPECT_EQ(again.lastCommand(0), "01RV");
    EXPECT_EQ(again.moduleRecordCount(), 1);
    EXPECT_EQ(again.setupSummary(), "1 0 -1 -1 -1");
    EXPECT_EQ(again.labels().label(0, 1), "speed");
    const std::string saved = readBytes(dir / kTemplateProject);
    EXPECT_NE(saved.find(kPropertyHeader), std::string::npos);
}

TEST(ShippedFiles, GlossaryHasAFullSectionOfItsOwnForEachTarget) {
    TGlossary glossary;
    ASSERT_TRUE(glossary.checkPresence(shipped(kGlossaryFileName)));
    std::size_t listed = 0;
    for (const auto& target : kTargets) {
        const auto commands = glossary.commands(target);
        EXPECT_EQ(glossary.sectionName(), target);
        EXPECT_GE(commands.size(), 20u) << target;
        EXPECT_LT(glossary.count(), TGlossary::kSlots) << target << " would lose commands";
        for (const auto& command : commands) {
            EXPECT_NE(command.find('('), std::string::npos) << target << ": " << command;
        }
        listed += commands.size();
    }
    // No command line stands where no target would list it.
    std::size_t commandLines = 0;
    std::string error;
    const auto bytes = readFile(shipped(kGlossaryFileName), error);
    ASSERT_TRUE(bytes) << error;
    std::set<std::string> headers;
    for (const auto& line : commandFileLines(*bytes)) {
        if (line.empty() || line[0] == '*' || line[0] == ';') {
            continue;
        }
        if (line[0] == '[') {
            headers.insert(line);
            continue;
        }
        ++commandLines;
        EXPECT_LE(line.size(), TGlossary::kMaxText) << line;
    }
    EXPECT_EQ(listed, commandLines);
    EXPECT_EQ(headers.size(), kTargets.size());
}

TEST(ShippedFiles, EveryTypeWithAVariableFileHasOneThatLoadsWhole) {
    // The type codes of the families whose catalogue entry names a variable file.
    const int32_t types[] = {0x1001, 0x1002, 0x1004, 0x1082, 0x5000, 0x6020, 0x6021,
                             0x6040, 0x6041, 0x6060, 0x6061, 0x6080, 0x6081};
    std::set<std::string> names;
    for (const int32_t type : types) {
        char name[256] = {};
        ::FindCmde(type, 8, "listevariable", name);
        ASSERT_NE(std::string(name), "none") << std::hex << type;
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 5u);
    for (const auto& name : names) {
        std::string error;
        const auto bytes = readFile(
            shipped(std::string(kVariableFolder) + "/" + name + std::string(kVariableExtension)),
            error);
        ASSERT_TRUE(bytes) << error;
        int ignored = -1;
        const auto items = readVariableFile(*bytes, &ignored);
        EXPECT_EQ(ignored, 0) << name;
        EXPECT_GE(items.size(), 20u) << name;
        EXPECT_EQ(items.back(), (VariableItem{"--add_input--", 0})) << name;
    }
    for (const int32_t type : {0x0100, 0x0200, 0x0300, 0x0400, 0x3001, 0x4001}) {
        char name[256] = {};
        ::FindCmde(type, 8, "listevariable", name);
        EXPECT_EQ(std::string(name), "none") << std::hex << type;
    }
}

TEST(ShippedFiles, VariableListsThroughTheProject) {
    ScratchDir dir;
    fs::copy(shipped(kVariableFolder), dir / kVariableFolder);
    writeBytes(dir / "p.ktp", "[CONFIGURATION]\n;\n");
    RecordingHost host;
    TKV_Project project;
    ASSERT_TRUE(project.open("p.ktp", host, dir.path()).opened);
    const ListFill dvrx = project.variableList(0x6060);
    ASSERT_GT(dvrx.entries.size(), 2u);
    EXPECT_EQ(dvrx.entries[0], (ListEntry{"none", 0}));
    EXPECT_EQ(dvrx.entries[1], (ListEntry{"#POSITION", 3}));
    const ListFill micro = project.variableList(0x1002);
    EXPECT_EQ(micro.entries[1], (ListEntry{"#CPA", 3}));
    EXPECT_TRUE(host.boxes.empty());
}

} // namespace
