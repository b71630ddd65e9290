#include "working_directory.h"

#include <common/cp1252.h>

#include <cstdlib>
#include <optional>
#include <system_error>

namespace tamsel::workdir {

namespace {

constexpr const char* kAppFolder = "tamsel2";
constexpr const char* kDefaultDataHome = ".local/share";
// Relative to the program's folder, as the package lays them out.
constexpr const char* kShareFromProgram = "../share/tamsel2";
constexpr const char* kToolsFromProgram = "../lib/tamsel2/tools";
constexpr const char* kDriverFromProgram = "../lib/tamsel2/liblinkor.so";
constexpr const char* kDriverFile = "liblinkor.so";
constexpr const char* kHelpFolder = "help";
constexpr const char* kToolsFolder = "tools";
// A copy is written under this suffix and renamed when complete, so that a full disk
// leaves no truncated file that a later start would take for the user's own.
constexpr const char* kPartialSuffix = ".part";

// What the start-up checks; the template project is opened from this path.
constexpr const char* kNeededFiles[] = {"tm2cmde.txt", "template/tamsel2.ktp"};
// What a working directory is given a copy of: the user may edit each of them.
constexpr const char* kCopied[] = {"tm2cmde.txt", "template", "datafile"};

std::string env(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

std::string reason(const std::error_code& ec) {
    return ec.message();
}

/// One UTF-8 character from @p at, or nullopt when the bytes are no UTF-8.
std::optional<char32_t> nextUtf8(const std::string& text, std::size_t& at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    int more = 0;
    char32_t value = 0;
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    if ((lead & 0xE0U) == 0xC0U) {
        more = 1;
        value = lead & 0x1FU;
    } else if ((lead & 0xF0U) == 0xE0U) {
        more = 2;
        value = lead & 0x0FU;
    } else {
        return std::nullopt;
    }
    if (at + static_cast<std::size_t>(more) >= text.size()) {
        return std::nullopt;
    }
    for (int i = 1; i <= more; ++i) {
        const unsigned char next = byte(at + static_cast<std::size_t>(i));
        if ((next & 0xC0U) != 0x80U) {
            return std::nullopt;
        }
        value = (value << 6U) | (next & 0x3FU);
    }
    at += static_cast<std::size_t>(more) + 1;
    return value;
}

/// The name a file has in the working directory. The package carries names in UTF-8;
/// the program looks its files up by their Windows-1252 names. A name that is no UTF-8,
/// or holds a character the code page lacks, stays as it is.
std::string workingName(const std::string& installed) {
    std::string out;
    for (std::size_t at = 0; at < installed.size();) {
        const std::optional<char32_t> character = nextUtf8(installed, at);
        const std::optional<unsigned char> b =
            character ? common::cp1252Byte(*character) : std::nullopt;
        if (!b) {
            return installed;
        }
        out += static_cast<char>(*b);
    }
    return out;
}

/// Copies one file without ever replacing what exists at @p to.
void copyFile(const fs::path& from, const fs::path& to, std::vector<std::string>& problems) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(to, ec))) {
        return;
    }
    fs::path partial = to;
    partial += kPartialSuffix;
    fs::remove(partial, ec);
    if (!fs::copy_file(from, partial, fs::copy_options::none, ec)) {
        problems.push_back("could not copy " + from.string() + " to " + to.string() + ": " +
                           reason(ec));
        std::error_code ignored;
        fs::remove(partial, ignored);
        return;
    }
    // A file that appeared meanwhile is the user's: it stays.
    if (fs::exists(fs::symlink_status(to, ec))) {
        fs::remove(partial, ec);
        return;
    }
    fs::rename(partial, to, ec);
    if (ec) {
        problems.push_back("could not put " + to.string() + " in place: " + reason(ec));
        std::error_code ignored;
        fs::remove(partial, ignored);
    }
}

