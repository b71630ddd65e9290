// Which lamp of a row is under the cursor, counted from the right end.
#include <lamp_geometry.h>

#include <gtest/gtest.h>

namespace tamsel::widgets {
namespace {

TEST(LampGeometry, TheBitUnderTheCursorCountsFromTheRightEnd) {
    const struct {
        int x;
        int rowWidth;
        int bits;
        int bit;
    } cases[] = {
        {79, 80, 8, 0},
        {70, 80, 8, 0},
        {69, 80, 8, 1},
        {35, 80, 8, 4},
        {0, 80, 8, 7},
        {-1, 80, 8, -1},
        {80, 80, 8, -1},
        // 85 / 8 leaves five pixels at the left end that belong to no lamp.
        {84, 85, 8, 0},
        {5, 85, 8, 7},
        {4, 85, 8, -1},
        {0, 85, 8, -1},
        // The 32 lamps of a status word.
        {319, 320, 32, 0},
        {0, 320, 32, 31},
        // No room for a lamp, or no lamps.
        {2, 5, 8, -1},
        {2, 80, 0, -1},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(bitUnderCursor(row.x, row.rowWidth, row.bits), row.bit)
            << "x " << row.x << " in " << row.rowWidth << " for " << row.bits << " bits";
    }
}

TEST(LampGeometry, TheHighestBitSitsAtTheLeft) {
    EXPECT_EQ(lampCell(0, 80, 16, 8), QRect(70, 0, 10, 16));
    EXPECT_EQ(lampCell(7, 80, 16, 8), QRect(0, 0, 10, 16));
    EXPECT_EQ(lampCell(7, 85, 16, 8), QRect(5, 0, 10, 16));
    for (int x = 0; x < 85; ++x) {
        const int bit = bitUnderCursor(x, 85, 8);
        if (bit >= 0) {
            EXPECT_TRUE(lampCell(bit, 85, 16, 8).contains(x, 0)) << x;
        }
    }
}

} // namespace
} // namespace tamsel::widgets
