// The status light: its template, its states and when it repaints.
#include "paint_bench.h"

#include <status_light.h>

#include <gtest/gtest.h>

namespace tamsel::widgets::test {
namespace {

TEST(StatusLight, TheTemplateGivesTheStatesAndTheFirstPicture) {
    const struct {
        const char* text;
        int count;
        int firstBitmap;
    } cases[] = {
        {"4 4600", 4, 4600}, {"2 4500", 2, 4500}, {"  2   4700 ", 2, 4700},
        {"4600", 1, 0},      {"x y", 1, 0},       {"", 1, 0},
    };
    for (const auto& row : cases) {
        const TLightTemplate read = parseLightTemplate(QString::fromLatin1(row.text));
        EXPECT_EQ(read.count, row.count) << row.text;
        EXPECT_EQ(read.firstBitmap, row.firstBitmap) << row.text;
    }
}

TEST(StatusLight, EachStateShowsItsPictureAndStateZeroHides) {
    const struct {
        const char* text;
        bool alwaysVisible;
        int set;
        int state;
        int bitmap;
        bool visible;
    } cases[] = {
        {"4 4600", false, 1, 1, 4601, true},   {"4 4600", false, 3, 3, 4603, true},
        {"4 4600", false, 4, 4, 4604, true},   {"4 4600", false, 5, 0, 4600, false},
        {"4 4600", false, -1, 0, 4600, false}, {"4 4600", false, 0, 0, 4600, false},
        {"2 4500", true, 1, 1, 4501, true},    {"2 4500", true, 0, 0, 4500, true},
        {"2 4500", true, 3, 0, 4500, true},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(std::string(row.text) + " state " + std::to_string(row.set));
        QWidget window;
        auto* light = new TStatusLight(QString::fromLatin1(row.text), row.alwaysVisible, &window);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        light->setState(2);
        light->setState(row.set);
        EXPECT_EQ(light->state(), row.state);
        EXPECT_EQ(light->bitmapId(), row.bitmap);
        EXPECT_EQ(light->isVisible(), row.visible);
    }
}

TEST(StatusLight, AHiddenLightStaysHiddenWhenItsWindowOpens) {
    QWidget window;
    auto* light = new TStatusLight(QStringLiteral("4 4600"), false, &window);
    auto* power = new TStatusLight(QStringLiteral("2 4500"), true, &window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_FALSE(light->isVisible());
    EXPECT_TRUE(power->isVisible());
}

TEST(StatusLight, RepaintsOnlyWhenTheStateChanges) {
    auto* light = new TStatusLight(QStringLiteral("4 4600"), true);
    TPaintBench bench(light, {20, 20});
    ASSERT_TRUE(bench.open());
    EXPECT_GE(bench.paintsDuring([&] { light->setState(1); }), 1);
    EXPECT_EQ(bench.paintsDuring([&] { light->setState(1); }), 0);
    EXPECT_GE(bench.paintsDuring([&] { light->setState(3); }), 1);
    EXPECT_EQ(bench.paintsDuring([&] { light->setState(3); }), 0);
    // Above the count is state 0: a change the first time, nothing the second.
    EXPECT_GE(bench.paintsDuring([&] { light->setState(9); }), 1);
    EXPECT_EQ(bench.paintsDuring([&] { light->setState(9); }), 0);
    EXPECT_EQ(light->state(), 0);
}

} // namespace
} // namespace tamsel::widgets::test
