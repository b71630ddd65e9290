// Windows-1252 both ways: the 27 characters of 0x80-0x9F, the five undefined bytes, and
// the characters the code page cannot hold.
#include <common/cp1252.h>

#include <gtest/gtest.h>

namespace {

struct Mapping {
    unsigned char byte;
    char32_t character;
};

TEST(Cp1252, BytesReadAsTheirCharacters) {
    const Mapping table[] = {
        {0x41, U'A'}, {0x7F, 0x7F}, {0x80, U'€'}, {0x81, 0x81}, {0x8A, U'Š'}, {0x8D, 0x8D},
        {0x8F, 0x8F}, {0x90, 0x90}, {0x91, U'‘'}, {0x96, U'–'}, {0x99, U'™'}, {0x9D, 0x9D},
        {0x9F, U'Ÿ'}, {0xA0, 0xA0}, {0xE9, U'é'}, {0xFF, U'ÿ'},
    };
    for (const Mapping& m : table) {
        EXPECT_EQ(common::cp1252Character(m.byte), m.character) << int(m.byte);
    }
}

TEST(Cp1252, EveryByteSurvivesARoundTrip) {
    for (int b = 0; b < 0x100; ++b) {
        const auto byte = static_cast<unsigned char>(b);
        const auto back = common::cp1252Byte(common::cp1252Character(byte));
        ASSERT_TRUE(back.has_value()) << b;
        EXPECT_EQ(*back, byte) << b;
    }
}

TEST(Cp1252, CharactersOutsideTheCodePageHaveNoByte) {
    for (const char32_t c : {U'Ā', U'→', U'中', char32_t{0x1F600}}) {
        EXPECT_FALSE(common::cp1252Byte(c).has_value()) << static_cast<unsigned long>(c);
    }
    EXPECT_EQ(common::cp1252Byte(U'€'), 0x80);
    EXPECT_EQ(common::cp1252Byte(U'Ÿ'), 0x9F);
}

} // namespace
