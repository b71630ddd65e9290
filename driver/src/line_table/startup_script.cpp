#include "line_table/startup_script.h"

#include "linkor_status.h"

#include <common/text_words.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <strings.h>

namespace linkor {

namespace {

/// A line holds at most 199 characters; a longer one goes on as the next line.
constexpr int kLineBuffer = 200;

/// Cuts the line at its end of line or at the start of a comment.
void cutComment(char* line) {
    for (char* p = line; *p != '\0'; ++p) {
        if (*p == '\n' || *p == '\r' || *p == ';' || (p[0] == '/' && p[1] == '/')) {
            *p = '\0';
            return;
        }
    }
}

/// The text of the line to send on `portName`, or null when the line does not apply.
const char* textFor(const char* line, const std::string& portName) {
    const char* p = line;
    while (common::isBlank(*p)) {
        ++p;
    }
    if (*p == '\0') {
        return nullptr;
    }
    if (line[0] == 'C' || line[0] == 'c') {
        // Only lines opened by this port's own prefix are for it.
        if (strncasecmp(line, portName.c_str(), portName.size()) != 0 ||
            line[portName.size()] != ':') {
            return nullptr;
        }
        p = line + portName.size() + 1;
    } else {
        p = line;
    }
    while (common::isBlank(*p)) {
        ++p;
    }
    return p;
}

std::mutex g_failureMutex;
ScriptFailure g_lastFailure;

void keepFailure(ScriptFailure failure) {
    std::lock_guard<std::mutex> lock(g_failureMutex);
    g_lastFailure = std::move(failure);
}

} // namespace

ScriptFailure lastScriptFailure() {
    std::lock_guard<std::mutex> lock(g_failureMutex);
    return g_lastFailure;
}

std::string scriptFailureDetail(const ScriptFailure& failure, bool english) {
    if (failure.lineNumber == 0) {
        return {};
    }
    char status[16];
    std::snprintf(status, sizeof status, "0x%04X", static_cast<unsigned>(failure.status));
    return " (" + failure.path + (english ? ", line " : ", ligne ") +
           std::to_string(failure.lineNumber) + (english ? ": \"" : " : \"") + failure.text +
           (english ? "\", status " : "\", statut ") + status + ")";
}

int32_t runStartupScript(const std::string& path, const std::string& portName,
                         const std::function<int32_t(const char*)>& send) {
    if (path.empty()) {
        return LINKOR_OK;
    }
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "r"),
                                                               &std::fclose);
    if (!file) {
        return LINKOR_OK;
    }
    char line[kLineBuffer];
    int lineNumber = 0;
    bool lineEnded = true;
    while (std::fgets(line, kLineBuffer, file.get()) != nullptr) {
        // A line cut at the buffer goes on in the next read: it keeps its number.
        if (lineEnded) {
            ++lineNumber;
        }
        lineEnded = std::strchr(line, '\n') != nullptr;
        cutComment(line);
        const char* text = textFor(line, portName);
        if (text == nullptr) {
            continue;
        }
        if (const int32_t status = send(text); status != LINKOR_OK) {
            keepFailure(ScriptFailure{path, lineNumber, text, status});
            return LINKOR_SCRIPT_FAILED;
        }
    }
    return LINKOR_OK;
}

} // namespace linkor
