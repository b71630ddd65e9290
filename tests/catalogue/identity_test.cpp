#include "buffer.h"
#include "modtyp.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct IdentityCase {
    const char* identity;
    int32_t code;
    const char* name;
    const char* serial;
};

void PrintTo(const IdentityCase& c, std::ostream* os) {
    *os << '"' << c.identity << '"';
}

struct Decoded {
    int32_t result;
    int32_t code;
    std::string name;
    std::string serial;
    bool guardsIntact;
};

Decoded decode(const char* identity) {
    GuardedBuffer<kNameSize> name;
    GuardedBuffer<kSerialSize> serial;
    int32_t code = 0x12345678;
    const int32_t result = GetTypeModule(identity, &code, name.data(), serial.data());
    return {result, code, name.text(), serial.text(),
            name.guardIntact() && serial.guardIntact() && name.terminated() && serial.terminated()};
}

class TypeModule : public ::testing::TestWithParam<IdentityCase> {};

TEST_P(TypeModule, DecodesTheIdentity) {
    const IdentityCase& c = GetParam();
    const Decoded d = decode(c.identity);
    EXPECT_EQ(d.result, 1);
    EXPECT_EQ(d.code, c.code) << std::hex << "got 0x" << d.code << ", want 0x" << c.code;
    EXPECT_EQ(d.name, c.name);
    EXPECT_EQ(d.serial, c.serial);
    EXPECT_TRUE(d.guardsIntact);
}

// Identities with a model number M and a variant word W, as the TRILO families answer.
INSTANTIATE_TEST_SUITE_P(
    ModelNumbers, TypeModule,
    ::testing::Values(
        IdentityCase{"V 20 65535", 0x0100, "ka?1", ""},
        IdentityCase{"V 20 3", 0xFF00, "DEFAULT", ""},
        IdentityCase{"V 50 65029", 0x0205, "KB01 v40", ""},
        // The first word is anything without blanks: the address digits come with it.
        IdentityCase{"03V 39 65535", 0x0100, "ka?1", ""},
        IdentityCase{"  KV-TRILO\t25  65535 trailing", 0x0100, "ka?1", ""},
        // Family 1 takes only the word 65535.
        IdentityCase{"V 25 65534", 0xFF00, "DEFAULT", ""},
        IdentityCase{"V 25 65024", 0xFF00, "DEFAULT", ""},
        // Range edges of the model numbers.
        IdentityCase{"V 19 65535", 0x0000, "UNKNOW", ""},
        IdentityCase{"V 40 65024", 0x0200, "KB61 v40", ""},
        IdentityCase{"V 71 65027", 0x0203, "KB01 v40", ""},
        IdentityCase{"V 72 65024", 0x0300, "kb?1 v72", ""},
        IdentityCase{"V 79 65025", 0x0301, "KB01 v72", ""},
        IdentityCase{"V 80 65024", 0x0400, "KB61 v80", ""},
        IdentityCase{"V 99 65025", 0x0401, "KB01 v80", ""},
        IdentityCase{"V 100 65025", 0x0000, "UNKNOW", ""},
        IdentityCase{"V 110 65025", 0x0000, "UNKNOW", ""},
        IdentityCase{"V -25 65535", 0x0000, "UNKNOW", ""},
        IdentityCase{"V 99999999999 65535", 0x0000, "UNKNOW", ""},
        // Families 2 and 3: the high byte must be 0xFE, the variant is the low three bits.
        IdentityCase{"V 50 65285", 0xFF00, "DEFAULT", ""}, // 0xFF05
        IdentityCase{"V 50 5", 0xFF00, "DEFAULT", ""},
        IdentityCase{"V 75 65039", 0x0307, "default", ""}, // 0xFE0F
        IdentityCase{"V 75 -1", 0x0000, "UNKNOW", ""},     // -1 reads as a missing word
        // Family 4: bits 0-2 and 5-6 of the word spread into the variant.
        IdentityCase{"V 85 65026", 0x0400, "KB61 v80", ""}, // 0xFE02: even keeps bits 0, 3
        IdentityCase{"V 85 65028", 0x0400, "KB61 v80", ""}, // 0xFE04
        IdentityCase{"V 85 65056", 0x0402, "KB41 v80", ""}, // 0xFE20: bit 5 gives bit 1
        IdentityCase{"V 85 65059", 0x0403, "KB01 v80", ""}, // 0xFE23: odd ignores bit 5
        IdentityCase{"V 85 65029", 0x0405, "KB01 v80", ""}, // 0xFE05
        IdentityCase{"V 85 65152", 0x0400, "KB61 v80", ""}, // 0xFE80: bit 7 is not looked at
        IdentityCase{"V 85 65095 _A_123456789_", 0x040F, "default", "6789"}, // 0xFE47
        IdentityCase{"V 85 65352", 0xFF00, "DEFAULT", ""},                   // 0xFF48
        // Family 4 KC types (bit 3) carry a serial number.
        IdentityCase{"03V 85 65096 _KORVEL_Serie042_", 0x0408, "KC61 v80", "042"},
        IdentityCase{"03V 85 65097 _KORVEL_Serie042_", 0x0409, "KC01 v80", "042"},
        IdentityCase{"03V 85 65120 _KORVEL_Serie042_", 0x040A, "KC41 v80", "042"},
        IdentityCase{"03V 85 65099 _KORVEL_Serie042_", 0x040B, "KC01 v80", "042"},
        IdentityCase{"03V 85 65096", 0x0408, "KC61 v80", "bad number"},
        IdentityCase{"03V 85 65024 _KORVEL_Serie042_", 0x0400, "KB61 v80", ""},
        IdentityCase{"03V 50 65029 _KORVEL_Serie042_", 0x0205, "KB01 v40", ""},
        // 101-109 give only the low byte of the variant word.
        IdentityCase{"V 105 5", 0x0405, "KB01 v80", ""},
        IdentityCase{"V 101 72 _KORVEL_Serie9_", 0x0408, "KC61 v80", "9"},
        IdentityCase{"V 109 65096 _KORVEL_Serie123_", 0x0408, "KC61 v80", "123"},
        IdentityCase{"V 109 -184", 0x0408, "KC61 v80", "bad number"}, // -184 mod 256 = 0x48
        // A missing variant word makes a known family unknown.
        IdentityCase{"V 50", 0x0000, "UNKNOW", ""}, IdentityCase{"V 25 x", 0x0000, "UNKNOW", ""},
        IdentityCase{"V 105", 0x0000, "UNKNOW", ""}, IdentityCase{"V 150", 0x0000, "UNKNOW", ""},
        // A model number, even an invalid one, keeps the hardware forms out.
        IdentityCase{"03ev 2403.069 rev 1.05", 0x0000, "UNKNOW", ""},
        IdentityCase{"03EV 20 3 v1.05", 0xFF00, "DEFAULT", ""}));

