// An in-process port that plays a JBUS line: what the driver writes is kept, and when
// the driver starts listening the line gives back the echo it is set to and the
// slave's answer to the request. Reads never wait: an empty line times out at once.
#pragma once

#include "base/port.h"
#include "support/wire_frames.h"

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace linkor::test {

using Bytes = std::vector<uint8_t>;

class ScriptedPort : public Port {
  public:
    /// The slave: its answer to one complete request (empty for silence).
    std::function<Bytes(const Bytes&)> slave;
    /// Bytes of its own transmission that the line hands back first (485 wiring);
    /// nullopt for none, else that many leading bytes of the request.
    std::optional<size_t> echoBytes;
    /// A line that never falls silent: once the queue is empty, this byte comes forever.
    std::optional<uint8_t> endlessNoise;

    // What the driver did.
    std::vector<Bytes> requests;
    std::vector<std::chrono::milliseconds> readTimeouts;
    std::vector<bool> rtsChanges;
    size_t bytesRead = 0;
    int purges = 0;
    int opens = 0;
    int closes = 0;
    PortSettings lastSettings;
    int speed = 0;
    int speedWritePerByte = 0;

    // Faults to play.
    bool failOpen = false;
    bool failWrite = false;
    bool shortWrite = false;
    /// The read after this many bytes have been read in one attempt fails.
    std::optional<size_t> failReadAfter;

    int32_t open(const std::string&, const PortSettings& settings) override {
        ++opens;
        lastSettings = settings;
        speed = settings.baud;
        m_open = !failOpen;
        return failOpen ? 0x1001 : 0;
    }
    void close() override {
        ++closes;
        m_open = false;
    }
    bool isOpen() const override { return m_open; }
    int32_t changeSpeed(int baud, int writePerByteMs) override {
        speed = baud;
        speedWritePerByte = writePerByteMs;
        return 0;
    }
    void purge() override {
        ++purges;
        m_input.clear();
        m_pending.clear();
        m_readThisAttempt = 0;
    }
    bool write(const uint8_t* data, size_t size, size_t& written) override {
        written = 0;
        if (!m_open || failWrite) {
            return false;
        }
        written = shortWrite ? size / 2 : size;
        m_pending.insert(m_pending.end(), data, data + written);
        return true;
    }
    ReadResult readByte(std::chrono::milliseconds timeout) override {
        readTimeouts.push_back(timeout);
        if (!m_pending.empty()) {
            requests.push_back(m_pending);
            if (echoBytes) {
                const size_t n = std::min(*echoBytes, m_pending.size());
                m_input.insert(m_input.end(), m_pending.begin(),
                               m_pending.begin() + static_cast<std::ptrdiff_t>(n));
            }
            if (slave) {
                const Bytes answer = slave(m_pending);
                m_input.insert(m_input.end(), answer.begin(), answer.end());
            }
            m_pending.clear();
        }
        if (failReadAfter && m_readThisAttempt >= *failReadAfter) {
            return {ReadOutcome::Failed, 0};
        }
        uint8_t byte = 0;
        if (!m_input.empty()) {
            byte = m_input.front();
            m_input.pop_front();
        } else if (endlessNoise) {
            byte = *endlessNoise;
        } else {
            return {ReadOutcome::TimedOut, 0};
        }
        ++bytesRead;
        ++m_readThisAttempt;
        return {ReadOutcome::Byte, byte};
    }
    void transmitPriority(uint8_t) override {}
    void setRts(bool raised) override { rtsChanges.push_back(raised); }
    void waitTransmitted(std::chrono::milliseconds) override {}
    bool waitBreak(std::chrono::microseconds) override { return false; }
    void clearErrors() override {}

    size_t unread() const { return m_input.size(); }

  private:
    bool m_open = false;
    Bytes m_pending;
    std::deque<uint8_t> m_input;
    size_t m_readThisAttempt = 0;
};

/// A frame with its Modbus CRC appended, computed independently of the driver.
using support::withCrc;

} // namespace linkor::test
