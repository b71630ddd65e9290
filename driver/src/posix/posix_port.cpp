#include "posix/posix_port.h"

#include "base/exchange_log.h"
#include "base/library_location.h"
#include "linkor_status.h"
#include "posix/custom_speed.h"
#include "posix/device_answers.h"
#include "posix/port_check.h"
#include "posix/port_map.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace linkor {

namespace {

using Clock = std::chrono::steady_clock;

struct SpeedCode {
    int baud;
    speed_t code;
};

constexpr SpeedCode kStandardSpeeds[] = {
    {300, B300},   {600, B600},     {1200, B1200},   {2400, B2400},   {4800, B4800},
    {9600, B9600}, {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200}};

const SpeedCode* standardSpeed(int baud) {
    for (const auto& s : kStandardSpeeds) {
        if (s.baud == baud) {
            return &s;
        }
    }
    return nullptr;
}

/// Applies the speed to a raw settings structure, or through termios2 afterwards.
bool applySpeed(int fd, termios& tio, int baud) {
    if (const SpeedCode* s = standardSpeed(baud)) {
        cfsetispeed(&tio, s->code);
        cfsetospeed(&tio, s->code);
        return tcsetattr(fd, TCSANOW, &tio) == 0;
    }
    return tcsetattr(fd, TCSANOW, &tio) == 0 && setCustomSpeed(fd, baud);
}

bool noModemLines(int error) {
    return error == ENOTTY || error == EINVAL;
}

int remainingMs(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - Clock::now() + std::chrono::microseconds(999));
    return static_cast<int>(std::max<long long>(0, left.count()));
}

/// Whether @p device is driven as @p handling for the first time in this process: a scan opens
/// a port once a try, and the log should tell the handling once a line, not once a try.
bool firstTimeHandled(const std::string& device, const std::string& handling) {
    static std::mutex mutex;
    static std::map<std::string, std::string> logged;
    std::lock_guard lock(mutex);
    auto [at, inserted] = logged.try_emplace(device, handling);
    if (inserted) {
        return true;
    }
    if (at->second == handling) {
        return false;
    }
    at->second = handling;
    return true;
}

} // namespace

int32_t PosixPort::open(const std::string& portName, const PortSettings& settings) {
    close();
    m_settings = settings;
    const auto number = portNumberOf(portName.c_str());
    if (!number || *number == 0) {
        return LINKOR_PORT_OPEN;
    }
    PortCheck check;
    UniqueFd fd = openExclusive(devicePathOf(*number), check);
    if (!fd.valid()) {
        return LINKOR_PORT_OPEN;
    }
    termios tio{};
    if (tcgetattr(fd.get(), &tio) != 0) {
        releaseExclusive(fd);
        return LINKOR_PORT_SETTINGS;
    }
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~static_cast<tcflag_t>(HUPCL | CRTSCTS | CSTOPB | PARENB | CSIZE);
    tio.c_cflag |= CS8;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | IGNBRK | BRKINT | ISTRIP | INPCK);
    if (settings.reportBreaks) {
        tio.c_iflag |= PARMRK;
    }
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (!standardSpeed(settings.baud) && settings.baud != 7200) {
        releaseExclusive(fd);
        return LINKOR_PORT_BUILD;
    }
    if (!applySpeed(fd.get(), tio, settings.baud)) {
        releaseExclusive(fd);
        return LINKOR_PORT_SETTINGS;
    }
    tcflush(fd.get(), TCIOFLUSH);
    const DeviceAnswers answers = askDevice(fd.get());
    m_handling = m_setup.apply(fd.get(), decideHandling(answers), settings.baud);
    if (!answers.pseudoTerminal) {
        const std::string device = deviceNameOf(fd.get());
        const std::string handling = describeHandling(m_handling);
        if (firstTimeHandled(device, handling)) {
            appendToLog("\n" + portName + logTimeStamp() + "\n" + device + ": " + handling + "\n");
        }
    }
    m_fd = std::move(fd);
    m_modemLines = true;
    m_gone = false;
    m_input.clear();
    m_pendingBreaks = 0;
    m_filter.reset();
    if (settings.rtsDisabled) {
        setRts(false);
    }
    return LINKOR_OK;
}