// Identities without model numbers: the hardware code and firmware version at fixed places.
INSTANTIATE_TEST_SUITE_P(
    HardwareForms, TypeModule,
    ::testing::Values(
        // VRX23/VRX34 identity read: address, "ev", the closing frame, the identity text.
        IdentityCase{"03ev P461.069 VRX23 rev 1.05 _KORVEL_Serie07_", 0x3001, "V23", "07"},
        IdentityCase{"03ev R475.069 VRX34 rev 1.05 _KORVEL_Serie07_", 0x4002, "V34_H", "07"},
        // Other families: the first word runs up to the version.
        IdentityCase{"03HW-2471.069 DVRX rev 1.05 _KORVEL_Serie01_", 0x01056020, "DVrx17", "01"},
        IdentityCase{"03HW-U412.069 DVRX rev 1.05 _KORVEL_Serie01_", 0x01056081, "BVRX-P", "01"},
        IdentityCase{"03HW-2403.069 VRX17 rev 1.05 _KORVEL_Serie01_", 0x01055000, "uVRX17", "01"},
        IdentityCase{"03HW-R480.069 MICROTRILO rev 1.05 _K_", 0x1082, "RT41_H", ""},
        // The version is hexadecimal: major in bits 24-31, minor in bits 16-23.
        IdentityCase{"03HW-2403.001 rev 1.05", 0x00015000, "uVRX17", "bad number"},
        IdentityCase{"03HW-2403.0FF rev 1.05", 0x02375000, "uVRX17", "bad number"}, // 255 = 2.55
        IdentityCase{"03HW-2403.3E8 rev 1.05", 0x0A005000, "uVRX17", "bad number"}, // 1000 = 10.00
        IdentityCase{"03HW-2403.ff rev 1.05", 0x02375000, "uVRX17", "bad number"},
        // Without a version above 0 nothing is looked up.
        IdentityCase{"03HW-2403.000 rev 1.05", 0xFF00, "DEFAULT", ""},
        IdentityCase{"03HW-2403.-01 rev 1.05", 0xFF00, "DEFAULT", ""},
        IdentityCase{"03HW-2403.zzz rev 1.05", 0xFF00, "DEFAULT", ""},
        IdentityCase{"03ev P461", 0xFF00, "DEFAULT", ""},
        IdentityCase{"03HW-2403.069 rev", 0xFF00, "DEFAULT", ""}, // "ev" without its blank
        // An unknown or short hardware code with a version is an RT01, without the version.
        IdentityCase{"03ev ZZZZ.069 rev 1.05", 0x1001, "RT01", "bad number"},
        IdentityCase{"03ev p461.069 rev 1.05", 0x1001, "RT01", "bad number"},
        // The places are fixed, wherever "ev " is.
        IdentityCase{"03XX P461.069 rev 1.05", 0x3001, "V23", "bad number"},
        // "EV v": a decimal major.minor and no hardware code.
        IdentityCase{"03EV v1.05", 0x1001, "RT01", "bad number"},
        IdentityCase{"03EV v0.01 _A_123456789_", 0x1001, "RT01", "6789"},
        IdentityCase{"03EV v0.00", 0xFF00, "DEFAULT", ""},
        IdentityCase{"03EV v1", 0xFF00, "DEFAULT", ""},
        IdentityCase{"03EV vx.05", 0xFF00, "DEFAULT", ""},
        // "EV v" is looked for first, and then the hardware code is empty.
        IdentityCase{"03EV v2.10 ev P461.069", 0x1001, "RT01", "bad number"},
        IdentityCase{"03EV P461.069 VRX23", 0xFF00, "DEFAULT", ""}, // neither form
        // Nothing to go by.
        IdentityCase{"", 0xFF00, "DEFAULT", ""}, IdentityCase{"   ", 0xFF00, "DEFAULT", ""},
        IdentityCase{"V", 0xFF00, "DEFAULT", ""},
        IdentityCase{"HELLO WORLD", 0xFF00, "DEFAULT", ""},
        IdentityCase{"03Ev P461.069", 0xFF00, "DEFAULT", ""}));

