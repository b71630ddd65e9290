// TJbus: one line carried by the JBUS sub-driver. It owns the line's port and settings
// and runs each command as a Modbus RTU exchange on the calling thread.
#pragma once

#include "base/port.h"
#include "jbus/jbus_request.h"
#include "posix/thread_priority.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace linkor {
class ExchangeRecord;
}

namespace linkor::jbus {

enum ProtocolCode : int { kProtocol232 = 0, kProtocol485 = 1 };

/// The protocol of a name or of its prefix of at least three characters, first match
/// in the order "JBUS-232", "JBUS-485"; nullopt when none matches.
std::optional<int> protocolCodeOf(const char* name, bool caseSensitive);

/// Settings of a line; every initialisation resets them to these values.
struct JbusSettings {
    int protocol = kProtocol232;
    int retries = 0;
    Priority priority = Priority::Highest;
    int waitRtsOffMs = 0; ///< 0: 25 bit times
    int waitRtsOnMs = 0;  ///< kept for the settings block; no transmission uses it
    int logMode = 0;
};

class TJbus {
  public:
    /// Per-byte silence that ends a reception, and the wait for each echoed byte.
    static constexpr std::chrono::milliseconds kByteTimeout{100};

    TJbus(std::string portName, std::unique_ptr<Port> port);
    ~TJbus();
    TJbus(const TJbus&) = delete;
    TJbus& operator=(const TJbus&) = delete;

    /// Opens the port at `baud` for protocol `code`; resets every setting.
    int32_t initialise(int baud, int code);
    /// Runs one command text (after any settings block). `reply`, when given, receives
    /// at most 255 characters and its NUL.
    int32_t dialogue(const char* command, char* reply);

    int32_t suspend();
    int32_t resume();
    void close();
    int32_t changeBaud(int baud);
    int32_t setPriority(const char* name);

    JbusSettings& settings() { return m_settings; }
    const std::string& portName() const { return m_portName; }
    int baud() const { return m_baud; }

  private:
    /// Applies the settings block at the start of `text` (which begins with "/");
    /// `consumed` receives its length.
    int32_t applySettingsBlock(const char* text, size_t& consumed);
    int32_t exchange(std::string_view text, bool wantReply, std::string& reply,
                     ExchangeRecord& record);
    int32_t attempt(const Request& request, std::vector<uint8_t>& answer, ExchangeRecord& record);
    int32_t send(const std::vector<uint8_t>& bytes, size_t& written);
    int32_t dropEcho(size_t count);
    PortSettings portSettings() const;

    std::string m_portName;
    std::unique_ptr<Port> m_port;
    int m_baud = 9600;
    JbusSettings m_settings;
};

} // namespace linkor::jbus
