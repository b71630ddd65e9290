// The module list's cells: the five column texts of each entry state, the row fills, the
// highlight of the current row, and the line setting of a Full Debug row read through the
// working lists.

#include "discovery/modtyp_catalogue.h"
#include "discovery/module_list_cells.h"
#include "real_modules.h"

#include <gtest/gtest.h>

namespace tamsel::discovery {
namespace {

const WorkingListNames kLists{{"XON-XOFF", "ACK", "CONSOLE"}, {"4800", "9600", "19200", "38400"}};

class ListCellsTest : public ::testing::Test {
  protected:
    std::string text(int row, int column) const {
        return listCell(table, kLists, row, column).text;
    }

    ModtypCatalogue catalogue;
    ModuleTable table{catalogue};
};

struct StateCase {
    int32_t state;
    const char* info;
    std::optional<Rgb> fill;
};

void PrintTo(const StateCase& c, std::ostream* os) {
    *os << "state " << c.state;
}

class CellsPerState : public ListCellsTest, public ::testing::WithParamInterface<StateCase> {};

TEST_P(CellsPerState, ShowTheModuleAndTheStatesInfo) {
    const StateCase& c = GetParam();
    table.enterDecoded(5, testing::kTriloKc61.reply);
    table.setLabel(5, "AXE_Z");
    table.setState(5, c.state);
    table.setLineSetting(5, packSetting({2, 3, 0, 0}));
    EXPECT_EQ(text(0, list_column::kAddress), "05 ");
    EXPECT_EQ(text(0, list_column::kTarget), "TRILO");
    EXPECT_EQ(text(0, list_column::kType), "KC61 v80");
    EXPECT_EQ(text(0, list_column::kSerial), "042");
    EXPECT_EQ(text(0, list_column::kLabel), c.info);
    for (int column = 0; column < kListColumns; ++column) {
        EXPECT_EQ(listCell(table, kLists, 0, column).rowState, c.state);
    }
    EXPECT_EQ(rowBackground(c.state), c.fill);
}

INSTANTIATE_TEST_SUITE_P(
    States, CellsPerState,
    ::testing::Values(StateCase{entry_state::kPresent, "AXE_Z", std::nullopt},
                      StateCase{entry_state::kFound, "found", Rgb{127, 198, 127}},
                      StateCase{entry_state::kLost, "lost", Rgb{198, 198, 255}},
                      StateCase{entry_state::kModified, "modified", Rgb{255, 255, 128}},
                      // Baud rate, then protocol, of the setting that reached it.
                      StateCase{entry_state::kFullDebug, "38400,CONSOLE", std::nullopt}));

TEST_F(ListCellsTest, FullDebugRowsReadTheirOwnSetting) {
    table.enterDecoded(0, testing::kTriloKb01.reply);
    table.setState(0, entry_state::kFullDebug);
    table.setLineSetting(0, packSetting({0, 1, 2, 0}));
    table.enterDecoded(9, testing::kVrx34.reply);
    table.setState(9, entry_state::kFullDebug);
    table.setLineSetting(9, packSetting({1, 0, 2, 0}));
    EXPECT_EQ(text(0, list_column::kLabel), "9600,XON-XOFF");
    EXPECT_EQ(text(1, list_column::kLabel), "4800,ACK");
}

TEST_F(ListCellsTest, RowsFollowTheAddressesAndEndWithTheTable) {
    table.enterDecoded(40, testing::kDvrx.reply);
    table.enterDecoded(2, testing::kVrx23.reply);
    EXPECT_EQ(text(0, list_column::kAddress), "02 ");
    EXPECT_EQ(text(0, list_column::kTarget), "VRX23");
    EXPECT_EQ(text(1, list_column::kAddress), "40 ");
    EXPECT_EQ(text(1, list_column::kType), "DVrx17");
    const ListCell beyond = listCell(table, kLists, 2, list_column::kAddress);
    EXPECT_EQ(beyond.text, "");
    EXPECT_EQ(beyond.rowState, entry_state::kPresent);
    EXPECT_FALSE(beyond.highlighted);
}

TEST_F(ListCellsTest, OnlyTheCurrentRowIsHighlightedUntilTheHighlightIsRemoved) {
    table.enterDecoded(1, testing::kVrx23.reply);
    table.enterDecoded(2, testing::kVrx34.reply);
    table.setCurrent(2);
    for (int column = 0; column < kListColumns; ++column) {
        EXPECT_FALSE(listCell(table, kLists, 0, column).highlighted);
        EXPECT_TRUE(listCell(table, kLists, 1, column).highlighted);
    }
    table.removeHighlight();
    EXPECT_FALSE(listCell(table, kLists, 1, list_column::kAddress).highlighted);
}

TEST_F(ListCellsTest, TheWordFoundHasAColourOfItsOwn) {
    table.enterDecoded(1, testing::kVrx23.reply);
    table.setLabel(1, "X");
    const Rgb labelColour = listCell(table, kLists, 0, list_column::kLabel).textColour;
    table.setState(1, entry_state::kFound);
    EXPECT_NE(listCell(table, kLists, 0, list_column::kLabel).textColour, labelColour);
}

TEST(ListHeaders, NameAndSizeTheFiveColumns) {
    EXPECT_EQ(std::string{kListHeaders[0]}, " @");
    EXPECT_EQ(std::string{kListHeaders[3]}, "serial n");
    EXPECT_EQ(std::string{kListHeaders[4]}, "Label/Info");
    EXPECT_EQ(kListColumnWidths, (std::array<int, kListColumns>{4, 8, 8, 7, 10}));
}

} // namespace
} // namespace tamsel::discovery
