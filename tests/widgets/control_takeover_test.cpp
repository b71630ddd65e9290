// Widgets taking the places of a form's placeholders, laid out or placed by hand.
#include <control_takeover.h>
#include <digital.h>
#include <status_light.h>

#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

namespace tamsel::widgets::test {
namespace {

QLabel* placeholder(const char* id, const char* text, QWidget* parent) {
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setObjectName(QString::fromLatin1(id));
    return label;
}

TEST(ControlTakeover, AWidgetTakesThePlaceInTheLayout) {
    QWidget form;
    auto* grid = new QGridLayout(&form);
    grid->addWidget(new QLabel(QStringLiteral("Position")), 0, 0);
    QPointer<QLabel> position = placeholder("101", "", &form);
    position->setToolTip(QStringLiteral("steps"));
    grid->addWidget(position, 0, 1);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    auto* display = takeOver(position.data(), new TDigital(11, QStringLiteral("%11ld")));
    EXPECT_TRUE(position.isNull());
    EXPECT_EQ(form.findChild<QWidget*>(QStringLiteral("101")), display);
    EXPECT_EQ(display->parentWidget(), &form);
    EXPECT_EQ(display->toolTip(), "steps");
    EXPECT_TRUE(display->isVisible());
    int row = -1;
    int column = -1;
    int rowSpan = 0;
    int columnSpan = 0;
    grid->getItemPosition(grid->indexOf(display), &row, &column, &rowSpan, &columnSpan);
    EXPECT_EQ(row, 0);
    EXPECT_EQ(column, 1);
}

TEST(ControlTakeover, WithoutALayoutTheGeometryIsKept) {
    QWidget form;
    QLabel* lamps = placeholder("306", "", &form);
    lamps->setGeometry(10, 40, 320, 14);
    auto* display = takeOver(lamps, new TDigital(3));
    EXPECT_EQ(display->geometry(), QRect(10, 40, 320, 14));
    EXPECT_EQ(display->objectName(), "306");
}

TEST(ControlTakeover, ALightReadsItsTemplateFromTheStatic) {
    const struct {
        const char* text;
        bool always;
        int count;
        int firstBitmap;
        bool visible;
    } cases[] = {
        {"4 4600", false, 4, 4600, false},
        {"2 4500", true, 2, 4500, true},
        {"2 4700", false, 2, 4700, false},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.text);
        QWidget form;
        auto* grid = new QGridLayout(&form);
        grid->addWidget(placeholder("119", row.text, &form), 0, 0);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        TStatusLight* light =
            takeOverLight(form.findChild<QLabel*>(QStringLiteral("119")), row.always);
        EXPECT_EQ(form.findChild<QWidget*>(QStringLiteral("119")), light);
        EXPECT_EQ(light->stateCount(), row.count);
        EXPECT_EQ(light->bitmapId(), row.firstBitmap);
        // A light in state 0 hides unless it is always visible, even in a shown window.
        EXPECT_EQ(light->isVisible(), row.visible);
        light->setState(1);
        EXPECT_TRUE(light->isVisible());
    }
}

TEST(ControlTakeover, AHiddenPlaceholderLeavesItsControlHidden) {
    QWidget form;
    auto* grid = new QGridLayout(&form);
    QLabel* hidden = placeholder("1153", "", &form);
    grid->addWidget(hidden, 0, 0);
    hidden->hide();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    auto* display = takeOver(hidden, new TDigital(3));
    EXPECT_FALSE(display->isVisible());
}

} // namespace
} // namespace tamsel::widgets::test
