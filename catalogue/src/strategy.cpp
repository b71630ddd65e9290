#include "strategy.h"

#include "codes.h"

#include <array>

namespace modtyp {
namespace {

// One strategy per column of the Trilo-like families; odd and even variants
// differ for some kinds.
struct Choice {
    std::int32_t odd;
    std::int32_t even;
};
constexpr Choice same(std::int32_t value) {
    return {value, value};
}

enum Column { kColTriloA, kColTrilo40, kColTrilo72, kColTrilo80, kColMicroTrilo, kColumns };

struct KindRow {
    int kind;
    std::array<Choice, kColumns> choices;
};

constexpr std::array kRows{
    KindRow{strategy::kResolution, {same(1), {3, 4}, {3, 4}, {3, 4}, {3, 4}}},
    KindRow{strategy::kCurrent, {Choice{1, 3}, {2, 4}, {2, 4}, {2, 5}, {2, 5}}},
    KindRow{strategy::kIndicators, {same(9), same(11), same(15), same(15), same(15)}},
    KindRow{strategy::kGeneration, {same(1), same(2), same(3), same(3), same(3)}},
    KindRow{strategy::kVariableCount, {same(0), same(10), same(32), same(32), same(32)}},
    KindRow{strategy::kOutputMode, {same(1), same(2), same(2), same(2), same(2)}},
    KindRow{strategy::kSpecificModes, {same(25), same(27), same(31), same(31), same(31)}},
    KindRow{strategy::kSpeedMode, {same(1), same(2), same(2), same(2), same(2)}},
    KindRow{strategy::kRamp, {same(0), same(0), same(1), same(1), same(1)}},
};

// Kind 10: which line settings a command can change (bit 0 address, bit 1
// baud rate, bit 2 protocol); the family alone decides.
constexpr std::int32_t kAddressAndBaudRate = 3;
constexpr std::int32_t kAllLineSettings = 7;

int columnOf(int fam) {
    switch (fam) {
    case family::kTriloA:
        return kColTriloA;
    case family::kTrilo40:
        return kColTrilo40;
    case family::kTrilo72:
        return kColTrilo72;
    case family::kTrilo80:
        return kColTrilo80;
    case family::kMicroTrilo:
        return kColMicroTrilo;
    default:
        return -1;
    }
}

std::int32_t lineSettings(int fam) {
    switch (fam) {
    case family::kVrx23:
    case family::kVrx34:
    case family::kDvrx:
        return kAddressAndBaudRate;
    case family::kVrx17:
        return kAllLineSettings;
    default:
        return 0;
    }
}

} // namespace

std::int32_t strategyOf(std::int32_t code, std::int32_t kind) noexcept {
    const int fam = familyOf(code);
    if (kind == strategy::kLineSettings) {
        return lineSettings(fam);
    }
    const int column = columnOf(fam);
    if (column < 0) {
        return 0;
    }
    const bool odd = (code & kOddBit) != 0;
    for (const auto& row : kRows) {
        if (row.kind == kind) {
            const Choice& choice = row.choices[static_cast<std::size_t>(column)];
            return odd ? choice.odd : choice.even;
        }
    }
    return 0;
}

} // namespace modtyp
