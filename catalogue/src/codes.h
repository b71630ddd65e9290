// The numbers the catalogue speaks in: families, type codes, strategy kinds,
// command purposes and requests. Logic elsewhere uses these names only.
#pragma once

#include <cstddef>
#include <cstdint>

namespace modtyp {

// Families: bits 8-15 of a type code.
namespace family {
inline constexpr int kUnknown = 0x00;
inline constexpr int kTriloA = 0x01;  // KA types
inline constexpr int kTrilo40 = 0x02; // KB types, suffix " v40"
inline constexpr int kTrilo72 = 0x03; // KB types, suffix " v72"
inline constexpr int kTrilo80 = 0x04; // KB and KC types, suffix " v80"
inline constexpr int kMicroTrilo = 0x10;
inline constexpr int kVrx23 = 0x30;
inline constexpr int kVrx34 = 0x40;
inline constexpr int kVrx17 = 0x50;
inline constexpr int kDvrx = 0x60;
inline constexpr int kDefault = 0xFF;
} // namespace family

// Parts of a type code.
inline constexpr std::uint32_t kModelMask = 0xFFFF;
inline constexpr int kFamilyShift = 8;
inline constexpr int kVariantMask = 0xFF;
inline constexpr int kAssociatedBit = 0x80; // in the variant
inline constexpr int kOddBit = 0x01;        // selects strategies and "-P" variants
inline constexpr int kKcBit = 0x08;         // family 0x04 variants with a serial number
inline constexpr int kDvrxKindMask = 0xE0;  // family 0x60: which drive the variant is
inline constexpr int kVersionMajorShift = 24;
inline constexpr int kVersionMinorShift = 16;

// Family 0x60 drives (variant & kDvrxKindMask).
namespace dvrx {
inline constexpr int kDvrx17 = 0x20;
inline constexpr int kDvrx23 = 0x40;
inline constexpr int kDvrx34 = 0x60;
inline constexpr int kBvrx = 0x80;
} // namespace dvrx

// Type codes the catalogue names on its own.
namespace code {
inline constexpr std::int32_t kUnknown = 0x0000;
inline constexpr std::int32_t kGenericKa = 0x0100; // "ka?1"
inline constexpr std::int32_t kKa61 = 0x0180;
inline constexpr std::int32_t kKa01 = 0x0181;
inline constexpr std::int32_t kGenericKb = 0x0300; // "kb?1 v72"
inline constexpr std::int32_t kKb61 = 0x0380;
inline constexpr std::int32_t kKb41 = 0x0382;
inline constexpr std::int32_t kKb81 = 0x0383;
inline constexpr std::int32_t kRt01 = 0x1001;
inline constexpr std::int32_t kRt41 = 0x1002;
inline constexpr std::int32_t kRt64 = 0x1004;
inline constexpr std::int32_t kRt41H = 0x1082;
inline constexpr std::int32_t kV23 = 0x3001;
inline constexpr std::int32_t kV23H = 0x3002;
inline constexpr std::int32_t kV34 = 0x4001;
inline constexpr std::int32_t kV34H = 0x4002;
inline constexpr std::int32_t kUvrx17 = 0x5000;
inline constexpr std::int32_t kDvrx17 = 0x6020;
inline constexpr std::int32_t kDvrx17P = 0x6021;
inline constexpr std::int32_t kDvrx23 = 0x6040;
inline constexpr std::int32_t kDvrx23P = 0x6041;
inline constexpr std::int32_t kDvrx34 = 0x6060;
inline constexpr std::int32_t kDvrx34P = 0x6061;
inline constexpr std::int32_t kBvrx = 0x6080;
inline constexpr std::int32_t kBvrxP = 0x6081;
inline constexpr std::int32_t kDefault = 0xFF00; // what an undecodable identity gives
// Codes below this have no variable table of their own (families 0x00-0x04).
inline constexpr std::int32_t kFirstWithVariables = 0x0500;
} // namespace code

// Strategy kinds of RechercheStrategie.
namespace strategy {
inline constexpr int kResolution = 1;
inline constexpr int kCurrent = 2;
inline constexpr int kIndicators = 3;
inline constexpr int kGeneration = 4;
inline constexpr int kVariableCount = 5;
inline constexpr int kOutputMode = 6;
inline constexpr int kSpecificModes = 7;
inline constexpr int kSpeedMode = 8;
inline constexpr int kRamp = 9;
inline constexpr int kLineSettings = 10;
} // namespace strategy

// Purposes of FindCmde.
namespace purpose {
inline constexpr int kSetAddress = 1;
inline constexpr int kSetBaudRate = 2;
inline constexpr int kSetProtocol = 3;
inline constexpr int kReadVersion = 5;
inline constexpr int kReadError = 6;
inline constexpr int kClearError = 7;
inline constexpr int kReferenceName = 8;
} // namespace purpose

// Requests of GetInfo and CollectInfo.
inline constexpr std::int32_t kRequestVariableName = 257;
inline constexpr std::int32_t kRequestFamilyDefaults = 1;

// Buffer sizes the library writes into, NUL included.
inline constexpr std::size_t kNameSize = 12;
inline constexpr std::size_t kSerialSize = 16;
inline constexpr std::size_t kVariableNameSize = 16;
inline constexpr std::size_t kInfoSize = 29;
inline constexpr std::size_t kCommandSize = 255;
// How far an input text is read when its NUL does not come first.
inline constexpr std::size_t kMaxInputLength = 1024;

// Low 16 bits, family and variant of a type code.
constexpr int model(std::int32_t code) {
    return static_cast<int>(static_cast<std::uint32_t>(code) & kModelMask);
}
constexpr int familyOf(std::int32_t code) {
    return model(code) >> kFamilyShift;
}
constexpr int variantOf(std::int32_t code) {
    return model(code) & kVariantMask;
}

} // namespace modtyp
