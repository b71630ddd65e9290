#include "extra_queries.h"

#include "comm/texts.h"

#include <cstdio>

namespace tkv::cmdset {

namespace {

constexpr int kWord = 256;
constexpr int kEndSensorBit = 0;
constexpr int kAutoOutputBit = 2;
constexpr int kPowerOnBit = 3;
constexpr unsigned kEndSensorCellBit = 0x20;
constexpr float kNoFactor = -1.0F;

enum class Rule {
    EndSensors,    ///< indicator bit 0 = bit 5 of the value
    PowerOn,       ///< indicator bit 3 = (value != 0)
    AutoOutput,    ///< indicator bit 2 = (value != 1)
    CurrentFactor, ///< the current factor from the "QE" reply
};

struct Query {
    const char* command;
    Rule rule;
};

std::vector<Query> queriesOf(int32_t family) {
    switch (family) {
    case kFamilyTrilo:
        return {{"RM 21 FF", Rule::EndSensors}, {"RM 26 2F", Rule::PowerOn}};
    case kFamilyTriloV40:
        return {{"QM C6 05", Rule::PowerOn}};
    case kFamilyTriloV72:
        return {{"QM C6 04", Rule::PowerOn}, {"QM C1 94", Rule::AutoOutput}};
    case kFamilyTriloV80:
    case kFamilyMicroTrilo:
        return {{"QM C6 84", Rule::PowerOn},
                {"QM C1 94", Rule::AutoOutput},
                {"QE", Rule::CurrentFactor}};
    default:
        return {};
    }
}

void setBit(int32_t& bits, int n, bool on) {
    if (on) {
        bits |= (1 << n);
    } else {
        bits &= ~(1 << n);
    }
}

void apply(TagParamBlock& p, Rule rule, const std::string& reply) {
    if (rule == Rule::CurrentFactor) {
        char head[kWord] = {};
        char tail[kWord] = {};
        if (std::sscanf(reply.c_str(), "%255[^_]_%255[^_]", head, tail) != 2) {
            return;
        }
        char name[kWord] = {};
        float factor = 0.0F;
        if (std::sscanf(tail, "%255[^-]-%f", name, &factor) == 2 && factor > kNoFactor) {
            p.currentFactor = factor;
        }
        return;
    }
    char word[kWord] = {};
    unsigned value = 0;
    if (std::sscanf(reply.c_str(), "%255s %X", word, &value) != 2) {
        return;
    }
    switch (rule) {
    case Rule::EndSensors:
        setBit(p.indicators, kEndSensorBit, (value & kEndSensorCellBit) != 0);
        break;
    case Rule::PowerOn:
        setBit(p.indicators, kPowerOnBit, value != 0);
        break;
    case Rule::AutoOutput:
        setBit(p.indicators, kAutoOutputBit, value != 1);
        break;
    default:
        break;
    }
}

} // namespace

std::vector<std::string> extraQueries(int32_t typeCode, int32_t address) {
    std::vector<std::string> out;
    for (const Query& q : queriesOf(familyOf(typeCode))) {
        out.push_back(text::format("%02d%s", address, q.command));
    }
    return out;
}

void runExtraQueries(const TagRequest& r, const TKV_Exchange& exchange) {
    if (r.data == nullptr) {
        return;
    }
    auto& p = *static_cast<TagParamBlock*>(r.data);
    for (const Query& q : queriesOf(familyOf(r.typeCode))) {
        std::string reply;
        if (exchange(text::format("%02d%s", r.address, q.command), reply) != kStatusOk) {
            continue;
        }
        apply(p, q.rule, reply);
    }
}

} // namespace tkv::cmdset
