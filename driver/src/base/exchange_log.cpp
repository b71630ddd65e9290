#include "base/exchange_log.h"

#include "base/companion_files.h"
#include "base/driver_state.h"
#include "linkor_status.h"

#include <common/unique_fd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace linkor {

namespace {

constexpr size_t kLogTextLimit = 250;
constexpr const char* kErrorTail = " !!!!!!!!!!!!!!!!!!!!!!!\n";
constexpr uint8_t kFirstPrintable = 0x20;
constexpr uint8_t kDelete = 0x7F;

void appendEscaped(std::string& out, uint8_t byte) {
    char text[8];
    std::snprintf(text, sizeof text, "\\x%02X", byte);
    out += text;
}

} // namespace

std::string logTimeStamp() {
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

std::string loggedText(std::string_view text, ByteEscape escape) {
    std::string out;
    for (size_t i = 0; i < std::min(text.size(), kLogTextLimit); ++i) {
        const auto byte = static_cast<uint8_t>(text[i]);
        if (escape == ByteEscape::All || byte < kFirstPrintable || byte == kDelete) {
            appendEscaped(out, byte);
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string logFilePath() {
    const std::string& configured = driverState().logPath;
    if (!configured.empty()) {
        return configured;
    }
    return companionPath(Companion::Log, currentCompanionPlaces());
}

void appendToLog(const std::string& text) {
    const std::string path = logFilePath();
    if (path.empty() || text.empty()) {
        return;
    }
    // O_APPEND makes each write land whole at the end, whoever else is logging.
    constexpr int kFlags = O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC;
    common::UniqueFd fd(::open(path.c_str(), kFlags, 0644));
    // The per-user folder is made when the first record goes there.
    if (fd.get() < 0 && errno == ENOENT && makeParentFolder(path)) {
        fd.reset(::open(path.c_str(), kFlags, 0644));
    }
    if (fd.get() >= 0) {
        [[maybe_unused]] const ssize_t n = ::write(fd.get(), text.data(), text.size());
    }
}

void writeLogHeader(const char* identity, const std::string& portName, int mode) {
    std::string text = "\nLogging ";
    text += identity;
    if (mode != kLogAll) {
        text += "\n" + portName + logTimeStamp();
        text += mode == kLogErrors ? "\ncde: /LOGERR/\n" : "\ncde: /NOLOG/\n";
    }
    appendToLog(text);
}

ExchangeRecord::ExchangeRecord(std::string portName, int mode, ByteEscape escape)
    : m_portName(std::move(portName)), m_mode(mode), m_escape(escape) {}

void ExchangeRecord::start(std::string_view command) {
    if (m_mode == kLogNone) {
        return;
    }
    m_head = "\n" + m_portName + logTimeStamp() + "\ncde: " + loggedText(command) + "\n";
    if (m_mode == kLogAll) {
        appendToLog(m_head);
    }
}

void ExchangeRecord::sent(std::string_view bytes) {
    if (m_mode == kLogNone) {
        return;
    }
    m_sent = loggedText(bytes, m_escape);
    if (m_mode == kLogAll) {
        appendToLog("-> " + m_sent + "\n");
    }
}

void ExchangeRecord::received(std::string_view bytes, bool acknowledged) {
    if (m_mode == kLogNone) {
        return;
    }
    m_received = loggedText(bytes, m_escape);
    if (acknowledged) {
        m_received += "\n-> \\x06";
    }
    if (m_mode == kLogAll) {
        appendToLog("<- " + m_received + "\n");
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
        appendToLog(whole + tail);
        return;
    }
    appendToLog(tail);
}

} // namespace linkor
