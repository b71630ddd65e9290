// Asks an open serial device what it can do, without changing anything on it.
#pragma once

#include "posix/line_handling.h"

#include <string>

namespace linkor {

/// The answers of the device open on @p fd.
DeviceAnswers askDevice(int fd);

/// The kernel's name of the device open on @p fd ("ttyUSB0", "pts/3"), or "" when unknown.
std::string deviceNameOf(int fd);

/// The latency timer of the USB adapter named @p deviceName, from @p sysfsRoot (normally
/// "/sys"), in milliseconds; -1 when the device has none.
int latencyTimerOf(const std::string& deviceName, const std::string& sysfsRoot = "/sys");

} // namespace linkor
