// Display names and target (controller family) names of type codes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace modtyp {

// At most 11 characters.
std::string typeName(std::int32_t code);

std::string_view targetName(std::int32_t code) noexcept;

} // namespace modtyp
