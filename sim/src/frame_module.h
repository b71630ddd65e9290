#pragma once
// VRX23 and VRX34 modules: fixed seven-byte frames written as fourteen hexadecimal digits
// (address, function, five data bytes), carried in the KV framing of the XON mode and
// answered with eleven characters (address, kind, eight data characters).

#include "identity.h"
#include "kv_module.h"

#include <array>
#include <cstdint>

namespace kvsim {

class FrameModule : public KvModule {
  public:
    explicit FrameModule(const ModuleSetup& setup);

    std::string wireAddress() const override;
    void snapshot(ModuleSnapshot& snap, Clock::time_point now) override;

  protected:
    Target resolve(std::string_view text) const override;
    Answer execute(std::string_view rest, Clock::time_point now) override;

  private:
    using Data = std::array<std::uint8_t, 5>;
    Answer write(unsigned function, const Data& d, Clock::time_point now);
    Answer read(unsigned function, const Data& d, Clock::time_point now);
    Answer reply(unsigned kind, const std::string& data) const;
    Answer fail(int code);
    void applyProfile(Clock::time_point now);
    double speedOfPeriod(unsigned period) const;
    std::uint32_t statusWord(Clock::time_point now);

    FrameIdentity m_identity;
    // The module's settings as its frames carry them (the driver converts to and from
    // user units on its side).
    unsigned m_startByte = 5;      // function 0x0E
    unsigned m_highPeriod = 400;   // function 0x0D
    unsigned m_rampByte = 17;      // function 0x0F
    unsigned m_currentByte = 0x40; // function 0x0C
    unsigned m_maxCurrent = 0xFF;  // memory cell 0x2A40 of a VRX34
    unsigned m_standby = 0;        // function 0x02
    unsigned m_endSensors = 0;     // function 0x03: 0, 1, 8 or 9
    unsigned m_zeroMode = 0;       // function 0x07
    unsigned m_sliding = 0;        // function 0x1C
    std::int32_t m_bp = 0;         // function 0x09
    std::int32_t m_bn = 0;         // function 0x0A
    bool m_brake = false;          // function 0x1D
    bool m_saved = false;          // function 0x10
};

} // namespace kvsim
