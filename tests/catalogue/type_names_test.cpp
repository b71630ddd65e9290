#include "buffer.h"
#include "modtyp.h"

#include <gtest/gtest.h>

namespace {

struct NameCase {
    int32_t code;
    const char* name;
};

void PrintTo(const NameCase& c, std::ostream* os) {
    *os << std::hex << "0x" << c.code;
}

class TypeName : public ::testing::TestWithParam<NameCase> {};

TEST_P(TypeName, NamesTheModel) {
    GuardedBuffer<kNameSize> name;
    EXPECT_EQ(GetTypeName(GetParam().code, name.data()), name.data());
    EXPECT_EQ(name.text(), GetParam().name);
    EXPECT_TRUE(name.guardIntact());
}

INSTANTIATE_TEST_SUITE_P(
    Table, TypeName,
    ::testing::Values(
        // Family 0x00: whatever the variant.
        NameCase{0x0000, "UNKNOW"}, NameCase{0x0042, "UNKNOW"}, NameCase{0x00FF, "UNKNOW"},
        // Family 0x01 has no suffix.
        NameCase{0x0100, "ka?1"}, NameCase{0x0180, "KA61"}, NameCase{0x0181, "KA01"},
        NameCase{0x0101, "default"}, NameCase{0x0182, "default"},
        // Families 0x02-0x04 carry their firmware-line suffix; "default" does not.
        NameCase{0x0200, "KB61 v40"}, NameCase{0x0201, "KB01 v40"}, NameCase{0x0203, "KB01 v40"},
        NameCase{0x0205, "KB01 v40"}, NameCase{0x0202, "default"}, NameCase{0x0207, "default"},
        NameCase{0x0280, "default"}, NameCase{0x0300, "kb?1 v72"}, NameCase{0x0301, "KB01 v72"},
        NameCase{0x0303, "KB01 v72"}, NameCase{0x0305, "KB01 v72"}, NameCase{0x0380, "KB61 v72"},
        NameCase{0x0382, "KB41 v72"}, NameCase{0x0383, "default"}, NameCase{0x0302, "default"},
        NameCase{0x0400, "KB61 v80"}, NameCase{0x0401, "KB01 v80"}, NameCase{0x0403, "KB01 v80"},
        NameCase{0x0405, "KB01 v80"}, NameCase{0x0402, "KB41 v80"}, NameCase{0x0408, "KC61 v80"},
        NameCase{0x0409, "KC01 v80"}, NameCase{0x040B, "KC01 v80"}, NameCase{0x040D, "KC01 v80"},
        NameCase{0x040A, "KC41 v80"}, NameCase{0x0407, "default"}, NameCase{0x040F, "default"},
        NameCase{0x1001, "RT01"}, NameCase{0x1002, "RT41"}, NameCase{0x1004, "RT64"},
        NameCase{0x1082, "RT41_H"}, NameCase{0x1003, "default"}, NameCase{0x1081, "default"},
        NameCase{0x3001, "V23"}, NameCase{0x3002, "V23_H"}, NameCase{0x3000, "default"},
        NameCase{0x4001, "V34"}, NameCase{0x4002, "V34_H"}, NameCase{0x4003, "default"},
        NameCase{0x5000, "uVRX17"}, NameCase{0x50FF, "uVRX17"},
        // Family 0x60: bits 5-7 pick the drive, bit 0 the "-P" model.
        NameCase{0x6020, "DVrx17"}, NameCase{0x6021, "DVrx17-P"}, NameCase{0x603E, "DVrx17"},
        NameCase{0x6040, "DVrx23"}, NameCase{0x6041, "DVrx23-P"}, NameCase{0x6060, "DVrx34"},
        NameCase{0x607F, "DVrx34-P"}, NameCase{0x6080, "BVRX"}, NameCase{0x6081, "BVRX-P"},
        NameCase{0x6000, "default"}, NameCase{0x6001, "default"}, NameCase{0x60A1, "default"},
        NameCase{0x60E0, "default"}, NameCase{0xFF00, "DEFAULT"}, NameCase{0xFF37, "DEFAULT"},
        NameCase{0x2001, "default"}, NameCase{0x0500, "default"}, NameCase{0xFE00, "default"},
        // Only the low 16 bits name the model: a firmware version or sign bits change nothing.
        NameCase{0x01056021, "DVrx17-P"}, NameCase{static_cast<int32_t>(0xFFFF0402), "KB41 v80"},
        NameCase{0x7FFF3002, "V23_H"}));

class TargetName : public ::testing::TestWithParam<NameCase> {};

TEST_P(TargetName, NamesTheControllerFamily) {
    GuardedBuffer<kNameSize> name;
    EXPECT_EQ(GetTargetName(GetParam().code, name.data()), name.data());
    EXPECT_EQ(name.text(), GetParam().name);
    EXPECT_TRUE(name.guardIntact());
}

INSTANTIATE_TEST_SUITE_P(Table, TargetName,
                         ::testing::Values(NameCase{0x0000, "UNKNOW"}, NameCase{0x00FF, "UNKNOW"},
                                           NameCase{0x0100, "TRILO"}, NameCase{0x0205, "TRILO"},
                                           NameCase{0x0382, "TRILO"}, NameCase{0x04FF, "TRILO"},
                                           NameCase{0x0500, "FAULT"},
                                           NameCase{0x1001, "MICROTRILO"},
                                           NameCase{0x3001, "VRX23"}, NameCase{0x4002, "VRX34"},
                                           NameCase{0x5000, "VRX17"}, NameCase{0x6081, "DVRX"},
                                           NameCase{0xFF00, "DEFAULT"}, NameCase{0xFFFF, "DEFAULT"},
                                           NameCase{0x2000, "FAULT"}, NameCase{0x7000, "FAULT"},
                                           NameCase{0xFE00, "FAULT"}, NameCase{0x0FFF, "FAULT"},
                                           NameCase{0x01053001, "VRX23"},
                                           NameCase{static_cast<int32_t>(0x8000FF00), "DEFAULT"}));

TEST(TypeNameBuffers, NullBufferIsIgnored) {
    EXPECT_EQ(GetTypeName(0x6021, nullptr), nullptr);
    EXPECT_EQ(GetTargetName(0x6021, nullptr), nullptr);
}

} // namespace
