#include "kvsim/virtual_line.h"

#include "module.h"

#include <common/unique_fd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <stdexcept>
#include <system_error>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace kvsim {

using common::UniqueFd;

namespace {

// Bits per character on the wire: start bit, 8 data bits, stop bit.
constexpr double kBitsPerByte = 10.0;
// The log keeps this many bytes; a long session drops the oldest.
constexpr std::size_t kMaxLogEntries = std::size_t{1} << 22;
// The thread looks at the line at least this often, so that a speed change or a module's
// end-of-frame silence is seen in time.
constexpr int kIdlePollMs = 20;
constexpr std::size_t kReadChunk = 4096;
// Speed the line is given before anyone sets it; a serial terminal sets its own.
constexpr speed_t kInitialSpeed = B9600;

struct SpeedName {
    speed_t code;
    int baud;
};
constexpr SpeedName kSpeeds[] = {
    {B50, 50},       {B75, 75},         {B110, 110},       {B134, 134},       {B150, 150},
    {B200, 200},     {B300, 300},       {B600, 600},       {B1200, 1200},     {B1800, 1800},
    {B2400, 2400},   {B4800, 4800},     {B9600, 9600},     {B19200, 19200},   {B38400, 38400},
    {B57600, 57600}, {B115200, 115200}, {B230400, 230400}, {B460800, 460800}, {B921600, 921600},
};

int baudOf(speed_t code) {
    for (const auto& s : kSpeeds) {
        if (s.code == code) {
            return s.baud;
        }
    }
    return 0;
}

[[noreturn]] void throwErrno(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

struct OutByte {
    Clock::time_point due;
    // Least time since the byte before it went out: a slow module's delay holds between
    // the bytes as they really leave, however late the line's thread wakes up.
    Clock::duration gap;
    std::uint8_t byte;
};

} // namespace

struct VirtualLine::Impl {
    explicit Impl(LineDescription d) : description(std::move(d)) {
        for (const ModuleSetup& setup : description.modules) {
            modules.push_back(makeModule(setup));
        }
    }

    void run();
    void handleInput(std::span<const std::uint8_t> bytes, Clock::time_point now,
                     std::vector<std::pair<Direction, std::vector<std::uint8_t>>>& traffic);
    void schedule(const std::vector<Transmission>& out, Clock::time_point start, int baud);
    void flush(Clock::time_point now,
               std::vector<std::pair<Direction, std::vector<std::uint8_t>>>& traffic);
    int currentBaud() const;
    Clock::time_point nextDue() const {
        return std::max(output.front().due, lastWrite + output.front().gap);
    }
    void record(Direction d, std::span<const std::uint8_t> bytes, Clock::time_point t);
    Module* find(int address, bool jbus);

    LineDescription description;
    std::vector<std::unique_ptr<Module>> modules;

    mutable std::mutex mutex;
    std::deque<LogEntry> log;
    std::deque<OutByte> output;
    Clock::time_point lastWrite{};
    bool pacing = false;
    /// When the client's bytes heard so far have all crossed the wire (pacing only).
    Clock::time_point inputFree{};
    TrafficSink sink;

