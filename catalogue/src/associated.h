// Generic types and the associated types they stand for. A generic type is
// what an identity can tell; the user picks the exact associated type.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace modtyp {

// The code of an associated type named exactly, if it is one.
std::optional<std::int32_t> associatedCode(std::string_view name) noexcept;

// The generic type an associated code belongs to, or the code itself.
std::int32_t genericCode(std::int32_t code) noexcept;

// Number of associated types of a generic code (0 for any other code).
std::int32_t associateCount(std::int32_t code) noexcept;

// Name of associated type 1 or 2 of a generic code.
std::optional<std::string_view> associateName(std::int32_t code, std::int32_t index) noexcept;

// The description of an associated type shown to the user.
std::string_view associatedInfo(std::string_view name) noexcept;

bool isGenericLabel(std::string_view label) noexcept;

} // namespace modtyp
