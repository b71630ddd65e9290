// The cells of a digit display: glyphs, number formats and the fixed forms, by tables.
#include <digit_text.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace tamsel::widgets {
namespace {

TEST(DigitGlyphs, EachCharacterHasItsPlaceInTheStrip) {
    const struct {
        char c;
        int index;
    } cases[] = {
        {'-', 0},
        {' ', 1},
        {'9', 2},
        {'5', 6},
        {'1', 10},
        {'0', 11},
        {'*', 12},
        {'#', 13},
        {'N', 14},
        {'F', 15},
        {'a', 16},
        {'c', 18},
        {'f', 21},
        // Without a glyph of their own: the digits' formula.
        {':', 1},
        {'/', 12},
        {'A', -6},
        {'g', -44},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(glyphIndex(row.c), row.index) << "'" << row.c << "'";
    }
}

TEST(DigitGlyphs, OnlyTheStripsPlacesAreDrawn) {
    EXPECT_FALSE(isDrawableGlyph(-1));
    EXPECT_TRUE(isDrawableGlyph(0));
    EXPECT_TRUE(isDrawableGlyph(21));
    EXPECT_FALSE(isDrawableGlyph(22));
    EXPECT_FALSE(isDrawableGlyph(glyphIndex('A')));
}

TEST(DigitFormats, TheOwnFormatCarriesTheCellCount) {
    EXPECT_EQ(defaultNumberFormat(11), "%11ld");
    EXPECT_EQ(defaultNumberFormat(3), "%3ld");
}

TEST(DigitFormats, ReadsTheFormatsOfTheWindowsAndRefusesOthers) {
    const struct {
        const char* text;
        bool valid;
        bool zeroPad;
        int width;
    } cases[] = {
        {"%11ld", true, false, 11}, {"%3d", true, false, 3},   {"%03d", true, true, 3},
        {"%01d", true, true, 1},    {"%d", true, false, 0},    {"%ld", true, false, 0},
        {"", false, false, 0},      {"11d", false, false, 0},  {"%x", false, false, 0},
        {"%3s", false, false, 0},   {"%-3d", false, false, 0}, {"%3dx", false, false, 0},
        {"%999d", false, false, 0},
    };
    for (const auto& row : cases) {
        const auto format = parseNumberFormat(row.text);
        ASSERT_EQ(format.has_value(), row.valid) << row.text;
        if (format) {
            EXPECT_EQ(format->zeroPad, row.zeroPad) << row.text;
            EXPECT_EQ(format->width, row.width) << row.text;
        }
    }
}

TEST(DigitFormats, WritesAsPrintfDoes) {
    const struct {
        const char* format;
        std::int64_t value;
        const char* text;
    } cases[] = {
        {"%11ld", 123, "        123"},
        {"%11ld", -2147483647 - 1, "-2147483648"},
        {"%3d", -5, " -5"},
        {"%3d", 12345, "12345"},
        {"%03d", 7, "007"},
        {"%03d", -5, "-05"},
        {"%03d", -123, "-123"},
        {"%01d", 0, "0"},
        {"%d", std::numeric_limits<std::int64_t>::min(), "-9223372036854775808"},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(formatNumber(*parseNumberFormat(row.format), row.value), row.text)
            << row.format << " " << row.value;
    }
}

TEST(DigitCells, NumbersFillTheCellsOrShowTheOverflowForm) {
    const struct {
        const char* format;
        int cells;
        std::int64_t value;
        const char* shown;
    } cases[] = {
        {"%11ld", 11, 0, "          0"},
        {"%11ld", 11, -1234567890, "-1234567890"},
        {"%11ld", 11, 123456789012, "-----------"},
        {"%3d", 3, -99, "-99"},
        {"%3d", 3, -100, "---"},
        {"%3d", 3, 1000, "---"},
        {"%01d", 1, 9, "9"},
        {"%01d", 1, 10, "-"},
        // A format narrower than the display: the text starts at the first cell.
        {"%3d", 11, 5, "  5        "},
    };
    for (const auto& row : cases) {
        const std::string shown = numberCells(*parseNumberFormat(row.format), row.value, row.cells);
        EXPECT_EQ(shown, row.shown) << row.format << " " << row.value;
        EXPECT_EQ(static_cast<int>(shown.size()), row.cells);
    }
}

TEST(DigitCells, TextIsCutOrPaddedToTheCells) {
    EXPECT_EQ(textCells("0FF", 3), "0FF");
    EXPECT_EQ(textCells(" 0N", 3), " 0N");
    EXPECT_EQ(textCells("ab", 3), "ab ");
    EXPECT_EQ(textCells("overlong", 3), "ove");
    EXPECT_EQ(textCells("", 2), "  ");
    EXPECT_EQ(blankCells(4), "    ");
    EXPECT_EQ(overflowCells(2), "--");
}

TEST(DigitCells, TheSpinnerLightsEveryOtherCellUpToTheEleventh) {
    const struct {
        int cells;
        int phase;
        const char* shown;
    } cases[] = {
        {11, 0, "a a a a a a"},
        {11, 1, "b b b b b b"},
        {11, 5, "f f f f f f"},
        {12, 3, "d d d d d d "},
        {14, 0, "a a a a a a   "},
        {3, 2, "c c"},
        {1, 4, "e"},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(spinnerCells(row.cells, row.phase), row.shown)
            << row.cells << " cells, phase " << row.phase;
    }
    int phase = 0;
    for (int step = 1; step <= kSpinnerPhases; ++step) {
        phase = nextSpinnerPhase(phase);
        EXPECT_EQ(phase, step % kSpinnerPhases);
    }
}

} // namespace
} // namespace tamsel::widgets
