// Identity replies as the modules send them, decoded by the module catalogue: every type
// a line file can name must come back as itself.

#include "pty_client.h"

#include <modtyp.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace simtest {
namespace {

struct IdentityCase {
    const char* entry;     // line file entry of the module, at address 01 / frame 01
    std::int32_t expected; // code GetTypeModule gives for its identity
    const char* serial;    // serial number it gives ("" when the family has none)
};

void PrintTo(const IdentityCase& c, std::ostream* os) {
    *os << c.entry;
}

// Version 1.05 (0x0105 in bits 16-31 where the family carries it) and serial 42.
constexpr std::int32_t kV105 = (1 << 24) | (5 << 16);

class IdentityTest : public ::testing::TestWithParam<IdentityCase> {};

std::string decode(const std::string& identity, std::string* serial) {
    std::int32_t code = -1;
    char name[32] = {};
    char serialText[32] = {};
    GetTypeModule(identity.c_str(), &code, name, serialText);
    *serial = serialText;
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(code));
    return buf;
}

std::string codeText(std::int32_t code) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(code));
    return buf;
}

TEST_P(IdentityTest, TextFamiliesAnswerRV) {
    const IdentityCase& tc = GetParam();
    LineFixture f(std::string("01 ") + tc.entry + " version=1.05 serial=42\n");
    PtyClient c(f.port(), 9600);
    const std::string reply = c.xonReply("01RV");
    std::string serial;
    EXPECT_EQ(decode(reply, &serial), codeText(tc.expected)) << reply;
    EXPECT_EQ(serial, tc.serial) << reply;
}

INSTANTIATE_TEST_SUITE_P(Sim, IdentityTest,
                         ::testing::Values(
                             // Associated types cannot be told from their generic type on the wire.
                             IdentityCase{"TRILO type=0x0100", 0x0100, ""},
                             IdentityCase{"TRILO type=0x0181", 0x0100, ""},
                             IdentityCase{"TRILO type=0x0200", 0x0200, ""},
                             IdentityCase{"TRILO type=0x0201", 0x0201, ""},
                             IdentityCase{"TRILO type=0x0203", 0x0203, ""},
                             IdentityCase{"TRILO type=0x0205", 0x0205, ""},
                             IdentityCase{"TRILO type=0x0300", 0x0300, ""},
                             IdentityCase{"TRILO type=0x0305", 0x0305, ""},
                             IdentityCase{"TRILO type=0x0382", 0x0300, ""},
                             IdentityCase{"TRILO type=0x0400", 0x0400, ""},
                             IdentityCase{"TRILO type=0x0401", 0x0401, ""},
                             IdentityCase{"TRILO type=0x0402", 0x0402, ""},
                             IdentityCase{"TRILO type=0x0403", 0x0403, ""},
                             IdentityCase{"TRILO type=0x0405", 0x0405, ""},
                             IdentityCase{"TRILO type=0x0408", 0x0408, "42"},
                             IdentityCase{"TRILO type=0x0409", 0x0409, "42"},
                             IdentityCase{"TRILO type=0x040A", 0x040A, "42"},
                             IdentityCase{"TRILO type=0x040B", 0x040B, "42"},
                             IdentityCase{"TRILO type=0x040D", 0x040D, "42"},
                             IdentityCase{"MICROTRILO type=0x1001", 0x1001, "42"},
                             IdentityCase{"MICROTRILO type=0x1002", 0x1002, "42"},
                             IdentityCase{"MICROTRILO type=0x1082", 0x1082, "42"},
                             IdentityCase{"MICROTRILO type=0x1004", 0x1004, "42"},
                             IdentityCase{"VRX17 type=0x5000", kV105 | 0x5000, "42"},
                             IdentityCase{"DVRX type=0x6020", kV105 | 0x6020, "42"},
                             IdentityCase{"DVRX type=0x6021", kV105 | 0x6021, "42"},
                             IdentityCase{"DVRX type=0x6040", kV105 | 0x6040, "42"},
                             IdentityCase{"DVRX type=0x6041", kV105 | 0x6041, "42"},
                             IdentityCase{"DVRX type=0x6060", kV105 | 0x6060, "42"},
                             IdentityCase{"DVRX type=0x6061", kV105 | 0x6061, "42"},
                             IdentityCase{"DVRX type=0x6080", kV105 | 0x6080, "42"},
                             IdentityCase{"DVRX type=0x6081", kV105 | 0x6081, "42"}));

// The frame path's identity read, done the way the driver does it: memory frames of four
// bytes each, then the closing frame; the reply text is put together from them.
std::string frameIdentity(PtyClient& c, bool vrx34, bool upperLabels) {
    std::string memory;
    const int banks = vrx34 ? 2 : 1;
    for (int bank = 0; bank < banks; ++bank) {
        for (int offset = 0; offset <= 0x3C; offset += 4) {
            char frame[16];
            std::snprintf(frame, sizeof frame, "01%04X00000000", (0x29 + bank) * 256 + offset);
            const std::string r = c.xonReply(frame);
            EXPECT_EQ(r.size(), 11U) << frame;
            EXPECT_EQ(r.substr(0, 3), bank == 0 ? "019" : "01A") << frame;
            if (memory.size() == 64) {
                memory += ' ';
            }
            for (std::size_t i = 3; i + 1 < r.size(); i += 2) {
                memory += static_cast<char>(std::stoi(r.substr(i, 2), nullptr, 16));
            }
        }
    }
    const std::string closing = c.xonReply("01240000000000");
    EXPECT_EQ(closing.substr(0, 3), "014");
    return closing.substr(0, 2) + (upperLabels ? "EV " : "ev ") + closing.substr(3) + ' ' + memory;
}

TEST(Identity, FrameModulesAnswerTheMultiStepRead) {
    struct Case {
        const char* entry;
        std::int32_t expected;
    };
    for (const Case& tc : {Case{"VRX23 type=0x3001", 0x3001}, Case{"VRX23 type=0x3002", 0x3002},
                           Case{"VRX34 type=0x4001", 0x4001}, Case{"VRX34 type=0x4002", 0x4002}}) {
        LineFixture f(std::string("01 ") + tc.entry + " version=1.05 serial=42\n");
        PtyClient c(f.port(), 9600);
        const bool vrx34 = std::string(tc.entry).rfind("VRX34", 0) == 0;
        for (bool upper : {false, true}) {
            const std::string identity = frameIdentity(c, vrx34, upper);
            std::string serial;
            EXPECT_EQ(decode(identity, &serial), codeText(tc.expected)) << identity;
            EXPECT_EQ(serial, "42") << identity;
        }
    }
}

} // namespace
} // namespace simtest
