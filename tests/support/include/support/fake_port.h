// An in-process port that tests script byte by byte. What the driver writes is kept; the line
// answers either at the end of each KV frame (a responder, as a module that reads its command
// to the ETX or CR) or when the driver first listens after writing (a slave, as a JBUS slave
// that answers a request whose end only the master's silence marks). Reads never wait: an
// empty line times out at once.
#pragma once

#include "base/port.h"

#include <algorithm>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

namespace linkor::test {

class FakePort : public Port {
  public:
    using Bytes = std::vector<uint8_t>;

    /// Called with each complete frame (ended by ETX or CR); returns the module's bytes.
    std::function<Bytes(const Bytes&)> responder;
    /// Called with everything written since the last read, when the driver starts reading;
    /// returns the slave's answer (empty for silence).
    std::function<Bytes(const Bytes&)> slave;
    /// Called with each byte sent ahead of the queue (acknowledgements, probes).
    std::function<void(FakePort&, uint8_t)> onPriority;
    /// Bytes of its own transmission that the line hands back first (two-wire wiring);
    /// nullopt for none, else that many leading bytes of the request.
    std::optional<size_t> echoBytes;
    /// A line that never falls silent: once the queue is empty, this byte comes forever.
    std::optional<uint8_t> endlessNoise;

    // What the driver did.
    Bytes sent;
    std::vector<Bytes> writes;
    std::vector<Bytes> frames;
    std::vector<Bytes> requests; ///< what was written before each first read after it
    Bytes priority;
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
    bool failRead = false;
    /// The read after this many bytes have been read in one attempt fails.
    std::optional<size_t> failReadAfter;

    int32_t open(const std::string&, const PortSettings& settings) override {
        ++opens;
        lastSettings = settings;
        speed = settings.baud;
        m_open = !failOpen;
        return failOpen ? kOpenFailure : 0;
    }
    void close() override {
        ++closes;
        m_open = false;
    }
    bool isOpen() const override { return m_open; }
    int32_t changeSpeed(int baud, int writePerByteMs) override {
        speed = baud;
        speedWritePerByte = writePerByteMs;
        lastSettings.writePerByteMs = writePerByteMs;
        return 0;
    }
    void purge() override {
        ++purges;
        std::lock_guard lock(m_mutex);
        m_input.clear();
        m_pending.clear();
        m_readThisAttempt = 0;
    }
    bool write(const uint8_t* data, size_t size, size_t& written) override {
        written = 0;
        if (failWrite || !m_open) {
            return false; // as a closed device would
        }
        written = shortWrite ? size / 2 : size;
        writes.emplace_back(data, data + size);
        m_frame.insert(m_frame.end(), data, data + written);
        sent.insert(sent.end(), data, data + written);
        {
            std::lock_guard lock(m_mutex);
            m_pending.insert(m_pending.end(), data, data + written);
        }
        if (!m_frame.empty() && (m_frame.back() == kEtx || m_frame.back() == kCr)) {
            frames.push_back(m_frame);
            if (responder) {
                feed(responder(m_frame));
            }
            m_frame.clear();
        }
        return true;
    }
    ReadResult readByte(std::chrono::milliseconds timeout) override {
        readTimeouts.push_back(timeout);
        answerPending();
        if (failRead || (failReadAfter && m_readThisAttempt >= *failReadAfter)) {
            return {ReadOutcome::Failed, 0};
        }
        uint8_t byte = 0;
        {
            std::lock_guard lock(m_mutex);
            if (!m_input.empty()) {
                byte = m_input.front();
                m_input.pop_front();
            } else if (endlessNoise) {
                byte = *endlessNoise;
            } else {
                return {ReadOutcome::TimedOut, 0};
            }
        }
        ++bytesRead;
        ++m_readThisAttempt;
        return {ReadOutcome::Byte, byte};
    }
    void transmitPriority(uint8_t byte) override {
        {
            std::lock_guard lock(m_mutex);
            priority.push_back(byte);
        }
        if (onPriority) {
            onPriority(*this, byte);
        }
    }
    void setRts(bool raised) override { rtsChanges.push_back(raised); }
    void waitTransmitted(std::chrono::milliseconds) override {}
    bool waitBreak(std::chrono::microseconds) override {
        std::lock_guard lock(m_mutex);
        if (m_breaks == 0) {
            return false;
        }
        --m_breaks;
        return true;
    }
    void clearErrors() override {}

    void feed(const Bytes& bytes) {
        std::lock_guard lock(m_mutex);
        m_input.insert(m_input.end(), bytes.begin(), bytes.end());
    }
    void raiseBreak() {
        std::lock_guard lock(m_mutex);
        m_breaks = 1; // breaks of several modules at once are one condition on the line
    }
    size_t unread() const {
        std::lock_guard lock(m_mutex);
        return m_input.size();
    }

  private:
    static constexpr uint8_t kEtx = 0x03;
    static constexpr uint8_t kCr = 0x0D;
    /// What the driver's port reports when the device cannot be opened.
    static constexpr int32_t kOpenFailure = 0x1001;

    void answerPending() {
        Bytes request;
        {
            std::lock_guard lock(m_mutex);
            if (m_pending.empty()) {
                return;
            }
            request.swap(m_pending);
        }
        requests.push_back(request);
        if (echoBytes) {
            const size_t n = std::min(*echoBytes, request.size());
            feed(Bytes(request.begin(), request.begin() + static_cast<std::ptrdiff_t>(n)));
        }
        if (slave) {
            feed(slave(request));
        }
    }

    mutable std::mutex m_mutex;
    bool m_open = false;
    Bytes m_frame;
    Bytes m_pending;
    std::deque<uint8_t> m_input;
    size_t m_readThisAttempt = 0;
    int m_breaks = 0;
};

/// Bytes of a text, for building expectations.
inline std::vector<uint8_t> bytesOf(std::string_view text) {
    return {text.begin(), text.end()};
}

} // namespace linkor::test
