/**
 * @file reply_parsers.h
 * How a module's reply is taken apart into the data record of its request. Formats are
 * applied with the scanning rules of the module protocol: a field that does not match
 * keeps its old value, and so does everything derived from it.
 */
#pragma once

#include "comm/comm_records.h"

namespace tkv::cmdset {

/// Parses a reply to the request's read command into its data record (kinds
/// 0x100-0x1FF are read as kind 0x81). Kinds and families without a format change nothing.
void parseReply(const TagRequest& request, const char* reply);

} // namespace tkv::cmdset
