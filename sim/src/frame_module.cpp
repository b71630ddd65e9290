#include "frame_module.h"

#include "text_util.h"

#include <cctype>
#include <cmath>

namespace kvsim {

namespace {

constexpr std::size_t kFrameDigits = 14;
constexpr unsigned kAllModules = 0xFF;
constexpr unsigned kMaxAddress = 0x7F;
constexpr unsigned kNegative = 0xF6;
// The speed-change frame carries this key in front of the new speed code, so that no
// stray frame changes a module's speed.
constexpr std::uint8_t kBaudKey[] = {0x00, 0x11, 0x22, 0x33};
constexpr int kBaudOfCode[] = {0, 9600, 19200, 38400};

// Scales of the two models' timers (the driver's conversions use the same figures).
struct Scales {
    double s1, s2, s3;
};
constexpr Scales kVrx23{10, 200, 120};
constexpr Scales kVrx34{50, 200, 120};

constexpr unsigned kIdentityBank = 0x29;
constexpr unsigned kSecondBank = 0x2A;
constexpr unsigned kMaxCurrentCell = 0x40;
constexpr std::size_t kBankSize = 64;
constexpr unsigned kVrx34MaxCurrent = 0xC8;

// Status word bits; bits 4-11 carry the inputs.
constexpr std::uint32_t kMoving = 1U << 0;
constexpr std::uint32_t kPower = 1U << 1;
constexpr std::uint32_t kError = 1U << 2;
constexpr std::uint32_t kStandby = 1U << 3;
constexpr unsigned kInputShift = 4;

// Error codes of the frame modules.
constexpr int kErrBadValue = 0x11;
constexpr int kErrPowerOff = 0x20;

bool allHex(std::string_view s) {
    for (char c : s) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

std::int32_t int32Of(const std::uint8_t* p) {
    const std::uint32_t v = (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
                            (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
    return static_cast<std::int32_t>(v);
}

unsigned word16(const std::uint8_t* p) {
    return (unsigned{p[0]} << 8) | unsigned{p[1]};
}

} // namespace

FrameModule::FrameModule(const ModuleSetup& setup)
    : KvModule(setup), m_identity(frameIdentity(setup)) {
    const Scales& s = setup.family == Family::Vrx34 ? kVrx34 : kVrx23;
    // The factory setting: start speed 100, high speed 2000, ramp 200 ms.
    m_startByte = static_cast<unsigned>(std::lround(1e6 / (s.s1 * s.s2 * 100.0)));
    m_highPeriod = static_cast<unsigned>(std::lround(8e6 / (s.s1 * 2000.0)));
    m_rampByte = static_cast<unsigned>(std::lround(200.0 / (m_highPeriod * s.s3 * 0.0005)));
    if (setup.family == Family::Vrx34) {
        m_maxCurrent = kVrx34MaxCurrent;
    }
    core().identity = m_identity.closing + ' ' + m_identity.memory;
    applyProfile(Clock::now());
}

std::string FrameModule::wireAddress() const {
    return text::format("%02X", static_cast<unsigned>(setup().address));
}

void FrameModule::snapshot(ModuleSnapshot& snap, Clock::time_point now) {
    Module::snapshot(snap, now);
    snap.parameters = {{"wl", m_startByte},   {"wh", m_highPeriod}, {"wt", m_rampByte},
                       {"gi", m_currentByte}, {"ms", m_standby},    {"mb", m_endSensors},
                       {"mz", m_zeroMode},    {"dg", m_sliding},    {"bp", m_bp},
                       {"bn", m_bn},          {"eb", m_brake},      {"ws", m_saved},
                       {"max", m_maxCurrent}};
}

KvModule::Target FrameModule::resolve(std::string_view text) const {
    Target t;
    if (text.size() < 2 || !allHex(text.substr(0, 2))) {
        return t;
    }
    const auto address = text::toHex(text.substr(0, 2));
    t.mine = address && *address == static_cast<unsigned long>(setup().address);
    t.everyone = address && *address == kAllModules;
    t.rest = text.substr(2);
    return t;
}

double FrameModule::speedOfPeriod(unsigned period) const {
    const Scales& s = setup().family == Family::Vrx34 ? kVrx34 : kVrx23;
    return period == 0 ? 0.0 : 8e6 / (s.s1 * period);
}

void FrameModule::applyProfile(Clock::time_point now) {
    const Scales& s = setup().family == Family::Vrx34 ? kVrx34 : kVrx23;
    Axis::Profile p;
    p.startSpeed = m_startByte == 0 ? 1.0 : 1e6 / (s.s1 * s.s2 * m_startByte);
    p.maxSpeed = speedOfPeriod(m_highPeriod);
    p.accelMs = m_rampByte * static_cast<double>(m_highPeriod) * s.s3 * 0.0005;
    p.decelMs = p.accelMs;
    core().axis.setProfile(p, now);
}

std::uint32_t FrameModule::statusWord(Clock::time_point now) {
    auto& c = core();
    c.axis.update(now);
    std::uint32_t w = (c.inputs & 0xFFU) << kInputShift;
    w |= c.axis.moving() ? kMoving : 0;
    w |= c.power ? kPower : 0;
    w |= c.errorCode != 0 ? kError : 0;
    w |= m_standby != 0 ? kStandby : 0;
    return w;
}

Answer FrameModule::reply(unsigned kind, const std::string& data) const {
    return Answer::reply(wireAddress() + text::format("%X", kind & 0xFU) + data);
}

Answer FrameModule::fail(int code) {
    core().errorCode = code;
    return Answer::notExecuted();
}

Answer FrameModule::execute(std::string_view rest, Clock::time_point now) {
    // Frames only: anything else addressed to this module is refused.
    if (rest.size() != kFrameDigits - 2 || !allHex(rest)) {
        return Answer::rejected();
    }
    const auto function = static_cast<unsigned>(*text::toHex(rest.substr(0, 2)));
    Data d{};
    for (std::size_t i = 0; i < d.size(); ++i) {
        d[i] = static_cast<std::uint8_t>(*text::toHex(rest.substr(2 + 2 * i, 2)));
    }
    return function >= 0x20 ? read(function, d, now) : write(function, d, now);
}

Answer FrameModule::write(unsigned function, const Data& d, Clock::time_point now) {
    auto& c = core();
    const auto motionAllowed = [&] { return c.power; };
    switch (function) {
    case 0x00: // reset
    case 0x01: // reset with the position set to zero
        c.axis.quickStop(now);
        c.errorCode = 0;
        if (function == 0x01) {
            c.axis.setPosition(0, now);
        }
        return Answer::done();
    case 0x02:
        m_standby = d[4] & 1U;
        return Answer::done();
    case 0x03:
        if (d[4] > 9) {
            return fail(kErrBadValue);
        }
        m_endSensors = d[4];
        return Answer::done();
    case 0x07:
        m_zeroMode = d[4] & 1U;
        return Answer::done();
    case 0x08:
        if (d[4] > kMaxAddress) {
            return fail(kErrBadValue);
        }
        m_newAddress = d[4];
        return Answer::done();
    case 0x09:
        m_bp = int32Of(&d[1]);
        return Answer::done();
    case 0x0A:
        m_bn = int32Of(&d[1]);
        return Answer::done();
    case 0x0B:
        c.axis.setPosition(0, now);
        return Answer::done();
    case 0x0C:
        m_currentByte = d[4];
        return Answer::done();
    case 0x0D:
        if (word16(&d[3]) == 0) {
            return fail(kErrBadValue);
        }
        m_highPeriod = word16(&d[3]);
        applyProfile(now);
        return Answer::done();
    case 0x0E:
        if (d[3] == 0) {
            return fail(kErrBadValue);
        }
        m_startByte = d[3];
        applyProfile(now);
        return Answer::done();
    case 0x0F:
        m_rampByte = d[4];
        applyProfile(now);
        return Answer::done();
    case 0x10:
        m_saved = true;
        return Answer::done();
    case 0x11: // synchronisation of all modules: nothing of its own to do here
        return Answer::done();
    case 0x13:
        if (!motionAllowed()) {
            return fail(kErrPowerOff);
        }
        c.axis.moveTo(int32Of(&d[1]), now);
        return Answer::done();
    case 0x14:
        if (!motionAllowed()) {
            return fail(kErrPowerOff);
        }
        c.axis.moveTo(0, now);
        return Answer::done();
    case 0x15: {
        if (!motionAllowed()) {
            return fail(kErrPowerOff);
        }
        const double v = speedOfPeriod(word16(&d[3]));
        c.axis.run(d[2] == kNegative ? -v : v, now);
        return Answer::done();
    }
    case 0x16: {
        // A move by t steps at the speed of the period.
        if (!motionAllowed()) {
            return fail(kErrPowerOff);
        }
        const auto t = static_cast<std::int16_t>(word16(&d[1]));
        c.axis.moveBy(t, now);
        return Answer::done();
    }
    case 0x17:
        c.axis.decelStop(now);
        return Answer::done();
    case 0x18:
        c.axis.quickStop(now);
        return Answer::done();
    case 0x19:
        c.power = true;
        return Answer::done();
    case 0x1A:
        c.axis.quickStop(now);
        c.power = false;
        return Answer::done();
    case 0x1B: {
        const bool keyed = std::equal(std::begin(kBaudKey), std::end(kBaudKey), d.begin());
        if (!keyed || d[4] < 1 || d[4] > 3) {
            return fail(kErrBadValue);
        }
        m_newBaud = kBaudOfCode[d[4]];
        return Answer::done();
    }
    case 0x1C:
        m_sliding = d[4];
        return Answer::done();
    case 0x1D:
        m_brake = true;
        return Answer::done();
    default:
        return Answer::rejected();
    }
}

Answer FrameModule::read(unsigned function, const Data& d, Clock::time_point now) {
    auto& c = core();
    const unsigned kind = function - 0x20;
    switch (function) {
    case 0x20:
        c.axis.update(now);
        return reply(kind, text::format("%08X", static_cast<std::uint32_t>(c.axis.position())));
    case 0x21: {
        // Reading the error report clears it.
        const int code = c.errorCode;
        c.errorCode = 0;
        return reply(kind, text::format("%08X", static_cast<unsigned>(code)));
    }
    case 0x22:
        return reply(kind, text::format("%08X", static_cast<std::uint32_t>(m_bp)));
    case 0x23:
        return reply(kind, text::format("%08X", static_cast<std::uint32_t>(m_bn)));
    case 0x24:
        return reply(kind, m_identity.closing);
    case 0x25:
        return reply(kind, text::format("%02X00%04X", m_startByte & 0xFFU, m_highPeriod & 0xFFFFU));
    case 0x26:
        return reply(kind,
                     text::format("%02X%02X%1u%1u%02X", m_rampByte & 0xFFU, m_currentByte & 0xFFU,
                                  m_standby, m_endSensors, m_sliding & 0xFFU));
    case 0x27:
        return reply(kind, text::format("%08X", statusWord(now)));
    case kIdentityBank:
    case kSecondBank: {
        const bool second = function == kSecondBank;
        if (second && setup().family != Family::Vrx34) {
            return Answer::rejected();
        }
        if (second && d[0] == kMaxCurrentCell) {
            return reply(kind, text::format("%02X000000", m_maxCurrent));
        }
        const std::size_t offset = d[0] + (second ? kBankSize : 0);
        std::string data;
        for (std::size_t i = 0; i < 4; ++i) {
            const std::size_t at = offset + i;
            const auto ch = static_cast<unsigned char>(
                d[0] + i < kBankSize && at < m_identity.memory.size() ? m_identity.memory[at]
                                                                      : 0xFF);
            data += text::format("%02X", ch);
        }
        return reply(kind, data);
    }
    case 0x2B: {
        c.axis.update(now);
        return reply(kind,
                     text::format("%08X", static_cast<std::uint32_t>(static_cast<std::int32_t>(
                                              std::lround(c.axis.speed())))));
    }
    default:
        return Answer::rejected();
    }
}

} // namespace kvsim
