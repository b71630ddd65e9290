/**
 * @file capability_lists.h
 * The driver's lists of ports, targets, protocols and baud rates, read once at binding,
 * and the questions the windows ask of them.
 */
#pragma once

#include "comm/comm_records.h"
#include "comm/driver_api.h"

#include <string>

namespace tkv {

/// The list functions of the driver that the lists are read with.
struct TKV_ListFunctions {
    drv::ListFn ports = nullptr;
    drv::ListFn targets = nullptr;
    drv::ProtocolListFn protocols = nullptr;
    drv::BaudListFn bauds = nullptr;
};

/**
 * @brief Reads the lists into @p config.
 * @return the number of (target, protocol, baud) combinations the driver supports.
 */
int32_t loadCapabilities(TagConfigDLL& config, const TKV_ListFunctions& functions);

/// The lists as the windows ask for them. Targets and protocols are by index; an index
/// outside a list gives a count of 0 and empty names.
namespace caps {
int targetCount(const TagConfigDLL& config);
std::string target(const TagConfigDLL& config, int n);
int targetIndex(const TagConfigDLL& config, const std::string& name);
int portCount(const TagConfigDLL& config);
std::string port(const TagConfigDLL& config, int n);
int protocolCount(const TagConfigDLL& config, int target);
std::string protocol(const TagConfigDLL& config, int target, int n);
int protocolIndex(const TagConfigDLL& config, int target, const std::string& name);
int baudCount(const TagConfigDLL& config, int target);
std::string baud(const TagConfigDLL& config, int target, int n);
/// Bauds valid with one protocol of a target, in list order.
int validBaudCount(const TagConfigDLL& config, int target, int protocol);
std::string validBaud(const TagConfigDLL& config, int target, int protocol, int n);
} // namespace caps

} // namespace tkv
