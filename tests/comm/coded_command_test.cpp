// The coded command of request 0x102: mnemonics, the mask form of code 10, code 11's
// variable form, the QL token of code 12.
#include "coded_command.h"
#include <comm/texts.h>

#include <gtest/gtest.h>

namespace {

using namespace tkv;

struct Case {
    int32_t code;
    const char* parameter;
    const char* command;  ///< nullptr: nothing to send
    const char* prepared; ///< the record's parameter afterwards
};

TEST(CodedCommand, EveryCode) {
    const Case cases[] = {
        {0, "", "05DI  ", ""},
        {1, "", "05MR  ", ""},
        {2, "", "05GR  ", ""},
        {3, "", "05GM  ", ""},
        {4, "", "05GS  ", ""},
        {5, "", "05GE  ", ""},
        {6, "12", "05SS 12 ", "12"},
        {7, "-400", "05GA -400 ", "-400"},
        {8, "+ Wh", "05GF + Wh ", "+ Wh"},
        {9, "", "05DI  ", ""},
        {10, "FXXXXXXF", "05GL FF:81 ", "FF:81"},
        {10, "F0F0F0F0", "05GL  AA  ", " AA "},
        {10, "00000000", "05GL  0  ", " 0 "},
        {10, "XXXXXXXX", "05GL FF:0 ", "FF:0"},
        {10, "0X", "05GL 40:BF ", "40:BF"},
        {10, "FFFFFFFFXX", "05GL  FF  ", " FF "},
        {11, "5 100", "05PD  #05:100 ", " #05:100"},
        {11, "12 -3", "05PD  #12:-3 ", " #12:-3"},
        {11, "7", nullptr, "7"},
        {12, "anything", "05QL   ", " "},
        {13, "x", "05MR", "x"},
        {40, "", "05MR", ""},
        {-1, "", nullptr, ""},
    };
    for (const Case& c : cases) {
        TagCodedCommand r;
        r.code = c.code;
        r.address = 5;
        text::copy(r.parameter, c.parameter);
        const auto command = cmdset::codedCommand(r);
        if (c.command == nullptr) {
            EXPECT_FALSE(command.has_value()) << c.code << " " << c.parameter;
        } else {
            ASSERT_TRUE(command.has_value()) << c.code << " " << c.parameter;
            EXPECT_EQ(*command, c.command) << c.code << " " << c.parameter;
        }
        EXPECT_EQ(text::view(r.parameter), c.prepared) << c.code << " " << c.parameter;
    }
}

TEST(CodedCommand, Code12KeepsTheLastFieldThatMatched) {
    struct Reply {
        const char* reply;
        const char* parameter;
    };
    const Reply cases[] = {
        {"05L WL:100 WH:2000 WT:200", "2000"},
        {"05L WL:100 WX:2000", "100"},
        {"05L QQ", "05L"},
        {"", " "},
    };
    for (const Reply& c : cases) {
        TagCodedCommand r;
        r.code = kCodedParameters;
        text::copy(r.parameter, " ");
        cmdset::takeCodedReply(r, c.reply);
        EXPECT_EQ(text::view(r.parameter), c.parameter) << c.reply;
    }
    TagCodedCommand other;
    other.code = 4;
    text::copy(other.parameter, "kept");
    cmdset::takeCodedReply(other, "05L WL:100 WH:2000");
    EXPECT_EQ(text::view(other.parameter), "kept");
}

} // namespace
