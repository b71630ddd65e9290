// Who else has a serial device: the processes /proc shows with it open, the programs
// known to take serial ports of their own accord, and the group that gives the right.
#pragma once

#include <string>
#include <vector>

namespace linkorctl {

struct DeviceHolder {
    int pid = 0;
    std::string name; ///< the process's command name
};

/// The processes other than this one with @p device open, as far as /proc lets this user
/// see (a process of another user is visible to root only). @p procDir is for tests.
std::vector<DeviceHolder> holdersOf(const std::string& device,
                                    const std::string& procDir = "/proc");

/// What to do about holders that take serial ports by themselves (ModemManager, brltty);
/// empty when none of them is among @p holders.
std::string holderAdvice(const std::vector<DeviceHolder>& holders);

/// Why this user may not open @p device and what to do: the group it belongs to, and
/// whether the user is not in it or is but has not logged in again since.
std::string permissionAdvice(const std::string& device);

/// The serial devices of the machine: /dev/ttyS*, /dev/ttyUSB*, /dev/ttyACM*, each kind in
/// number order. @p devDir is for tests.
std::vector<std::string> serialDevices(const std::string& devDir = "/dev");

} // namespace linkorctl
