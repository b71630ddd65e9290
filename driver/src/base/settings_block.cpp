#include "base/settings_block.h"

#include "linkor_status.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace linkor {

namespace {

constexpr size_t kMaxWord = 20;
constexpr size_t kMaxSeparators = 20;

} // namespace

void SettingsBlockScanner::skipBlanks() {
    while (at() == ' ') {
        ++m_pos;
    }
}

std::string SettingsBlockScanner::readWord(const char* stops) {
    std::string word;
    while (word.size() < kMaxWord && at() != '\0' && std::strchr(stops, at()) == nullptr) {
        word += at();
        ++m_pos;
    }
    return word;
}

std::string SettingsBlockScanner::readValue() {
    for (size_t n = 0; n < kMaxSeparators && (at() == ' ' || at() == '='); ++n) {
        ++m_pos;
    }
    return readWord("/ ");
}

bool SettingsBlockScanner::readAssignment() {
    skipBlanks();
    if (at() != '=') {
        return false;
    }
    ++m_pos;
    skipBlanks();
    return true;
}

int32_t scanSettingsBlock(const char* text, SettingsWordHandler& handler, size_t& consumed) {
    SettingsBlockScanner scanner(text);
    for (;;) {
        consumed = scanner.position();
        const std::string word = scanner.readWord("/ =");
        if (word.empty()) {
            return LINKOR_OK; // the command goes on at this character
        }
        if (const int32_t status = handler.applyWord(word, scanner); status != LINKOR_OK) {
            return status;
        }
        scanner.skipBlanks();
        if (scanner.at() == '\0') {
            consumed = scanner.position();
            return LINKOR_BAD_SETTINGS_BLOCK; // the block is not closed
        }
        if (scanner.at() == '/') {
            scanner.advance();
            consumed = scanner.position();
            return LINKOR_OK;
        }
    }
}

bool readSettingCount(const std::string& value, int& out) {
    if (value.empty()) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(value.c_str(), &end, 10);
    if (errno != 0 || end == value.c_str() || *end != '\0' || v < 0 || v > INT_MAX) {
        return false;
    }
    out = static_cast<int>(v);
    return true;
}

} // namespace linkor
