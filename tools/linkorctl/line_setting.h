// The working line a subcommand asks for (--port, --target, --protocol, --baud), checked
// against the driver's own lists so that a mistake is told before the line is touched.
#pragma once

#include "arguments.h"
#include <comm/comm_records.h>

#include <span>
#include <string>

namespace linkorctl {

struct LineSetting {
    std::string target;
    std::string port;
    std::string protocol;
    std::string baud;
    /// As TKV_CommDLL::connect() takes it: "target port protocol baud".
    std::string text() const { return target + " " + port + " " + protocol + " " + baud; }
};

/// The line options, for the subcommands that take them.
std::span<const OptionSpec> lineOptions();

/// "COMn" from any case; @throws UsageError for anything else.
std::string portName(const std::string& given);
/// The driver's name of a target, given in any case. @throws UsageError.
std::string targetName(const tkv::TagConfigDLL& config, const std::string& given);
/**
 * @brief The driver's listed name of one of a target's protocols: the name itself, one of
 *        its parts around ".&." ("XON-XOFF", "CONSOLE") or a prefix of at least three
 *        characters, in any case. @throws UsageError listing the target's protocols.
 */
std::string protocolName(const tkv::TagConfigDLL& config, const std::string& target,
                         const std::string& given);

/**
 * @brief The setting of the options: --port is needed; the target defaults to TRILO, the
 *        protocol to the target's first, the baud rate to 9600 (else the first valid one).
 * @throws UsageError naming the option at fault and what it may be.
 */
LineSetting lineSetting(const Arguments& args, const tkv::TagConfigDLL& config);

} // namespace linkorctl
