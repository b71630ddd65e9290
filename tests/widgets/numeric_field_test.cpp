// TNumericField: what it takes from the keyboard and the clipboard, and its range.
#include <numeric_field.h>

#include <QApplication>
#include <QClipboard>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace tamsel::widgets::test {
namespace {

class NumericFieldTest : public ::testing::Test {
  protected:
    void SetUp() override {
        field = std::make_unique<TNumericField>();
        field->setRange(-10, 100);
        field->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(field.get()));
        field->activateWindow();
        field->setFocus();
        field->clear();
    }
    std::unique_ptr<TNumericField> field;
};

TEST_F(NumericFieldTest, TakesOnlyDigitsSignsBlanksAndBackspace) {
    const struct {
        const char* typed;
        const char* kept;
    } cases[] = {
        {"12a3", "123"}, {"+-  7", "+-  7"}, {"x.,;Z", ""}, {"4e5", "45"}, {"0x1F", "01"},
    };
    for (const auto& row : cases) {
        field->clear();
        QTest::keyClicks(field.get(), QString::fromLatin1(row.typed));
        EXPECT_EQ(field->text().toStdString(), row.kept) << row.typed;
    }
    field->clear();
    QTest::keyClicks(field.get(), QStringLiteral("123"));
    QTest::keyClick(field.get(), Qt::Key_Backspace);
    EXPECT_EQ(field->text(), "12");
}

TEST_F(NumericFieldTest, PastedGarbageIsRefused) {
    field->setValue(42);
    field->selectAll();
    QApplication::clipboard()->setText(QStringLiteral("12x"));
    field->paste();
    EXPECT_EQ(field->text(), "42");
    QApplication::clipboard()->setText(QStringLiteral(" -7"));
    field->paste();
    EXPECT_EQ(field->text(), " -7");
    EXPECT_EQ(field->value(), -7);
}

TEST_F(NumericFieldTest, SettingAValueKeepsItInsideTheRange) {
    const int cases[][3] = {{50, 50, 0}, {101, 100, 0}, {-11, -10, 0}, {-10, -10, 0}};
    for (const auto& row : cases) {
        field->setValue(row[0]);
        EXPECT_EQ(field->value(), row[1]) << row[0];
        EXPECT_EQ(field->text(), QString::number(row[1])) << row[0];
    }
}

TEST_F(NumericFieldTest, ReadsTheTextWithPercentD) {
    field->setValue(33);
    const struct {
        QString text;
        int value;
    } cases[] = {
        {"  12", 12},
        {"+8", 8},
        {"250", 100}, // typed beyond the range: read inside it
        {"-99", -10},
        {"", 33}, // nothing to read: the value last set
        {"- 4", 33},
        {QString(29, u' ') + "7", 7},
        {QString(30, u' ') + "7", 33},
    };
    for (const auto& row : cases) {
        field->setText(row.text);
        EXPECT_EQ(field->value(), row.value) << "\"" << row.text.toStdString() << "\"";
    }
}

TEST_F(NumericFieldTest, ATypedValueComesBackInsideTheRangeWhenConfirmed) {
    QTest::keyClicks(field.get(), QStringLiteral("250"));
    QTest::keyClick(field.get(), Qt::Key_Return);
    EXPECT_EQ(field->text(), "100");
    field->clear();
    QTest::keyClicks(field.get(), QStringLiteral("-0040"));
    QTest::keyClick(field.get(), Qt::Key_Return);
    EXPECT_EQ(field->text(), "-10");
}

TEST_F(NumericFieldTest, StepsStopAtTheRangeEnds) {
    const int cases[][3] = {{99, 5, 100}, {50, 1, 51}, {-9, -5, -10}, {0, -1, -1}};
    for (const auto& row : cases) {
        field->setValue(row[0]);
        field->stepBy(row[1]);
        EXPECT_EQ(field->value(), row[2]) << row[0] << " by " << row[1];
        EXPECT_EQ(field->text(), QString::number(row[2]));
    }
}

TEST_F(NumericFieldTest, ANewRangeTakesTheValueWithIt) {
    field->setValue(50);
    field->setRange(0, 20);
    EXPECT_EQ(field->value(), 20);
    EXPECT_EQ(field->text(), "20");
    field->setRange(30, 10);
    EXPECT_EQ(field->minimum(), 10);
    EXPECT_EQ(field->maximum(), 10);
    EXPECT_EQ(field->value(), 10);
}

TEST_F(NumericFieldTest, InHexadecimalTakesHexDigits) {
    field->setRange(0, 4095);
    field->setValue(255);
    field->setRadix(kHexaRadix);
    EXPECT_EQ(field->text(), "FF");
    field->clear();
    QTest::keyClicks(field.get(), QStringLiteral("1agZ"));
    EXPECT_EQ(field->text(), "1a");
    EXPECT_EQ(field->value(), 26);
    field->setRadix(kDecimalRadix);
    EXPECT_EQ(field->text(), "26");
}

} // namespace
} // namespace tamsel::widgets::test
