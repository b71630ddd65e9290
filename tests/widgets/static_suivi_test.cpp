// TKVStaticSuivi: which lamp is where, clicks on a clickable row, repainting on change.
#include "paint_bench.h"

#include <lamp_geometry.h>
#include <static_suivi.h>

#include <QImage>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace tamsel::widgets::test {
namespace {

/// Brightness at the centre of @p bit's lamp.
int lampBrightness(TKVStaticSuivi& row, int bit) {
    QImage image(row.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    row.render(&image);
    const QPoint centre = lampCell(bit, row.width(), row.height(), row.bits()).center();
    return image.pixelColor(centre).value();
}

TEST(StaticSuivi, TheBitUnderTheCursorCountsFromTheRight) {
    TKVStaticSuivi row(8);
    row.resize(85, 16);
    const int cases[][2] = {{84, 0}, {75, 0}, {74, 1}, {5, 7}, {4, -1}, {90, -1}};
    for (const auto& c : cases) {
        EXPECT_EQ(row.bitUnderCursor(QPoint(c[0], 8)), c[1]) << "x " << c[0];
    }
}

TEST(StaticSuivi, TheHighestBitIsLitAtTheLeft) {
    TKVStaticSuivi row(8);
    row.resize(160, 20);
    row.setValue(0x80, false);
    const int left = lampBrightness(row, 7);
    const int right = lampBrightness(row, 0);
    EXPECT_GT(left, right + 60);
    row.setValue(0x01, false);
    EXPECT_GT(lampBrightness(row, 0), lampBrightness(row, 7) + 60);
}

TEST(StaticSuivi, AClickableRowNamesTheClickedBit) {
    auto* outputs = new TKVStaticSuivi(8, true);
    TPaintBench bench(outputs, {160, 20});
    ASSERT_TRUE(bench.open());
    QSignalSpy clicks(outputs, &TKVStaticSuivi::lampClicked);
    const int cases[][2] = {{155, 0}, {5, 7}, {61, 4}};
    for (const auto& c : cases) {
        clicks.clear();
        QTest::mouseClick(outputs, Qt::LeftButton, {}, QPoint(c[0], 10));
        ASSERT_EQ(clicks.count(), 1) << "x " << c[0];
        EXPECT_EQ(clicks.at(0).at(0).toInt(), c[1]) << "x " << c[0];
    }
    clicks.clear();
    QTest::mouseClick(outputs, Qt::RightButton, {}, QPoint(5, 10));
    EXPECT_EQ(clicks.count(), 0);
}

TEST(StaticSuivi, ARowThatIsNotClickableSaysNothing) {
    auto* inputs = new TKVStaticSuivi(8, false);
    TPaintBench bench(inputs, {160, 20});
    ASSERT_TRUE(bench.open());
    QSignalSpy clicks(inputs, &TKVStaticSuivi::lampClicked);
    QTest::mouseClick(inputs, Qt::LeftButton, {}, QPoint(5, 10));
    EXPECT_EQ(clicks.count(), 0);
}

TEST(StaticSuivi, RepaintsOnlyWhenTheShownBitsOrTheFlagChange) {
    auto* row = new TKVStaticSuivi(8);
    TPaintBench bench(row, {160, 20});
    ASSERT_TRUE(bench.open());
    EXPECT_GE(bench.paintsDuring([&] { row->setValue(0x12, false); }), 1);
    EXPECT_EQ(bench.paintsDuring([&] { row->setValue(0x12, false); }), 0);
    // Bits beyond the row's eight are not shown: no change.
    EXPECT_EQ(bench.paintsDuring([&] { row->setValue(0x312, false); }), 0);
    EXPECT_GE(bench.paintsDuring([&] { row->setValue(0x12, true); }), 1);
    EXPECT_EQ(bench.paintsDuring([&] { row->setValue(0x12, true); }), 0);
    EXPECT_GE(bench.paintsDuring([&] { row->setValue(0x13, true); }), 1);
}

TEST(StaticSuivi, AStatusWordRowKeepsAllThirtyTwoBits) {
    TKVStaticSuivi row(32);
    row.setValue(0x80000001U, false);
    EXPECT_EQ(row.value(), 0x80000001U);
    row.resize(320, 12);
    EXPECT_EQ(row.bitUnderCursor(QPoint(0, 5)), 31);
}

} // namespace
} // namespace tamsel::widgets::test
