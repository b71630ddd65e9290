#pragma once
// Whether the bytes of a file the program needs are that file at all: a project or a
// glossary that was emptied, cut short or overwritten with other data must be told
// apart from one with a few lines the program does not take.

#include <optional>
#include <string>
#include <string_view>

namespace tamsel::project {

/// Where a file stops being what it should be.
struct FileProblem {
    int line = 0;       ///< 1-based line of the file
    std::string reason; ///< what is wrong there
    bool operator==(const FileProblem&) const = default;
};

/**
 * @brief Checks that @p bytes are a project file: text, holding a "[CONFIGURATION]"
 * section, and not cut short inside a section the program reads (every such section
 * that reaches the end of the file must have been closed by its ";" line).
 * @return nullopt for a project file, else the first problem.
 */
std::optional<FileProblem> checkProjectText(std::string_view bytes);

/// Checks that @p bytes are a glossary: text holding at least one section.
std::optional<FileProblem> checkGlossaryText(std::string_view bytes);

/// "not valid at line N (reason)".
std::string describe(const FileProblem& problem);

} // namespace tamsel::project
