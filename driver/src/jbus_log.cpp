#include "jbus_log.h"

#include "driver_state.h"
#include "library_location.h"
#include "linkor_status.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace linkor::jbus {

namespace {

constexpr size_t kLogTextLimit = 250;
constexpr const char* kErrorTail = " !!!!!!!!!!!!!!!!!!!!!!!\n";

/// "  hh:mm:ss:mmm" in local time.
std::string timeStamp() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()) %
                    std::chrono::seconds(1);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    std::snprintf(text, sizeof text, "  %02d:%02d:%02d:%03d", local.tm_hour, local.tm_min,
                  local.tm_sec, static_cast<int>(ms.count()));
    return text;
}

void appendEscaped(std::string& out, uint8_t byte) {
    char text[8];
    std::snprintf(text, sizeof text, "\\x%02X", byte);
    out += text;
}

void appendToLog(const std::string& text) {
    const std::string path = logFilePath();
    if (std::FILE* file = std::fopen(path.c_str(), "a")) {
        std::fputs(text.c_str(), file);
        std::fclose(file);
    }
}

} // namespace

std::string logFilePath() {
    const std::string& configured = driverState().logPath;
    return configured.empty() ? libraryDirectory() + "linkor.log" : configured;
}

std::string loggedText(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < std::min(text.size(), kLogTextLimit); ++i) {
        const auto byte = static_cast<uint8_t>(text[i]);
        if (byte < 0x20 || byte == 0x7F) {
            appendEscaped(out, byte);
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string loggedBytes(const std::vector<uint8_t>& bytes) {
    std::string out;
    for (size_t i = 0; i < std::min(bytes.size(), kLogTextLimit); ++i) {
        appendEscaped(out, bytes[i]);
    }
    return out;
}

void writeLogHeader(const std::string& portName, int mode) {
    std::string text = "\nLogging ";
    text += kJbusIdentity;
    if (mode != kLogAll) {
        text += "\n" + portName + timeStamp();
        text += mode == kLogErrors ? "\ncde: /LOGERR/\n" : "\ncde: /NOLOG/\n";
    }
    appendToLog(text);
}

ExchangeRecord::ExchangeRecord(std::string portName, int mode)
    : m_portName(std::move(portName)), m_mode(mode) {}

void ExchangeRecord::write(const std::string& text) const {
    appendToLog(text);
}

void ExchangeRecord::start(std::string_view command) {
    if (m_mode == kLogNone) {
        return;
    }
    m_head = "\n" + m_portName + timeStamp() + "\ncde: " + loggedText(command) + "\n";
    if (m_mode == kLogAll) {
        write(m_head);
    }
}

void ExchangeRecord::sent(const std::vector<uint8_t>& bytes) {
    if (m_mode == kLogNone) {
        return;
    }
    m_sent = loggedBytes(bytes);
    if (m_mode == kLogAll) {
        write("-> " + m_sent + "\n");
    }
}

void ExchangeRecord::received(const std::vector<uint8_t>& bytes) {
    if (m_mode == kLogNone) {
        return;
    }
    m_received = loggedBytes(bytes);
    if (m_mode == kLogAll) {
        write("<- " + m_received + "\n");
    }
}

void ExchangeRecord::finish(std::string_view reply, int32_t status, Language language) {
    if (m_mode == kLogNone || (m_mode == kLogErrors && status == LINKOR_OK)) {
        return;
    }
    std::string tail;
    if (!reply.empty()) {
        tail += "rep: " + loggedText(reply) + "\n";
    }
    if (status != LINKOR_OK) {
        char code[16];
        std::snprintf(code, sizeof code, "err: \\x%04X ", static_cast<unsigned>(status & 0xFFFF));
        const char* message = findMessage(status, language);
        tail += code;
        tail += message != nullptr ? message : unknownCodeMessage(language);
        tail += kErrorTail;
    }
    if (m_mode == kLogErrors) {
        std::string whole = m_head;
        if (!m_sent.empty()) {
            whole += "-> " + m_sent + "\n";
        }
        if (!m_received.empty()) {
            whole += "<- " + m_received + "\n";
        }
        write(whole + tail);
        return;
    }
    write(tail);
}

} // namespace linkor::jbus
