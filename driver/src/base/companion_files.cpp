#include "base/companion_files.h"

#include "base/library_location.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace linkor {

namespace {

namespace fs = std::filesystem;

constexpr const char* kUserFolder = "tamsel2/";
constexpr const char* kDefaultConfigHome = ".config/";
constexpr const char* kDefaultStateHome = ".local/state/";

struct CompanionFacts {
    Companion file;
    const char* name;
    bool written; ///< the driver writes it; otherwise the user does and the driver reads
};
constexpr CompanionFacts kFacts[] = {
    {Companion::Log, "linkor.log", true},
    {Companion::StartupScript, "linkor.zel", false},
    {Companion::PortMap, "linkor.ports", false},
    {Companion::LoadRecord, "linkordll.id", true},
};

const CompanionFacts& factsOf(Companion file) {
    for (const CompanionFacts& f : kFacts) {
        if (f.file == file) {
            return f;
        }
    }
    return kFacts[0];
}

std::string env(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

std::string withSlash(std::string dir) {
    if (!dir.empty() && dir.back() != '/') {
        dir += '/';
    }
    return dir;
}

bool exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

} // namespace

CompanionPlaces companionPlacesFor(const std::string& libraryDir) {
    CompanionPlaces places;
    places.libraryDir = libraryDir;
    places.libraryDirWritable = !libraryDir.empty() && ::access(libraryDir.c_str(), W_OK) == 0;
    places.home = env("HOME");
    places.xdgConfigHome = env("XDG_CONFIG_HOME");
    places.xdgStateHome = env("XDG_STATE_HOME");
    return places;
}

CompanionPlaces currentCompanionPlaces() {
    return companionPlacesFor(libraryDirectory());
}

const char* companionName(Companion file) {
    return factsOf(file).name;
}

std::string userCompanionDir(Companion file, const CompanionPlaces& places) {
    const std::string& xdg = factsOf(file).written ? places.xdgStateHome : places.xdgConfigHome;
    if (!xdg.empty() && xdg.front() == '/') {
        return withSlash(xdg) + kUserFolder;
    }
    if (places.home.empty()) {
        return {};
    }
    return withSlash(places.home) +
           (factsOf(file).written ? kDefaultStateHome : kDefaultConfigHome) + kUserFolder;
}

std::string companionPath(Companion file, const CompanionPlaces& places) {
    const CompanionFacts& facts = factsOf(file);
    const std::string beside =
        places.libraryDir.empty() ? std::string() : withSlash(places.libraryDir) + facts.name;
    const std::string userDir = userCompanionDir(file, places);
    const std::string user = userDir.empty() ? std::string() : userDir + facts.name;
    if (facts.written) {
        return places.libraryDirWritable && !beside.empty() ? beside : user;
    }
    if (!beside.empty() && (exists(beside) || user.empty())) {
        return beside;
    }
    return user;
}

bool makeParentFolder(const std::string& path) {
    const fs::path parent = fs::path(path).parent_path();
    if (parent.empty()) {
        return true;
    }
    std::error_code ec;
    fs::create_directories(parent, ec);
    return fs::is_directory(parent, ec);
}

} // namespace linkor
