// Telling a port whose device went away (adapter pulled, virtual line stopped) from a
// module that does not answer: the first ends the session, the second is a result.
#pragma once

#include <comm/comm_records.h>

#include <cstdint>
#include <string>

namespace linkorctl {

/**
 * @brief Whether a driver status says the line's device is gone. A write to a serial
 *        device or pseudo-terminal does not fail while the device is there; once it has
 *        hung up, the driver's port refuses every write, so the next exchange reports it.
 */
bool portLost(int32_t status);

/// The driver status of a probe that was not answered, as the binding writes it at the
/// end of the probe's result text ("01RV-->:=3002  (01)"); 0 when the text carries none.
int32_t probeStatus(const tkv::TagProbe& probe);

/// "port COMn lost": what a session that lost its port ends with.
std::string portLostText(const std::string& port);

} // namespace linkorctl
