// How the driver drives one serial device: how it knows that a frame has left, who switches
// RTS around a frame, and whether it asks the device to hand received bytes over at once.
// Decided from what the device answered when it was asked, so that the rules can be tested
// for devices this machine does not have.
#pragma once

#include "base/port.h"

#include <chrono>
#include <cstddef>
#include <string>

namespace linkor {

/// How the end of a transmission is waited for before RTS drops.
enum class DrainMethod {
    /// A pseudo-terminal: what was written is handed over already, nothing is shifted out.
    None,
    /// The UART's line status register is polled until its transmitter is empty, so that
    /// the bytes still in its FIFO count too.
    TransmitterEmpty,
    /// The kernel's own wait (tcdrain), for devices without a line status register, such
    /// as USB adapters, whose drivers know best when their bytes are out.
    KernelDrain,
};

/// Who switches RTS around each frame.
enum class DirectionControl {
    Driver, ///< the driver raises and lowers RTS itself, with its busy-waits
    Kernel, ///< the serial driver's RS-485 mode does it, timed by the UART itself
};

/// What the device said when it was asked; nothing here changes the device.
struct DeviceAnswers {
    bool pseudoTerminal = false;
    bool lineStatus = false; ///< TIOCSERGETLSR answered
    bool rs485 = false;      ///< TIOCGRS485 answered
    bool serialInfo = false; ///< TIOCGSERIAL answered
    bool lowLatency = false; ///< ASYNC_LOW_LATENCY already set
    /// The adapter's latency timer in milliseconds (sysfs), -1 when it has none.
    int latencyTimerMs = -1;
};

struct LineHandling {
    DrainMethod drain = DrainMethod::None;
    DirectionControl direction = DirectionControl::Driver;
    /// Ask for low latency at open, and give the flags back at close.
    bool setLowLatency = false;
    /// The adapter holds received bytes longer than a user of this driver would want.
    bool slowLatencyTimer = false;
};

/// Latency timers above this make a short reply wait longer in the adapter than on the wire.
inline constexpr int kLatencyTimerAdviceMs = 2;
/// Bits a character takes on the wire: start, eight data bits, stop.
inline constexpr int kBitsPerCharacter = 10;
/// The largest transmit FIFO of the UARTs and adapters in use, in characters.
inline constexpr std::size_t kLargestTransmitFifo = 256;
/// Added to a drain's bound for the scheduler and the device's own reaction.
inline constexpr std::chrono::milliseconds kDrainMargin{20};

/// The handling the answers call for.
LineHandling decideHandling(const DeviceAnswers& answers);

/// The time @p characters take on the wire at @p baud.
std::chrono::microseconds wireTime(std::size_t characters, int baud);
/// How long a drain of @p characters may take before it is given up: the characters and a
/// full FIFO ahead of them on the wire, and the margin.
std::chrono::microseconds drainBound(std::size_t characters, int baud);
/// The kernel's RS-485 delay after the last bit, in whole milliseconds (its unit), rounded
/// up so that RTS never drops earlier than the driver itself would drop it.
int rs485DelayAfterSendMs(int baud);

/// One line in words, for the log and for linkorctl, such as
/// "RS-485 direction by the kernel; end of frame from the UART's transmitter-empty flag;
/// low latency asked".
std::string describeHandling(const LineHandling& handling);

/// What to do about a slow latency timer, with the udev rule that makes it stick.
std::string latencyTimerAdvice(const std::string& deviceName, int latencyTimerMs);

} // namespace linkor
