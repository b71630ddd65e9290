#include "identity.h"

#include "modtyp.h"

namespace linkorctl {

namespace {
// The catalogue's stated bounds, with room to spare.
constexpr std::size_t kNameBuffer = 32;
constexpr std::size_t kSerialBuffer = 32;
} // namespace

DecodedIdentity decodeIdentity(const std::string& reply) {
    DecodedIdentity d;
    char name[kNameBuffer] = "";
    char serial[kSerialBuffer] = "";
    char target[kNameBuffer] = "";
    GetTypeModule(reply.c_str(), &d.code, name, serial);
    GetTargetName(d.code, target);
    d.typeName = name;
    d.serial = serial;
    d.target = target;
    return d;
}

} // namespace linkorctl
