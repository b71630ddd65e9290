// Where the driver's own library file lives: its companion files (log, start-up
// script, port map, load record) sit beside it.
#pragma once

#include <string>

namespace linkor {

/// Full path of the loaded driver library file (empty if it cannot be told).
std::string libraryPath();
/// Directory of the library file, with a trailing "/" (empty if unknown).
std::string libraryDirectory();

} // namespace linkor
