#include "axis.h"

#include <algorithm>
#include <cmath>

namespace kvsim {

namespace {
// Integration step; fine enough for positions read every few milliseconds.
constexpr double kStepSeconds = 0.001;
// A gap longer than this (nobody asked for a long time) is integrated in coarser steps.
constexpr int kMaxFineSteps = 20000;

double sign(double v) {
    return v < 0 ? -1.0 : 1.0;
}
} // namespace

void Axis::setProfile(const Profile& profile, Clock::time_point now) {
    update(now);
    m_profile = profile;
    m_profile.startSpeed = std::max(1.0, m_profile.startSpeed);
    m_profile.maxSpeed = std::max(m_profile.startSpeed, m_profile.maxSpeed);
}

double Axis::accel() const {
    const double span = m_profile.maxSpeed - m_profile.startSpeed;
    if (m_profile.accelMs <= 0.0 || span <= 0.0) {
        return 1e12;
    }
    return span / (m_profile.accelMs / 1000.0);
}

double Axis::decel() const {
    const double span = m_profile.maxSpeed - m_profile.startSpeed;
    if (m_profile.decelMs <= 0.0 || span <= 0.0) {
        return 1e12;
    }
    return span / (m_profile.decelMs / 1000.0);
}

void Axis::moveTo(long target, Clock::time_point now) {
    update(now);
    m_target = target;
    m_mode = Mode::Goto;
}

void Axis::moveBy(long distance, Clock::time_point now) {
    update(now);
    moveTo(position() + distance, now);
}

void Axis::run(double speed, Clock::time_point now) {
    update(now);
    m_runSpeed = std::clamp(speed, -m_profile.maxSpeed, m_profile.maxSpeed);
    m_mode = m_runSpeed == 0.0 ? Mode::Stopping : Mode::Run;
}

void Axis::quickStop(Clock::time_point now) {
    update(now);
    m_speed = 0.0;
    m_mode = Mode::Idle;
}

void Axis::decelStop(Clock::time_point now) {
    update(now);
    if (m_mode != Mode::Idle) {
        m_mode = Mode::Stopping;
    }
}

void Axis::setPosition(long position, Clock::time_point now) {
    update(now);
    m_position = static_cast<double>(position);
    if (m_mode == Mode::Goto) {
        m_speed = 0.0;
        m_mode = Mode::Idle;
    }
}

long Axis::position() const {
    return std::lround(m_position);
}

double Axis::profileSpeed() const {
    switch (m_mode) {
    case Mode::Run:
        return m_runSpeed;
    case Mode::Goto:
        return sign(static_cast<double>(m_target) - m_position) * m_profile.maxSpeed;
    default:
        return 0.0;
    }
}

void Axis::update(Clock::time_point now) {
    if (now <= m_last) {
        return;
    }
    double remaining = std::chrono::duration<double>(now - m_last).count();
    m_last = now;
    const double dt = std::max(kStepSeconds, remaining / static_cast<double>(kMaxFineSteps));
    while (remaining > 0.0 && m_mode != Mode::Idle) {
        const double h = std::min(dt, remaining);
        step(h);
        remaining -= h;
    }
}

void Axis::step(double dt) {
    const double vs = m_profile.startSpeed;
    const double vmax = m_profile.maxSpeed;
    switch (m_mode) {
    case Mode::Idle:
        return;
    case Mode::Stopping: {
        const double v = std::abs(m_speed) - decel() * dt;
        if (v <= vs) {
            m_position += m_speed * dt;
            m_speed = 0.0;
            m_mode = Mode::Idle;
            return;
        }
        m_speed = sign(m_speed) * v;
        break;
    }
    case Mode::Run: {
        const double want = m_runSpeed;
        if (m_speed == 0.0 || sign(m_speed) != sign(want)) {
            // A stepper starts at its start speed without a ramp; a reversal stops first.
            m_speed = std::abs(m_speed) <= vs ? sign(want) * std::min(vs, std::abs(want))
                                              : m_speed - sign(m_speed) * decel() * dt;
        } else if (std::abs(m_speed) < std::abs(want)) {
            m_speed = sign(want) * std::min(std::abs(want), std::abs(m_speed) + accel() * dt);
        } else if (std::abs(m_speed) > std::abs(want)) {
            m_speed = sign(want) * std::max(std::abs(want), std::abs(m_speed) - decel() * dt);
        }
        break;
    }
    case Mode::Goto: {
        const double d = static_cast<double>(m_target) - m_position;
        if (std::abs(d) < 0.5) {
            m_position = static_cast<double>(m_target);
            m_speed = 0.0;
            m_mode = Mode::Idle;
            return;
        }
        const double dir = sign(d);
        double v = std::abs(m_speed);
        if (m_speed != 0.0 && sign(m_speed) != dir) {
            v = v - decel() * dt;
            m_speed = v <= vs ? 0.0 : sign(m_speed) * v;
            break;
        }
        const double braking = v > vs ? (v * v - vs * vs) / (2.0 * decel()) : 0.0;
        if (std::abs(d) <= braking + v * dt) {
            v = std::max(vs, v - decel() * dt);
        } else {
            v = v < vs ? vs : std::min(vmax, v + accel() * dt);
        }
        m_speed = dir * v;
        const double next = m_position + m_speed * dt;
        // Arrival is decided here, not on the next step: a position within half a step of
        // the target would already read as the target while the axis still says it moves.
        const double left = static_cast<double>(m_target) - next;
        if (sign(left) != dir || std::abs(left) < 0.5) {
            m_position = static_cast<double>(m_target);
            m_speed = 0.0;
            m_mode = Mode::Idle;
            return;
        }
        m_position = next;
        return;
    }
    }
    m_position += m_speed * dt;
}

} // namespace kvsim
