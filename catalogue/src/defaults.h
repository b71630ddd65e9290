// Family defaults of the VRX panel records, written at fixed byte offsets of
// a packed record that the program shares with the catalogue.
#pragma once

#include <cstdint>

namespace modtyp {

// Writes nothing for families without defaults.
void writeFamilyDefaults(std::int32_t code, unsigned char* record) noexcept;

} // namespace modtyp
