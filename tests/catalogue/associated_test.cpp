#include "buffer.h"
#include "modtyp.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <string>

namespace {

struct AssociedCase {
    int32_t codeIn;
    const char* nameIn;
    int32_t codeOut;
    const char* nameOut;
};

void PrintTo(const AssociedCase& c, std::ostream* os) {
    *os << std::hex << "0x" << c.codeIn << " \"" << c.nameIn << '"';
}

class TypeAssocied : public ::testing::TestWithParam<AssociedCase> {};

TEST_P(TypeAssocied, PicksTheCodeByExactName) {
    const AssociedCase& c = GetParam();
    GuardedBuffer<kNameSize> name{c.nameIn};
    int32_t code = c.codeIn;
    EXPECT_EQ(GetTypeAssocied(&code, name.data()), name.data());
    EXPECT_EQ(code, c.codeOut) << std::hex << code;
    EXPECT_EQ(name.text(), c.nameOut);
    EXPECT_TRUE(name.guardIntact());
}

INSTANTIATE_TEST_SUITE_P(
    Table, TypeAssocied,
    ::testing::Values(
        AssociedCase{0x0100, "KA61", 0x0180, "KA61"}, AssociedCase{0x0100, "KA01", 0x0181, "KA01"},
        AssociedCase{0x0300, "KB61", 0x0380, "KB61 v72"},
        AssociedCase{0x0300, "KB41", 0x0382, "KB41 v72"},
        // Known by name, but without a display name of its own.
        AssociedCase{0x0300, "KB81", 0x0383, "default"},
        // Any code is replaced, whatever it was.
        AssociedCase{0x01056021, "KA01", 0x0181, "KA01"},
        // Not exactly one of the names: the code stays and is named.
        AssociedCase{0x0100, "ka61", 0x0100, "ka?1"}, AssociedCase{0x0100, "KA61 ", 0x0100, "ka?1"},
        AssociedCase{0x0300, "KB61 v72", 0x0300, "kb?1 v72"},
        AssociedCase{0x0300, "KB6", 0x0300, "kb?1 v72"}, AssociedCase{0x3001, "", 0x3001, "V23"},
        AssociedCase{0x01056021, "?", 0x01056021, "DVrx17-P"}));

TEST(TypeAssociedBadInput, NullsAndUnterminatedNames) {
    int32_t code = 0x0100;
    EXPECT_EQ(GetTypeAssocied(&code, nullptr), nullptr);
    EXPECT_EQ(code, 0x0100);
    GuardedBuffer<kNameSize> name{"KA61"};
    EXPECT_EQ(GetTypeAssocied(nullptr, name.data()), name.data());

    // A name buffer filled to its end without a NUL is read no further than its size.
    GuardedBuffer<kNameSize> full{std::string(kNameSize, 'K')};
    code = 0x0300;
    GetTypeAssocied(&code, full.data());
    EXPECT_EQ(code, 0x0300);
    EXPECT_EQ(full.text(), "kb?1 v72");
    EXPECT_TRUE(full.guardIntact());
}

struct GeneriqueCase {
    int32_t codeIn;
    int32_t codeOut;
    const char* name;
};

class TypeGenerique : public ::testing::TestWithParam<GeneriqueCase> {};

TEST_P(TypeGenerique, GivesTheGenericType) {
    const GeneriqueCase& c = GetParam();
    GuardedBuffer<kNameSize> name{"previous"};
    int32_t code = c.codeIn;
    EXPECT_EQ(GetTypeGenerique(&code, name.data()), name.data());
    EXPECT_EQ(code, c.codeOut) << std::hex << code;
    EXPECT_EQ(name.text(), c.name);
    EXPECT_TRUE(name.guardIntact());
}

INSTANTIATE_TEST_SUITE_P(Table, TypeGenerique,
                         ::testing::Values(GeneriqueCase{0x0180, 0x0100, "ka?1"},
                                           GeneriqueCase{0x0181, 0x0100, "ka?1"},
                                           GeneriqueCase{0x0380, 0x0300, "kb?1 v72"},
                                           GeneriqueCase{0x0382, 0x0300, "kb?1 v72"},
                                           GeneriqueCase{0x0383, 0x0383, "default"},
                                           GeneriqueCase{0x0100, 0x0100, "ka?1"},
                                           GeneriqueCase{0x0300, 0x0300, "kb?1 v72"},
                                           GeneriqueCase{0x0280, 0x0280, "default"},
                                           GeneriqueCase{0x0402, 0x0402, "KB41 v80"},
                                           GeneriqueCase{0x01056021, 0x01056021, "DVrx17-P"},
                                           // Only the low 16 bits are looked at.
                                           GeneriqueCase{0x00010382, 0x0300, "kb?1 v72"}));

TEST(TypeGeneriqueBadInput, NullsAreSkipped) {
    int32_t code = 0x0180;
    EXPECT_EQ(GetTypeGenerique(&code, nullptr), nullptr);
    EXPECT_EQ(code, 0x0100);
    GuardedBuffer<kNameSize> name{"previous"};
    EXPECT_EQ(GetTypeGenerique(nullptr, name.data()), name.data());
}

struct InfoCase {
    const char* name;
    const char* info;
};

class InfoTypeAssocied : public ::testing::TestWithParam<InfoCase> {};

TEST_P(InfoTypeAssocied, DescribesTheType) {
    GuardedBuffer<kInfoSize> info;
    GetInfoTypeAssocied(GetParam().name, info.data());
    EXPECT_EQ(info.text(), GetParam().info);
    EXPECT_TRUE(info.guardIntact());
}

INSTANTIATE_TEST_SUITE_P(Table, InfoTypeAssocied,
                         ::testing::Values(InfoCase{"KA01", "KA01"}, InfoCase{"KA61", "KA61"},
                                           InfoCase{"KB41", "KB41"}, InfoCase{"KB61", "KB61"},
                                           InfoCase{"KB81", "defaut pointage voir avec QZ"},
                                           InfoCase{"KB61 v72", "defaut pointage voir avec QZ"},
                                           InfoCase{"ka01", "defaut pointage voir avec QZ"},
                                           InfoCase{"", "defaut pointage voir avec QZ"},
                                           InfoCase{nullptr, "defaut pointage voir avec QZ"}));

TEST(InfoTypeAssociedBadInput, NullInfoIsSkipped) {
    // A write through the null pointer would end the process: run it in a child of its own.
    EXPECT_EXIT(
        {
            GetInfoTypeAssocied("KA01", nullptr);
            GetInfoTypeAssocied(nullptr, nullptr);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    GuardedBuffer<kInfoSize> info;
    GetInfoTypeAssocied("KB41", info.data());
    EXPECT_EQ(info.text(), "KB41") << "a skipped call leaves nothing behind";
}

TEST(IsLabelTypeGenerique, LooksForTheQuestionMark) {
    struct Case {
        const char* label;
        int32_t generic;
    };
    for (const Case& c : {Case{"ka?1", 1}, Case{"kb?1 v72", 1}, Case{"?", 1}, Case{"KB61 v7?", 1},
                          Case{"KA61", 0}, Case{"DVrx17-P", 0}, Case{"", 0}, Case{nullptr, 0}}) {
        EXPECT_EQ(IsLabelTypeGenerique(c.label), c.generic) << (c.label ? c.label : "null");
    }
}

TEST(IsCodeTypeAssocie, IsBitSeven) {
    struct Case {
        int32_t code;
        int32_t associated;
    };
    for (const Case& c : {Case{0x0382, 1}, Case{0x0302, 0}, Case{0x0180, 1}, Case{0x0181, 1},
                          Case{0x0100, 0}, Case{0x1082, 1}, Case{0x0080, 1}, Case{0xFF7F, 0},
                          Case{0x01050382, 1}, Case{0x7F7F, 0}}) {
        EXPECT_EQ(IsCodeTypeAssocie(c.code), c.associated) << std::hex << c.code;
    }
}

struct AssociateCase {
    int32_t index;
    int32_t code;
    int32_t result;
    const char* name;
};

void PrintTo(const AssociateCase& c, std::ostream* os) {
    *os << "index " << c.index << std::hex << " code 0x" << c.code;
}

class Associate : public ::testing::TestWithParam<AssociateCase> {};

TEST_P(Associate, ListsTheAssociatedTypes) {
    const AssociateCase& c = GetParam();
    GuardedBuffer<kNameSize> name{"unchanged"};
    EXPECT_EQ(GetAssociate(c.index, c.code, name.data()), c.result);
    EXPECT_EQ(name.text(), c.name);
    EXPECT_TRUE(name.guardIntact());
}

INSTANTIATE_TEST_SUITE_P(
    Table, Associate,
    ::testing::Values(
        AssociateCase{0, 0x0100, 2, "unchanged"}, AssociateCase{0, 0x0300, 2, "unchanged"},
        AssociateCase{0, 0x01050300, 2, "unchanged"}, AssociateCase{0, 0x0180, 0, "unchanged"},
        AssociateCase{0, 0x0200, 0, "unchanged"}, AssociateCase{0, 0x0400, 0, "unchanged"},
        AssociateCase{1, 0x0100, 0, "KA01"}, AssociateCase{2, 0x0100, 0, "KA61"},
        AssociateCase{1, 0x0300, 0, "KB61"}, AssociateCase{2, 0x0300, 0, "KB41"},
        AssociateCase{1, 0x0200, 0, "unchanged"}, AssociateCase{2, 0x0382, 0, "unchanged"},
        AssociateCase{3, 0x0100, 0, "unchanged"}, AssociateCase{-1, 0x0300, 0, "unchanged"}));

TEST(AssociateBadInput, NullNameIsSkipped) {
    EXPECT_EQ(GetAssociate(1, 0x0100, nullptr), 0);
    EXPECT_EQ(GetAssociate(0, 0x0100, nullptr), 2);
}

} // namespace
