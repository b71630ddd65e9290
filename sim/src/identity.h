#pragma once
// Identity texts: what a module answers to its identity request, built so that the
// catalogue's identity decoding gives back the module's own type code.

#include "kvsim/line_description.h"

#include <cstdint>
#include <string>

namespace kvsim {

/// Identity reply of a module of the text families, after its two address digits.
std::string asciiIdentity(const ModuleSetup& setup);

/// What a VRX23/VRX34 keeps for its identity read: the text in its identity memory and
/// the eight characters its closing identity frame carries.
struct FrameIdentity {
    std::string memory;  ///< 64 characters (VRX23) or 128 (VRX34)
    std::string closing; ///< hardware code, ".", version: 8 characters
};
FrameIdentity frameIdentity(const ModuleSetup& setup);

/// Whether the type code has an identity (a model of its family that a module can be).
bool typeCodeHasIdentity(std::uint16_t code, Family family);

} // namespace kvsim
