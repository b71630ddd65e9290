// Variable tables of the families that have named module variables, walked
// one name per call with a position shared by the whole library.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace modtyp {

// The table of a family's variables without its end marker, or an empty span.
std::span<const std::string_view> variableTable(std::int32_t code) noexcept;

struct VariableStep {
    std::string_view name;
    bool more;
};

// One step of the walk; "first" restarts it.
VariableStep nextVariable(std::span<const std::string_view> table, bool restart) noexcept;

} // namespace modtyp
