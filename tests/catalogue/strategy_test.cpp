#include "modtyp.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

// The strategy table of the TRILO-like families: {odd, even} per family.
struct Choice {
    int32_t odd;
    int32_t even;
};
constexpr std::array<int, 5> kTriloFamilies{0x01, 0x02, 0x03, 0x04, 0x10};
struct KindRow {
    int32_t kind;
    std::array<Choice, 5> byFamily;
};
constexpr std::array kTable{
    KindRow{1, {{{1, 1}, {3, 4}, {3, 4}, {3, 4}, {3, 4}}}},
    KindRow{2, {{{1, 3}, {2, 4}, {2, 4}, {2, 5}, {2, 5}}}},
    KindRow{3, {{{9, 9}, {11, 11}, {15, 15}, {15, 15}, {15, 15}}}},
    KindRow{4, {{{1, 1}, {2, 2}, {3, 3}, {3, 3}, {3, 3}}}},
    KindRow{5, {{{0, 0}, {10, 10}, {32, 32}, {32, 32}, {32, 32}}}},
    KindRow{6, {{{1, 1}, {2, 2}, {2, 2}, {2, 2}, {2, 2}}}},
    KindRow{7, {{{25, 25}, {27, 27}, {31, 31}, {31, 31}, {31, 31}}}},
    KindRow{8, {{{1, 1}, {2, 2}, {2, 2}, {2, 2}, {2, 2}}}},
    KindRow{9, {{{0, 0}, {0, 0}, {1, 1}, {1, 1}, {1, 1}}}},
};

// Variants that tell odd from even, including associated ones and the firmware-version bits.
constexpr std::array<int32_t, 4> kOddVariants{0x01, 0x81, 0x0B, 0x01050001};
constexpr std::array<int32_t, 4> kEvenVariants{0x00, 0x80, 0x0A, 0x01050002};

TEST(RechercheStrategie, TriloFamiliesFollowTheTable) {
    for (const KindRow& row : kTable) {
        for (std::size_t f = 0; f < kTriloFamilies.size(); ++f) {
            const int32_t base = kTriloFamilies[f] << 8;
            for (int32_t v : kOddVariants) {
                EXPECT_EQ(RechercheStrategie(base + v, row.kind), row.byFamily[f].odd)
                    << std::hex << "code 0x" << base + v << " kind " << std::dec << row.kind;
            }
            for (int32_t v : kEvenVariants) {
                EXPECT_EQ(RechercheStrategie(base + v, row.kind), row.byFamily[f].even)
                    << std::hex << "code 0x" << base + v << " kind " << std::dec << row.kind;
            }
        }
    }
}

struct KindTenCase {
    int32_t code;
    int32_t strategy;
};

class LineSettings : public ::testing::TestWithParam<KindTenCase> {};

// Kind 10 depends on the family alone; every other kind is 0 outside the TRILO-like families.
TEST_P(LineSettings, DependOnTheFamilyAlone) {
    const KindTenCase& c = GetParam();
    EXPECT_EQ(RechercheStrategie(c.code, 10), c.strategy) << std::hex << c.code;
    for (int32_t kind = -1; kind <= 12; ++kind) {
        if (kind != 10) {
            EXPECT_EQ(RechercheStrategie(c.code, kind), 0)
                << std::hex << c.code << " kind " << std::dec << kind;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Table, LineSettings,
                         ::testing::Values(KindTenCase{0x3001, 3}, KindTenCase{0x3002, 3},
                                           KindTenCase{0x4001, 3}, KindTenCase{0x6021, 3},
                                           KindTenCase{0x6080, 3}, KindTenCase{0x5000, 7},
                                           KindTenCase{0x01055000, 7}, KindTenCase{0x0000, 0},
                                           KindTenCase{0xFF00, 0}, KindTenCase{0x2001, 0},
                                           KindTenCase{0x0500, 0}, KindTenCase{0x7001, 0}));

TEST(RechercheStrategie, TriloFamiliesHaveNoLineSettingsNorOtherKinds) {
    for (int family : kTriloFamilies) {
        for (int32_t kind : {-1, 0, 10, 11, 257}) {
            EXPECT_EQ(RechercheStrategie((family << 8) + 1, kind), 0)
                << std::hex << family << " kind " << std::dec << kind;
        }
    }
}

TEST(RechercheStrategie, KnownCases) {
    EXPECT_EQ(RechercheStrategie(0x0204, 2), 4);
    EXPECT_EQ(RechercheStrategie(0x5000, 10), 7);
    EXPECT_EQ(RechercheStrategie(0x0181, 2), 1);
    EXPECT_EQ(RechercheStrategie(0x0180, 2), 3);
    EXPECT_EQ(RechercheStrategie(0x0408, 2), 5);
    EXPECT_EQ(RechercheStrategie(0x1082, 5), 32);
}

} // namespace
