// Blanks, white space and the words of a text.
#include <common/text_words.h>

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace {

using std::string_view;

TEST(TextWords, TrimTakesBlanksOnlyUnlessToldOtherwise) {
    struct Case {
        string_view text;
        string_view blanks;
        string_view spaces;
    };
    const Case cases[] = {
        {"", "", ""},
        {" \t ", "", ""},
        {"  COM1 = x ", "COM1 = x", "COM1 = x"},
        {"\tword\t", "word", "word"},
        {"/dev/ttyS0\r", "/dev/ttyS0\r", "/dev/ttyS0"},
        {"\n\v\f a b \r\n", "\n\v\f a b \r\n", "a b"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(common::trim(c.text), c.blanks) << c.text;
        EXPECT_EQ(common::trim(c.text, common::isSpace), c.spaces) << c.text;
    }
    EXPECT_EQ(common::trimStart("  a b  "), "a b  ");
    EXPECT_EQ(common::trimEnd("  a b  "), "  a b");
}

TEST(TextWords, WordsAreSplitAtBlanksAndTabs) {
    struct Case {
        string_view text;
        std::vector<string_view> words;
    };
    const Case cases[] = {
        {"", {}},
        {" \t ", {}},
        {"TRILO", {"TRILO"}},
        {"  TRILO \t VRX23  VRX34 ", {"TRILO", "VRX23", "VRX34"}},
        {"a\nb c", {"a\nb", "c"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(common::words(c.text), c.words) << c.text;
    }
}

} // namespace
