#include "pty_peer.h"

#include "support/wire_frames.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace linkor::e2e {

PtyPeer::PtyPeer(const std::string& portsDir, int portNumber, Handler handler)
    : m_handler(std::move(handler)) {
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        throw std::runtime_error("no pseudo-terminal");
    }
    const std::string slave = ptsname(m_master);
    m_slaveHold = ::open(slave.c_str(), O_RDWR | O_NOCTTY);
    termios t{};
    tcgetattr(m_slaveHold, &t);
    cfmakeraw(&t);
    tcsetattr(m_slaveHold, TCSANOW, &t);
    m_link = portsDir + "/COM" + std::to_string(portNumber);
    ::unlink(m_link.c_str());
    if (::symlink(slave.c_str(), m_link.c_str()) != 0) {
        throw std::runtime_error("cannot publish " + m_link);
    }
    m_thread = std::thread([this] { run(); });
}

PtyPeer::~PtyPeer() {
    m_stop = true;
    m_thread.join();
    ::unlink(m_link.c_str());
    if (m_master >= 0) {
        ::close(m_slaveHold);
        ::close(m_master);
    }
}

void PtyPeer::run() {
    std::string pending;
    while (!m_stop) {
        pollfd p{m_master, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0 || (p.revents & POLLIN) == 0) {
            continue;
        }
        char buffer[512];
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0) {
            continue;
        }
        pending.append(buffer, static_cast<size_t>(n));
        {
            std::lock_guard lock(m_mutex);
            m_all.append(buffer, static_cast<size_t>(n));
        }
        const Answer answer = m_handler(pending);
        if (answer.complete) {
            pending.clear();
            if (!answer.bytes.empty()) {
                [[maybe_unused]] const ssize_t w =
                    ::write(m_master, answer.bytes.data(), answer.bytes.size());
            }
            if (answer.hangUp) {
                ::close(m_master);
                ::close(m_slaveHold);
                m_master = m_slaveHold = -1;
                return;
            }
        }
    }
}

std::string PtyPeer::received() const {
    std::lock_guard lock(m_mutex);
    return m_all;
}

int PtyPeer::speed() const {
    termios t{};
    tcgetattr(m_master, &t);
    switch (cfgetospeed(&t)) {
    case B9600:
        return 9600;
    case B19200:
        return 19200;
    case B38400:
        return 38400;
    case B115200:
        return 115200;
    default:
        return 0;
    }
}

std::string frameOf(const std::string& text) {
    return support::kvFrame(text);
}

std::string textOfFrame(const std::string& bytes) {
    return support::textOfKvFrame(bytes);
}

} // namespace linkor::e2e
