#include "backup/backup_file.h"

#include "backup/setting_table.h"

#include <charconv>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

namespace tamsel::backup {

namespace {

constexpr const char* kTitle = "# tamsel2 line backup: one module a section, one setting a line";
constexpr std::string_view kFormatKey = "format";
constexpr std::string_view kLineKey = "line";
constexpr std::string_view kWrittenKey = "written";
constexpr std::string_view kAddressesKey = "addresses";
constexpr std::string_view kAnsweredKey = "answered";
constexpr std::string_view kTypeKey = "type";
constexpr std::string_view kCodeKey = "code";
constexpr std::string_view kSerialKey = "serial";
constexpr std::string_view kUnreadKey = "unread";
constexpr std::string_view kTargetKey = "target";
constexpr std::string_view kEndLine = "end";
constexpr std::string_view kSectionStart = "[module ";
constexpr int kLastAddress = 99;
constexpr long kLastTypeCode = 0xFFFF;

std::string twoDigits(int n) {
    char b[16];
    std::snprintf(b, sizeof b, "%02d", n);
    return b;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

/// A decimal number with an optional sign, or hexadecimal after "0x".
std::optional<long> number(std::string_view s) {
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    long long v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size()) {
        return std::nullopt;
    }
    return static_cast<long>(negative ? -v : v);
}

/// The addresses line: "00-05".
bool addressRange(std::string_view s, int& first, int& last) {
    const auto dash = s.find('-');
    if (dash == std::string_view::npos) {
        return false;
    }
    const auto a = number(trim(s.substr(0, dash)));
    const auto b = number(trim(s.substr(dash + 1)));
    if (!a || !b || *a < 0 || *b > kLastAddress || *a > *b) {
        return false;
    }
    first = static_cast<int>(*a);
    last = static_cast<int>(*b);
    return true;
}

class Reader {
  public:
    explicit Reader(LoadResult& out) : m_out(out), m_picture(out.picture) {}

    void line(int n, std::string_view raw) {
        m_n = n;
        const std::string_view s = trim(raw);
        if (s.empty() || s.front() == '#') {
            return;
        }
        if (!m_sawFormat) {
            formatLine(s);
            return;
        }
        if (m_ended) {
            say("text after the end line is ignored");
            return;
        }
        if (s == kEndLine) {
            m_ended = true;
            finishModule();
            return;
        }
        if (s.substr(0, kSectionStart.size()) == kSectionStart) {
            section(s);
            return;
        }
        const auto eq = s.find('=');
        if (eq == std::string_view::npos) {
            say("not a \"key = value\" line: \"" + std::string(s) + "\"");
            return;
        }
        const std::string_view key = trim(s.substr(0, eq));
        const std::string_view value = trim(s.substr(eq + 1));
        if (m_current == nullptr) {
            if (m_skipping) {
                return;
            }
            header(key, value);
        } else {
            moduleLine(key, value);
        }
    }

    void finish() {
        if (!m_sawFormat) {
            m_n = 0;
            say("no format line: this is not a line backup");
            m_out.usable = false;
            return;
        }
        if (!m_out.usable) {
            return;
        }
        if (!m_ended) {
            m_n = 0;
            if (m_current != nullptr) {
                m_current->complete = false;
                say("the file ends without its end line, inside the section of module " +
                    twoDigits(m_current->address) +
                    ": it may be cut short, and that module's settings are not used");
            } else {
                say("the file ends without its end line: it may be cut short");
            }
        }
        finishModule();
    }

    bool stopped() const { return m_sawFormat && !m_out.usable; }

  private:
    void say(const std::string& text) { m_out.messages.push_back({m_n, text}); }

    void formatLine(std::string_view s) {
        m_sawFormat = true;
        const auto eq = s.find('=');
        const std::optional<long> v =
            eq == std::string_view::npos ? std::nullopt : number(trim(s.substr(eq + 1)));
        if (eq == std::string_view::npos || trim(s.substr(0, eq)) != kFormatKey) {
            say("the first line is not the format line: this is not a line backup");
            return;
        }
        if (!v || *v < 1) {
            say("the format line gives no version");
            return;
        }
        if (*v > kFormatVersion) {
            say("the file is of format " + std::to_string(*v) + ", newer than format " +
                std::to_string(kFormatVersion) + " that this program reads");
            return;
        }
        m_picture.version = static_cast<int>(*v);
        m_out.usable = true;
    }

    void header(std::string_view key, std::string_view value) {
        if (key == kLineKey) {
            m_picture.line = std::string(value);
        } else if (key == kWrittenKey) {
            m_picture.written = std::string(value);
        } else if (key == kAddressesKey) {
            if (!addressRange(value, m_picture.firstAddress, m_picture.lastAddress)) {
                say("the addresses \"" + std::string(value) + "\" are no range such as 00-63");
            }
        } else {
            say("unknown key \"" + std::string(key) + "\" is ignored");
        }
    }

    void section(std::string_view s) {
        finishModule();
        m_current = nullptr;
        m_skipping = true;
        if (s.back() != ']') {
            say("a section line must read \"[module NN]\"");
            return;
        }
        const auto a =
            number(trim(s.substr(kSectionStart.size(), s.size() - kSectionStart.size() - 1)));
        if (!a || *a < 0 || *a > kLastAddress) {
            say("\"" + std::string(s) + "\" names no module address 00-99");
            return;
        }
        const int address = static_cast<int>(*a);
        if (m_seen.count(address) != 0) {
            say("module " + twoDigits(address) +
                " has a second section; it is ignored, the first one counts");
            return;
        }
        m_seen.insert(address);
        m_skipping = false;
        m_module = ModuleRecord{};
        m_module.address = address;
        m_current = &m_module;
        m_hasCode = false;
        m_hasAnswered = false;
    }

