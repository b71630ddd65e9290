#include "associated.h"

#include "codes.h"

#include <array>

namespace modtyp {
namespace {

struct Named {
    std::string_view name;
    std::int32_t code;
};
// "KB81" has a code but no display name of its own.
constexpr std::array kAssociatedNames{
    Named{"KA61", code::kKa61}, Named{"KA01", code::kKa01}, Named{"KB61", code::kKb61},
    Named{"KB41", code::kKb41}, Named{"KB81", code::kKb81},
};

struct Generic {
    std::int32_t generic;
    std::array<Named, 2> associates;
};
constexpr std::array kGenerics{
    Generic{code::kGenericKa, {Named{"KA01", code::kKa01}, Named{"KA61", code::kKa61}}},
    Generic{code::kGenericKb, {Named{"KB61", code::kKb61}, Named{"KB41", code::kKb41}}},
};

constexpr std::string_view kNoInfo = "defaut pointage voir avec QZ";
constexpr std::array<std::string_view, 4> kDescribed{"KA01", "KA61", "KB41", "KB61"};
constexpr char kGenericMark = '?';

const Generic* findGeneric(std::int32_t code) {
    for (const auto& generic : kGenerics) {
        if (generic.generic == model(code)) {
            return &generic;
        }
    }
    return nullptr;
}

} // namespace

std::optional<std::int32_t> associatedCode(std::string_view name) noexcept {
    for (const auto& entry : kAssociatedNames) {
        if (entry.name == name) {
            return entry.code;
        }
    }
    return std::nullopt;
}

std::int32_t genericCode(std::int32_t code) noexcept {
    for (const auto& generic : kGenerics) {
        for (const auto& associate : generic.associates) {
            if (associate.code == model(code)) {
                return generic.generic;
            }
        }
    }
    return code;
}

std::int32_t associateCount(std::int32_t code) noexcept {
    const Generic* generic = findGeneric(code);
    return generic == nullptr ? 0 : static_cast<std::int32_t>(generic->associates.size());
}

std::optional<std::string_view> associateName(std::int32_t code, std::int32_t index) noexcept {
    const Generic* generic = findGeneric(code);
    if (generic == nullptr || index < 1 ||
        index > static_cast<std::int32_t>(generic->associates.size())) {
        return std::nullopt;
    }
    return generic->associates[static_cast<std::size_t>(index - 1)].name;
}

std::string_view associatedInfo(std::string_view name) noexcept {
    for (const auto described : kDescribed) {
        if (described == name) {
            return described;
        }
    }
    return kNoInfo;
}

bool isGenericLabel(std::string_view label) noexcept {
    return label.find(kGenericMark) != std::string_view::npos;
}

} // namespace modtyp