    UniqueFd master;
    // The line keeps the slave open itself: without it the master reads fail with EIO
    // each time the client closes the port, and the client's settings would be lost.
    UniqueFd slaveKeeper;
    UniqueFd wakeRead;
    UniqueFd wakeWrite;
    std::thread thread;
    std::atomic<bool> stopRequested{false};
    bool started = false;
    std::filesystem::path device;
    std::filesystem::path link;
};

int VirtualLine::Impl::currentBaud() const {
    termios tio{};
    if (!master.valid() || ::tcgetattr(master.get(), &tio) != 0) {
        return 0;
    }
    return baudOf(::cfgetospeed(&tio));
}

Module* VirtualLine::Impl::find(int address, bool jbus) {
    for (auto& m : modules) {
        if (m->setup().address == address && m->isJbus() == jbus) {
            return m.get();
        }
    }
    return nullptr;
}

void VirtualLine::Impl::record(Direction d, std::span<const std::uint8_t> bytes,
                               Clock::time_point t) {
    for (std::uint8_t b : bytes) {
        log.push_back({t, d, b});
    }
    while (log.size() > kMaxLogEntries) {
        log.pop_front();
    }
}

void VirtualLine::Impl::schedule(const std::vector<Transmission>& out, Clock::time_point start,
                                 int baud) {
    const auto byteTime =
        pacing && baud > 0
            ? std::chrono::duration_cast<Clock::duration>(
                  std::chrono::duration<double>(kBitsPerByte / static_cast<double>(baud)))
            : Clock::duration::zero();
    Clock::time_point t = std::max(start, output.empty() ? start : output.back().due);
    bool sharedSent = false;
    for (const Transmission& tr : out) {
        if (tr.shared) {
            // A command for every module: on a real line all would answer at once and the
            // client would read a collision; the emulation lets the first one speak.
            if (sharedSent) {
                continue;
            }
            sharedSent = true;
        }
        for (std::size_t i = 0; i < tr.bytes.size(); ++i) {
            Clock::duration gap = Clock::duration::zero();
            if (i > 0 && tr.slowMs > 0) {
                gap = std::chrono::milliseconds(tr.slowMs);
                t += gap;
            }
            t += byteTime;
            output.push_back({t, gap, tr.bytes[i]});
        }
    }
}

void VirtualLine::Impl::handleInput(
    std::span<const std::uint8_t> bytes, Clock::time_point now,
    std::vector<std::pair<Direction, std::vector<std::uint8_t>>>& traffic) {
    const int baud = currentBaud();
    record(Direction::ToModules, bytes, now);
    traffic.emplace_back(Direction::ToModules,
                         std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    std::vector<Transmission> out;
    bool echo = false;
    for (auto& m : modules) {
        if (m->setup().baud == baud) {
            echo = echo || m->setup().protocol == Protocol::Jbus485;
            m->receive(bytes, now, out);
        } else {
            m->receiveOffSpeed(bytes, out);
        }
    }
    if (echo) {
        // A two-wire line hears its own transmitter: the client reads back what it sent.
        Transmission e;
        e.bytes.assign(bytes.begin(), bytes.end());
        out.insert(out.begin(), std::move(e));
    }
    Clock::time_point start = now;
    if (pacing && baud > 0) {
        // The client's bytes cross the wire one after another: a command written in
        // several pieces has arrived only when all of its bytes have had their time.
        start = std::max(now, inputFree) +
                std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
                    kBitsPerByte * static_cast<double>(bytes.size()) / static_cast<double>(baud)));
        inputFree = start;
    }
    schedule(out, start, baud);
}

