#include "project/file_check.h"

#include "project/sections.h"
#include "text.h"

#include <algorithm>
#include <array>

namespace tamsel::project {

namespace {

/// A byte no text file holds: the C0 controls other than the tab and the line ends, and
/// DEL. A file with one is binary data or a damaged copy, not a file someone edited.
bool isForeignByte(unsigned char byte) {
    return (byte < 0x20 && byte != '\t' && byte != '\r' && byte != '\n') || byte == 0x7F;
}

bool isEmpty(std::string_view bytes) {
    return bytes.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

bool holdsForeignByte(std::string_view line) {
    return std::any_of(line.begin(), line.end(),
                       [](char c) { return isForeignByte(static_cast<unsigned char>(c)); });
}

/**
 * @brief Why a file without the section it must hold is not what it should be. A
 * single odd byte in a line only costs that line; but when the structure is missing
 * too, a byte that no text holds says best what the file is: other data.
 */
FileProblem missingStructure(std::string_view bytes, FileProblem problem) {
    int number = 0;
    for (const auto& line : text::lines(bytes)) {
        ++number;
        for (const char c : line.content) {
            const auto byte = static_cast<unsigned char>(c);
            if (isForeignByte(byte)) {
                return {number, text::format("byte 0x%02X is not text", byte)};
            }
        }
    }
    return problem;
}

} // namespace

std::optional<FileProblem> checkProjectText(std::string_view bytes) {
    if (isEmpty(bytes)) {
        return FileProblem{1, "the file is empty"};
    }
    // The sections whose lines the program reads: one cut short loses lines silently.
    static constexpr std::array<std::string_view, 4> kRead{kLastCommandHeader, kConfigurationHeader,
                                                           kSetupHeader, kLabelHeader};
    std::string_view open;
    int openedAt = 0;
    bool closed = true;
    bool configuration = false;
    int number = 0;
    for (const auto& line : text::lines(bytes)) {
        ++number;
        const std::string_view content = line.content;
        if (!content.empty() && content.front() == '[' && content.size() <= kMaxLineLength) {
            open = {};
            closed = true;
            for (const auto header : kRead) {
                if (text::contains(content, header)) {
                    open = header;
                    openedAt = number;
                    closed = false;
                    configuration = configuration || header == kConfigurationHeader;
                    break;
                }
            }
            continue;
        }
        const std::string_view trimmed = text::trim(content);
        if (trimmed == ";") {
            closed = true;
        } else if (!trimmed.empty() && trimmed.front() != '*' && trimmed.front() != ';') {
            closed = false;
        }
    }
    if (!open.empty() && !closed) {
        return FileProblem{number,
                           text::format("the file ends inside the %.*s section of line %d",
                                        static_cast<int>(open.size()), open.data(), openedAt)};
    }
    if (!configuration) {
        return missingStructure(
            bytes, FileProblem{number, "the file ends without a [CONFIGURATION] section"});
    }
    return std::nullopt;
}

std::optional<FileProblem> checkGlossaryText(std::string_view bytes) {
    if (isEmpty(bytes)) {
        return FileProblem{1, "the file is empty"};
    }
    int number = 0;
    for (const auto& line : text::lines(bytes)) {
        ++number;
        const std::string_view content = line.content;
        if (!content.empty() && content.front() == '[' && content.size() <= kMaxLineLength &&
            !holdsForeignByte(content)) {
            return std::nullopt;
        }
    }
    return missingStructure(bytes, FileProblem{number, "the file ends without a [target] section"});
}

std::string describe(const FileProblem& problem) {
    return text::format("not valid at line %d (%s)", problem.line, problem.reason.c_str());
}

} // namespace tamsel::project