void PosixPort::close() {
    if (m_fd.valid()) {
        m_setup.restore(m_fd.get());
    }
    m_handling = {};
    releaseExclusive(m_fd);
    m_input.clear();
    m_pendingBreaks = 0;
}

int32_t PosixPort::changeSpeed(int baud, int writePerByteMs) {
    if (!standardSpeed(baud) && baud != 7200) {
        return LINKOR_PORT_BUILD;
    }
    m_settings.baud = baud;
    m_settings.writePerByteMs = writePerByteMs;
    if (!m_fd.valid()) {
        return LINKOR_OK; // applied when the port is opened again
    }
    termios tio{};
    if (tcgetattr(m_fd.get(), &tio) != 0 || !applySpeed(m_fd.get(), tio, baud)) {
        return LINKOR_PORT_SETTINGS;
    }
    m_setup.speedChanged(m_fd.get(), baud);
    return LINKOR_OK;
}

void PosixPort::purge() {
    if (m_fd.valid()) {
        tcflush(m_fd.get(), TCIOFLUSH);
    }
    m_input.clear();
    m_pendingBreaks = 0;
    m_filter.reset();
}

bool PosixPort::write(const uint8_t* data, size_t size, size_t& written) {
    written = 0;
    if (!m_fd.valid() || m_gone) {
        return false;
    }
    const auto deadline =
        Clock::now() +
        std::chrono::milliseconds(m_settings.writeConstantMs +
                                  m_settings.writePerByteMs * static_cast<long long>(size));
    while (written < size) {
        const ssize_t n = ::write(m_fd.get(), data + written, size - written);
        if (n > 0) {
            written += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN) {
            m_gone = (errno == EIO || errno == ENXIO);
            return false;
        }
        pollfd p{m_fd.get(), POLLOUT, 0};
        const int wait = remainingMs(deadline);
        if (wait == 0) {
            return true; // short: the caller tells it from `written`
        }
        if (poll(&p, 1, wait) < 0 && errno != EINTR) {
            return false;
        }
        if ((p.revents & (POLLERR | POLLHUP)) != 0) {
            m_gone = true;
            return false;
        }
    }
    return true;
}

PosixPort::Fill PosixPort::fill(Clock::time_point deadline) {
    for (;;) {
        pollfd p{m_fd.get(), POLLIN, 0};
        const int rc = poll(&p, 1, remainingMs(deadline));
        if (rc < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Fill::Failed;
        }
        if (rc == 0) {
            return Fill::TimedOut;
        }
        uint8_t raw[256];
        const ssize_t n = ::read(m_fd.get(), raw, sizeof raw);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (n <= 0) {
            // Readable yet nothing to read: the device has hung up (adapter pulled).
            if (n < 0 || (p.revents & (POLLHUP | POLLERR)) != 0) {
                m_gone = true;
                return Fill::Failed;
            }
            if (remainingMs(deadline) == 0) {
                return Fill::TimedOut;
            }
            continue;
        }
        for (ssize_t i = 0; i < n; ++i) {
            uint8_t data = 0;
            if (!m_settings.reportBreaks) {
                m_input.push_back(raw[i]);
                continue;
            }
            switch (m_filter.feed(raw[i], data)) {
            case BreakMarkFilter::Event::Data:
                m_input.push_back(data);
                break;
            case BreakMarkFilter::Event::Break:
                ++m_pendingBreaks;
                break;
            case BreakMarkFilter::Event::None:
                break;
            }
        }
        return Fill::Got;
    }
}

