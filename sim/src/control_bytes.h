#pragma once
// Control characters of the modules' framed and console modes.

#include <cstdint>

namespace kvsim::ctl {

inline constexpr std::uint8_t kNul = 0x00;
inline constexpr std::uint8_t kStx = 0x02;
inline constexpr std::uint8_t kEtx = 0x03;
inline constexpr std::uint8_t kAck = 0x06;
inline constexpr std::uint8_t kBel = 0x07;
inline constexpr std::uint8_t kLf = 0x0A;
inline constexpr std::uint8_t kCr = 0x0D;
inline constexpr std::uint8_t kSo = 0x0E;
inline constexpr std::uint8_t kSi = 0x0F;
inline constexpr std::uint8_t kXoff = 0x13;
inline constexpr std::uint8_t kNak = 0x15;
inline constexpr std::uint8_t kEtb = 0x17;
inline constexpr std::uint8_t kCan = 0x18;
inline constexpr std::uint8_t kSub = 0x1A;
inline constexpr std::uint8_t kBlank = 0x20;
/// Console prompt a module prints when it is ready for the next command.
inline constexpr std::uint8_t kPrompt = '>';

} // namespace kvsim::ctl