void VirtualLine::Impl::flush(
    Clock::time_point now, std::vector<std::pair<Direction, std::vector<std::uint8_t>>>& traffic) {
    std::vector<std::uint8_t> chunk;
    while (!output.empty() && nextDue() <= now) {
        if (output.front().gap > Clock::duration::zero() && !chunk.empty()) {
            break;
        }
        chunk.push_back(output.front().byte);
        output.pop_front();
    }
    if (chunk.empty()) {
        return;
    }
    std::size_t done = 0;
    while (done < chunk.size()) {
        const ssize_t n = ::write(master.get(), chunk.data() + done, chunk.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        // The client does not read (the queue of the terminal is full): what does not fit
        // is lost, as it would be on a line nobody listens to.
        break;
    }
    chunk.resize(done);
    lastWrite = now;
    record(Direction::FromModules, chunk, now);
    traffic.emplace_back(Direction::FromModules, std::move(chunk));
}

void VirtualLine::Impl::run() {
    std::vector<std::uint8_t> buffer(kReadChunk);
    while (!stopRequested.load()) {
        // Paced bytes are due every few tens of microseconds at high speeds: the wait is
        // kept to the microsecond, not rounded up to whole milliseconds.
        auto timeout = std::chrono::duration_cast<std::chrono::nanoseconds>(
            std::chrono::milliseconds(kIdlePollMs));
        {
            std::lock_guard lock(mutex);
            const auto now = Clock::now();
            std::optional<Clock::time_point> next;
            if (!output.empty()) {
                next = nextDue();
            }
            for (auto& m : modules) {
                if (auto d = m->deadline(); d && (!next || *d < *next)) {
                    next = d;
                }
            }
            if (next) {
                const auto wait = std::chrono::duration_cast<std::chrono::nanoseconds>(*next - now);
                timeout = std::clamp(wait, std::chrono::nanoseconds::zero(), timeout);
            }
        }
        pollfd fds[2] = {{master.get(), POLLIN, 0}, {wakeRead.get(), POLLIN, 0}};
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(timeout);
        const timespec waitTime{static_cast<time_t>(seconds.count()),
                                static_cast<long>((timeout - seconds).count())};
        const int ready = ::ppoll(fds, 2, &waitTime, nullptr);
        if (ready < 0 && errno != EINTR) {
            break;
        }
        if ((fds[1].revents & POLLIN) != 0) {
            char drain[16];
            [[maybe_unused]] const ssize_t ignored = ::read(wakeRead.get(), drain, sizeof drain);
        }
        std::vector<std::pair<Direction, std::vector<std::uint8_t>>> traffic;
        TrafficSink sinkCopy;
        {
            std::lock_guard lock(mutex);
            if ((fds[0].revents & POLLIN) != 0) {
                const ssize_t n = ::read(master.get(), buffer.data(), buffer.size());
                if (n > 0) {
                    handleInput(std::span(buffer.data(), static_cast<std::size_t>(n)), Clock::now(),
                                traffic);
                }
            }
            const auto now = Clock::now();
            std::vector<Transmission> out;
            for (auto& m : modules) {
                if (auto d = m->deadline(); d && *d <= now) {
                    m->expire(now, out);
                }
            }
            if (!out.empty()) {
                schedule(out, now, currentBaud());
            }
            flush(Clock::now(), traffic);
            sinkCopy = sink;
        }
        if (sinkCopy) {
            for (const auto& [dir, bytes] : traffic) {
                if (!bytes.empty()) {
                    sinkCopy(Clock::now(), dir, bytes);
                }
            }
        }
    }
}

VirtualLine::VirtualLine(LineDescription description)
    : m_impl(std::make_unique<Impl>(std::move(description))) {}

VirtualLine VirtualLine::fromFile(const std::filesystem::path& path) {
    return VirtualLine(readLineFile(path));
}

VirtualLine VirtualLine::fromText(std::string_view text, const std::string& name) {
    return VirtualLine(parseLineText(text, name));
}

VirtualLine::VirtualLine(VirtualLine&&) noexcept = default;
VirtualLine& VirtualLine::operator=(VirtualLine&& other) noexcept {
    if (this != &other) {
        stop();
        m_impl = std::move(other.m_impl);
    }
    return *this;
}

VirtualLine::~VirtualLine() {
    stop();
}

void VirtualLine::start(const std::filesystem::path& portsDir, int comNumber) {
    Impl& d = *m_impl;
    if (d.started) {
        throw std::logic_error("virtual line already started");
    }
    d.master.reset(::posix_openpt(O_RDWR | O_NOCTTY));
    if (!d.master.valid()) {
        throwErrno("posix_openpt");
    }
    if (::grantpt(d.master.get()) != 0 || ::unlockpt(d.master.get()) != 0) {
        throwErrno("grantpt/unlockpt");
    }
    ::fcntl(d.master.get(), F_SETFD, FD_CLOEXEC);
    ::fcntl(d.master.get(), F_SETFL, ::fcntl(d.master.get(), F_GETFL) | O_NONBLOCK);
    char name[128];
    if (::ptsname_r(d.master.get(), name, sizeof name) != 0) {
        throwErrno("ptsname_r");
    }
    d.device = name;
    d.slaveKeeper.reset(::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!d.slaveKeeper.valid()) {
        throwErrno(std::string("open ") + name);
    }
    // Raw from the start: a client that leaves the settings alone (a simple terminal
    // program) must not have its bytes echoed or its line ends translated.
    termios tio{};
    if (::tcgetattr(d.slaveKeeper.get(), &tio) == 0) {
        ::cfmakeraw(&tio);
        tio.c_cflag |= CLOCAL | CREAD;
        ::cfsetispeed(&tio, kInitialSpeed);
        ::cfsetospeed(&tio, kInitialSpeed);
        ::tcsetattr(d.slaveKeeper.get(), TCSANOW, &tio);
    }

    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        throwErrno("pipe");
    }
    d.wakeRead.reset(pipeFds[0]);
    d.wakeWrite.reset(pipeFds[1]);
    for (int fd : pipeFds) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }

    std::filesystem::create_directories(portsDir);
    const std::filesystem::path link = portsDir / ("COM" + std::to_string(comNumber));
    std::error_code ec;
    const auto status = std::filesystem::symlink_status(link, ec);
    if (!ec && std::filesystem::exists(status)) {
        if (!std::filesystem::is_symlink(status)) {
            throw std::runtime_error(link.string() + " exists and is not a link");
        }
        if (std::filesystem::exists(link, ec)) {
            throw std::runtime_error(link.string() + " is in use (it points to " +
                                     std::filesystem::read_symlink(link).string() + ")");
        }
        std::filesystem::remove(link);
    }
    std::filesystem::create_symlink(d.device, link);
    d.link = link;
    d.stopRequested = false;
    d.thread = std::thread([&d] { d.run(); });
    d.started = true;
}

