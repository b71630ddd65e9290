#pragma once
// Command files: plain text documents of module commands, edited in text
// windows and sent to the modules line by line.

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tamsel::project {

inline constexpr std::string_view kCommandFileDescription = "Tamsel2 command File";
inline constexpr std::string_view kCommandFileFilter = "*.CMT;*.CMD";

/// Why a line that holds something is skipped, or why a line is refused.
inline constexpr std::string_view kLineControlsOnly = "the line holds only control characters";
inline constexpr std::string_view kLineHoldsNul = "the line holds a NUL byte";
inline constexpr std::string_view kLineInnerReturn =
    "the line holds a carriage return before its end";

/// What sending one line of a command file does.
struct CommandFileLine {
    enum class Kind {
        Skip,  ///< nothing is sent
        Show,  ///< the text (starting with "~") is shown to the user
        Send,  ///< the text goes to the driver as it stands
        Refuse ///< the driver would send something else than the text: nothing is sent
    };
    CommandFileLine() = default;
    CommandFileLine(Kind k, std::string t, std::string_view n = {})
        : kind(k), text(std::move(t)), note(n) {}

    Kind kind = Kind::Skip;
    std::string text;
    /// Refuse: why (kLine...). Skip: set only for a line that is not empty to the eye,
    /// so that the user hears why it did not go.
    std::string_view note;
    bool operator==(const CommandFileLine&) const = default;
};

/**
 * @brief Cleans one line as the command-file send does: comment lines and
 * empty lines are skipped, ";" starts a comment, tabs count as blanks, blanks
 * at both ends go. A line starting with "$syntaxe=" is sent like any other.
 *
 * The driver takes a command as a C string and stops a frame at a carriage
 * return, so a line holding a NUL byte, or a carriage return with more text
 * after it, would put on the wire only a part of what the file shows: such a
 * line is refused. A line of control characters and blanks only is skipped,
 * with a note.
 */
CommandFileLine commandFileLine(std::string_view line);

/// The lines of a command file, without their line ends.
std::vector<std::string> commandFileLines(std::string_view bytes);

/// Writes a command file through a temporary file beside it.
bool saveCommandFile(const std::filesystem::path& path, std::string_view bytes, std::string& error);

} // namespace tamsel::project
