// How lists of several sub-drivers are put together.
#include "base/word_lists.h"

#include <gtest/gtest.h>

#include <cstring>

namespace linkor {
namespace {

TEST(WordLists, MergeCopiesFirstListWholeAndLaterOnesAfterTheirColon) {
    struct Case {
        const char* before;
        const char* added;
        const char* after;
    };
    for (const Case c : {Case{"", "T: A B", "T: A B"}, Case{"T: A", "T: B C", "T: A  B C"},
                         Case{"A B", "C D", "A B C D"}, Case{"T: A", "T:", "T: A "},
                         Case{"X", "a:b:c", "X b:c"}}) {
        std::string out = c.before;
        mergeList(out, c.added);
        EXPECT_EQ(out, c.after) << c.before << " + " << c.added;
    }
}

TEST(WordLists, UniqueWordsKeepFirstAppearance) {
    struct Case {
        const char* in;
        const char* out;
    };
    for (const Case c : {Case{"A B A C B", "A B C"}, Case{"9600 19200 9600", "9600 19200"},
                         Case{"  A  B   A", "  A B"}, Case{"ab AB ab", "ab AB"},
                         Case{"A AB A", "A AB"}, Case{"", ""}, Case{"T: 1 2 T: 2", "T: 1 2"}}) {
        EXPECT_EQ(uniqueWords(c.in), c.out) << '"' << c.in << '"';
    }
}

TEST(WordLists, CopyOutStaysInsideTheBuffer) {
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    copyOut(buffer, "0123456789", 6);
    EXPECT_STREQ(buffer, "01234");
    EXPECT_EQ(buffer[6], '#');
}

} // namespace
} // namespace linkor
