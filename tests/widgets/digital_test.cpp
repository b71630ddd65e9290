// TDigital: what each operation leaves in the cells, the error spinner, repainting only
// on change, and drawing only inside the cells.
#include "paint_bench.h"

#include <digital.h>
#include <glyph_painter.h>

#include <QImage>

#include <gtest/gtest.h>

#include <functional>

namespace tamsel::widgets::test {
namespace {

TEST(Digital, EachOperationLeavesItsCells) {
    using Action = std::function<void(TDigital&)>;
    const struct {
        int cells;
        const char* format;
        Action action;
        const char* shown;
    } cases[] = {
        {11, "", [](TDigital& d) { d.setNumber(-1234); }, "      -1234"},
        {11, "%11ld", [](TDigital& d) { d.setNumber(0); }, "          0"},
        {11, "%11ld", [](TDigital& d) { d.setNumber(-12345678901); }, "-----------"},
        {3, "%3d", [](TDigital& d) { d.setNumber(42); }, " 42"},
        {3, "%3d", [](TDigital& d) { d.setNumber(1000); }, "---"},
        {3, "%03d", [](TDigital& d) { d.setNumber(7); }, "007"},
        {1, "%01d", [](TDigital& d) { d.setNumber(3); }, "3"},
        {1, "%01d", [](TDigital& d) { d.setNumber(12); }, "-"},
        {3, "%3d", [](TDigital& d) { d.setNumberOrBlank(0); }, "   "},
        {3, "%3d", [](TDigital& d) { d.setNumberOrBlank(12); }, " 12"},
        {3, "", [](TDigital& d) { d.setText(QStringLiteral(" 0N")); }, " 0N"},
        {3, "", [](TDigital& d) { d.setText(QStringLiteral("0FF")); }, "0FF"},
        {3, "", [](TDigital& d) { d.setText(QStringLiteral("overlong")); }, "ove"},
        {3, "",
         [](TDigital& d) {
             d.setNumber(5);
             d.setCharacter(0, '#');
         },
         "# 5"},
        {3, "", [](TDigital& d) { d.setCharacter(3, '#'); }, "   "},
        {3, "", [](TDigital& d) { d.setCharacter(-1, '#'); }, "   "},
        {3, "",
         [](TDigital& d) {
             d.setNumber(123);
             d.blank();
         },
         "   "},
        // A format that cannot be read gives the display's own.
        {4, "%s", [](TDigital& d) { d.setNumber(12); }, "  12"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(std::string(row.format) + " -> " + row.shown);
        TDigital display(row.cells, QString::fromLatin1(row.format));
        row.action(display);
        EXPECT_EQ(display.cells(), row.shown);
    }
}

TEST(Digital, TheSpinnerTurnsThroughSixPhases) {
    TDigital display(11, QStringLiteral("%11ld"));
    display.setNumber(123);
    const char* phases[] = {"a a a a a a", "b b b b b b", "c c c c c c", "d d d d d d",
                            "e e e e e e", "f f f f f f", "a a a a a a"};
    for (const char* shown : phases) {
        display.stepErrorSpinner();
        EXPECT_EQ(display.cells(), shown);
    }
    EXPECT_EQ(display.spinnerPhase(), 1);
}

TEST(Digital, RepaintsOnlyWhenTheCellsChange) {
    auto* display = new TDigital(11, QStringLiteral("%11ld"));
    TPaintBench bench(display, {176, 30});
    ASSERT_TRUE(bench.open());
    EXPECT_GE(bench.paintsDuring([&] { display->setNumber(5); }), 1);
    EXPECT_EQ(bench.paintsDuring([&] { display->setNumber(5); }), 0);
    // The same cells reached another way are no change either.
    EXPECT_EQ(bench.paintsDuring([&] { display->setText(QStringLiteral("          5")); }), 0);
    EXPECT_GE(bench.paintsDuring([&] { display->setNumberOrBlank(0); }), 1);
    EXPECT_EQ(bench.paintsDuring([&] { display->blank(); }), 0);
    EXPECT_EQ(bench.paintsDuring([&] { display->setCharacter(4, ' '); }), 0);
    EXPECT_GE(bench.paintsDuring([&] { display->setCharacter(4, '#'); }), 1);
    // Every phase of the spinner is a change.
    for (int step = 0; step < 7; ++step) {
        EXPECT_GE(bench.paintsDuring([&] { display->stepErrorSpinner(); }), 1) << step;
    }
}

TEST(Digital, DrawsNothingOutsideItsCells) {
    const QColor marker(0xff, 0x00, 0xff);
    for (const qint64 value : {qint64{7}, qint64{-88}, qint64{123456}}) {
        SCOPED_TRACE(value);
        // 47 pixels for three cells of 15: the two pixels at the right belong to no cell.
        TDigital display(3, QStringLiteral("%3d"));
        display.resize(47, 30);
        display.setNumber(value);
        QImage image(47, 30, QImage::Format_RGB32);
        image.fill(marker);
        display.render(&image, {}, {}, QWidget::DrawChildren);
        for (int y = 0; y < 30; ++y) {
            EXPECT_EQ(image.pixelColor(45, y), marker) << y;
            EXPECT_EQ(image.pixelColor(46, y), marker) << y;
        }
        for (int cell = 0; cell < 3; ++cell) {
            EXPECT_EQ(image.pixelColor(cell * 15 + 1, 1), face::kBackground) << cell;
        }
    }
}

} // namespace
} // namespace tamsel::widgets::test
