// The rules of the variables window, by tables: how rows are shown, how their poll entries
// are named, the stored scan list, labels, values and the pop-up menus.
#include <variables_model.h>

#include <gtest/gtest.h>

namespace tamsel::terminal::variables {
namespace {

TEST(VariablesModel, ValuesAreShownInTheRowsViewMode) {
    struct Case {
        std::int32_t value;
        TViewMode mode;
        const char* shown;
    };
    const Case cases[] = {
        {0, TViewMode::Decimal, "         0"},
        {-1234, TViewMode::Decimal, "     -1234"},
        {2147483647, TViewMode::Decimal, "2147483647"},
        {0x1A2B, TViewMode::Hexa, "    1A2Bh"},
        {-1, TViewMode::Hexa, "FFFFFFFFh"},
        {0x0012, TViewMode::TwoBytes, "  12h:FFh  "},
        {0x3412, TViewMode::TwoBytes, "  12h:34h  "},
        {0x0105, TViewMode::TwoBytes, "   5h: 1h  "},
        // Only the low sixteen bits make the two bytes.
        {0x7F00AB, TViewMode::TwoBytes, "  ABh:FFh  "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(currentText(c.value, c.mode), c.shown) << c.value;
    }
    EXPECT_EQ(initText(42), "        42");
    EXPECT_EQ(nameText(3, "Speed"), "#03 Speed");
    EXPECT_EQ(nameText(12, defaultName(12)), "#12 Variable12");
}

TEST(VariablesModel, ARowsPollKindCarriesTheRowInItsHighWord) {
    struct Case {
        int row;
        int number;
        std::int32_t kind;
    };
    const Case cases[] = {{0, 1, 0x101}, {0, 32, 0x120}, {1, 5, 0x10105}, {7, 32, 0x70120}};
    for (const Case& c : cases) {
        EXPECT_EQ(pollKind(c.row, c.number), c.kind);
        EXPECT_EQ(rowOfKind(c.kind), c.row);
        EXPECT_EQ(requestKind(c.number), 0x100 + c.number);
    }
}

TEST(VariablesModel, AStoredScanListLoadsItsValidNumbersAndIgnoresTheRest) {
    struct Case {
        const char* stored;
        int variables;
        std::vector<int> rows;
    };
    const Case cases[] = {
        {"1 2 3", 10, {1, 2, 3}},
        {"", 10, {}},
        {"   4   7  ", 32, {4, 7}},
        // Variable 40 and numbers past the module's variables get no row.
        {"3 40 5", 32, {3, 5}},
        {"3 11 5", 10, {3, 5}},
        {"0 -2 33 6", 32, {6}},
        // Garbage is skipped, whole words only.
        {"x 2 3y ab 4 #5", 10, {2, 4}},
        // A number twice gives one row.
        {"2 2 3", 10, {2, 3}},
        // More than eight: the first eight load.
        {"1 2 3 4 5 6 7 8 9 10", 10, {1, 2, 3, 4, 5, 6, 7, 8}},
        {"1 40 2 3 4 5 6 7 8 9", 32, {1, 2, 3, 4, 5, 6, 7, 8}},
        {"5 6", 0, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parseScanList(c.stored, c.variables), c.rows) << c.stored;
    }
}

TEST(VariablesModel, TheScanListIsStoredAsBlankSeparatedNumbersThatFitTheSetupLabel) {
    EXPECT_EQ(formatScanList({}), "");
    EXPECT_EQ(formatScanList({7}), "7");
    EXPECT_EQ(formatScanList({1, 12, 3}), "1 12 3");
    const std::string full = formatScanList({25, 26, 27, 28, 29, 30, 31, 32});
    EXPECT_EQ(full, "25 26 27 28 29 30 31 32");
    EXPECT_LE(full.size(), kScanListLength);
    EXPECT_EQ(parseScanList(full, 32), (std::vector<int>{25, 26, 27, 28, 29, 30, 31, 32}));
}

TEST(VariablesModel, LabelsLoseTheSlotSeparatorsAndAreCutToTheNameField) {
    struct Case {
        const char* typed;
        const char* kept;
    };
    const Case cases[] = {
        {"Speed", "Speed"},
        {"  Speed  ", "Speed"},
        {"0123456789", "0123456789"},
        {"0123456789A", "0123456789"},
        {"a,b:c", "abc"},
        {"tab\there", "tabhere"},
        {"   ", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(filterLabel(c.typed), c.kept) << c.typed;
    }
    // Past the box's eleven characters nothing is read, separators or not.
    EXPECT_EQ(filterLabel("abcdefghij,,XYZ"), "abcdefghij");
}

TEST(VariablesModel, AnInitialValueIsReadAsANumberOrNotAtAll) {
    struct Case {
        const char* typed;
        std::optional<std::int32_t> value;
    };
    const Case cases[] = {
        {"123", 123},
        {"-45", -45},
        {"  17", 17},
        {"12abc", 12},
        {"abc", std::nullopt},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"2147483647", 2147483647},
        {"2147483648", std::nullopt},
        {"-2147483648", -2147483647 - 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parseInitValue(c.typed), c.value) << c.typed;
    }
    EXPECT_EQ(codedParameter(3, -20), "3 -20");
    EXPECT_EQ(valueText(-7), "-7");
    EXPECT_EQ(labelPrompt(4), "Change label for variable #04 :");
    EXPECT_EQ(valuePrompt(4, "Speed"), "Change Init Value for #04 (Speed)");
}

TEST(VariablesModel, ModuleRecordTextGivesRecordNumberAddressAndTypeCode) {
    const auto facts = parseModuleRecordText("7,5,517,_,_,_,3");
    ASSERT_TRUE(facts.has_value());
    EXPECT_EQ(facts->recordNumber, 7);
    EXPECT_EQ(facts->address, 5);
    EXPECT_EQ(facts->typeCode, 517);
    EXPECT_FALSE(parseModuleRecordText("").has_value());
    EXPECT_FALSE(parseModuleRecordText("7,5").has_value());
    EXPECT_FALSE(parseModuleRecordText("inconnu").has_value());
}

TEST(VariablesModel, TheScanListTakesEightDifferentVariablesAndRefusesTheRest) {
    TScanList list;
    for (int n = 1; n <= kRows; ++n) {
        EXPECT_EQ(list.add(n, defaultName(n), 10, TViewMode::Hexa), TAddResult::Added);
        EXPECT_EQ(list.rowOf(n), n - 1);
    }
    EXPECT_TRUE(list.changed());
    EXPECT_EQ(list.add(9, "x", 10, TViewMode::Decimal), TAddResult::Full);
    EXPECT_EQ(list.add(3, "x", 10, TViewMode::Decimal), TAddResult::AlreadyListed);
    EXPECT_EQ(list.usedCount(), kRows);

    list.remove(2);
    EXPECT_EQ(list.row(2).used, false);
    EXPECT_EQ(list.add(40, "x", 32, TViewMode::Decimal), TAddResult::OutOfRange);
    EXPECT_EQ(list.add(11, "x", 10, TViewMode::Decimal), TAddResult::OutOfRange);
    EXPECT_EQ(list.add(0, "x", 10, TViewMode::Decimal), TAddResult::OutOfRange);
    // The freed row is the first unused one.
    EXPECT_EQ(list.add(10, "Ten", 10, TViewMode::TwoBytes), TAddResult::Added);
    EXPECT_EQ(list.rowOf(10), 2);
    EXPECT_EQ(list.row(2).name, "Ten");
    EXPECT_EQ(list.row(2).mode, TViewMode::TwoBytes);
    EXPECT_EQ(list.row(2).current, 0);
    EXPECT_EQ(list.numbers(), (std::vector<int>{1, 2, 10, 4, 5, 6, 7, 8}));

    list.clear();
    EXPECT_EQ(list.usedCount(), 0);
    EXPECT_FALSE(list.changed());
    // A row asked for by place is taken when it is free.
    EXPECT_EQ(list.add(5, "x", 10, TViewMode::Decimal, 4), TAddResult::Added);
    EXPECT_EQ(list.rowOf(5), 4);
    EXPECT_EQ(list.add(6, "x", 10, TViewMode::Decimal, 4), TAddResult::Added);
    EXPECT_EQ(list.rowOf(6), 0);
}

TEST(VariablesModel, MenusFollowTheRowAndTheVariablesAroundIt) {
    TScanList list;
    ASSERT_EQ(list.add(1, "a", 10, TViewMode::Decimal), TAddResult::Added);  // row 0
    ASSERT_EQ(list.add(2, "b", 10, TViewMode::Hexa), TAddResult::Added);     // row 1
    ASSERT_EQ(list.add(10, "c", 10, TViewMode::Decimal), TAddResult::Added); // row 2
    ASSERT_EQ(list.add(5, "d", 10, TViewMode::Decimal), TAddResult::Added);  // row 3

    EXPECT_EQ(menuFor(list.row(0), TColumn::Name), TRowMenu::Name);
    EXPECT_EQ(menuFor(list.row(0), TColumn::Init), TRowMenu::Value);
    EXPECT_EQ(menuFor(list.row(0), TColumn::Current), TRowMenu::Value);
    EXPECT_EQ(menuFor(list.row(5), TColumn::Name), TRowMenu::NameList);
    EXPECT_EQ(menuFor(list.row(5), TColumn::Current), TRowMenu::None);

    EXPECT_TRUE(valueMenu(list.row(1)).changeValue);
    EXPECT_EQ(valueMenu(list.row(1)).checked, TViewMode::Hexa);
    EXPECT_FALSE(valueMenu(list.row(5)).changeValue);

    struct Case {
        int row;
        std::optional<int> next;
        std::optional<int> prev;
    };
    // Next and Prev skip the numbers other rows show and stop at the module's ends.
    const Case cases[] = {
        {0, 3, std::nullopt}, {1, 3, std::nullopt}, {2, std::nullopt, 9}, {3, 6, 4}, {6, {}, {}}};
    for (const Case& c : cases) {
        EXPECT_EQ(steppedNumber(list, c.row, +1, 10), c.next) << c.row;
        EXPECT_EQ(steppedNumber(list, c.row, -1, 10), c.prev) << c.row;
        const TNameMenu menu = nameMenu(list, c.row, 10);
        EXPECT_EQ(menu.next, c.next.has_value()) << c.row;
        EXPECT_EQ(menu.prev, c.prev.has_value()) << c.row;
        EXPECT_EQ(menu.newLabel, list.row(c.row).used);
        EXPECT_EQ(menu.remove, list.row(c.row).used);
        EXPECT_TRUE(menu.eraseLabels);
    }
}

TEST(VariablesModel, HeaderColumnsTakeThreeAndTwoSeventhsAndTheRest) {
    EXPECT_EQ(columnWidths(700), (std::array<int, 3>{300, 200, 200}));
    EXPECT_EQ(columnWidths(350), (std::array<int, 3>{150, 100, 100}));
    const auto odd = columnWidths(500);
    EXPECT_EQ(odd[0] + odd[1] + odd[2], 500);
}

} // namespace
} // namespace tamsel::terminal::variables
