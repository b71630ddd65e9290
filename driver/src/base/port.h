// The operations every sub-driver needs from a serial port. The protocol code runs
// over this interface only, so that it can be driven by a real device or by a scripted
// in-process port in tests.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace linkor {

/// Bit times RTS stays raised after the last bit of a frame, before it drops.
inline constexpr int kRtsOffBits = 25;

/// Outcome of reading one byte.
enum class ReadOutcome { Byte, TimedOut, Failed };

struct ReadResult {
    ReadOutcome outcome;
    uint8_t byte;
};

/// Line settings that the device is opened with.
struct PortSettings {
    int baud = 9600;
    /// When set, RTS is left to the device (the JBUS lines disable driver control).
    bool rtsDisabled = false;
    /// Write time-out: per byte, and constant (milliseconds).
    int writePerByteMs = 10;
    int writeConstantMs = 2000;
    /// Break conditions are reported (needed by the break-signal discovery).
    bool reportBreaks = true;
};

class Port {
  public:
    virtual ~Port() = default;

    /// Opens the device of a "COMn" name; returns 0 or a port set-up status.
    virtual int32_t open(const std::string& portName, const PortSettings& settings) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    /// Changes the speed in place; returns 0 or a port set-up status.
    virtual int32_t changeSpeed(int baud, int writePerByteMs) = 0;
    /// Discards everything queued in both directions.
    virtual void purge() = 0;
    /// Writes all bytes within the write time-out; `written` tells how many went out.
    /// Returns false when the write failed outright.
    virtual bool write(const uint8_t* data, size_t size, size_t& written) = 0;
    /// Reads one byte, waiting at most `timeout`.
    virtual ReadResult readByte(std::chrono::milliseconds timeout) = 0;
    /// Sends one byte ahead of anything queued.
    virtual void transmitPriority(uint8_t byte) = 0;
    virtual void setRts(bool raised) = 0;
    /// Waits until everything written has left, at most `timeout`.
    virtual void waitTransmitted(std::chrono::milliseconds timeout) = 0;
    /// Waits until the last bit of the `characters` just written has left the transmitter,
    /// so that RTS is not dropped under a frame still in the UART's FIFO. A port with no
    /// transmitter of its own has nothing to wait for.
    virtual void waitSent(std::size_t characters) { static_cast<void>(characters); }
    /// Waits for a BREAK condition on the line; true when one was seen.
    virtual bool waitBreak(std::chrono::microseconds timeout) = 0;
    virtual void clearErrors() = 0;
};

using PortFactory = std::unique_ptr<Port> (*)();

} // namespace linkor
