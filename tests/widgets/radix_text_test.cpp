// The texts of the radix display, per view mode, and the bullet of its error form.
#include <radix_text.h>

#include <gtest/gtest.h>

#include <cstdint>

namespace tamsel::widgets {
namespace {

TEST(RadixText, EachViewModeWritesTheValueItsWay) {
    const struct {
        std::int32_t value;
        int mode;
        const char* text;
    } cases[] = {
        {0, viewmode::kDecimal, "          0"},
        {-1, viewmode::kDecimal, "         -1"},
        {2147483647, viewmode::kDecimal, " 2147483647"},
        {-2147483647 - 1, viewmode::kDecimal, "-2147483648"},
        {0, viewmode::kHexadecimal, "h0"},
        {255, viewmode::kHexadecimal, "hFF"},
        {-1, viewmode::kHexadecimal, "hFFFFFFFF"},
        {0, viewmode::kBinary, "b0000000000"},
        {5, viewmode::kBinary, "b0000000101"},
        {511, viewmode::kBinary, "b0111111111"},
        {512, viewmode::kBinary, "b1000000000"},
        {513, viewmode::kBinary, "bOverflow"},
        {-1, viewmode::kBinary, "bOverflow"},
        {0, viewmode::kFunction, ""},
        {-4, viewmode::kFunction, ""},
        {1, viewmode::kFunction, "1"},
        {999, viewmode::kFunction, "999"},
        {1000, viewmode::kFunction, " 1:  0"},
        {12003, viewmode::kFunction, "12:  3"},
        {123456, viewmode::kFunction, "123:456"},
        {7, viewmode::kUnused, "   ?    "},
        {7, 9, "   ?    "},
        {7, -1, "   ?    "},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(radixText(row.value, row.mode).toStdString(), row.text)
            << "value " << row.value << ", mode " << row.mode;
    }
}

TEST(RadixText, TheBinaryViewReadsBackAsDecimal) {
    const int cases[][2] = {{0, 0}, {1, 1}, {2, 0}, {3, 3}, {4, 4}};
    for (const auto& row : cases) {
        EXPECT_EQ(reportedViewMode(row[0]), row[1]) << "mode " << row[0];
    }
}

TEST(RadixText, TheBulletRunsAlongTheWidthAndWraps) {
    const QString bullet{QChar(kBullet)};
    EXPECT_EQ(errorText(4, 0), bullet + "   ");
    EXPECT_EQ(errorText(4, 2), "  " + bullet + " ");
    EXPECT_EQ(errorText(4, 3), "   " + bullet);
    EXPECT_EQ(errorText(4, 4), "    ");
    const struct {
        int position;
        int width;
        int next;
    } steps[] = {{0, 4, 1}, {2, 4, 3}, {3, 4, 0}, {0, 1, 0}, {5, 0, 0}};
    for (const auto& row : steps) {
        EXPECT_EQ(nextBulletPosition(row.position, row.width), row.next)
            << row.position << " of " << row.width;
    }
}

} // namespace
} // namespace tamsel::widgets
