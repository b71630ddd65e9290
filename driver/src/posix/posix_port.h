// Port over a POSIX terminal device (a UART, a USB adapter or a pseudo-terminal).
#pragma once

#include "base/port.h"
#include "posix/break_marks.h"
#include "posix/device_setup.h"
#include "posix/line_handling.h"
#include <common/unique_fd.h>

#include <deque>
#include <memory>

namespace linkor {

using common::UniqueFd;

class PosixPort final : public Port {
  public:
    PosixPort() = default;
    ~PosixPort() override { close(); }

    int32_t open(const std::string& portName, const PortSettings& settings) override;
    void close() override;
    bool isOpen() const override { return m_fd.valid(); }
    int32_t changeSpeed(int baud, int writePerByteMs) override;
    void purge() override;
    bool write(const uint8_t* data, size_t size, size_t& written) override;
    ReadResult readByte(std::chrono::milliseconds timeout) override;
    void transmitPriority(uint8_t byte) override;
    void setRts(bool raised) override;
    void waitTransmitted(std::chrono::milliseconds timeout) override;
    void waitSent(std::size_t characters) override;
    bool waitBreak(std::chrono::microseconds timeout) override;
    void clearErrors() override {}

    /// How the device open now is driven.
    const LineHandling& handling() const { return m_handling; }

  private:
    enum class Fill { Got, TimedOut, Failed };
    /// Reads what the device has within `timeout` into the decoded queues.
    Fill fill(std::chrono::steady_clock::time_point deadline);

    /// Polls the UART's transmitter-empty flag until @p deadline; false when it cannot.
    bool pollTransmitterEmpty(std::chrono::steady_clock::time_point deadline);

    UniqueFd m_fd;
    PortSettings m_settings;
    LineHandling m_handling;
    DeviceSetup m_setup;
    BreakMarkFilter m_filter;
    std::deque<uint8_t> m_input;
    unsigned m_pendingBreaks = 0;
    bool m_modemLines = true;
    bool m_gone = false;
};

/// Tells whether port n exists, is a real serial port or a pseudo-terminal, and can be
/// held exclusively at this moment (the probe releases it at once).
bool probePort(unsigned portNumber);

/// The port a slot gets unless a test gives it another.
inline std::unique_ptr<Port> makePosixPort() {
    return std::make_unique<PosixPort>();
}

} // namespace linkor
