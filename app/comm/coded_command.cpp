#include "coded_command.h"

#include "comm/texts.h"

#include <cstdio>
#include <iterator>

namespace tkv::cmdset {

namespace {

constexpr const char* kMnemonics[] = {"DI", "MR", "GR", "GM", "GS", "GE", "SS",
                                      "GA", "GF", "DI", "GL", "PD", "QL"};
static_assert(std::size(kMnemonics) == kCodedReset);
constexpr int kMaskCharacters = 8;
constexpr unsigned kFullMask = 0xFF;

/// Code 10: "F" sets a bit, "X" sets it and takes it out of the mask.
std::string maskParameter(std::string_view mask) {
    unsigned value = 0;
    unsigned keep = kFullMask;
    bool anyX = false;
    for (int i = 0; i < kMaskCharacters && i < static_cast<int>(mask.size()); ++i) {
        const unsigned bit = 1U << (kMaskCharacters - 1 - i);
        if (mask[static_cast<std::size_t>(i)] == 'F') {
            value |= bit;
        } else if (mask[static_cast<std::size_t>(i)] == 'X') {
            value |= bit;
            keep &= ~bit;
            anyX = true;
        }
    }
    return anyX ? text::format("%X:%X", value, keep) : text::format(" %X ", value);
}

} // namespace

std::optional<std::string> codedCommand(TagCodedCommand& r) {
    if (r.code < 0) {
        return std::nullopt;
    }
    if (r.code >= kCodedReset) {
        return text::format("%02dMR", r.address);
    }
    const std::string_view given = text::view(r.parameter);
    if (r.code == kCodedMask) {
        text::copy(r.parameter, maskParameter(given));
    } else if (r.code == kCodedVariable) {
        const std::string copy(given);
        int number = 0;
        int value = 0;
        if (std::sscanf(copy.c_str(), "%d %d", &number, &value) != 2) {
            return std::nullopt;
        }
        text::copy(r.parameter, text::format(" #%02d:%d", number, value));
    } else if (r.code == kCodedParameters) {
        text::copy(r.parameter, " ");
    }
    return text::format("%02d%s %s ", r.address, kMnemonics[r.code],
                        std::string(text::view(r.parameter)).c_str());
}

void takeCodedReply(TagCodedCommand& r, const char* reply) {
    if (r.code != kCodedParameters || reply == nullptr) {
        return;
    }
    // The three fields go into one text, so the last one that matched is what stays.
    char field[kTextSize + 1] = {};
    text::copy(field, text::view(r.parameter));
    std::sscanf(reply, "%255s WL:%255s WH:%255s", field, field, field);
    text::copy(r.parameter, text::view(field));
}

} // namespace tkv::cmdset
