// Variable files: the item rules of each line, and the cache of the project.

#include "fixture.h"
#include "project/project.h"
#include "project/variable_files.h"

#include <gtest/gtest.h>

namespace {

using namespace tamsel::project;
using namespace project_test;

struct VariableCase {
    std::string line;
    bool taken;
    std::vector<VariableItem> items;
};

void PrintTo(const VariableCase& c, std::ostream* os) {
    *os << '"' << c.line << '"';
}

class VariableLine : public ::testing::TestWithParam<VariableCase> {};

TEST_P(VariableLine, GivesItsItems) {
    std::vector<VariableItem> items;
    EXPECT_EQ(readVariableLine(GetParam().line, items), GetParam().taken);
    EXPECT_EQ(items, GetParam().items);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, VariableLine,
    ::testing::Values(VariableCase{"POSITION 0", true, {{"POSITION", 0}}},
                      VariableCase{"POSITION 3", true, {{"#POSITION", 3}}},
                      VariableCase{"  SPEED\t-2  trailing words", true, {{"#SPEED", -2}}},
                      VariableCase{"*3ABC 5", true, {{"#ABC1", 5}, {"#ABC2", 5}, {"#ABC3", 5}}},
                      VariableCase{"*2! 7", true, {{"#1", 7}, {"#2", 7}}},
                      VariableCase{"*2 0", true, {{"#BugMapSeeQZ1", 0}, {"#BugMapSeeQZ2", 0}}},
                      VariableCase{"*0ABC 1", false, {}}, VariableCase{"*33ABC 1", false, {}},
                      VariableCase{"*ABC 1", false, {}}, VariableCase{"* 1", false, {}},
                      VariableCase{"POSITION", false, {}}, VariableCase{"POSITION x", false, {}},
                      VariableCase{"; POSITION 1", true, {}}, VariableCase{"", true, {}},
                      VariableCase{"   ", true, {}},
                      VariableCase{std::string(29, 'N') + " 0", true, {{std::string(29, 'N'), 0}}},
                      VariableCase{std::string(29, 'N') + " 1", false, {}},
                      VariableCase{"*2" + std::string(26, 'B') + " 1",
                                   true,
                                   {{"#" + std::string(26, 'B') + "1", 1},
                                    {"#" + std::string(26, 'B') + "2", 1}}},
                      VariableCase{"*10" + std::string(27, 'B') + " 1", false, {}},
                      VariableCase{std::string("PO\0S 1", 6), false, {}}));

TEST(VariableFile, CountsTheLinesThatGiveNothing) {
    int ignored = -1;
    const auto items = readVariableFile("; list\r\nPOS 0\r\nbroken\r\n*2! 4\r\n\r\n", &ignored);
    EXPECT_EQ(items, (std::vector<VariableItem>{{"POS", 0}, {"#1", 4}, {"#2", 4}}));
    EXPECT_EQ(ignored, 1);
}

constexpr int32_t kMicroTrilo = 0x1002; // catalogue name "\xB5Trilo"
constexpr int32_t kVrx17 = 0x5000;      // "\xB5Vrx17v1_00"
constexpr int32_t kTrilo = 0x0200;      // "none"

class VariableList : public ::testing::Test {
  protected:
    void SetUp() override {
        writeBytes(dir / "p.ktp", "[CONFIGURATION]\n;\n");
        ASSERT_TRUE(project.open("p.ktp", host, dir.path()).opened);
    }
    ScratchDir dir;
    RecordingHost host;
    TKV_Project project;
};

TEST_F(VariableList, ReadsTheFileTheCatalogueNamesOnceAndKeepsIt) {
    const fs::path file = dir / "datafile" / "\xB5Trilo.t2v";
    writeBytes(file, "CPA 0\nVALIM 7\n*2M 9\n");
    const std::vector<ListEntry> expected{
        {"none", 0}, {"CPA", 0}, {"#VALIM", 7}, {"#M1", 9}, {"#M2", 9}};
    EXPECT_EQ(project.variableList(kMicroTrilo).entries, expected);
    fs::remove(file);
    EXPECT_EQ(project.fillList(selector::kTypeVariables, kMicroTrilo | 0x01050000).entries,
              expected)
        << "the cached list serves any version of the type";
    EXPECT_EQ(project.variableCache().size(), 1u);
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(VariableList, TypeWithoutAFileNameGivesNoneAndANote) {
    EXPECT_EQ(project.variableList(kTrilo).entries, (std::vector<ListEntry>{{"none", 0}}));
    EXPECT_EQ(host.notes, (std::vector<std::string>{"no variable"}));
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(VariableList, MissingFileShowsTheBoxEveryTimeAndIsNotCached) {
    const fs::path file = dir / "datafile" / "\xB5Vrx17v1_00.t2v";
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(project.variableList(kVrx17).entries.size(), 1u);
    }
    ASSERT_EQ(host.boxes.size(), 2u);
    EXPECT_EQ(host.boxes[0].first, "le fichier n'existe pas");
    EXPECT_EQ(host.boxes[0].second, file.string());
    EXPECT_EQ(host.notes, (std::vector<std::string>{file.string(), file.string()}));
    writeBytes(file, "POSITION 1\n");
    EXPECT_EQ(project.variableList(kVrx17).entries,
              (std::vector<ListEntry>{{"none", 0}, {"#POSITION", 1}}));
    EXPECT_EQ(host.boxes.size(), 2u);
}

} // namespace
