// What the words of a settings block mean on a JBUS line.
#include "base/driver_state.h"
#include "base/exchange_log.h"
#include "base/settings_block.h"
#include "jbus/jbus_line.h"
#include "kv/kv_types.h"
#include "linkor_status.h"

#include <string>
#include <strings.h>

namespace linkor::jbus {

namespace {

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

class JbusWords final : public SettingsWordHandler {
  public:
    explicit JbusWords(TJbus& line) : m_line(line) {}

    int32_t applyWord(const std::string& word, SettingsBlockScanner& scanner) override;

  private:
    int32_t apply(Keyword keyword, const std::string& value, SettingsBlockScanner& scanner);

    TJbus& m_line;
};

int32_t JbusWords::applyWord(const std::string& word, SettingsBlockScanner& scanner) {
    const KeywordName* keyword = keywordOf(word);
    if (keyword == nullptr) {
        return LINKOR_BAD_MODULE_TYPE;
    }
    if (!keyword->takesValue) {
        return apply(keyword->keyword, {}, scanner);
    }
    const std::string value = scanner.readValue();
    return value.empty() ? LINKOR_BAD_SETTINGS_BLOCK : apply(keyword->keyword, value, scanner);
}

int32_t JbusWords::apply(Keyword keyword, const std::string& value, SettingsBlockScanner& scanner) {
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
        // The type word may name the addresses it applies to; a JBUS line has one type.
        if (scanner.readAssignment()) {
            scanner.readWord("/ ");
        }
        return LINKOR_OK;
    }
    int number = 0;
    if (target == nullptr || !readSettingCount(value, number)) {
        return LINKOR_BAD_SETTINGS_BLOCK;
    }
    *target = number;
    return LINKOR_OK;
}

} // namespace

int32_t TJbus::applySettingsBlock(const char* text, size_t& consumed) {
    JbusWords words(*this);
    return scanSettingsBlock(text, words, consumed);
}

} // namespace linkor::jbus
