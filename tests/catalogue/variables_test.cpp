#include "buffer.h"
#include "modtyp.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int32_t kRequest = 257;

const std::vector<std::string> kMicroTrilo{
    "CPA", "VALIM", "IA1",     "IA2",     "IN",    "OA1",   "OA2",  "Codeur", "TRS",
    "OUT", "GI",    "VSUPPLY", "AI1",     "AI2",   "VAUXP", "AO1",  "AO2",    "SW",
    "SD",  "GI_S",  "GI_B",    "_MDEF",   "TDC",   "_MPA",  "AIA",  "AIB",    "AOA",
    "AOB", "_SNSP", "_ERR",    "_STATUS", "WNCKS", "TEMP",  "*32!", "*32M"};
const std::vector<std::string> kDvrx{
    "POSITION",        "PROFILE_SPEED", "SPEED",        "STATUS",       "ERROR",
    "OUTPUT",          "OUTPUT_ANALOG", "INPUT",        "INPUT_ANALOG", "SUPPLY_VOLTAGE",
    "CPU_TEMPERATURE", "HIGH_SPEED",    "LOW_SPEED",    "ACCEL_TIME",   "DECEL_TIME",
    "RAMPING_TIME",    "TORQUE_RATIO",  "POSITIVE_END", "NEGATIVE_END", "LINE",
    "ON_RESET",        "CAPTURE",       "COUNTER",      "TIMER_1",      "TIMER_2",
    "TIMER_3",         "*32V",          "*08M"};
const std::vector<std::string> kVrx17{
    "POSITION",     "PROFILE_SPEED", "STATUS",         "ERROR",        "OUTPUT",
    "INPUT",        "INPUT_ANALOG",  "SUPPLY_VOLTAGE", "HIGH_SPEED",   "LOW_SPEED",
    "RAMPING_TIME", "TORQUE_RATIO",  "LOW_TORQUE",     "POSITIVE_END", "NEGATIVE_END",
    "LINE",         "ON_RESET",      "*04V",           "*04M"};

struct Step {
    std::string name;
    int32_t more;
    bool guardIntact;
};

Step next(int32_t code, const std::string& name = "") {
    GuardedBuffer<kVariableNameSize> buffer{name};
    int32_t more = -7;
    GetInfo(kRequest, code, buffer.data(), &more);
    return {buffer.text(), more, buffer.guardIntact() && buffer.terminated()};
}

struct TableCase {
    int32_t code;
    const std::vector<std::string>* names;
};

void PrintTo(const TableCase& c, std::ostream* os) {
    *os << std::hex << "0x" << c.code;
}

class VariableTable : public ::testing::TestWithParam<TableCase> {};

TEST_P(VariableTable, WalksTheTableAndStartsAgain) {
    const TableCase& c = GetParam();
    const std::vector<std::string>& names = *c.names;
    for (int round = 0; round < 2; ++round) {
        for (std::size_t i = 0; i < names.size(); ++i) {
            // The first call of the first round restarts; the second round follows on its own.
            const Step step = next(c.code, round == 0 && i == 0 ? "first" : "");
            EXPECT_EQ(step.name, names[i]) << "entry " << i;
            EXPECT_EQ(step.more, i + 1 < names.size() ? 1 : 0) << "entry " << i;
            EXPECT_TRUE(step.guardIntact);
        }
    }
}

TEST_P(VariableTable, FirstRestartsInTheMiddle) {
    const TableCase& c = GetParam();
    next(c.code, "first");
    next(c.code);
    EXPECT_EQ(next(c.code).name, (*c.names)[2]);
    const Step restarted = next(c.code, "first");
    EXPECT_EQ(restarted.name, (*c.names)[0]);
    EXPECT_EQ(restarted.more, 1);
    EXPECT_EQ(next(c.code).name, (*c.names)[1]);
}

INSTANTIATE_TEST_SUITE_P(Families, VariableTable,
                         ::testing::Values(TableCase{0x1001, &kMicroTrilo},
                                           TableCase{0x1082, &kMicroTrilo},
                                           TableCase{0x6021, &kDvrx}, TableCase{0x6080, &kDvrx},
                                           TableCase{0x5000, &kVrx17},
                                           TableCase{0x01055000, &kVrx17}));

TEST(VariablePosition, IsOneForAllFamilies) {
    next(0x1001, "first");
    next(0x1001);
    next(0x1001);
    // The next position is the fourth, whichever family asks.
    EXPECT_EQ(next(0x5000).name, kVrx17[3]);
    EXPECT_EQ(next(0x6021).name, kDvrx[4]);
}

TEST(VariablePosition, BeyondAShorterTableRestartsIt) {
    next(0x1001, "first");
    for (int i = 0; i < 24; ++i) {
        next(0x1001);
    }
    // Position 25 is past the 19 names of family 0x50.
    const Step step = next(0x5000);
    EXPECT_EQ(step.name, kVrx17[0]);
    EXPECT_EQ(step.more, 1);
    EXPECT_EQ(next(0x5000).name, kVrx17[1]);
}

TEST(VariablePosition, KnownCase) {
    Step step = next(0x5000, "first");
    EXPECT_EQ(step.name, "POSITION");
    EXPECT_EQ(step.more, 1);
    for (int call = 2; call <= 19; ++call) {
        step = next(0x5000);
    }
    EXPECT_EQ(step.name, "*04M");
    EXPECT_EQ(step.more, 0);
    EXPECT_EQ(next(0x5000).name, "POSITION");
}

TEST(VariableNone, FamiliesWithoutVariables) {
    for (int32_t code : {0x3001, 0x3002, 0x4001, 0x4002, 0xFF00, 0xFF12, 0x0000, 0x0100, 0x0382,
                         0x04FF, 0x01050408}) {
        const Step step = next(code, "first");
        EXPECT_EQ(step.name, "none") << std::hex << code;
        EXPECT_EQ(step.more, 0) << std::hex << code;
        EXPECT_TRUE(step.guardIntact);
    }
}

TEST(VariableNone, OtherCodesAndRequestsLeaveTheOutputsAlone) {
    for (int32_t code : {0x0500, 0x2001, 0x7000, 0xFE00, 0x0F00}) {
        const Step step = next(code, "kept");
        EXPECT_EQ(step.name, "kept") << std::hex << code;
        EXPECT_EQ(step.more, -7) << std::hex << code;
    }
    for (int32_t request : {0, 1, 256, 258, -257}) {
        for (int32_t code : {0x5000, 0x3001}) {
            GuardedBuffer<kVariableNameSize> name{"first"};
            int32_t more = -7;
            GetInfo(request, code, name.data(), &more);
            EXPECT_EQ(name.text(), "first") << request;
            EXPECT_EQ(more, -7) << request;
        }
    }
}

TEST(VariableBadInput, NullsAreSkipped) {
    GetInfo(kRequest, 0x5000, nullptr, nullptr);
    GuardedBuffer<kVariableNameSize> name{"first"};
    GetInfo(kRequest, 0x5000, name.data(), nullptr);
    EXPECT_EQ(name.text(), "POSITION");
    GuardedBuffer<kVariableNameSize> none{"first"};
    GetInfo(kRequest, 0x3001, none.data(), nullptr);
    EXPECT_EQ(none.text(), "none");
}

} // namespace
