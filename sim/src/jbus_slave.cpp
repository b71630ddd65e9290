#include "jbus_slave.h"

#include "text_util.h"

#include <algorithm>

namespace kvsim {

namespace {

constexpr std::uint8_t kReadRegisters = 0x03;
constexpr std::uint8_t kWriteRegisters = 0x10;
constexpr std::uint8_t kExceptionBit = 0x80;
constexpr std::uint8_t kIllegalFunction = 0x01;
constexpr std::uint8_t kIllegalAddress = 0x02;
constexpr std::uint8_t kIllegalValue = 0x03;
constexpr std::uint8_t kDeviceFailure = 0x04;
constexpr std::uint8_t kDeviceBusy = 0x06;
constexpr std::uint8_t kBroadcast = 0x00;
constexpr unsigned kMaxReadCount = 125;
constexpr unsigned kMaxWriteCount = 123;
constexpr std::size_t kMaxRequest = 256;
// A request ends when the line has been silent this long. A pseudo-terminal delivers a
// request in one piece, so the usual 3.5 character times would do; the margin keeps a
// request that arrives in two pieces whole.
constexpr auto kSilence = std::chrono::milliseconds(15);
// The short-answer fault cuts the answer to this many bytes.
constexpr std::size_t kShortAnswer = 3;
constexpr std::size_t kLongAnswerExtra = 210;

void put16(std::vector<std::uint8_t>& v, unsigned x) {
    v.push_back(static_cast<std::uint8_t>(x >> 8));
    v.push_back(static_cast<std::uint8_t>(x & 0xFF));
}

unsigned get16(const std::vector<std::uint8_t>& v, std::size_t at) {
    return (unsigned{v[at]} << 8) | unsigned{v[at + 1]};
}

void appendCrc(std::vector<std::uint8_t>& v) {
    const std::uint16_t crc = jbusCrc(v);
    v.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    v.push_back(static_cast<std::uint8_t>(crc >> 8));
}

} // namespace

std::uint16_t jbusCrc(std::span<const std::uint8_t> bytes) {
    std::uint16_t crc = 0xFFFF;
    for (std::uint8_t b : bytes) {
        crc ^= b;
        for (int bit = 0; bit < 8; ++bit) {
            const bool low = (crc & 1U) != 0;
            crc = static_cast<std::uint16_t>(crc >> 1);
            if (low) {
                crc ^= 0xA001;
            }
        }
    }
    return crc;
}

JbusSlave::JbusSlave(const ModuleSetup& setup) : Module(setup) {
    core().registers = setup.registers;
}

std::string JbusSlave::wireAddress() const {
    return text::format("J%d", setup().address);
}

void JbusSlave::receive(std::span<const std::uint8_t> bytes, Clock::time_point now,
                        std::vector<Transmission>&) {
    m_buffer.insert(m_buffer.end(), bytes.begin(), bytes.end());
    if (m_buffer.size() > kMaxRequest) {
        // Far longer than any request: noise; keep only the tail.
        m_buffer.erase(m_buffer.begin(), m_buffer.end() - kMaxRequest);
    }
    m_lastByte = now;
}

std::optional<Clock::time_point> JbusSlave::deadline() const {
    if (!m_lastByte) {
        return std::nullopt;
    }
    return *m_lastByte + kSilence;
}

std::vector<std::uint8_t> JbusSlave::exception(std::uint8_t function, std::uint8_t code) const {
    std::vector<std::uint8_t> a{static_cast<std::uint8_t>(setup().address),
                                static_cast<std::uint8_t>(function | kExceptionBit), code};
    appendCrc(a);
    return a;
}

// @p q is the request without its CRC.
std::vector<std::uint8_t> JbusSlave::answer(const std::vector<std::uint8_t>& q) {
    auto& regs = core().registers;
    const std::uint8_t function = q[1];
    if (function == kReadRegisters) {
        if (q.size() != 6) {
            return exception(function, kIllegalValue);
        }
        const unsigned first = get16(q, 2);
        const unsigned count = get16(q, 4);
        if (count == 0 || count > kMaxReadCount) {
            return exception(function, kIllegalValue);
        }
        if (first + count > 0x10000U) {
            return exception(function, kIllegalAddress);
        }
        std::vector<std::uint8_t> a{q[0], function, static_cast<std::uint8_t>(2 * count)};
        for (unsigned r = first; r < first + count; ++r) {
            const auto it = regs.find(static_cast<int>(r));
            put16(a, it == regs.end() ? 0U : it->second);
        }
        appendCrc(a);
        return a;
    }
    if (function == kWriteRegisters) {
        if (q.size() < 7) {
            return exception(function, kIllegalValue);
        }
        const unsigned first = get16(q, 2);
        const unsigned count = get16(q, 4);
        const unsigned byteCount = q[6];
        if (count == 0 || count > kMaxWriteCount || byteCount != 2 * count ||
            q.size() != 7 + byteCount) {
            return exception(function, kIllegalValue);
        }
        if (first + count > 0x10000U) {
            return exception(function, kIllegalAddress);
        }
        for (unsigned i = 0; i < count; ++i) {
            regs[static_cast<int>(first + i)] = static_cast<std::uint16_t>(get16(q, 7 + 2 * i));
        }
        std::vector<std::uint8_t> a(q.begin(), q.begin() + 6);
        appendCrc(a);
        return a;
    }
    return exception(function, kIllegalFunction);
}

void JbusSlave::expire(Clock::time_point, std::vector<Transmission>& out) {
    std::vector<std::uint8_t> q;
    q.swap(m_buffer);
    m_lastByte.reset();
    if (q.size() < 4) {
        return;
    }
    const std::uint16_t crc = jbusCrc(std::span(q.data(), q.size() - 2));
    const bool crcOk = q[q.size() - 2] == (crc & 0xFF) && q[q.size() - 1] == (crc >> 8);
    // A slave keeps quiet on a damaged request: it cannot know whom it was for.
    if (!crcOk || (q[0] != setup().address && q[0] != kBroadcast)) {
        return;
    }
    q.resize(q.size() - 2);
    ++core().commandsHeard;
    const FaultKind fault = takeFault();
    if (fault == FaultKind::Silent) {
        return;
    }
    std::vector<std::uint8_t> a;
    if (fault == FaultKind::Nak) {
        a = exception(q[1], kDeviceFailure);
    } else if (fault == FaultKind::Bel || fault == FaultKind::Can) {
        a = exception(q[1], kDeviceBusy);
    } else {
        a = answer(q);
    }
    if (q[0] == kBroadcast) {
        // Broadcast writes are carried out and never answered.
        return;
    }
    switch (fault) {
    case FaultKind::BadChecksum:
        a.back() ^= 0x5A;
        break;
    case FaultKind::BadLength:
        a.resize(std::min(a.size(), kShortAnswer));
        break;
    case FaultKind::LongReply:
        a.insert(a.end(), kLongAnswerExtra, 0x00);
        break;
    case FaultKind::Garbage: {
        // Bytes in front of the answer that are never the slave's own address, as the
        // master drops everything before it.
        std::vector<std::uint8_t> g;
        for (int i = 0; static_cast<int>(g.size()) < setup().fault.garbageBytes; ++i) {
            const auto b = static_cast<std::uint8_t>(0xE5 + i * 7);
            if (b != setup().address) {
                g.push_back(b);
            }
        }
        a.insert(a.begin(), g.begin(), g.end());
        break;
    }
    default:
        break;
    }
    Transmission t;
    t.bytes = std::move(a);
    t.slowMs = setup().fault.slowMs;
    t.address = setup().address;
    out.push_back(std::move(t));
}

} // namespace kvsim
