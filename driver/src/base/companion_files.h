// Where the driver's companion files are. Beside the library, as always; but an installed
// library lies in a folder its users cannot write, so each file also has a per-user place:
// the port map and the start-up script, which a user sets, in $XDG_CONFIG_HOME/tamsel2/;
// the log and the load record, which the driver writes, in $XDG_STATE_HOME/tamsel2/.
#pragma once

#include <string>

namespace linkor {

enum class Companion {
    Log,           ///< linkor.log
    StartupScript, ///< linkor.zel
    PortMap,       ///< linkor.ports
    LoadRecord,    ///< linkordll.id
};

/// What the choice depends on; empty strings are unset variables.
struct CompanionPlaces {
    std::string libraryDir; ///< with its trailing '/', or empty when unknown
    bool libraryDirWritable = false;
    std::string home;
    std::string xdgConfigHome;
    std::string xdgStateHome;
};

/// The places of the driver loaded in this process and of its user.
CompanionPlaces currentCompanionPlaces();
/// As above for a driver in @p libraryDir (ending in '/').
CompanionPlaces companionPlacesFor(const std::string& libraryDir);

/// The file's name, such as "linkor.ports".
const char* companionName(Companion file);

/// The per-user folder of @p file, with its trailing '/'; empty when HOME and the XDG
/// variable are both unknown. A relative XDG variable is ignored, as the XDG rules say.
std::string userCompanionDir(Companion file, const CompanionPlaces& places);

/// The path of @p file. A file the driver reads (port map, start-up script) is the one
/// beside the library when it is there, else the user's. A file the driver writes (log,
/// load record) goes beside the library when that is writable, else to the user's folder.
/// Empty when no place is known.
std::string companionPath(Companion file, const CompanionPlaces& places);

/// Creates the folder of @p path when it is missing (the per-user folders are made when
/// the driver first writes there); false when it cannot be.
bool makeParentFolder(const std::string& path);

} // namespace linkor
