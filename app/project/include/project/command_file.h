#pragma once
// Command files: plain text documents of module commands, edited in text
// windows and sent to the modules line by line.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tamsel::project {

inline constexpr std::string_view kCommandFileDescription = "Tamsel2 command File";
inline constexpr std::string_view kCommandFileFilter = "*.CMT;*.CMD";

/// What sending one line of a command file does.
struct CommandFileLine {
    enum class Kind {
        Skip, ///< nothing is sent
        Show, ///< the text (starting with "~") is shown to the user
        Send  ///< the text goes to the driver as it stands
    };
    Kind kind = Kind::Skip;
    std::string text;
    bool operator==(const CommandFileLine&) const = default;
};

/**
 * @brief Cleans one line as the command-file send does: comment lines and
 * empty lines are skipped, ";" starts a comment, tabs count as blanks, blanks
 * at both ends go. A line starting with "$syntaxe=" is sent like any other.
 */
CommandFileLine commandFileLine(std::string_view line);

/// The lines of a command file, without their line ends.
std::vector<std::string> commandFileLines(std::string_view bytes);

/// Writes a command file through a temporary file beside it.
bool saveCommandFile(const std::filesystem::path& path, std::string_view bytes, std::string& error);

} // namespace tamsel::project
