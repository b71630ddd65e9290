// Where the program works. It was made to run from its own folder, beside its files; an
// installed program started from a desktop menu has no such folder, so it gets one of
// its own per user, filled once from the installed share folder. Plain C++, so that the
// choice and the copy can be tried on temporary folders.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tamsel::workdir {

namespace fs = std::filesystem;

/// The environment the choice depends on; empty strings are unset variables.
struct TEnvironment {
    std::string home;
    std::string xdgDataHome;
};

/// Reads HOME and XDG_DATA_HOME.
TEnvironment currentEnvironment();

/// Where the installed program keeps what a new working directory starts from.
struct TInstalledFiles {
    fs::path share;  ///< template, glossary, variable files and help
    fs::path tools;  ///< the tool plug-ins
    fs::path driver; ///< the line driver, which the start-up looks for in the working folder
};

/// The installed files of a program in @p programDirectory (…/bin next to …/share).
TInstalledFiles installedBeside(const fs::path& programDirectory);

enum class TPlace {
    Current,   ///< the current directory already holds the program's files
    User,      ///< the per-user working directory
    Installed, ///< the installed share folder itself, read-only: the per-user one failed
};

struct TChoice {
    fs::path directory;
    TPlace place = TPlace::Current;
    /// What went wrong, one sentence each, for the user to read; empty when nothing did.
    std::vector<std::string> problems;
};

/// Whether @p directory holds the files the start-up needs (glossary, template project).
bool holdsProgramFiles(const fs::path& directory);

/// $XDG_DATA_HOME/tamsel2, or $HOME/.local/share/tamsel2; empty when neither is known.
fs::path userDirectory(const TEnvironment& env);

/// Decides where to work and makes that place ready: the current directory when it holds
/// the program's files or when no installed files are found (a build, a test); otherwise
/// the per-user directory, created and given the installed files it lacks. Nothing that
/// exists there is ever replaced. When it cannot be made ready, the installed folder.
TChoice chooseWorkingDirectory(const fs::path& current, const TInstalledFiles& installed,
                               const TEnvironment& env);

} // namespace tamsel::workdir