/// Copies a file or a folder tree, adding only what is missing.
void copyMissing(const fs::path& from, const fs::path& to, std::vector<std::string>& problems) {
    std::error_code ec;
    const fs::file_status status = fs::status(from, ec);
    if (fs::is_regular_file(status)) {
        copyFile(from, to, problems);
        return;
    }
    if (!fs::is_directory(status)) {
        problems.push_back("the installed " + from.string() + " is missing");
        return;
    }
    const fs::file_status target = fs::symlink_status(to, ec);
    if (fs::exists(target) && !fs::is_directory(fs::status(to, ec))) {
        problems.push_back(to.string() + " is in the way of a folder of the same name; it " +
                           "was left as it is");
        return;
    }
    if (!fs::exists(target) && !fs::create_directory(to, ec)) {
        problems.push_back("could not create " + to.string() + ": " + reason(ec));
        return;
    }
    fs::directory_iterator entries(from, ec);
    if (ec) {
        problems.push_back("could not read " + from.string() + ": " + reason(ec));
        return;
    }
    for (const fs::directory_entry& entry : entries) {
        copyMissing(entry.path(), to / workingName(entry.path().filename().string()), problems);
    }
}

/// Makes @p link lead to @p target unless something of that name is there.
void linkMissing(const fs::path& target, const fs::path& link, std::vector<std::string>& problems) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(link, ec)) || !fs::exists(target, ec)) {
        return;
    }
    if (fs::is_directory(target, ec)) {
        fs::create_directory_symlink(target, link, ec);
    } else {
        fs::create_symlink(target, link, ec);
    }
    if (ec) {
        problems.push_back("could not link " + link.string() + " to " + target.string() + ": " +
                           reason(ec));
    }
}

} // namespace

TEnvironment currentEnvironment() {
    return TEnvironment{env("HOME"), env("XDG_DATA_HOME")};
}

TInstalledFiles installedBeside(const fs::path& programDirectory) {
    return TInstalledFiles{(programDirectory / kShareFromProgram).lexically_normal(),
                           (programDirectory / kToolsFromProgram).lexically_normal(),
                           (programDirectory / kDriverFromProgram).lexically_normal()};
}

bool holdsProgramFiles(const fs::path& directory) {
    std::error_code ec;
    for (const char* name : kNeededFiles) {
        if (!fs::is_regular_file(directory / name, ec)) {
            return false;
        }
    }
    return true;
}

fs::path userDirectory(const TEnvironment& e) {
    // A relative XDG_DATA_HOME is invalid and must be ignored.
    if (!e.xdgDataHome.empty() && fs::path(e.xdgDataHome).is_absolute()) {
        return fs::path(e.xdgDataHome) / kAppFolder;
    }
    if (!e.home.empty()) {
        return fs::path(e.home) / kDefaultDataHome / kAppFolder;
    }
    return {};
}

TChoice chooseWorkingDirectory(const fs::path& current, const TInstalledFiles& installed,
                               const TEnvironment& e) {
    TChoice choice;
    choice.directory = current;
    if (holdsProgramFiles(current) || installed.share.empty() ||
        !holdsProgramFiles(installed.share)) {
        return choice;
    }
    const auto fallBack = [&](std::string why) {
        choice.problems.push_back(std::move(why));
        choice.problems.push_back("tamsel2 works in " + installed.share.string() +
                                  " instead, where nothing can be saved");
        choice.directory = installed.share;
        choice.place = TPlace::Installed;
        return choice;
    };
    const fs::path user = userDirectory(e);
    if (user.empty()) {
        return fallBack("no working directory: neither HOME nor XDG_DATA_HOME is set");
    }
    std::error_code ec;
    fs::create_directories(user, ec);
    if (ec || !fs::is_directory(user, ec)) {
        return fallBack("the working directory " + user.string() + " could not be created: " +
                        (ec ? reason(ec) : std::string("something else of that name is there")));
    }
    for (const char* name : kCopied) {
        copyMissing(installed.share / name, user / name, choice.problems);
    }
    linkMissing(installed.share / kHelpFolder, user / kHelpFolder, choice.problems);
    linkMissing(installed.tools, user / kToolsFolder, choice.problems);
    // The start-up looks for the driver in the working folder first; found there, it asks no
    // one where it is, and its log and port map are the user's, beside the link.
    if (!installed.driver.empty()) {
        linkMissing(installed.driver, user / kDriverFile, choice.problems);
    }
    if (!holdsProgramFiles(user)) {
        return fallBack("the working directory " + user.string() +
                        " lacks the glossary or the template project");
    }
    choice.directory = user;
    choice.place = TPlace::User;
    return choice;
}

} // namespace tamsel::workdir
