#include "posix/port_check.h"

#include "posix/port_map.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace linkor {

namespace {

PortCheck fault(PortFault f, const std::string& path, int error = 0) {
    PortCheck c;
    c.fault = f;
    c.device = path;
    c.error = error;
    return c;
}

/// What the path is before anything is opened: opening a FIFO would succeed and one
/// without a writer could even block, so kinds that are no device are told apart first.
PortCheck classify(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        const int error = errno;
        if (error == EACCES) {
            return fault(PortFault::PermissionDenied, path);
        }
        if (error != ENOENT && error != ENOTDIR) {
            return fault(PortFault::OpenFailed, path, error);
        }
        PortCheck missing = fault(PortFault::Missing, path);
        struct stat link {};
        if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
            char target[4096];
            const ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
            missing.linkTarget = n > 0 ? std::string(target, static_cast<size_t>(n)) : "?";
        }
        return missing;
    }
    if (S_ISREG(st.st_mode)) {
        return fault(PortFault::RegularFile, path);
    }
    if (S_ISDIR(st.st_mode)) {
        return fault(PortFault::Directory, path);
    }
    if (S_ISFIFO(st.st_mode)) {
        return fault(PortFault::Fifo, path);
    }
    if (!S_ISCHR(st.st_mode)) {
        return fault(PortFault::OtherFile, path);
    }
    return fault(PortFault::None, path);
}

PortFault faultOfOpenError(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return PortFault::PermissionDenied;
    case EBUSY:
        return PortFault::Busy; // TIOCEXCL held by another process
    case ENOENT:
        return PortFault::Missing;
    case ENXIO:
    case ENODEV:
        return PortFault::NoHardware;
    default:
        return PortFault::OpenFailed;
    }
}

bool noModemLines(int error) {
    return error == ENOTTY || error == EINVAL;
}

} // namespace

UniqueFd openExclusive(const std::string& path, PortCheck& check) {
    check = classify(path);
    if (check.fault != PortFault::None) {
        return {};
    }
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) {
        const int error = errno;
        check = fault(faultOfOpenError(error), path, error);
        return {};
    }
    if (!isatty(fd.get())) {
        check = fault(PortFault::NotTerminal, path);
        return {};
    }
    if (flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        check = fault(error == EWOULDBLOCK ? PortFault::Busy : PortFault::OpenFailed, path, error);
        return {};
    }
    if (ioctl(fd.get(), TIOCEXCL) != 0 && errno != ENOTTY) {
        check = fault(PortFault::OpenFailed, path, errno);
        return {};
    }
    return fd;
}

void releaseExclusive(UniqueFd& fd) {
    if (fd.valid()) {
        ioctl(fd.get(), TIOCNXCL);
        fd.reset();
    }
}

PortCheck checkPort(unsigned portNumber, const std::string& libraryDir) {
    if (const char* dir = std::getenv("LINKOR_PORTS"); dir != nullptr && *dir != '\0') {
        struct stat st {};
        if (::stat(dir, &st) != 0 || !S_ISDIR(st.st_mode)) {
            return fault(PortFault::PortsDirMissing, dir);
        }
    }
    const std::string path = devicePathOf(portNumber, libraryDir);
    if (path.empty()) {
        return fault(PortFault::NoDevice, path);
    }
    return checkDevice(path);
}

PortCheck checkDevice(const std::string& path) {
    PortCheck check;
    UniqueFd fd = openExclusive(path, check);
    if (!fd.valid()) {
        return check;
    }
    serial_struct info{};
    if (ioctl(fd.get(), TIOCGSERIAL, &info) == 0) {
        // A UART slot without hardware behind it reports an unknown type.
        if (info.type == PORT_UNKNOWN) {
            check = fault(PortFault::NoHardware, path);
        }
    } else if (!noModemLines(errno)) {
        // Pseudo-terminals and adapters without the call are usable; anything else is not.
        check = fault(PortFault::OpenFailed, path, errno);
    }
    releaseExclusive(fd);
    return check;
}

std::string describePortCheck(const PortCheck& c) {
    const std::string& path = c.device;
    switch (c.fault) {
    case PortFault::None:
        return path + " can be opened now";
    case PortFault::NoDevice:
        return "no such device: the port is outside those the driver handles";
    case PortFault::PortsDirMissing:
        return "LINKOR_PORTS names " + path + ", which is no directory";
    case PortFault::Missing:
        if (!c.linkTarget.empty()) {
            return "no such device: " + path + " is a link to " + c.linkTarget +
                   ", which does not exist";
        }
        return "no such device: " + path + " does not exist";
    case PortFault::RegularFile:
        return path + " is not a serial device but a regular file";
    case PortFault::Directory:
        return path + " is not a serial device but a directory";
    case PortFault::Fifo:
        return path + " is not a serial device but a FIFO";
    case PortFault::OtherFile:
        return path + " is not a serial device";
    case PortFault::NotTerminal:
        return path + " is not a serial device but another kind of character device";
    case PortFault::PermissionDenied:
        return "permission denied on " + path + " (the dialout group gives the right)";
    case PortFault::Busy:
        return "busy: another program holds " + path;
    case PortFault::NoHardware:
        return path + " is a serial port without hardware behind it";
    case PortFault::OpenFailed:
        break;
    }
    return path + " cannot be opened: " + std::strerror(c.error);
}

} // namespace linkor
