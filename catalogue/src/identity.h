// Decoding of a module's identity reply into a type code and a serial number.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace modtyp {

struct Identity {
    std::int32_t code;
    std::string serial; // at most 15 characters
};

Identity decodeIdentity(std::string_view identity);

} // namespace modtyp
