/**
 * @file write_builders.h
 * The command texts of a write request (code 0x105), per kind and module family.
 */
#pragma once

#include "comm/comm_records.h"

#include <string>

namespace tkv::cmdset {

/// The texts one write request sends, in order: the first text, then the extra ones.
struct TKV_WriteCommands {
    /// false: the family or sub-kind has no builder, and nothing is to be sent.
    bool built = false;
    char first[kTextSize] = "erreur";
    int32_t extraCount = 0;
    char extras[kExtraCommands][kExtraCommandSize] = {};
    /// A box the user is shown when the family has no builder for the kind (else empty).
    std::string boxText;
    std::string boxTitle;
};

/**
 * @brief Builds the commands of a write request, each starting with the address.
 * @note A kind-0x40 output toggle of family 0x10 first turns the record's output value
 *       into the module's inverted form, as the command needs it.
 */
TKV_WriteCommands buildWrite(TagRequest& request);

} // namespace tkv::cmdset
