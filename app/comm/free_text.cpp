#include "comm/free_text.h"

#include "comm/texts.h"

#include <algorithm>
#include <cctype>

namespace tkv::freetext {

namespace {
constexpr std::string_view kMacroMark = "$";
constexpr std::string_view kSyntaxMacro = "$syntaxe=";
constexpr std::size_t kSyntaxArgument = 9;

std::string tabsAsBlanks(std::string_view s) {
    std::string out(s);
    std::replace(out.begin(), out.end(), '\t', ' ');
    return out;
}
} // namespace

std::string clean(std::string_view s) {
    s = s.substr(0, s.find('('));
    const std::string blanks = tabsAsBlanks(s);
    std::string_view v = blanks;
    while (!v.empty() && v.back() == ' ') {
        v.remove_suffix(1);
    }
    return std::string(v);
}

int32_t addressOf(std::string_view s) {
    if (s.size() < 2 || std::isdigit(static_cast<unsigned char>(s[0])) == 0 ||
        std::isdigit(static_cast<unsigned char>(s[1])) == 0) {
        return -1;
    }
    return (s[0] - '0') * 10 + (s[1] - '0');
}

Macro macroOf(std::string_view s) {
    if (text::startsWith(s, kSyntaxMacro)) {
        return Macro::Syntax;
    }
    if (text::startsWith(s, kMacroMark)) {
        return Macro::Unknown;
    }
    return Macro::None;
}

std::string syntaxDump(std::string_view s) {
    std::string out;
    if (s.size() <= kSyntaxArgument) {
        return out;
    }
    // Each character as its byte value; a character above 0x7F is one byte, not a
    // sign-extended number.
    for (char c : s.substr(kSyntaxArgument)) {
        out += text::format(" %2X", static_cast<unsigned>(static_cast<unsigned char>(c)));
    }
    return out;
}

FileLine cleanFileLine(std::string_view line) {
    FileLine out;
    if (line.empty() || line.front() == '*' || line.front() == ';') {
        return out;
    }
    line = line.substr(0, line.find(';'));
    const std::string blanks = tabsAsBlanks(text::trim(line));
    out.text = std::string(text::trim(blanks));
    out.what = text::startsWith(out.text, "~") ? FileLine::What::Local : FileLine::What::Send;
    return out;
}

} // namespace tkv::freetext
