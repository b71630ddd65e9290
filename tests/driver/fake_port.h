// An in-process port that tests script byte by byte: what the driver writes is kept,
// replies come from a responder called at the end of each frame, and reads never wait.
#pragma once

#include "base/port.h"
#include "kv/kv_bytes.h"

#include <deque>
#include <functional>
#include <mutex>
#include <vector>

namespace linkor::test {

class FakePort : public Port {
  public:
    using Bytes = std::vector<uint8_t>;
    /// Called with each complete frame (ended by ETX or CR); returns the module's bytes.
    std::function<Bytes(const Bytes&)> responder;
    /// Called with each byte sent ahead of the queue (acknowledgements, probes).
    std::function<void(FakePort&, uint8_t)> onPriority;

    // What the driver did.
    Bytes sent;
    std::vector<Bytes> writes;
    std::vector<Bytes> frames;
    Bytes priority;
    std::vector<std::chrono::milliseconds> readTimeouts;
    std::vector<bool> rtsChanges;
    int purges = 0;
    int opens = 0;
    PortSettings lastSettings;
    int speed = 0;

    // Faults to play.
    bool failOpen = false;
    bool failWrite = false;
    bool shortWrite = false;
    bool failRead = false;

    int32_t open(const std::string&, const PortSettings& settings) override {
        ++opens;
        lastSettings = settings;
        speed = settings.baud;
        m_open = !failOpen;
        return failOpen ? 0x1001 : 0;
    }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    int32_t changeSpeed(int baud, int writePerByteMs) override {
        speed = baud;
        lastSettings.writePerByteMs = writePerByteMs;
        return 0;
    }
    void purge() override {
        ++purges;
        std::lock_guard lock(m_mutex);
        m_input.clear();
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
        if (!m_frame.empty() && (m_frame.back() == kv::kEtx || m_frame.back() == kv::kCr)) {
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
        if (failRead) {
            return {ReadOutcome::Failed, 0};
        }
        std::lock_guard lock(m_mutex);
        if (m_input.empty()) {
            return {ReadOutcome::TimedOut, 0};
        }
        const uint8_t b = m_input.front();
        m_input.pop_front();
        return {ReadOutcome::Byte, b};
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

  private:
    std::mutex m_mutex;
    bool m_open = false;
    Bytes m_frame;
    std::deque<uint8_t> m_input;
    int m_breaks = 0;
};

/// Bytes of a text, for building expectations.
inline std::vector<uint8_t> bytesOf(std::string_view text) {
    return {text.begin(), text.end()};
}

} // namespace linkor::test