// The serial number: from six characters after the second "_" to the next "_".
INSTANTIATE_TEST_SUITE_P(
    SerialNumbers, TypeModule,
    ::testing::Values(IdentityCase{"03ev P480.069 _K_12345ABCDEF_tail", 0x1001, "RT01", "ABCDEF"},
                      IdentityCase{"03ev P480.069 _K_12345ABCDEF", 0x1001, "RT01", "ABCDEF"},
                      IdentityCase{"03ev P480.069 _K_12_45ABC_", 0x1001, "RT01", "ABC"},
                      IdentityCase{"03ev P480.069 _K_12345_", 0x1001, "RT01", ""},
                      IdentityCase{"03ev P480.069 _K_123", 0x1001, "RT01", ""},
                      IdentityCase{"03ev P480.069 _K_12345", 0x1001, "RT01", ""},
                      IdentityCase{"03ev P480.069 _K", 0x1001, "RT01", "bad number"},
                      IdentityCase{"03ev P480.069 __", 0x1001, "RT01", ""},
                      // At most 15 characters fit the caller's 16 bytes.
                      IdentityCase{"03ev P480.069 _K_12345ABCDEFGHIJKLMNOPQRS_", 0x1001, "RT01",
                                   "ABCDEFGHIJKLMNO"}));

struct HardwareCase {
    const char* hardware;
    int32_t type;
    bool versioned;
    const char* name; // display name of the type
};

void PrintTo(const HardwareCase& c, std::ostream* os) {
    *os << c.hardware;
}

class HardwareCode : public ::testing::TestWithParam<HardwareCase> {};

