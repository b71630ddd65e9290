// Free texts of the terminal and lines of command files.
#include <comm/free_text.h>

#include <gtest/gtest.h>

namespace {

using namespace tkv::freetext;

TEST(FreeText, CleaningForMode2) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"03GS\t\tGA 100 (move)", "03GS  GA 100"},
        {"03GS   ", "03GS"},
        {"03GS\t", "03GS"},
        {"(all comment)", ""},
        {"  03GS", "  03GS"},
        {"03GA 5 (a) (b)", "03GA 5"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(clean(c.in), c.out) << c.in;
    }
}

TEST(FreeText, AddressOfTheFirstTwoCharacters) {
    EXPECT_EQ(addressOf("03GS"), 3);
    EXPECT_EQ(addressOf("63QV"), 63);
    EXPECT_EQ(addressOf("99"), 99);
    EXPECT_EQ(addressOf("3GS"), -1);
    EXPECT_EQ(addressOf("GS"), -1);
    EXPECT_EQ(addressOf(" 3GS"), -1);
    EXPECT_EQ(addressOf("0"), -1);
    EXPECT_EQ(addressOf(""), -1);
}

TEST(FreeText, Macros) {
    EXPECT_EQ(macroOf("03GS"), Macro::None);
    EXPECT_EQ(macroOf("$"), Macro::Unknown);
    EXPECT_EQ(macroOf("$syntax=AB"), Macro::Unknown);
    EXPECT_EQ(macroOf("$SYNTAXE=AB"), Macro::Unknown);
    EXPECT_EQ(macroOf("$syntaxe="), Macro::Syntax);
    EXPECT_EQ(macroOf("$syntaxe=AB"), Macro::Syntax);
    EXPECT_EQ(macroOf(" $syntaxe=AB"), Macro::None);
}

TEST(FreeText, SyntaxDump) {
    EXPECT_EQ(syntaxDump("$syntaxe="), "");
    EXPECT_EQ(syntaxDump("$syntaxe=AB"), " 41 42");
    EXPECT_EQ(syntaxDump("$syntaxe=\x01 "), "  1 20");
    EXPECT_EQ(syntaxDump("$syntaxe=\xe9"), " E9") << "a byte, not a sign-extended number";
}

TEST(FreeText, CommandFileLines) {
    using What = FileLine::What;
    struct Case {
        const char* line;
        What what;
        const char* text;
    };
    const Case cases[] = {
        {"", What::Skip, ""},
        {"* a comment", What::Skip, ""},
        {"; another", What::Skip, ""},
        {"03GS ; stop it", What::Send, "03GS"},
        {"  \t03GA\t100\t; go", What::Send, "03GA 100"},
        {"~ pause here", What::Local, "~ pause here"},
        {"  ~x ; y", What::Local, "~x"},
        {"   ; only a comment after blanks", What::Send, ""},
        {"\t", What::Send, ""},
    };
    for (const Case& c : cases) {
        const FileLine f = cleanFileLine(c.line);
        EXPECT_EQ(f.what, c.what) << c.line;
        EXPECT_EQ(f.text, c.text) << c.line;
    }
}

} // namespace
