/**
 * @file extra_queries.h
 * The queries sent before a kind-0x02 read: they fill the indicator bits and the current
 * factor of the parameter block, which the parameter reply itself does not carry.
 */
#pragma once

#include "comm/comm_records.h"

#include <functional>
#include <string>

namespace tkv::cmdset {

/// Sends one command text (address included) and gives the driver status and the reply.
using TKV_Exchange = std::function<int32_t(const std::string& command, std::string& reply)>;

/// The command texts of the extra queries of a module, in order (address included).
std::vector<std::string> extraQueries(int32_t typeCode, int32_t address);

/// Runs the extra queries of the request's module into its parameter block. A query that
/// fails or whose reply does not match leaves its bit unchanged.
void runExtraQueries(const TagRequest& request, const TKV_Exchange& exchange);

} // namespace tkv::cmdset
