// TTrilo: one line carried by the KV sub-driver. It owns the line's port, its protocol
// settings and the break-signal discovery worker.
#pragma once

#include "base/port.h"
#include "kv/kv_frame.h"
#include "kv/kv_types.h"
#include "posix/thread_priority.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

namespace linkor {

class ExchangeRecord;
namespace vrx {
class FramePath;
}

using BreakNotify = void (*)();

/// Settings of a line; every initialisation resets them to these values.
struct KvSettings {
    int protocol = kv::kProtocolXon;
    int lineType = kv::kDefaultLineType;
    std::array<int, 80> addressTypes{}; ///< 0: the line's type
    int retries = 0;
    int letterCase = kv::kCaseDefault;
    int tackMs = 0;
    int waitAckMs = 0;
    int waitAllReplyMs = 0;
    int waitReplyMs = 0; ///< next command only
    int waitRtsOnMs = 0;
    int waitRtsOffMs = 0;
    Priority priority = Priority::Highest;
    int logMode = 0;
    bool repair = false;
    bool raw = false;
    kv::AllowedControls allowed;
    kv::AllowedControls allowedFramePath;
};

class TTrilo {
  public:
    /// Addresses that may carry their own module type.
    static constexpr int kTypedAddresses = 80;

    TTrilo(std::string portName, std::unique_ptr<Port> port);
    ~TTrilo();
    TTrilo(const TTrilo&) = delete;
    TTrilo& operator=(const TTrilo&) = delete;

    /// Opens the port at `baud` for protocol `code`; resets every setting.
    int32_t initialise(int baud, int code);
    /// Runs one command text (after any settings block) and stores the reply.
    int32_t dialogue(const char* command, char* reply);
    uint8_t moduleStatus() const { return m_moduleStatus; }
    void clearModuleStatus() { m_moduleStatus = 0; }

    int32_t suspend();
    int32_t resume();
    void close();
    int32_t changeBaud(int baud);
    int32_t setPriority(const char* name);
    int32_t setSyntax(const char* text);

    void initBreak(BreakNotify notify, char** result, std::chrono::microseconds wait);
    void startBreak(int count, int bits);
    void stopBreak();
    bool discoveryRunning() const { return m_discoveryRunning.load(); }

    KvSettings& settings() { return m_settings; }
    const std::string& portName() const { return m_portName; }
    int baud() const { return m_baud; }
    Port& port() { return *m_port; }

    /// The sent and received lines of the last exchange, as logged.
    const std::string& sentLine() const { return m_sentLine; }
    const std::string& receivedLine() const { return m_receivedLine; }
    /// The last reply was acknowledged with ACK (TRILO modules).
    bool acknowledged() const { return m_acknowledged; }

  private:
    // The VRX23/VRX34 frame path sends its frames through this line's own attempts.
    friend class vrx::FramePath;

    /// Applies the settings block at the start of `text` (which begins with "/");
    /// `consumed` receives its length.
    int32_t applySettingsBlock(const char* text, size_t& consumed);
    int typeFor(const char* text) const;
    int32_t exchange(const char* text, char* reply);
    int32_t attempt(const kv::PreparedFrame& frame, int type, char* reply);
    int32_t sendFrame(const std::vector<uint8_t>& bytes);
    void acknowledgeReply();
    std::chrono::milliseconds initialTimeout() const;
    std::chrono::milliseconds replyTimeout() const;
    PortSettings portSettings() const;
    void runDiscovery();
    void appendReceived(uint8_t byte);

    std::string m_portName;
    std::unique_ptr<Port> m_port;
    int m_baud = 9600;
    KvSettings m_settings;
    uint8_t m_moduleStatus = 0;
    std::string m_sentLine;
    std::string m_receivedLine;
    bool m_acknowledged = false;
    ExchangeRecord* m_record = nullptr; ///< the record of the dialogue under way
    std::unique_ptr<vrx::FramePath> m_framePath;

    BreakNotify m_notify = nullptr;
    std::chrono::microseconds m_breakWait{20000};
    int m_modulesToFind = 0;
    int m_addressBits = 0;
    std::array<char, 256> m_breakResult{};
    std::atomic<bool> m_stopRequested{false};
    std::atomic<bool> m_discoveryRunning{false};
    std::thread m_worker;
};

} // namespace linkor
