// The exchange log of JBUS lines: the records that the log mode asks for, appended to
// the driver's log file, with every frame byte written as "\x%02X".
#pragma once

#include "messages.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace linkor::jbus {

enum LogMode : int { kLogNone = 0, kLogErrors = 1, kLogAll = 2 };

/// The file the records go to: the driver's log path, or linkor.log beside the library
/// when the driver's first-use setup has not run.
std::string logFilePath();

/// The header a settings block writes when it sets the log mode.
void writeLogHeader(const std::string& portName, int mode);

/// One dialogue's record. In mode 2 each part is written as it happens; in mode 1 the
/// parts are kept and written at the end only when the dialogue failed.
class ExchangeRecord {
  public:
    ExchangeRecord(std::string portName, int mode);

    void start(std::string_view command);
    void sent(const std::vector<uint8_t>& bytes);
    void received(const std::vector<uint8_t>& bytes);
    void finish(std::string_view reply, int32_t status, Language language);

  private:
    void write(const std::string& text) const;

    std::string m_portName;
    int m_mode;
    std::string m_head;
    std::string m_sent;
    std::string m_received;
};

/// A logged text: control characters as "\x%02X", cut at 250 characters.
std::string loggedText(std::string_view text);
/// A logged frame: every byte as "\x%02X", at most 250 bytes.
std::string loggedBytes(const std::vector<uint8_t>& bytes);

} // namespace linkor::jbus
