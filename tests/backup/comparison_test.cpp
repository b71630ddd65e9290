// A backup against the line: modules lost, found, replaced or of another type, and per
// setting equal, different or on one side only.
#include "backup/comparison.h"

#include <gtest/gtest.h>

namespace tamsel::backup {
namespace {

ModuleRecord module(int address, int32_t code, const std::string& serial, SettingValues s) {
    ModuleRecord m;
    m.address = address;
    m.answered = true;
    m.typeCode = code;
    m.typeName = code == 0x0205 ? "KB01 v40" : "other";
    m.serial = serial;
    m.settings = std::move(s);
    return m;
}

ModuleRecord silent(int address) {
    ModuleRecord m;
    m.address = address;
    return m;
}

LinePicture picture(std::vector<ModuleRecord> modules) {
    LinePicture p;
    p.modules = std::move(modules);
    return p;
}

TEST(Comparison, ModulesAsTheyStandOnBothSides) {
    const SettingValues s{{"parameters.max_speed", 1000}};
    struct Case {
        const char* name;
        std::vector<ModuleRecord> backup;
        std::vector<ModuleRecord> line;
        ModuleState state;
        bool equal;
    };
    const Case cases[] = {
        {"same", {module(0, 0x0205, "1", s)}, {module(0, 0x0205, "1", s)}, ModuleState::Same, true},
        {"lost", {module(0, 0x0205, "1", s)}, {silent(0)}, ModuleState::Lost, false},
        {"lost, not even asked", {module(0, 0x0205, "1", s)}, {}, ModuleState::Lost, false},
        {"found", {silent(0)}, {module(0, 0x0205, "1", s)}, ModuleState::Found, false},
        {"replaced",
         {module(0, 0x0205, "1", s)},
         {module(0, 0x0205, "2", s)},
         ModuleState::Replaced,
         false},
        {"another type",
         {module(0, 0x0205, "1", s)},
         {module(0, 0x1002, "1", s)},
         ModuleState::TypeChanged,
         false},
        {"a setting differs",
         {module(0, 0x0205, "1", s)},
         {module(0, 0x0205, "1", {{"parameters.max_speed", 999}})},
         ModuleState::Different,
         false},
    };
    for (const Case& c : cases) {
        const LinePicture b = picture(c.backup);
        const LinePicture l = picture(c.line);
        const Comparison r = compare(b, l);
        ASSERT_EQ(r.modules.size(), 1U) << c.name;
        EXPECT_EQ(r.modules[0].state, c.state) << c.name;
        EXPECT_EQ(r.equal(), c.equal) << c.name;
    }
    // Silent on both sides is no difference and no row.
    const LinePicture b = picture({silent(4)});
    const LinePicture l = picture({silent(4)});
    EXPECT_TRUE(compare(b, l).modules.empty());
    EXPECT_TRUE(compare(b, l).equal());
}

TEST(Comparison, EachSettingWithBothValues) {
    const LinePicture b = picture({module(
        0, 0x0205, "1",
        {{"parameters.max_speed", 1000}, {"parameters.start_speed", 40}, {"variable.05", 3}})});
    const LinePicture l = picture({module(
        0, 0x0205, "1",
        {{"parameters.max_speed", 1000}, {"parameters.start_speed", 45}, {"variable.07", 9}})});
    const Comparison c = compare(b, l);
    ASSERT_EQ(c.modules.size(), 1U);
    struct Row {
        const char* key;
        SettingState state;
        std::optional<long> backup;
        std::optional<long> line;
    };
    const Row expected[] = {
        {"parameters.max_speed", SettingState::Equal, 1000, 1000},
        {"parameters.start_speed", SettingState::Different, 40, 45},
        {"variable.05", SettingState::Missing, 3, std::nullopt},
        {"variable.07", SettingState::Extra, std::nullopt, 9},
    };
    const auto& rows = c.modules[0].rows;
    ASSERT_EQ(rows.size(), std::size(expected));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].key, expected[i].key);
        EXPECT_EQ(rows[i].state, expected[i].state) << rows[i].key;
        EXPECT_EQ(rows[i].backup, expected[i].backup) << rows[i].key;
        EXPECT_EQ(rows[i].line, expected[i].line) << rows[i].key;
    }
    EXPECT_EQ(c.modules[0].differences().size(), 3U);
    const std::string text = comparisonText(c);
    EXPECT_NE(text.find("parameters.start_speed"), std::string::npos) << text;
    EXPECT_NE(text.find("different"), std::string::npos) << text;
    EXPECT_EQ(text.find("cut short"), std::string::npos) << text;
}

TEST(Comparison, AModuleWhoseSectionIsCutShortSaysSo) {
    ModuleRecord cut = module(0, 0x0205, "1", {{"parameters.max_speed", 10}});
    cut.complete = false;
    const LinePicture b = picture({cut});
    const LinePicture l = picture({module(0, 0x0205, "1", {{"parameters.max_speed", 1000}})});
    const std::string text = comparisonText(compare(b, l));
    EXPECT_NE(text.find("module 00: different (KB01 v40 serial 1), its section of the backup is "
                        "cut short"),
              std::string::npos)
        << text;
}

} // namespace
} // namespace tamsel::backup
