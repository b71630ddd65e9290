#include "project/command_file.h"

#include "project/file_io.h"
#include "text.h"

#include <algorithm>

namespace tamsel::project {

namespace {

constexpr char kNul = '\0';
constexpr char kCarriageReturn = '\r';
constexpr unsigned char kDelete = 0x7F;

bool isControl(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b < 0x20 || b == kDelete;
}

bool isEmptyToTheDriver(char c) {
    return isControl(c) || text::isBlank(c);
}

} // namespace

CommandFileLine commandFileLine(std::string_view line) {
    using Kind = CommandFileLine::Kind;
    if (line.find(kNul) != std::string_view::npos) {
        return {Kind::Refuse, std::string(line), kLineHoldsNul};
    }
    if (line.empty() || line.front() == '*' || line.front() == ';') {
        return {};
    }
    std::string cleaned(line.substr(0, line.find(';')));
    std::replace(cleaned.begin(), cleaned.end(), '\t', ' ');
    const std::string_view trimmed = text::trim(cleaned);
    if (trimmed.empty()) {
        return {};
    }
    if (std::all_of(trimmed.begin(), trimmed.end(), isEmptyToTheDriver)) {
        return {Kind::Skip, std::string(trimmed), kLineControlsOnly};
    }
    if (trimmed.front() == '~') {
        return {Kind::Show, std::string(trimmed)};
    }
    const std::size_t cr = trimmed.find(kCarriageReturn);
    if (cr != std::string_view::npos &&
        !std::all_of(trimmed.begin() + static_cast<std::ptrdiff_t>(cr), trimmed.end(),
                     isEmptyToTheDriver)) {
        return {Kind::Refuse, std::string(trimmed), kLineInnerReturn};
    }
    return {Kind::Send, std::string(trimmed)};
}

std::vector<std::string> commandFileLines(std::string_view bytes) {
    std::vector<std::string> out;
    for (const auto& line : text::lines(bytes)) {
        out.emplace_back(line.content);
    }
    return out;
}

bool saveCommandFile(const std::filesystem::path& path, std::string_view bytes,
                     std::string& error) {
    std::filesystem::path temp = path;
    temp += ".tmp";
    return replaceFile(path, temp, bytes, systemFileSteps(), error);
}

} // namespace tamsel::project
