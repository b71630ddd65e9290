// What the words of a settings block mean on a KV line.
#include "base/driver_state.h"
#include "base/exchange_log.h"
#include "base/settings_block.h"
#include "kv/kv_types.h"
#include "kv_line/trilo.h"
#include "linkor_status.h"

#include <string>
#include <strings.h>

namespace linkor {

namespace {

enum class Keyword {
    Tack,
    WaitAck,
    WaitAllReply,
    WaitReply,
    WaitRtsOn,
    WaitRtsOff,
    Retries,
    BaudRate,
    Protocol,
    Priority,
    LetterCase,
    LogAll,
    LogErrors,
    NoLog,
    Repair,
    NoRepair,
    NoFormat,
    Format,
    Stop,
};

struct KeywordName {
    const char* name;
    Keyword keyword;
    bool takesValue;
};

constexpr KeywordName kKeywords[] = {
    {"TACK", Keyword::Tack, true},
    {"TWAITACK", Keyword::WaitAck, true},
    {"TWAITALLREP", Keyword::WaitAllReply, true},
    {"TWAITREP", Keyword::WaitReply, true},
    {"TWAITRTSON", Keyword::WaitRtsOn, true},
    {"TWAITRTSOFF", Keyword::WaitRtsOff, true},
    {"REPETE", Keyword::Retries, true},
    {"BAUDRATE", Keyword::BaudRate, true},
    {"PROTOCOLE", Keyword::Protocol, true},
    {"PRIORITY", Keyword::Priority, true},
    {"CASTE", Keyword::LetterCase, true},
    {"LOGALL", Keyword::LogAll, false},
    {"LOGERR", Keyword::LogErrors, false},
    {"NOLOG", Keyword::NoLog, false},
    {"REPAIR", Keyword::Repair, false},
    {"NOREPAIR", Keyword::NoRepair, false},
    {"NOFORMAT", Keyword::NoFormat, false},
    {"FORMAT", Keyword::Format, false},
    {"STOP", Keyword::Stop, false},
};

struct CaseWord {
    const char* word;
    int letterCase;
};

constexpr CaseWord kCaseWords[] = {{"MINUSCULES", kv::kCaseLower},
                                   {"MAJUSCULES", kv::kCaseUpper},
                                   {"TOUT", kv::kCaseAsTyped},
                                   {"DEFAUT", kv::kCaseDefault}};

// The stop sequence: motion stop commands of each command language.
constexpr const char* kStopCommandsAscii[] = {"GS", "GR", "HAL", "PWR"};
constexpr const char* kStopCommandsFrame[] = {"GS", "GR"};

const KeywordName* keywordOf(const std::string& word) {
    for (const auto& k : kKeywords) {
        if (strcasecmp(word.c_str(), k.name) == 0) {
            return &k;
        }
    }
    return nullptr;
}

/// An address read as "%2d": up to two leading digits; -1 when there are none.
int addressOf(const std::string& word) {
    int value = -1;
    for (size_t i = 0; i < word.size() && i < 2 && word[i] >= '0' && word[i] <= '9'; ++i) {
        value = (value < 0 ? 0 : value * 10) + (word[i] - '0');
    }
    return value;
}

class KvWords final : public SettingsWordHandler {
  public:
    explicit KvWords(TTrilo& line) : m_line(line) {}

    int32_t applyWord(const std::string& word, SettingsBlockScanner& scanner) override;

  private:
    int32_t applyValue(Keyword keyword, const std::string& value);
    int32_t applyModuleType(int type, SettingsBlockScanner& scanner);
    void sendStopSequence();

