// The queries before a kind-0x02 read, against a scripted exchange.
#include "extra_queries.h"
#include "record_text.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

using namespace tkv;

struct Script {
    std::map<std::string, std::pair<int32_t, std::string>> answers;
    std::vector<std::string> sent;
    cmdset::TKV_Exchange exchange() {
        return [this](const std::string& c, std::string& reply) {
            sent.push_back(c);
            auto it = answers.find(c);
            if (it == answers.end()) {
                reply = "garbage";
                return int32_t{0x3002};
            }
            reply = it->second.second;
            return it->second.first;
        };
    }
};

TagParamBlock run(int32_t type, Script& script, int32_t indicators = 0, float factor = 0.5F) {
    TagParamBlock p;
    p.indicators = indicators;
    p.currentFactor = factor;
    TagRequest r;
    r.kind = kKindParameters;
    r.typeCode = type;
    r.address = 4;
    r.data = &p;
    cmdset::runExtraQueries(r, script.exchange());
    return p;
}

TEST(ExtraQueries, OrderPerFamily) {
    struct Case {
        int32_t type;
        std::vector<std::string> sent;
    };
    const Case cases[] = {
        {0x0100, {"04RM 21 FF", "04RM 26 2F"}},
        {0x0205, {"04QM C6 05"}},
        {0x0308, {"04QM C6 04", "04QM C1 94"}},
        {0x0408, {"04QM C6 84", "04QM C1 94", "04QE"}},
        {0x1002, {"04QM C6 84", "04QM C1 94", "04QE"}},
        {0x3001, {}},
        {0x6020, {}},
    };
    for (const Case& c : cases) {
        Script s;
        run(c.type, s);
        EXPECT_EQ(s.sent, c.sent) << std::hex << c.type;
        EXPECT_EQ(cmdset::extraQueries(c.type, 4), c.sent);
    }
}

TEST(ExtraQueries, BitsFromTheReplies) {
    Script s;
    s.answers = {{"04RM 21 FF", {0, "04M 20"}}, {"04RM 26 2F", {0, "04M 03"}}};
    EXPECT_EQ(run(0x0100, s).indicators, 0b1001);

    Script off;
    off.answers = {{"04RM 21 FF", {0, "04M DF"}}, {"04RM 26 2F", {0, "04M 00"}}};
    EXPECT_EQ(run(0x0100, off, 0b1111).indicators, 0b0110);

    Script v72;
    v72.answers = {{"04QM C6 04", {0, "04M 01"}}, {"04QM C1 94", {0, "04M 01"}}};
    EXPECT_EQ(run(0x0308, v72, 0b0100).indicators, 0b1000) << "1 at C1 94: no automatic output";

    Script v72on;
    v72on.answers = {{"04QM C6 04", {0, "04M 00"}}, {"04QM C1 94", {0, "04M 00"}}};
    EXPECT_EQ(run(0x0308, v72on, 0b1000).indicators, 0b0100);
}

TEST(ExtraQueries, FailedOrUnmatchedQueriesLeaveTheirBit) {
    Script s;
    s.answers = {{"04QM C6 84", {0x3002, "04M 01"}},
                 {"04QM C1 94", {0, "04M"}},
                 {"04QE", {0, "04E I_NOM-1.25_"}}};
    const TagParamBlock p = run(0x0408, s, 0b1100);
    EXPECT_EQ(p.indicators, 0b1100);
    EXPECT_FLOAT_EQ(p.currentFactor, 1.25F);
}

TEST(ExtraQueries, CurrentFactorRule) {
    struct Case {
        const char* reply;
        float factor;
    };
    const Case cases[] = {
        {"04E I_NOM-2.00_", 2.0F}, {"04E I_NOM-0.5", 0.5F}, {"04E I_NOM-2", 2.0F},
        {"04E I_NOM--3.0_", 0.5F}, {"04E I_NOM-x_", 0.5F},  {"04E I_NOM_", 0.5F},
        {"04E INOM-2.0", 0.5F},    {"04E I_-1.5_", 0.5F},   {"04E I_A-0.75_", 0.75F},
    };
    for (const Case& c : cases) {
        Script s;
        s.answers = {{"04QE", {0, c.reply}}};
        EXPECT_FLOAT_EQ(run(0x1002, s).currentFactor, c.factor) << c.reply;
    }
}

} // namespace
