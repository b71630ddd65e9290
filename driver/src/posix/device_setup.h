// What the driver changes on a serial device while it holds it (the kernel's RS-485 mode,
// low latency), and gives back before the device is closed: another program opening the
// port afterwards finds it as it was.
#pragma once

#include "posix/line_handling.h"

#include <linux/serial.h>

namespace linkor {

class DeviceSetup final {
  public:
    DeviceSetup() = default;
    DeviceSetup(const DeviceSetup&) = delete;
    DeviceSetup& operator=(const DeviceSetup&) = delete;

    /// Applies what @p wanted asks for on @p fd. What the device refuses is left as it is,
    /// and the handling actually in force is returned (a refused RS-485 mode leaves RTS to
    /// the driver).
    LineHandling apply(int fd, const LineHandling& wanted, int baud);
    /// Gives the kernel's RS-485 delay after the last bit its new speed.
    void speedChanged(int fd, int baud);
    /// Gives back what apply changed. Safe to call more than once.
    void restore(int fd);

  private:
    bool m_rs485Changed = false;
    serial_rs485 m_rs485Before{};
    serial_rs485 m_rs485Now{};
    bool m_lowLatencyChanged = false;
};

} // namespace linkor
