#include "defaults.h"

#include "codes.h"

#include <cstring>
#include <limits>

namespace modtyp {
namespace {

// The program's records are packed: the 32-bit fields sit at odd offsets.
void put32(unsigned char* record, std::size_t offset, std::int32_t value) {
    std::memcpy(record + offset, &value, sizeof value);
}
void put8(unsigned char* record, std::size_t offset, std::uint8_t value) {
    record[offset] = value;
}

// V23/V34 settings record.
namespace frame {
constexpr std::size_t kVariant = 56;
constexpr std::size_t kTorqueKnown = 60;
constexpr std::size_t kEndMinimum = 61;
constexpr std::size_t kEndMaximum = 65;
constexpr std::size_t kAdjustMinimum = 69;
constexpr std::size_t kAdjustMaximum = 73;
constexpr std::size_t kMaximumTorque = 77;
constexpr std::size_t kSpeedMinimum = 81;
constexpr std::size_t kSpeedMaximum = 85;
constexpr std::size_t kRampMinimum = 89;
constexpr std::size_t kRampMaximum = 93;

constexpr int kStandardVariant = 1;
constexpr int kHighVariant = 2; // the "_H" types
constexpr std::int32_t kStandardEnd = 1 << 30;
constexpr std::int32_t kHighEnd = 1 << 29;

// A V23 has a fixed maximum torque; a V34 must be asked for its own.
struct Limits {
    std::uint8_t torqueKnown;
    std::int32_t adjustMinimum;
    std::int32_t adjustMaximum;
    std::int32_t maximumTorque;
};
constexpr Limits kVrx23{1, 6, 1500, 1400};
constexpr Limits kVrx34{0, 2, 300, 6000};
constexpr std::int32_t kSpeedMin = 1;
constexpr std::int32_t kSpeedMax = 9999;
constexpr std::int32_t kRampMin = 39;
constexpr std::int32_t kRampMax = 45000;
} // namespace frame

// VRX17/DVRX motion record.
namespace motion {
constexpr std::size_t kResolution = 75;
constexpr std::size_t kEndMinimum = 79;
constexpr std::size_t kEndMaximum = 83;
constexpr std::size_t kSpeedMinimum = 87;
constexpr std::size_t kSpeedMaximum = 91;
constexpr std::size_t kTimeMinimum = 95;
constexpr std::size_t kTimeMaximum = 99;

struct Limits {
    std::int32_t resolution;
    std::int32_t speedMaximum;
    std::int32_t timeMinimum;
    std::int32_t timeMaximum;
};
constexpr Limits kVrx17{16, 120000, 2, 65000};
constexpr Limits kDvrx{1, 400000, 0, 12000};
constexpr std::int32_t kSpeedMin = 0;
} // namespace motion

void writeFrame(const frame::Limits& limits, int variant, unsigned char* record) {
    int recordVariant = 0;
    if (variant == frame::kStandardVariant) {
        recordVariant = frame::kStandardVariant;
        put32(record, frame::kEndMinimum, -frame::kStandardEnd);
        put32(record, frame::kEndMaximum, frame::kStandardEnd - 1);
    } else if (variant == frame::kHighVariant) {
        recordVariant = frame::kHighVariant;
        put32(record, frame::kEndMinimum, -frame::kHighEnd);
        put32(record, frame::kEndMaximum, frame::kHighEnd - 1);
    }
    put32(record, frame::kVariant, recordVariant);
    put8(record, frame::kTorqueKnown, limits.torqueKnown);
    put32(record, frame::kAdjustMinimum, limits.adjustMinimum);
    put32(record, frame::kAdjustMaximum, limits.adjustMaximum);
    put32(record, frame::kMaximumTorque, limits.maximumTorque);
    put32(record, frame::kSpeedMinimum, frame::kSpeedMin);
    put32(record, frame::kSpeedMaximum, frame::kSpeedMax);
    put32(record, frame::kRampMinimum, frame::kRampMin);
    put32(record, frame::kRampMaximum, frame::kRampMax);
}

void writeMotion(const motion::Limits& limits, unsigned char* record) {
    put32(record, motion::kResolution, limits.resolution);
    put32(record, motion::kEndMinimum, std::numeric_limits<std::int32_t>::min());
    put32(record, motion::kEndMaximum, std::numeric_limits<std::int32_t>::max());
    put32(record, motion::kSpeedMinimum, motion::kSpeedMin);
    put32(record, motion::kSpeedMaximum, limits.speedMaximum);
    put32(record, motion::kTimeMinimum, limits.timeMinimum);
    put32(record, motion::kTimeMaximum, limits.timeMaximum);
}

} // namespace

void writeFamilyDefaults(std::int32_t code, unsigned char* record) noexcept {
    switch (familyOf(code)) {
    case family::kVrx23:
        writeFrame(frame::kVrx23, variantOf(code), record);
        break;
    case family::kVrx34:
        writeFrame(frame::kVrx34, variantOf(code), record);
        break;
    case family::kVrx17:
        writeMotion(motion::kVrx17, record);
        break;
    case family::kDvrx:
        writeMotion(motion::kDvrx, record);
        break;
    default:
        break;
    }
}

} // namespace modtyp
