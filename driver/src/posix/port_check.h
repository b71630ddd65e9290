// Why a port cannot be held. These are the checks the driver makes as it opens a device,
// each ending in a reason a person can act on. The driver's interface only tells whether
// a port is listed, so linkorctl compiles this in to explain a refused port itself.
#pragma once

#include <common/unique_fd.h>

#include <string>

namespace linkor {

using common::UniqueFd;

enum class PortFault {
    None,
    NoDevice,        ///< the port number maps to no device at all
    PortsDirMissing, ///< LINKOR_PORTS names something that is no directory
    Missing,         ///< nothing at the path, or a link that leads nowhere
    RegularFile,
    Directory,
    Fifo,
    OtherFile,   ///< a socket or a block device
    NotTerminal, ///< a character device that is no terminal
    PermissionDenied,
    Busy,       ///< another program holds the device
    NoHardware, ///< a UART slot with nothing behind it
    OpenFailed, ///< any other refusal of the system
};

struct PortCheck {
    PortFault fault = PortFault::None;
    std::string device;     ///< the path looked at (the LINKOR_PORTS directory for PortsDirMissing)
    std::string linkTarget; ///< where a link that leads nowhere points
    int error = 0;          ///< the system's error number of an OpenFailed
};

/// Opens `path` exclusively for reading and writing, without becoming its controlling
/// terminal. Root bypasses TIOCEXCL, so an advisory lock keeps two processes apart too.
/// On failure the descriptor is invalid and `check` says why.
UniqueFd openExclusive(const std::string& path, PortCheck& check);
/// Gives the device back; the exclusive flag would outlive a close while a
/// pseudo-terminal's master stays open.
void releaseExclusive(UniqueFd& fd);

/// Resolves port n as the driver does (`libraryDir` is where linkor.ports is looked for,
/// with its '/'), opens it as the driver does and gives it back at once.
PortCheck checkPort(unsigned portNumber, const std::string& libraryDir);

/// The checks of checkPort on the device at @p path, whichever port leads to it.
PortCheck checkDevice(const std::string& path);

/// The reason in words, such as "busy: another program holds /dev/ttyUSB0" or "no such
/// device: /dev/ttyS5 does not exist".
std::string describePortCheck(const PortCheck& check);

} // namespace linkor
