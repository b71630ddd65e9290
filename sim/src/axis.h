#pragma once
// Motion of one emulated axis: a start speed reached at once, then linear ramps up to the
// maximum speed and down again, so that a monitoring window sees a plausible movement.

#include <chrono>
#include <optional>

namespace kvsim {

using Clock = std::chrono::steady_clock;

class Axis {
  public:
    struct Profile {
        double startSpeed = 100.0; ///< steps/s, reached without ramp
        double maxSpeed = 2000.0;  ///< steps/s
        double accelMs = 200.0;    ///< time from start speed to maximum speed
        double decelMs = 200.0;    ///< time from maximum speed down to start speed
    };

    explicit Axis(Clock::time_point now = Clock::now()) : m_last(now) {}

    void setProfile(const Profile& profile, Clock::time_point now);
    const Profile& profile() const { return m_profile; }

    void moveTo(long target, Clock::time_point now);
    void moveBy(long distance, Clock::time_point now);
    /// Runs continuously at @p speed steps/s (sign = direction), capped at the maximum speed.
    void run(double speed, Clock::time_point now);
    /// Stops at once, without ramp.
    void quickStop(Clock::time_point now);
    /// Ramps down to a stop.
    void decelStop(Clock::time_point now);
    void setPosition(long position, Clock::time_point now);

    /// Brings the motion up to @p now.
    void update(Clock::time_point now);

    long position() const;
    double exactPosition() const { return m_position; }
    double speed() const { return m_speed; }
    bool moving() const { return m_mode != Mode::Idle; }
    /// Speed the axis is heading for (continuous runs) or its cruising speed (moves).
    double profileSpeed() const;

  private:
    enum class Mode { Idle, Run, Goto, Stopping };
    void step(double dt);
    double accel() const;
    double decel() const;

    Profile m_profile;
    Mode m_mode = Mode::Idle;
    double m_position = 0.0;
    double m_speed = 0.0;
    double m_runSpeed = 0.0;
    long m_target = 0;
    Clock::time_point m_last;
};

} // namespace kvsim
