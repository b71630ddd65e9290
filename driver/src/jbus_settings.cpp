#include "jbus_settings.h"

#include "driver_state.h"
#include "exchange_log.h"
#include "jbus_line.h"
#include "kv_types.h"
#include "linkor_status.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>

namespace linkor::jbus {

namespace {

constexpr size_t kMaxWord = 20;
constexpr size_t kMaxSeparators = 20;

enum class Keyword {
    WaitRtsOff,
    WaitRtsOn,
    Retries,
    BaudRate,
    Protocol,
    LogAll,
    LogErrors,
    NoLog,
    Tack,
    Stop,
    Jbus,
};

struct KeywordName {
    const char* name;
    Keyword keyword;
    bool takesValue;
};

constexpr KeywordName kKeywords[] = {
    {"TWAITRTSOFF", Keyword::WaitRtsOff, true},
    {"TWAITRTSON", Keyword::WaitRtsOn, true},
    {"REPETE", Keyword::Retries, true},
    {"BAUDRATE", Keyword::BaudRate, true},
    {"PROTOCOLE", Keyword::Protocol, true},
    {"LOGALL", Keyword::LogAll, false},
    {"LOGERR", Keyword::LogErrors, false},
    {"NOLOG", Keyword::NoLog, false},
    {"TACK", Keyword::Tack, true},
    {"STOP", Keyword::Stop, false},
    {"JBUS", Keyword::Jbus, false},
};

const KeywordName* keywordOf(const std::string& word) {
    for (const auto& k : kKeywords) {
        if (strcasecmp(word.c_str(), k.name) == 0) {
            return &k;
        }
    }
    return nullptr;
}

/// A non-negative decimal number written whole. A negative count of retries would
/// send nothing at all, and a negative delay means nothing, so both are refused.
bool readCount(const std::string& value, int& out) {
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(value.c_str(), &end, 10);
    if (errno != 0 || end == value.c_str() || *end != '\0' || v < 0 || v > INT_MAX) {
        return false;
    }
    out = static_cast<int>(v);
    return true;
}

class BlockReader {
  public:
    BlockReader(TJbus& line, const char* text) : m_line(line), m_text(text) {}

    int32_t run(size_t& consumed);

  private:
    char at() const { return m_text[m_pos]; }
    void skipBlanks() {
        while (at() == ' ') {
            ++m_pos;
        }
    }
    std::string readWord(const char* stops) {
        std::string word;
        while (word.size() < kMaxWord && at() != '\0' && std::strchr(stops, at()) == nullptr) {
            word += at();
            ++m_pos;
        }
        return word;
    }
    int32_t apply(Keyword keyword, const std::string& value);
    void skipTypeWord();

    TJbus& m_line;
    const char* m_text;
    size_t m_pos = 1; // after the opening "/"
};

int32_t BlockReader::run(size_t& consumed) {
    for (;;) {
        consumed = m_pos;
        const std::string word = readWord("/ =");
        if (word.empty()) {
            return LINKOR_OK; // the command goes on at this character
        }
        const KeywordName* keyword = keywordOf(word);
        if (keyword == nullptr) {
            return LINKOR_BAD_MODULE_TYPE;
        }
        int32_t status = LINKOR_OK;
        if (keyword->takesValue) {
            for (size_t n = 0; n < kMaxSeparators && (at() == ' ' || at() == '='); ++n) {
                ++m_pos;
            }
            const std::string value = readWord("/ ");
            status = value.empty() ? LINKOR_BAD_SETTINGS_BLOCK : apply(keyword->keyword, value);
        } else {
            status = apply(keyword->keyword, {});
        }
        if (status != LINKOR_OK) {
            return status;
        }
        skipBlanks();
        if (at() == '\0') {
            consumed = m_pos;
            return LINKOR_BAD_SETTINGS_BLOCK; // the block is not closed
        }
        if (at() == '/') {
            ++m_pos;
            consumed = m_pos;
            return LINKOR_OK;
        }
    }
}

void BlockReader::skipTypeWord() {
    skipBlanks();
    if (at() != '=') {
        return;
    }
    ++m_pos;
    skipBlanks();
    readWord("/ ");
}

int32_t BlockReader::apply(Keyword keyword, const std::string& value) {
    JbusSettings& s = m_line.settings();
    int* target = nullptr;
    switch (keyword) {
    case Keyword::WaitRtsOff:
        target = &s.waitRtsOffMs;
        break;
    case Keyword::WaitRtsOn:
        target = &s.waitRtsOnMs;
        break;
    case Keyword::Retries:
        target = &s.retries;
        break;
    case Keyword::BaudRate: {
        const auto baud = kv::baudOf(value.c_str());
        return baud ? m_line.changeBaud(*baud) : LINKOR_BAD_BAUD;
    }
    case Keyword::Protocol: {
        const auto code = protocolCodeOf(value.c_str(), false);
        if (!code) {
            return LINKOR_BAD_PROTOCOL;
        }
        s.protocol = *code;
        return LINKOR_OK;
    }
    case Keyword::LogAll:
        s.logMode = kLogAll;
        writeLogHeader(kJbusIdentity, m_line.portName(), s.logMode);
        return LINKOR_OK;
    case Keyword::LogErrors:
        s.logMode = kLogErrors;
        writeLogHeader(kJbusIdentity, m_line.portName(), s.logMode);
        return LINKOR_OK;
    case Keyword::NoLog:
        s.logMode = kLogNone;
        writeLogHeader(kJbusIdentity, m_line.portName(), s.logMode);
        return LINKOR_OK;
    case Keyword::Tack:
    case Keyword::Stop:
        return LINKOR_OK; // accepted for the KV lines' scripts; nothing to do here
    case Keyword::Jbus:
        skipTypeWord();
        return LINKOR_OK;
    }
    int number = 0;
    if (target == nullptr || !readCount(value, number)) {
        return LINKOR_BAD_SETTINGS_BLOCK;
    }
    *target = number;
    return LINKOR_OK;
}

} // namespace

int32_t applySettingsBlock(TJbus& line, const char* text, size_t& consumed) {
    BlockReader reader(line, text);
    return reader.run(consumed);
}

} // namespace linkor::jbus
