#pragma once
// A JBUS slave: Modbus RTU framing, a request ends with the line's silence, holding
// registers read with function 3 and written with function 16.

#include "module.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace kvsim {

class JbusSlave : public Module {
  public:
    explicit JbusSlave(const ModuleSetup& setup);

    void receive(std::span<const std::uint8_t> bytes, Clock::time_point now,
                 std::vector<Transmission>& out) override;
    std::optional<Clock::time_point> deadline() const override;
    void expire(Clock::time_point now, std::vector<Transmission>& out) override;
    std::string wireAddress() const override;

  private:
    std::vector<std::uint8_t> answer(const std::vector<std::uint8_t>& request);
    std::vector<std::uint8_t> exception(std::uint8_t function, std::uint8_t code) const;

    std::vector<std::uint8_t> m_buffer;
    std::optional<Clock::time_point> m_lastByte;
};

/// Modbus CRC-16 of @p bytes (initial 0xFFFF, reflected polynomial 0xA001).
std::uint16_t jbusCrc(std::span<const std::uint8_t> bytes);

} // namespace kvsim
