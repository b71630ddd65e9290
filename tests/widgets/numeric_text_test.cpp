// The numeric field's rules: characters taken, reading as "%d" does, and the range.
#include <numeric_text.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>

namespace tamsel::widgets {
namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

TEST(NumericText, TakesDigitsSignsAndBlanksOnly) {
    const struct {
        const char* text;
        int radix;
        bool taken;
    } cases[] = {
        {"123", 10, true},  {"+12", 10, true},  {"- 3", 10, true},   {"", 10, true},
        {"12a", 10, false}, {"1.5", 10, false}, {"0x1F", 10, false}, {"1_0", 10, false},
        {"1F", 16, true},   {"-ff", 16, true},  {"fg", 16, false},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(isNumericText(QString::fromLatin1(row.text), row.radix), row.taken)
            << row.text << " in radix " << row.radix;
    }
}

TEST(NumericText, ReadsTheLeadingNumberAsScanfDoes) {
    const struct {
        QString text;
        int radix;
        std::optional<std::int32_t> value;
    } cases[] = {
        {"42", 10, 42},
        {"  -17", 10, -17},
        {"+5", 10, 5},
        {"0012", 10, 12},
        {"12abc", 10, 12},
        {"12 34", 10, 12},
        {"abc", 10, std::nullopt},
        {"", 10, std::nullopt},
        {"-", 10, std::nullopt},
        {"- 5", 10, std::nullopt},
        {"99999999999", 10, kMax},
        {"-99999999999", 10, kMin},
        {"2147483647", 10, kMax},
        {"-2147483648", 10, kMin},
        // Only the first thirty characters are read.
        {QString(29, u' ') + "7", 10, 7},
        {QString(30, u' ') + "7", 10, std::nullopt},
        {QString(28, u' ') + "123", 10, 12},
        {"1F", 16, 31},
        {"-a", 16, -10},
        {"0x10", 16, 16},
        {"zz", 16, std::nullopt},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(readNumber(row.text, row.radix), row.value)
            << "\"" << row.text.toStdString() << "\" in radix " << row.radix;
    }
}

TEST(NumericText, WritesWithPercentDOrHexadecimal) {
    EXPECT_EQ(writeNumber(-5), "-5");
    EXPECT_EQ(writeNumber(0), "0");
    EXPECT_EQ(writeNumber(255, kHexaRadix), "FF");
    EXPECT_EQ(writeNumber(-1, kHexaRadix), "FFFFFFFF");
}

TEST(NumericText, ValuesStayInsideTheRange) {
    const struct {
        std::int64_t value;
        std::int32_t minimum;
        std::int32_t maximum;
        std::int32_t kept;
    } cases[] = {
        {5, 0, 10, 5},
        {-1, 0, 10, 0},
        {11, 0, 10, 10},
        {std::int64_t{kMax} + 1, kMin, kMax, kMax},
        {std::int64_t{kMin} - 1, kMin, kMax, kMin},
        // A minimum above the maximum leaves one value.
        {5, 10, 0, 10},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(clampToRange(row.value, row.minimum, row.maximum), row.kept)
            << row.value << " in " << row.minimum << ".." << row.maximum;
    }
}

TEST(NumericText, StepsStopAtTheRangeEnds) {
    const struct {
        std::int32_t value;
        std::int32_t delta;
        std::int32_t minimum;
        std::int32_t maximum;
        std::int32_t stepped;
    } cases[] = {
        {5, 1, 0, 10, 6},
        {9, 5, 0, 10, 10},
        {1, -5, 0, 10, 0},
        {kMax, 1, kMin, kMax, kMax},
        {kMin, -1, kMin, kMax, kMin},
        {-3, -1, -10, 10, -4},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(stepInRange(row.value, row.delta, row.minimum, row.maximum), row.stepped)
            << row.value << " by " << row.delta;
    }
}

} // namespace
} // namespace tamsel::widgets
