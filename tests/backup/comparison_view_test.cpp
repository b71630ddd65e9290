// The comparison as tamsel2 shows it: a heading row a module, a row a setting, what is not
// equal highlighted, and the differences alone at a click.
#include "comparison_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QTableWidget>

#include <gtest/gtest.h>

namespace tamsel::backup {
namespace {

ModuleRecord module(int address, const std::string& serial, SettingValues s) {
    ModuleRecord m;
    m.address = address;
    m.answered = true;
    m.typeCode = 0x0205;
    m.typeName = "KB01 v40";
    m.serial = serial;
    m.settings = std::move(s);
    return m;
}

struct Pictures {
    LinePicture backup;
    LinePicture line;
};

/// Module 00 with one setting changed, module 01 the same, module 02 replaced.
Pictures pictures() {
    Pictures p;
    p.backup.modules = {module(0, "1", {{"parameters.max_speed", 1000}, {"variable.05", 3}}),
                        module(1, "2", {{"parameters.max_speed", 900}}),
                        module(2, "3", {{"parameters.max_speed", 800}})};
    p.line.modules = {module(0, "1", {{"parameters.max_speed", 1200}, {"variable.05", 3}}),
                      module(1, "2", {{"parameters.max_speed", 900}}),
                      module(2, "9", {{"parameters.max_speed", 800}})};
    return p;
}

QString text(const QTableWidget* t, int row, int column) {
    return t->item(row, column)->text();
}

TEST(ComparisonView, EachModuleAndSettingOnItsRowWithWhatDiffersHighlighted) {
    const Pictures p = pictures();
    TComparisonView view;
    view.showComparison(compare(p.backup, p.line));
    const QTableWidget* t = view.table();
    using V = TComparisonView;
    struct Row {
        const char* module;
        const char* setting;
        const char* state;
        const char* backup;
        const char* line;
        QColor colour;
    };
    const Row rows[] = {
        {"00", "KB01 v40 serial 1", "different", "", "", V::colourOf(ModuleState::Different)},
        {"", "parameters.max_speed", "different", "1000", "1200",
         V::colourOf(SettingState::Different)},
        {"", "variable.05", "equal", "3", "3", QColor()},
        {"01", "KB01 v40 serial 2", "same", "", "", QColor()},
        {"", "parameters.max_speed", "equal", "900", "900", QColor()},
        {"02", "KB01 v40 serial 3 -> KB01 v40 serial 9", "replaced", "", "",
         V::colourOf(ModuleState::Replaced)},
        {"", "parameters.max_speed", "equal", "800", "800", QColor()},
    };
    ASSERT_EQ(t->rowCount(), static_cast<int>(std::size(rows)));
    for (int r = 0; r < t->rowCount(); ++r) {
        const Row& e = rows[r];
        EXPECT_EQ(text(t, r, V::kModule), e.module) << r;
        EXPECT_EQ(text(t, r, V::kSetting), e.setting) << r;
        EXPECT_EQ(text(t, r, V::kState), e.state) << r;
        EXPECT_EQ(text(t, r, V::kBackup), e.backup) << r;
        EXPECT_EQ(text(t, r, V::kLine), e.line) << r;
        const QBrush b = t->item(r, V::kState)->background();
        if (e.colour.isValid()) {
            EXPECT_EQ(b.color(), e.colour) << r;
        } else {
            EXPECT_EQ(b.style(), Qt::NoBrush) << r;
        }
    }
    EXPECT_NE(V::colourOf(SettingState::Different), QColor());
    EXPECT_NE(V::colourOf(ModuleState::Lost), QColor());
    EXPECT_EQ(view.summary()->text(), "Different: 2 of 3 modules differ from the backup");
}

TEST(ComparisonView, DifferencesOnlyHidesWhatIsEqual) {
    const Pictures p = pictures();
    TComparisonView view;
    view.showComparison(compare(p.backup, p.line));
    const QTableWidget* t = view.table();
    view.differencesOnly()->click();
    std::vector<int> shown;
    for (int r = 0; r < t->rowCount(); ++r) {
        if (!t->isRowHidden(r)) {
            shown.push_back(r);
        }
    }
    // Module 00's heading and its changed setting, module 02's heading.
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 5}));
    view.setDifferencesOnly(false);
    for (int r = 0; r < t->rowCount(); ++r) {
        EXPECT_FALSE(t->isRowHidden(r)) << r;
    }
    // A new comparison keeps the choice.
    view.setDifferencesOnly(true);
    const LinePicture same = p.backup;
    view.showComparison(compare(p.backup, same));
    for (int r = 0; r < t->rowCount(); ++r) {
        EXPECT_TRUE(t->isRowHidden(r)) << r;
    }
    EXPECT_EQ(view.summary()->text(), "Equal: 3 modules as in the backup");
}

} // namespace
} // namespace tamsel::backup

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