    void moduleLine(std::string_view key, std::string_view value) {
        ModuleRecord& m = *m_current;
        if (key == kAnsweredKey) {
            if (value != "yes" && value != "no") {
                say("\"answered\" is yes or no");
                return;
            }
            m.answered = value == "yes";
            m_hasAnswered = true;
            return;
        }
        if (key == kTypeKey) {
            m.typeName = std::string(value);
            return;
        }
        if (key == kSerialKey) {
            m.serial = std::string(value);
            return;
        }
        if (key == kCodeKey) {
            const auto v = number(value);
            if (!v || *v <= 0 || *v > kLastTypeCode) {
                say("\"" + std::string(value) + "\" is no type code such as 0x0205");
                return;
            }
            m.typeCode = static_cast<int32_t>(*v);
            m_hasCode = true;
            return;
        }
        if (key == kTargetKey) {
            m.target = std::string(value);
            return;
        }
        if (key == kUnreadKey) {
            m.unread.emplace_back(value);
            return;
        }
        setting(m, key, value);
    }

    void setting(ModuleRecord& m, std::string_view key, std::string_view value) {
        const std::string where = " of module " + twoDigits(m.address);
        if (!m_hasCode) {
            say("setting \"" + std::string(key) + "\"" + where +
                " comes before the module's type code and is ignored");
            return;
        }
        const std::optional<SettingRule> rule = findSetting(m.typeCode, key);
        if (!rule) {
            say("unknown setting \"" + std::string(key) + "\"" + where + " is ignored");
            return;
        }
        const auto v = number(value);
        if (!v) {
            say("\"" + std::string(value) + "\" of " + rule->key + where +
                " is no number; the setting is ignored");
            return;
        }
        if (*v < rule->low || *v > rule->high) {
            say(rule->key + where + ": " + std::to_string(*v) + " is outside " +
                std::to_string(rule->low) + " to " + std::to_string(rule->high) +
                "; the setting is ignored");
            return;
        }
        if (!m.settings.emplace(rule->key, *v).second) {
            say(rule->key + where + " is given twice; the first value counts");
        }
    }

    void finishModule() {
        if (m_current == nullptr) {
            return;
        }
        if (!m_hasAnswered) {
            say("module " + twoDigits(m_current->address) +
                " does not say whether it answered; taken as silent");
            m_current->answered = false;
        }
        if (m_current->answered && !m_hasCode) {
            say("module " + twoDigits(m_current->address) +
                " has no type code; its settings are not used");
            m_current->complete = false;
        }
        m_picture.modules.push_back(std::move(*m_current));
        m_current = nullptr;
    }

    LoadResult& m_out;
    LinePicture& m_picture;
    int m_n = 0;
    bool m_sawFormat = false;
    bool m_ended = false;
    bool m_skipping = false; ///< inside a section that is not taken
    std::set<int> m_seen;
    ModuleRecord m_module;
    ModuleRecord* m_current = nullptr;
    bool m_hasCode = false;
    bool m_hasAnswered = false;
};

} // namespace

const ModuleRecord* LinePicture::module(int address) const {
    for (const ModuleRecord& m : modules) {
        if (m.address == address) {
            return &m;
        }
    }
    return nullptr;
}

std::string writePicture(const LinePicture& p) {
    std::ostringstream o;
    o << kTitle << '\n';
    o << kFormatKey << " = " << kFormatVersion << '\n';
    o << kLineKey << " = " << p.line << '\n';
    o << kWrittenKey << " = " << p.written << '\n';
    o << kAddressesKey << " = " << twoDigits(p.firstAddress) << '-' << twoDigits(p.lastAddress)
      << '\n';
    for (const ModuleRecord& m : p.modules) {
        o << '\n' << kSectionStart << twoDigits(m.address) << "]\n";
        o << kAnsweredKey << " = " << (m.answered ? "yes" : "no") << '\n';
        if (!m.answered) {
            continue;
        }
        char code[16];
        std::snprintf(code, sizeof code, "0x%04X", static_cast<unsigned>(m.typeCode) & 0xFFFFU);
        o << kCodeKey << " = " << code << '\n';
        o << kTypeKey << " = " << m.typeName << '\n';
        if (!m.serial.empty()) {
            o << kSerialKey << " = " << m.serial << '\n';
        }
        if (!m.target.empty()) {
            o << kTargetKey << " = " << m.target << '\n';
        }
        for (const auto& [key, value] : m.settings) {
            o << key << " = " << value << '\n';
        }
        for (const std::string& u : m.unread) {
            o << kUnreadKey << " = " << u << '\n';
        }
    }
    o << '\n' << kEndLine << '\n';
    return o.str();
}

LoadResult readPicture(std::string_view text) {
    LoadResult out;
    Reader reader(out);
    int n = 0;
    while (!text.empty() && !reader.stopped()) {
        const auto nl = text.find('\n');
        ++n;
        reader.line(n, text.substr(0, nl));
        text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
    }
    reader.finish();
    if (!out.usable) {
        out.picture = LinePicture{};
    }
    return out;
}

LoadResult loadPicture(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        LoadResult r;
        r.messages.push_back({0, "cannot read " + path.string()});
        return r;
    }
    std::ostringstream all;
    all << in.rdbuf();
    return readPicture(all.str());
}

} // namespace tamsel::backup