void VirtualLine::stop() {
    if (!m_impl || !m_impl->started) {
        return;
    }
    Impl& d = *m_impl;
    d.stopRequested = true;
    const char wake = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(d.wakeWrite.get(), &wake, 1);
    if (d.thread.joinable()) {
        d.thread.join();
    }
    std::error_code ec;
    // Remove the link only while it is still ours: another line may have taken the name.
    if (std::filesystem::read_symlink(d.link, ec) == d.device && !ec) {
        std::filesystem::remove(d.link, ec);
    }
    d.slaveKeeper.reset();
    d.master.reset();
    d.wakeRead.reset();
    d.wakeWrite.reset();
    d.started = false;
}

bool VirtualLine::running() const {
    return m_impl && m_impl->started;
}

std::filesystem::path VirtualLine::devicePath() const {
    return m_impl->device;
}
std::filesystem::path VirtualLine::linkPath() const {
    return m_impl->link;
}

int VirtualLine::lineBaud() const {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->currentBaud();
}

void VirtualLine::setPacing(bool on) {
    std::lock_guard lock(m_impl->mutex);
    m_impl->pacing = on;
}

void VirtualLine::setTrafficSink(TrafficSink sink) {
    std::lock_guard lock(m_impl->mutex);
    m_impl->sink = std::move(sink);
}

const LineDescription& VirtualLine::description() const {
    return m_impl->description;
}

std::optional<ModuleSnapshot> VirtualLine::module(int address, bool jbus) const {
    std::lock_guard lock(m_impl->mutex);
    Module* m = m_impl->find(address, jbus);
    if (m == nullptr) {
        return std::nullopt;
    }
    ModuleSnapshot snap;
    m->snapshot(snap, Clock::now());
    return snap;
}

std::optional<ModuleSnapshot> VirtualLine::moduleAt(std::size_t index) const {
    std::lock_guard lock(m_impl->mutex);
    if (index >= m_impl->modules.size()) {
        return std::nullopt;
    }
    ModuleSnapshot snap;
    m_impl->modules[index]->snapshot(snap, Clock::now());
    return snap;
}

bool VirtualLine::setFault(int address, const FaultSetup& fault, bool jbus) {
    std::lock_guard lock(m_impl->mutex);
    Module* m = m_impl->find(address, jbus);
    if (m == nullptr) {
        return false;
    }
    m->setFault(fault);
    return true;
}

bool VirtualLine::setInputs(int address, std::uint32_t inputs, bool jbus) {
    std::lock_guard lock(m_impl->mutex);
    Module* m = m_impl->find(address, jbus);
    if (m == nullptr) {
        return false;
    }
    m->core().inputs = inputs;
    return true;
}

bool VirtualLine::setErrorCode(int address, int code, bool jbus) {
    std::lock_guard lock(m_impl->mutex);
    Module* m = m_impl->find(address, jbus);
    if (m == nullptr) {
        return false;
    }
    m->core().errorCode = code;
    return true;
}

std::vector<LogEntry> VirtualLine::log() const {
    std::lock_guard lock(m_impl->mutex);
    return {m_impl->log.begin(), m_impl->log.end()};
}

void VirtualLine::clearLog() {
    std::lock_guard lock(m_impl->mutex);
    m_impl->log.clear();
}

std::vector<std::string> VirtualLine::summary() const {
    std::lock_guard lock(m_impl->mutex);
    std::vector<std::string> lines;
    for (const auto& m : m_impl->modules) {
        const ModuleSetup& s = m->setup();
        std::string what;
        if (m->isJbus()) {
            what = "slave " + std::to_string(s.address) + " (" +
                   std::to_string(s.registers.size()) + " registers set)";
        } else {
            char type[16];
            std::snprintf(type, sizeof type, "0x%04X", static_cast<unsigned>(s.typeCode));
            std::string id = m->core().identity;
            if (id.size() > 40) {
                id = id.substr(0, 37) + "...";
            }
            what = std::string("type ") + type + "  identity \"" + id + "\"";
        }
        std::string faults;
        if (s.fault.kind != FaultKind::None) {
            faults += "  fault " + std::string(faultName(s.fault.kind));
        }
        if (s.fault.slowMs > 0) {
            faults += "  slow " + std::to_string(s.fault.slowMs) + " ms";
        }
        char buf[256];
        std::snprintf(buf, sizeof buf, "%-4s %-10s %-8s %6d baud  %s%s", m->wireAddress().c_str(),
                      std::string(familyName(s.family)).c_str(),
                      std::string(protocolName(s.protocol)).c_str(), s.baud, what.c_str(),
                      faults.c_str());
        lines.emplace_back(buf);
    }
    return lines;
}

} // namespace kvsim
