// TKVDisplayDigits: every view mode as drawn, the running bullet of the error form, the
// view mode read back, repainting only on change and the right click.
#include "paint_bench.h"

#include <display_digits.h>
#include <glyph_painter.h>
#include <radix_text.h>

#include <QImage>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace tamsel::widgets::test {
namespace {

class DisplayDigitsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        display = new TKVDisplayDigits(11);
        bench = std::make_unique<TPaintBench>(display, QSize(200, 28));
        ASSERT_TRUE(bench->open());
    }
    /// What the display draws for @p value in @p mode.
    QString drawn(std::int32_t value, int mode) {
        display->setViewMode(mode);
        display->setValue(value, false);
        display->repaint();
        return display->shownText();
    }

    TKVDisplayDigits* display = nullptr;
    std::unique_ptr<TPaintBench> bench;
};

TEST_F(DisplayDigitsTest, DrawsEachViewMode) {
    const struct {
        std::int32_t value;
        int mode;
        const char* text;
    } cases[] = {
        {-42, viewmode::kDecimal, "        -42"},
        {48879, viewmode::kHexadecimal, "hBEEF"},
        {512, viewmode::kBinary, "b1000000000"},
        {513, viewmode::kBinary, "bOverflow"},
        {-1, viewmode::kBinary, "bOverflow"},
        {12003, viewmode::kFunction, "12:  3"},
        {0, viewmode::kFunction, ""},
        {999, viewmode::kFunction, "999"},
        {1, viewmode::kUnused, "   ?    "},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(drawn(row.value, row.mode).toStdString(), row.text)
            << "value " << row.value << ", mode " << row.mode;
    }
}

TEST_F(DisplayDigitsTest, TheViewModeReadsBackWithBinaryAsDecimal) {
    const int cases[][2] = {{1, 1}, {2, 0}, {3, 3}, {4, 4}, {0, 0}};
    for (const auto& row : cases) {
        display->setViewMode(row[0]);
        EXPECT_EQ(display->viewMode(), row[1]) << "mode " << row[0];
    }
    // Read back as decimal, the binary view still draws binary.
    EXPECT_EQ(drawn(3, viewmode::kBinary), "b0000000011");
}

TEST_F(DisplayDigitsTest, InErrorABulletMovesOnePlaceEachRepaintAndWraps) {
    auto* narrow = new TKVDisplayDigits(3);
    TPaintBench narrowBench(narrow, {60, 28});
    ASSERT_TRUE(narrowBench.open());
    narrow->setValue(77, true);
    const QString bullet{QChar(kBullet)};
    const QString expected[] = {bullet + "  ", " " + bullet + " ", "  " + bullet, bullet + "  "};
    const int start = narrow->bulletPosition();
    for (int step = 0; step < 4; ++step) {
        narrow->repaint();
        EXPECT_EQ(narrow->shownText(), expected[(start + step) % 3]) << step;
    }
    narrow->setValue(77, false);
    narrow->repaint();
    EXPECT_EQ(narrow->shownText(), "         77");
}

TEST_F(DisplayDigitsTest, RepaintsOnlyWhenValueFlagOrModeChange) {
    EXPECT_GE(bench->paintsDuring([&] { display->setValue(5, false); }), 1);
    EXPECT_EQ(bench->paintsDuring([&] { display->setValue(5, false); }), 0);
    EXPECT_GE(bench->paintsDuring([&] { display->setValue(5, true); }), 1);
    EXPECT_EQ(bench->paintsDuring([&] { display->setError(true); }), 0);
    EXPECT_GE(bench->paintsDuring([&] { display->setError(false); }), 1);
    EXPECT_GE(bench->paintsDuring([&] { display->setViewMode(viewmode::kHexadecimal); }), 1);
    EXPECT_EQ(bench->paintsDuring([&] { display->setViewMode(viewmode::kHexadecimal); }), 0);
    EXPECT_GE(bench->paintsDuring([&] { display->setValue(6, false); }), 1);
}

TEST_F(DisplayDigitsTest, TheTextIsDrawnAtTheRight) {
    display->setViewMode(viewmode::kHexadecimal);
    display->setValue(5, false);
    QImage image(display->size(), QImage::Format_RGB32);
    display->render(&image);
    int leftmostLit = image.width();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) != face::kBackground) {
                leftmostLit = qMin(leftmostLit, x);
            }
        }
    }
    // "h5" takes two of the eleven places, at the right end.
    ASSERT_LT(leftmostLit, image.width());
    EXPECT_GT(leftmostLit, image.width() * 2 / 3);
}

TEST_F(DisplayDigitsTest, ARightClickIsPassedToTheOwner) {
    QSignalSpy clicks(display, &TKVDisplayDigits::rightClicked);
    QTest::mouseClick(display, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(clicks.count(), 0);
    QTest::mouseClick(display, Qt::RightButton, {}, QPoint(20, 10));
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.at(0).at(0).toPoint(), display->mapToGlobal(QPoint(20, 10)));
}

} // namespace
} // namespace tamsel::widgets::test