// Every code of the identity-code table. In the VRX23/VRX34 form the code is the second word,
// so a code that begins with a digit reads as a model number there; the other families'
// form keeps it inside the first word.
TEST_P(HardwareCode, GivesItsTypeCode) {
    constexpr int32_t kVersion = 0x01050000; // 0x069 = 105 = 1.05
    const HardwareCase& c = GetParam();
    const int32_t expected = c.versioned ? c.type + kVersion : c.type;
    const bool digitFirst = c.hardware[0] >= '0' && c.hardware[0] <= '9';
    for (const char* prefix : {"03ev ", "03HW-"}) {
        const std::string identity =
            std::string{prefix} + c.hardware + ".069 rev 1.05 _KORVEL_Serie0815_";
        const bool secondWord = prefix[2] == 'e';
        const Decoded d = decode(identity.c_str());
        if (secondWord && digitFirst) {
            EXPECT_EQ(d.code, 0x0000) << identity;
            EXPECT_EQ(d.name, "UNKNOW") << identity;
            EXPECT_EQ(d.serial, "") << identity;
        } else {
            EXPECT_EQ(d.code, expected) << identity;
            EXPECT_EQ(d.name, c.name) << identity;
            EXPECT_EQ(d.serial, "0815") << identity;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, HardwareCode,
    ::testing::Values(
        HardwareCase{"P480", 0x1001, false, "RT01"}, HardwareCase{"Q480", 0x1002, false, "RT41"},
        HardwareCase{"R480", 0x1082, false, "RT41_H"}, HardwareCase{"2493", 0x1004, false, "RT64"},
        HardwareCase{"2471", 0x6020, true, "DVrx17"}, HardwareCase{"P471", 0x6020, true, "DVrx17"},
        HardwareCase{"Q471", 0x6021, true, "DVrx17-P"},
        HardwareCase{"2405", 0x6020, true, "DVrx17"},
        HardwareCase{"U475", 0x6061, true, "DVrx34-P"},
        HardwareCase{"U412", 0x6081, true, "BVRX-P"}, HardwareCase{"P461", 0x3001, false, "V23"},
        HardwareCase{"R461", 0x3002, false, "V23_H"}, HardwareCase{"P475", 0x4001, false, "V34"},
        HardwareCase{"R475", 0x4002, false, "V34_H"}, HardwareCase{"2403", 0x5000, true, "uVRX17"},
        HardwareCase{"S461", 0x6040, true, "DVrx23"}, HardwareCase{"T475", 0x6060, true, "DVrx34"},
        HardwareCase{"U461", 0x6041, true, "DVrx23-P"},
        HardwareCase{"2412", 0x6080, true, "BVRX"}));

TEST(TypeModuleBadInput, NullIdentityIsTheDefaultType) {
    const Decoded d = decode(nullptr);
    EXPECT_EQ(d.result, 1);
    EXPECT_EQ(d.code, 0xFF00);
    EXPECT_EQ(d.name, "DEFAULT");
    EXPECT_EQ(d.serial, "");
}

TEST(TypeModuleBadInput, NullOutputsAreSkipped) {
    EXPECT_EQ(GetTypeModule("03V 85 65096 _KORVEL_Serie042_", nullptr, nullptr, nullptr), 1);
    int32_t code = 0;
    EXPECT_EQ(GetTypeModule("03V 85 65096 _KORVEL_Serie042_", &code, nullptr, nullptr), 1);
    EXPECT_EQ(code, 0x0408);
}

TEST(TypeModuleBadInput, OverLongIdentityIsReadOnlyToItsBound) {
    // No NUL anywhere: the sanitizer catches a read past the allocation.
    std::vector<char> unterminated(1024, 'x');
    const std::string head = "03ev P461.069 _KORVEL_Serie0";
    std::copy(head.begin(), head.end(), unterminated.begin());
    const Decoded d = decode(unterminated.data());
    EXPECT_EQ(d.code, 0x3001);
    EXPECT_EQ(d.serial, "0" + std::string(14, 'x'));
    EXPECT_TRUE(d.guardsIntact);

    std::string longer = "V 85 65096 _K_" + std::string(5000, '7');
    EXPECT_EQ(decode(longer.c_str()).code, 0x0408);
}

} // namespace
