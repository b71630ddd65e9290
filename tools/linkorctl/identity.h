// A module's identity reply as the catalogue reads it.
#pragma once

#include <cstdint>
#include <string>

namespace linkorctl {

struct DecodedIdentity {
    int32_t code = 0; ///< type code; firmware version in bits 16-31 where the identity has one
    std::string typeName;
    std::string target; ///< the controller family the catalogue names
    std::string serial;
};

/// GetTypeModule and GetTargetName of the reply (the two address digits first).
DecodedIdentity decodeIdentity(const std::string& reply);

} // namespace linkorctl
