#include "pty_client.h"

#include "support/wire_frames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace simtest {

namespace {

speed_t speedCode(int baud) {
    switch (baud) {
    case 300:
        return B300;
    case 600:
        return B600;
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    default:
        throw std::invalid_argument("no termios speed for " + std::to_string(baud));
    }
}

using Ms = std::chrono::milliseconds;

} // namespace

Bytes bytes(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes kvFrame(std::string_view text) {
    return bytes(support::kvFrame(text));
}

Bytes withCrc(Bytes frame) {
    return support::withCrc(std::move(frame));
}

std::string hex(const Bytes& b) {
    std::string out;
    char buf[4];
    for (std::uint8_t x : b) {
        std::snprintf(buf, sizeof buf, "%02X ", x);
        out += buf;
    }
    return out;
}

PtyClient::PtyClient(const std::filesystem::path& port, int baud) {
    m_fd = ::open(port.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0) {
        throw std::runtime_error("cannot open " + port.string());
    }
    setBaud(baud);
    ::tcflush(m_fd, TCIOFLUSH);
}

PtyClient::~PtyClient() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

void PtyClient::setBaud(int baud) {
    termios tio{};
    ::tcgetattr(m_fd, &tio);
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    ::cfsetispeed(&tio, speedCode(baud));
    ::cfsetospeed(&tio, speedCode(baud));
    if (::tcsetattr(m_fd, TCSANOW, &tio) != 0) {
        throw std::runtime_error("tcsetattr failed");
    }
}

void PtyClient::send(const Bytes& b) {
    std::size_t done = 0;
    while (done < b.size()) {
        const ssize_t n = ::write(m_fd, b.data() + done, b.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno != EINTR && errno != EAGAIN) {
            throw std::runtime_error("write to the line failed");
        }
    }
}

Bytes PtyClient::readUntil(const std::function<bool(const Bytes&)>& done, Ms timeout) {
    Bytes got;
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done(got)) {
        const auto left = std::chrono::duration_cast<Ms>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            break;
        }
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) {
            continue;
        }
        std::uint8_t buf[512];
        const ssize_t n = ::read(m_fd, buf, sizeof buf);
        if (n > 0) {
            got.insert(got.end(), buf, buf + n);
        }
    }
    return got;
}

Bytes PtyClient::readCount(std::size_t n, Ms timeout) {
    return readUntil([n](const Bytes& b) { return b.size() >= n; }, timeout);
}

Bytes PtyClient::readQuiet(Ms quiet, Ms timeout) {
    Bytes got;
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(quiet.count())) <= 0) {
            break;
        }
        std::uint8_t buf[512];
        const ssize_t n = ::read(m_fd, buf, sizeof buf);
        if (n > 0) {
            got.insert(got.end(), buf, buf + n);
        }
    }
    return got;
}

Bytes PtyClient::exchange(const Bytes& request, std::size_t atLeast) {
    drain();
    send(request);
    Bytes got = atLeast > 0 ? readCount(atLeast) : Bytes{};
    const Bytes rest = readQuiet();
    got.insert(got.end(), rest.begin(), rest.end());
    return got;
}

Bytes PtyClient::answerBefore(const Bytes& request, const Bytes& marker,
                              const Bytes& markerAnswer) {
    drain();
    send(request);
    send(marker);
    const auto answered = [&markerAnswer](const Bytes& b) {
        return b.size() >= markerAnswer.size() &&
               std::equal(markerAnswer.begin(), markerAnswer.end(), b.end() - markerAnswer.size());
    };
    Bytes got = readUntil(answered);
    if (!answered(got)) {
        ADD_FAILURE() << "the marker was not answered: " << hex(got);
        return got;
    }
    got.resize(got.size() - markerAnswer.size());
    return got;
}

Bytes PtyClient::xon(std::string_view text) {
    drain();
    send(kvFrame(text));
    return readUntil([](const Bytes& b) { return !b.empty() && b.back() == SUB; });
}

std::string PtyClient::xonReply(std::string_view text) {
    const Bytes b = xon(text);
    // ACK XOFF STX lll text cc ETX SUB
    if (b.size() < 10 || b[0] != ACK || b[1] != XOFF || b[2] != STX || b[b.size() - 2] != ETX ||
        b.back() != SUB) {
        ADD_FAILURE() << "no reply to " << text << ": " << hex(b);
        return {};
    }
    const std::string body(b.begin() + 3, b.end() - 2);
    const std::string reply = body.substr(3, body.size() - 5);
    EXPECT_EQ(std::stoul(body.substr(0, 3)), reply.size()) << "length field of " << body;
    EXPECT_EQ(std::stoul(body.substr(body.size() - 2), nullptr, 16), support::kvChecksum(reply))
        << "checksum of " << body;
    return reply;
}

void PtyClient::drain() {
    ::tcflush(m_fd, TCIFLUSH);
    readQuiet(Ms(20), Ms(200));
}

LineFixture::LineFixture(std::string_view lineText, int com) {
    char pattern[] = "/tmp/kvsim-test-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    m_dir = pattern;
    m_line = std::make_unique<kvsim::VirtualLine>(kvsim::parseLineText(lineText, "test line"));
    m_line->start(m_dir, com);
}

LineFixture::~LineFixture() {
    m_line->stop();
    std::error_code ec;
    std::filesystem::remove_all(m_dir, ec);
}

} // namespace simtest