    TTrilo& m_line;
};

int32_t KvWords::applyWord(const std::string& word, SettingsBlockScanner& scanner) {
    if (const KeywordName* keyword = keywordOf(word)) {
        if (!keyword->takesValue) {
            return applyValue(keyword->keyword, {});
        }
        const std::string value = scanner.readValue();
        return value.empty() ? LINKOR_BAD_SETTINGS_BLOCK : applyValue(keyword->keyword, value);
    }
    if (const auto type = kv::moduleTypeOf(word.c_str())) {
        return applyModuleType(*type, scanner);
    }
    return LINKOR_BAD_SETTINGS_BLOCK;
}

int32_t KvWords::applyValue(Keyword keyword, const std::string& value) {
    KvSettings& s = m_line.settings();
    int number = 0;
    int* target = nullptr;
    switch (keyword) {
    case Keyword::Tack:
        target = &s.tackMs;
        break;
    case Keyword::WaitAck:
        target = &s.waitAckMs;
        break;
    case Keyword::WaitAllReply:
        target = &s.waitAllReplyMs;
        break;
    case Keyword::WaitReply:
        target = &s.waitReplyMs;
        break;
    case Keyword::WaitRtsOn:
        target = &s.waitRtsOnMs;
        break;
    case Keyword::WaitRtsOff:
        target = &s.waitRtsOffMs;
        break;
    case Keyword::Retries:
        target = &s.retries;
        break;
    case Keyword::BaudRate: {
        const auto baud = kv::baudOf(value.c_str());
        return baud ? m_line.changeBaud(*baud) : LINKOR_BAD_BAUD;
    }
    case Keyword::Protocol: {
        const auto code = kv::protocolCodeOf(value.c_str());
        if (!code) {
            return LINKOR_BAD_PROTOCOL;
        }
        s.protocol = *code;
        return LINKOR_OK;
    }
    case Keyword::Priority:
        return m_line.setPriority(value.c_str());
    case Keyword::LetterCase:
        for (const auto& w : kCaseWords) {
            if (strcasecmp(value.c_str(), w.word) == 0) {
                s.letterCase = w.letterCase;
                return LINKOR_OK;
            }
        }
        return LINKOR_BAD_SETTINGS_BLOCK;
    case Keyword::LogAll:
        s.logMode = kLogAll;
        writeLogHeader(kDriverIdentity, m_line.portName(), kLogAll);
        return LINKOR_OK;
    case Keyword::LogErrors:
        s.logMode = kLogErrors;
        writeLogHeader(kDriverIdentity, m_line.portName(), kLogErrors);
        return LINKOR_OK;
    case Keyword::NoLog:
        s.logMode = kLogNone;
        writeLogHeader(kDriverIdentity, m_line.portName(), kLogNone);
        return LINKOR_OK;
    case Keyword::Repair:
        s.repair = true;
        return LINKOR_OK;
    case Keyword::NoRepair:
        s.repair = false;
        return LINKOR_OK;
    case Keyword::NoFormat:
        s.raw = true;
        return LINKOR_OK;
    case Keyword::Format:
        s.raw = false;
        return LINKOR_OK;
    case Keyword::Stop:
        sendStopSequence();
        return LINKOR_OK;
    }
    if (target == nullptr || !readSettingCount(value, number)) {
        return LINKOR_BAD_SETTINGS_BLOCK;
    }
    *target = number;
    return LINKOR_OK;
}

int32_t KvWords::applyModuleType(int type, SettingsBlockScanner& scanner) {
    KvSettings& s = m_line.settings();
    if (!scanner.readAssignment()) {
        s.lineType = type;
        return LINKOR_OK;
    }
    for (;;) {
        const std::string first = scanner.readWord("-/ ,");
        const int from = addressOf(first);
        int to = from;
        if (scanner.at() == '-') {
            scanner.advance();
            const std::string last = scanner.readWord("-/ ,");
            to = addressOf(last);
        }
        if (from >= 0 && to >= from) {
            for (int a = from; a <= to && a < TTrilo::kTypedAddresses; ++a) {
                s.addressTypes[static_cast<size_t>(a)] = type;
            }
        }
        if (scanner.at() != ',') {
            return LINKOR_OK;
        }
        scanner.advance();
    }
}

void KvWords::sendStopSequence() {
    KvSettings& s = m_line.settings();
    const int lineType = s.lineType;
    char reply[256];
    s.lineType = kv::kTypeVrx17;
    for (const char* command : kStopCommandsAscii) {
        m_line.dialogue(command, reply);
    }
    s.lineType = kv::kTypeVrx23;
    for (const char* command : kStopCommandsFrame) {
        m_line.dialogue(command, reply);
    }
    s.lineType = lineType;
}

} // namespace

int32_t TTrilo::applySettingsBlock(const char* text, size_t& consumed) {
    KvWords words(*this);
    return scanSettingsBlock(text, words, consumed);
}

} // namespace linkor
