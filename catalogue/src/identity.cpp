#include "identity.h"

#include "codes.h"
#include "scan.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>

namespace modtyp {
namespace {

constexpr std::int32_t kMissing = -1;

// Model-number ranges of the Trilo generations.
struct ModelRange {
    std::int32_t first;
    std::int32_t last;
    int family;
};
constexpr std::array kModelRanges{
    ModelRange{20, 39, family::kTriloA},
    ModelRange{40, 71, family::kTrilo40},
    ModelRange{72, 79, family::kTrilo72},
    ModelRange{80, 99, family::kTrilo80},
};
// Later family 0x04 modules give only the low byte of their variant word.
constexpr ModelRange kShortVariantRange{101, 109, family::kTrilo80};

constexpr std::int32_t kVariantWordHigh = 0xFE00;
constexpr std::int32_t kVariantWordHighMask = 0xFF00;
constexpr std::int32_t kTriloAVariantWord = 65535;
constexpr std::int32_t kShortVariantMask = 0xFF;
constexpr int kTriloVariantMask = 0x07;

// Family 0x04 variant word bits.
constexpr int kKbKcBits = 0x67;
constexpr int kKcMarker = 0x40;   // becomes variant bit 3 (KC)
constexpr int kOddMask = 0x0F;    // odd variants keep bits 0-3
constexpr int kEvenMask = 0x09;   // even variants keep bits 0 and 3
constexpr int kKx41Marker = 0x20; // adds variant bit 1 to an even variant
constexpr int kKx41Bit = 0x02;

// Hardware forms of identities that carry no model number. The reply comes
// with the two address digits in front ("03ev P461.105 ..."), so the fields
// sit at fixed places: the version of the "EV v" form from the seventh
// character, the hardware code at characters 6-9 and its version from the
// eleventh (counted from one).
constexpr std::string_view kVersionForm = "EV v";
constexpr std::size_t kVersionFormOffset = 6;
constexpr std::string_view kHardwareForm = "ev ";
constexpr std::size_t kHardwareCodeOffset = 5;
constexpr std::size_t kHardwareCodeLength = 4;
constexpr std::size_t kHardwareVersionOffset = 10;
constexpr std::int64_t kVersionSplit = 100; // version = 100 * major + minor

struct HardwareCode {
    std::string_view text;
    std::int32_t code;
    bool withVersion; // the firmware version goes into bits 16-31
};
constexpr std::array kHardwareCodes{
    HardwareCode{"P480", code::kRt01, false},   HardwareCode{"Q480", code::kRt41, false},
    HardwareCode{"R480", code::kRt41H, false},  HardwareCode{"2493", code::kRt64, false},
    HardwareCode{"2471", code::kDvrx17, true},  HardwareCode{"P471", code::kDvrx17, true},
    HardwareCode{"Q471", code::kDvrx17P, true}, HardwareCode{"2405", code::kDvrx17, true},
    HardwareCode{"U475", code::kDvrx34P, true}, HardwareCode{"U412", code::kBvrxP, true},
    HardwareCode{"P461", code::kV23, false},    HardwareCode{"R461", code::kV23H, false},
    HardwareCode{"P475", code::kV34, false},    HardwareCode{"R475", code::kV34H, false},
    HardwareCode{"2403", code::kUvrx17, true},  HardwareCode{"S461", code::kDvrx23, true},
    HardwareCode{"T475", code::kDvrx34, true},  HardwareCode{"U461", code::kDvrx23P, true},
    HardwareCode{"2412", code::kBvrx, true},
};
constexpr std::int32_t kUnknownHardwareCode = code::kRt01;

// Serial number: from six characters after the second "_" to the next "_".
constexpr char kSerialMark = '_';
constexpr std::size_t kSerialOffset = 6;
constexpr std::string_view kBadSerial = "bad number";

// Major and minor go to bits 24-31 and 16-23; a version too large for them
// wraps within the 32-bit code instead of overflowing.
std::uint32_t versionBits(std::int32_t version) {
    const auto major = static_cast<std::uint32_t>(version / kVersionSplit);
    const auto minor = static_cast<std::uint32_t>(version % kVersionSplit);
    return (major << kVersionMajorShift) + (minor << kVersionMinorShift);
}

std::int32_t lookUpHardware(std::string_view hardware, std::int32_t version) {
    for (const auto& entry : kHardwareCodes) {
        if (entry.text == hardware) {
            if (!entry.withVersion) {
                return entry.code;
            }
            return static_cast<std::int32_t>(versionBits(version) +
                                             static_cast<std::uint32_t>(entry.code));
        }
    }
    return kUnknownHardwareCode;
}

std::int32_t saturated(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::int32_t decodeHardwareForm(std::string_view identity) {
    std::string_view hardware;
    std::int32_t version = 0;
    if (identity.find(kVersionForm) != std::string_view::npos) {
        // "<major>.<minor>": a version without its minor part is no version.
        Scanner scan{identity, kVersionFormOffset};
        const auto major = scan.decimal();
        if (major && scan.literal('.')) {
            if (const auto minor = scan.decimal()) {
                version = saturated(kVersionSplit * *major + *minor);
            }
        }
    } else if (identity.find(kHardwareForm) != std::string_view::npos) {
        if (identity.size() > kHardwareCodeOffset) {
            hardware = identity.substr(kHardwareCodeOffset, kHardwareCodeLength);
        }
        Scanner scan{identity, kHardwareVersionOffset};
        version = scan.hexadecimal().value_or(0);
    } else {
        return code::kDefault;
    }
    return version > 0 ? lookUpHardware(hardware, version) : code::kDefault;
}

// Family 0x04: the variant word spreads the variant over bits 0-2, 5 and 6.
int triloVariant80(std::int32_t word) {
    int x = static_cast<int>(word) & kKbKcBits;
    if ((x & kKcMarker) != 0) {
        x |= kKcBit;
    }
    if ((x & kOddBit) != 0) {
        return x & kOddMask;
    }
    int variant = x & kEvenMask;
    if ((word & kKx41Marker) != 0) {
        variant |= kKx41Bit;
    }
    return variant;
}

bool isVariantWord(std::int32_t word) {
    return (word & kVariantWordHighMask) == kVariantWordHigh;
}

// The code of an identity with a model number, or nothing when it does not decode.
std::optional<std::int32_t> decodeModel(std::int32_t model, std::int32_t word) {
    int fam = family::kUnknown;
    for (const auto& range : kModelRanges) {
        if (model >= range.first && model <= range.last) {
            fam = range.family;
        }
    }
    if (word == kMissing) {
        fam = family::kUnknown;
    } else if (model >= kShortVariantRange.first && model <= kShortVariantRange.last) {
        fam = kShortVariantRange.family;
        word = kVariantWordHigh + (word & kShortVariantMask);
    }

    int variant = 0;
    switch (fam) {
    case family::kUnknown:
        break;
    case family::kTriloA:
        if (word != kTriloAVariantWord) {
            return std::nullopt;
        }
        break;
    case family::kTrilo40:
    case family::kTrilo72:
        if (!isVariantWord(word)) {
            return std::nullopt;
        }
        variant = static_cast<int>(word) & kTriloVariantMask;
        break;
    default: // family::kTrilo80
        if (!isVariantWord(word)) {
            return std::nullopt;
        }
        variant = triloVariant80(word);
        break;
    }
    return (fam << kFamilyShift) + variant;
}

bool hasSerial(std::int32_t code) {
    switch (familyOf(code)) {
    case family::kMicroTrilo:
    case family::kVrx23:
    case family::kVrx34:
    case family::kVrx17:
    case family::kDvrx:
        return true;
    case family::kTrilo80:
        return (variantOf(code) & kKcBit) != 0;
    default:
        return false;
    }
}

std::string extractSerial(std::string_view identity) {
    const std::size_t first = identity.find(kSerialMark);
    const std::size_t second =
        first == std::string_view::npos ? first : identity.find(kSerialMark, first + 1);
    if (second == std::string_view::npos) {
        return std::string{kBadSerial};
    }
    const std::size_t start = second + kSerialOffset;
    if (start >= identity.size()) {
        return {};
    }
    const std::size_t end = identity.find(kSerialMark, start);
    const std::size_t length =
        end == std::string_view::npos ? identity.size() - start : end - start;
    return std::string{identity.substr(start, std::min(length, kSerialSize - 1))};
}

} // namespace

Identity decodeIdentity(std::string_view identity) {
    Scanner scan{identity};
    std::int32_t model = kMissing;
    std::int32_t word = kMissing;
    if (scan.word()) {
        if (const auto m = scan.decimal()) {
            model = *m;
            word = scan.decimal().value_or(kMissing);
        }
    }

    Identity result{code::kDefault, {}};
    if (model == kMissing) {
        result.code = decodeHardwareForm(identity);
    } else {
        result.code = decodeModel(model, word).value_or(code::kDefault);
    }
    if (hasSerial(result.code)) {
        result.serial = extractSerial(identity);
    }
    return result;
}

} // namespace modtyp