ReadResult PosixPort::readByte(std::chrono::milliseconds timeout) {
    if (!m_fd.valid() || m_gone) {
        return {ReadOutcome::Failed, 0};
    }
    const auto deadline = Clock::now() + timeout;
    while (m_input.empty()) {
        switch (fill(deadline)) {
        case Fill::Failed:
            return {ReadOutcome::Failed, 0};
        case Fill::TimedOut:
            return {ReadOutcome::TimedOut, 0};
        case Fill::Got:
            break;
        }
    }
    const uint8_t byte = m_input.front();
    m_input.pop_front();
    return {ReadOutcome::Byte, byte};
}

void PosixPort::transmitPriority(uint8_t byte) {
    if (m_fd.valid() && !m_gone) {
        // There is no queue ahead of this byte to jump: nothing else is pending here.
        [[maybe_unused]] const ssize_t n = ::write(m_fd.get(), &byte, 1);
    }
}

void PosixPort::setRts(bool raised) {
    // In the kernel's RS-485 mode the UART switches RTS itself; a hand on it would fight it.
    if (!m_fd.valid() || !m_modemLines || m_handling.direction == DirectionControl::Kernel) {
        return;
    }
    const int bits = TIOCM_RTS;
    if (ioctl(m_fd.get(), raised ? TIOCMBIS : TIOCMBIC, &bits) != 0 && noModemLines(errno)) {
        m_modemLines = false; // a pseudo-terminal has no modem lines
    }
}

void PosixPort::waitTransmitted(std::chrono::milliseconds timeout) {
    if (!m_fd.valid()) {
        return;
    }
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        int queued = 0;
        if (ioctl(m_fd.get(), TIOCOUTQ, &queued) != 0 || queued <= 0 || Clock::now() >= deadline) {
            break;
        }
        usleep(200);
    }
    // The kernel's queue is empty; the UART's FIFO may not be.
    if (m_handling.drain == DrainMethod::TransmitterEmpty) {
        pollTransmitterEmpty(deadline);
    }
}

bool PosixPort::pollTransmitterEmpty(Clock::time_point deadline) {
    for (;;) {
        unsigned int lsr = 0;
        if (ioctl(m_fd.get(), TIOCSERGETLSR, &lsr) != 0) {
            m_gone = errno == EIO || errno == ENXIO;
            return false;
        }
        if ((lsr & TIOCSER_TEMT) != 0 || Clock::now() >= deadline) {
            return true;
        }
        std::this_thread::yield();
    }
}

void PosixPort::waitSent(std::size_t characters) {
    if (!m_fd.valid() || m_gone || characters == 0) {
        return;
    }
    switch (m_handling.drain) {
    case DrainMethod::None:
        return;
    case DrainMethod::TransmitterEmpty: {
        const auto start = Clock::now();
        // The last bit cannot be out before the characters have had their time on the wire:
        // sleep through most of it, then watch the flag.
        const auto wire = wireTime(characters, m_settings.baud);
        constexpr auto kWatchAhead = std::chrono::microseconds(300);
        if (wire > kWatchAhead) {
            std::this_thread::sleep_until(start + wire - kWatchAhead);
        }
        pollTransmitterEmpty(start + drainBound(characters, m_settings.baud));
        return;
    }
    case DrainMethod::KernelDrain:
        // The kernel wakes this on a hang-up, so a pulled adapter ends it too.
        while (tcdrain(m_fd.get()) != 0) {
            if (errno != EINTR) {
                m_gone = errno == EIO || errno == ENXIO;
                return;
            }
        }
        return;
    }
}

bool PosixPort::waitBreak(std::chrono::microseconds timeout) {
    if (!m_fd.valid() || m_gone) {
        return false;
    }
    const auto deadline = Clock::now() + timeout;
    while (m_pendingBreaks == 0) {
        if (fill(deadline) != Fill::Got) {
            break;
        }
    }
    if (m_pendingBreaks == 0) {
        return false;
    }
    --m_pendingBreaks;
    return true;
}

bool probePort(unsigned portNumber) {
    return checkPort(portNumber, libraryDirectory()).fault == PortFault::None;
}

} // namespace linkor
