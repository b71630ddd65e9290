// The exchange log "linkor.log", beside the library or in the user's state folder (see
// companion_files.h): headers written when a settings block sets the log mode, and one
// record per dialogue. Every piece is appended with one write of its own, so lines
// logging at the same time never split each other's.
#pragma once

#include "base/messages.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace linkor {

enum LogMode : int { kLogNone = 0, kLogErrors = 1, kLogAll = 2 };

/// How the bytes of the wire are written: control characters only, or every byte,
/// as "\x%02X".
enum class ByteEscape { Controls, All };

/// "  hh:mm:ss:mmm" in local time.
std::string logTimeStamp();
/// A logged text, cut at 250 characters, with its bytes escaped as `escape` says.
std::string loggedText(std::string_view text, ByteEscape escape = ByteEscape::Controls);
/// The log file: the driver's configured path, or linkor.log beside the library when
/// the first-use setup has not run (a sub-driver's family used on its own).
std::string logFilePath();
/// Appends to the log file; a file that cannot be opened is skipped.
void appendToLog(const std::string& text);

/// The header of a block's LOGALL, LOGERR or NOLOG.
void writeLogHeader(const char* identity, const std::string& portName, int mode);

/// One dialogue's record. In mode 2 each part is written as it happens; in mode 1 the
/// parts are kept and written at the end only when the dialogue failed.
class ExchangeRecord {
  public:
    ExchangeRecord(std::string portName, int mode, ByteEscape escape);

    void start(std::string_view command);
    void sent(std::string_view bytes);
    void sent(const std::vector<uint8_t>& bytes) { sent(viewOf(bytes)); }
    /// `acknowledged`: the reply was acknowledged with ACK, logged after the bytes.
    void received(std::string_view bytes, bool acknowledged = false);
    void received(const std::vector<uint8_t>& bytes) { received(viewOf(bytes)); }
    void finish(std::string_view reply, int32_t status, Language language);

  private:
    static std::string_view viewOf(const std::vector<uint8_t>& bytes) {
        return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
    }

    std::string m_portName;
    int m_mode;
    ByteEscape m_escape;
    std::string m_head;
    std::string m_sent;
    std::string m_received;
};

} // namespace linkor
