#include "project/command_file.h"

#include "project/file_io.h"
#include "text.h"

#include <algorithm>

namespace tamsel::project {

CommandFileLine commandFileLine(std::string_view line) {
    if (line.empty() || line.front() == '*' || line.front() == ';') {
        return {};
    }
    std::string cleaned(line.substr(0, line.find(';')));
    std::replace(cleaned.begin(), cleaned.end(), '\t', ' ');
    const std::string_view trimmed = text::trim(cleaned);
    if (trimmed.empty()) {
        return {};
    }
    const auto kind =
        trimmed.front() == '~' ? CommandFileLine::Kind::Show : CommandFileLine::Kind::Send;
    return {kind, std::string(trimmed)};
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
