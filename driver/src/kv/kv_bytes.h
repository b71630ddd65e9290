// Control bytes of the KV framing and its acknowledgements.
#pragma once

#include <cstdint>

namespace linkor::kv {

constexpr uint8_t kNul = 0x00;
constexpr uint8_t kStx = 0x02;
constexpr uint8_t kEtx = 0x03;
constexpr uint8_t kAck = 0x06;
constexpr uint8_t kBel = 0x07;
constexpr uint8_t kTab = 0x09;
constexpr uint8_t kLf = 0x0A;
constexpr uint8_t kCr = 0x0D;
constexpr uint8_t kXoff = 0x13;
constexpr uint8_t kNak = 0x15;
constexpr uint8_t kEtb = 0x17;
constexpr uint8_t kCan = 0x18;
constexpr uint8_t kSub = 0x1A;
constexpr uint8_t kEsc = 0x1B;
constexpr uint8_t kBlank = 0x20;
constexpr uint8_t kStatusBit = 0x80;

} // namespace linkor::kv
