// Resolution of a port name "COMn" to the device that carries it.
#pragma once

#include <optional>
#include <string>

namespace linkor {

/// Number n of a name "COMn" read from its fourth character on; nullopt when absent.
std::optional<unsigned> portNumberOf(const char* portName);

/// Device path of port n: the entry COMn of $LINKOR_PORTS when that is set (and nothing
/// else), otherwise the mapping of the port map linkor.ports (beside the library, else the
/// user's, see companion_files.h), otherwise the built-in default for the usual Linux
/// device names. Empty when n has none.
std::string devicePathOf(unsigned portNumber);
/// As above, with linkor.ports looked for in `libraryDir` (ending in '/'): for a program
/// that reasons about the ports of a driver it loaded from there.
std::string devicePathOf(unsigned portNumber, const std::string& libraryDir);

/// Default device of port n when nothing else names one.
std::string defaultDevicePathOf(unsigned portNumber);

/// Device of port n named by a port map text (lines "COMn = /dev/..."), or empty.
std::string mappedDevicePathOf(const std::string& mapText, unsigned portNumber);

} // namespace linkor
