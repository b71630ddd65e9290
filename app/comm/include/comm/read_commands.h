/**
 * @file read_commands.h
 * Which command text reads what, per module family, and how many sub-reads a poll
 * entry makes.
 */
#pragma once

#include "comm/comm_records.h"

#include <string>
#include <string_view>

namespace tkv::cmdset {

/// The read command of a request, without the address; "QX" where the family has none.
std::string readCommand(const TagRequest& request);

/// Number of sub-reads a poll entry of this kind makes per pass (0 = one plain read).
int32_t repeatCount(int32_t kind, int32_t typeCode);

/// Name of extra variable 1 or 2 of a status record.
std::string_view extraName(const TagStatus& status, int which);
/// Whether extra variable 1 or 2 takes part in commands and replies.
bool extraInUse(const TagStatus& status, int which);

/// The short form of a variable name used in family 0x60 replies: the first character,
/// then the two characters after the first "_"; a name without "_" stays as it is.
std::string abbreviation(std::string_view name);

} // namespace tkv::cmdset
