/**
 * @file coded_command.h
 * The coded command of request 0x102: a two-letter mnemonic chosen by number, with its
 * parameter text.
 */
#pragma once

#include "comm/comm_records.h"

#include <optional>
#include <string>

namespace tkv::cmdset {

/**
 * @brief Prepares the record's parameter text for its code (codes 10, 11 and 12) and
 *        gives the command text to send.
 * @return nothing when the record cannot make a command (a negative code, or code 11
 *         without its two numbers); the record is then left as it was.
 */
std::optional<std::string> codedCommand(TagCodedCommand& record);

/// Takes the reply of a code-12 command into the record's parameter text.
void takeCodedReply(TagCodedCommand& record, const char* reply);

} // namespace tkv::cmdset
