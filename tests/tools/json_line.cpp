#include "json_line.h"

#include <cctype>
#include <sstream>

namespace toolstest {

namespace {

class Reader {
  public:
    explicit Reader(const std::string& s) : m_s(s) {}

    std::optional<JsonObject> object() {
        JsonObject out;
        if (!take('{')) {
            return std::nullopt;
        }
        if (take('}')) {
            return atEnd() ? std::optional<JsonObject>(out) : std::nullopt;
        }
        for (;;) {
            auto name = string();
            if (!name || !take(':')) {
                return std::nullopt;
            }
            auto v = value();
            if (!v || out.count(*name) != 0) {
                return std::nullopt;
            }
            out[*name] = *v;
            if (take('}')) {
                break;
            }
            if (!take(',')) {
                return std::nullopt;
            }
        }
        return atEnd() ? std::optional<JsonObject>(out) : std::nullopt;
    }

  private:
    bool take(char c) {
        if (m_at < m_s.size() && m_s[m_at] == c) {
            ++m_at;
            return true;
        }
        return false;
    }
    bool atEnd() const { return m_at == m_s.size(); }

    static void utf8(std::string& out, unsigned c) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }

    std::optional<std::string> string() {
        if (!take('"')) {
            return std::nullopt;
        }
        std::string out;
        while (m_at < m_s.size()) {
            const char c = m_s[m_at++];
            if (c == '"') {
                return out;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                return std::nullopt;
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (m_at >= m_s.size()) {
                return std::nullopt;
            }
            const char e = m_s[m_at++];
            switch (e) {
            case '"':
            case '\\':
            case '/':
                out += e;
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                if (m_at + 4 > m_s.size()) {
                    return std::nullopt;
                }
                const std::string hex = m_s.substr(m_at, 4);
                for (char h : hex) {
                    if (std::isxdigit(static_cast<unsigned char>(h)) == 0) {
                        return std::nullopt;
                    }
                }
                utf8(out, static_cast<unsigned>(std::stoul(hex, nullptr, 16)));
                m_at += 4;
                break;
            }
            default:
                return std::nullopt;
            }
        }
        return std::nullopt;
    }

    std::optional<JsonValue> value() {
        if (m_at < m_s.size() && m_s[m_at] == '"') {
            auto s = string();
            if (!s) {
                return std::nullopt;
            }
            return JsonValue{JsonValue::Kind::String, *s};
        }
        for (const char* word : {"true", "false", "null"}) {
            const std::string w(word);
            if (m_s.compare(m_at, w.size(), w) == 0) {
                m_at += w.size();
                return JsonValue{w == "null" ? JsonValue::Kind::Null : JsonValue::Kind::Boolean, w};
            }
        }
        const std::size_t start = m_at;
        take('-');
        while (m_at < m_s.size() && std::isdigit(static_cast<unsigned char>(m_s[m_at])) != 0) {
            ++m_at;
        }
        if (m_at == start || (m_at == start + 1 && m_s[start] == '-')) {
            return std::nullopt;
        }
        return JsonValue{JsonValue::Kind::Number, m_s.substr(start, m_at - start)};
    }

    const std::string& m_s;
    std::size_t m_at = 0;
};

} // namespace

std::optional<JsonObject> parseJsonLine(const std::string& line) {
    return Reader(line).object();
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> out;
    std::stringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        out.push_back(line);
    }
    return out;
}

std::optional<std::vector<JsonObject>> parseJsonLines(const std::string& text) {
    std::vector<JsonObject> out;
    for (const std::string& line : linesOf(text)) {
        auto o = parseJsonLine(line);
        if (!o) {
            return std::nullopt;
        }
        out.push_back(*o);
    }
    return out;
}

} // namespace toolstest
