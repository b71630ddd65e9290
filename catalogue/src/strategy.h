// Strategy numbers: which behaviour the program selects for a type.
#pragma once

#include <cstdint>

namespace modtyp {

std::int32_t strategyOf(std::int32_t code, std::int32_t kind) noexcept;

} // namespace modtyp
