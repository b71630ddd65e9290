#include "type_names.h"

#include "codes.h"

#include <array>

namespace modtyp {
namespace {

constexpr std::string_view kDefaultName = "default";

struct VariantName {
    int variant;
    std::string_view name;
};

// Families 0x01-0x04 share one table of model names; the family is part of the key.
struct TriloName {
    int family;
    int variant;
    std::string_view name;
};

constexpr std::array kTriloNames{
    TriloName{family::kTriloA, 0x00, "ka?1"},  TriloName{family::kTriloA, 0x80, "KA61"},
    TriloName{family::kTriloA, 0x81, "KA01"},  TriloName{family::kTrilo40, 0x00, "KB61"},
    TriloName{family::kTrilo40, 0x01, "KB01"}, TriloName{family::kTrilo40, 0x03, "KB01"},
    TriloName{family::kTrilo40, 0x05, "KB01"}, TriloName{family::kTrilo72, 0x00, "kb?1"},
    TriloName{family::kTrilo72, 0x01, "KB01"}, TriloName{family::kTrilo72, 0x03, "KB01"},
    TriloName{family::kTrilo72, 0x05, "KB01"}, TriloName{family::kTrilo72, 0x80, "KB61"},
    TriloName{family::kTrilo72, 0x82, "KB41"}, TriloName{family::kTrilo80, 0x00, "KB61"},
    TriloName{family::kTrilo80, 0x01, "KB01"}, TriloName{family::kTrilo80, 0x03, "KB01"},
    TriloName{family::kTrilo80, 0x05, "KB01"}, TriloName{family::kTrilo80, 0x02, "KB41"},
    TriloName{family::kTrilo80, 0x08, "KC61"}, TriloName{family::kTrilo80, 0x09, "KC01"},
    TriloName{family::kTrilo80, 0x0B, "KC01"}, TriloName{family::kTrilo80, 0x0D, "KC01"},
    TriloName{family::kTrilo80, 0x0A, "KC41"},
};

constexpr std::array kMicroTriloNames{
    VariantName{0x01, "RT01"},
    VariantName{0x02, "RT41"},
    VariantName{0x04, "RT64"},
    VariantName{0x82, "RT41_H"},
};
constexpr std::array kVrx23Names{VariantName{0x01, "V23"}, VariantName{0x02, "V23_H"}};
constexpr std::array kVrx34Names{VariantName{0x01, "V34"}, VariantName{0x02, "V34_H"}};

template <std::size_t N>
std::string_view find(const std::array<VariantName, N>& table, int variant) {
    for (const auto& entry : table) {
        if (entry.variant == variant) {
            return entry.name;
        }
    }
    return kDefaultName;
}

// The Trilo generations share model names; the suffix tells the firmware line apart.
std::string_view triloSuffix(int fam) {
    switch (fam) {
    case family::kTrilo40:
        return " v40";
    case family::kTrilo72:
        return " v72";
    case family::kTrilo80:
        return " v80";
    default:
        return {};
    }
}

std::string triloName(int fam, int variant) {
    for (const auto& entry : kTriloNames) {
        if (entry.family == fam && entry.variant == variant) {
            std::string name{entry.name};
            name += triloSuffix(fam);
            return name;
        }
    }
    return std::string{kDefaultName};
}

std::string dvrxName(int variant) {
    std::string name;
    switch (variant & kDvrxKindMask) {
    case dvrx::kDvrx17:
        name = "DVrx17";
        break;
    case dvrx::kDvrx23:
        name = "DVrx23";
        break;
    case dvrx::kDvrx34:
        name = "DVrx34";
        break;
    case dvrx::kBvrx:
        name = "BVRX";
        break;
    default:
        return std::string{kDefaultName};
    }
    if ((variant & kOddBit) != 0) {
        name += "-P";
    }
    return name;
}

} // namespace

std::string typeName(std::int32_t code) {
    const int fam = familyOf(code);
    const int variant = variantOf(code);
    switch (fam) {
    case family::kUnknown:
        return "UNKNOW";
    case family::kTriloA:
    case family::kTrilo40:
    case family::kTrilo72:
    case family::kTrilo80:
        return triloName(fam, variant);
    case family::kMicroTrilo:
        return std::string{find(kMicroTriloNames, variant)};
    case family::kVrx23:
        return std::string{find(kVrx23Names, variant)};
    case family::kVrx34:
        return std::string{find(kVrx34Names, variant)};
    case family::kVrx17:
        return "uVRX17";
    case family::kDvrx:
        return dvrxName(variant);
    case family::kDefault:
        return "DEFAULT";
    default:
        return std::string{kDefaultName};
    }
}

std::string_view targetName(std::int32_t code) noexcept {
    switch (familyOf(code)) {
    case family::kUnknown:
        return "UNKNOW";
    case family::kTriloA:
    case family::kTrilo40:
    case family::kTrilo72:
    case family::kTrilo80:
        return "TRILO";
    case family::kMicroTrilo:
        return "MICROTRILO";
    case family::kVrx23:
        return "VRX23";
    case family::kVrx34:
        return "VRX34";
    case family::kVrx17:
        return "VRX17";
    case family::kDvrx:
        return "DVRX";
    case family::kDefault:
        return "DEFAULT";
    default:
        return "FAULT";
    }
}

} // namespace modtyp
