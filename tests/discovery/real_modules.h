// Identity replies of real module types as the driver hands them over (address digits first),
// with what the catalogue decodes them to. The tests build lines and projects from these.
#pragma once

#include <cstdint>

namespace tamsel::discovery::testing {

struct RealModule {
    const char* reply;
    int32_t code;
    const char* typeName;
    const char* serial;
    const char* target;
};

inline constexpr RealModule kTriloKb01{"03V 50 65029", 0x0205, "KB01 v40", "", "TRILO"};
inline constexpr RealModule kTriloGenericKa{"00V 25 65535", 0x0100, "ka?1", "", "TRILO"};
inline constexpr RealModule kTriloGenericKb{"00V 75 65024", 0x0300, "kb?1 v72", "", "TRILO"};
inline constexpr RealModule kTriloKc61{"05V 85 65096 _KORVEL_Serie042_", 0x0408, "KC61 v80", "042",
                                       "TRILO"};
inline constexpr RealModule kTriloKc61Other{"05V 85 65096 _KORVEL_Serie043_", 0x0408, "KC61 v80",
                                            "043", "TRILO"};
inline constexpr RealModule kTriloKc01{"05V 85 65097 _KORVEL_Serie042_", 0x0409, "KC01 v80", "042",
                                       "TRILO"};
inline constexpr RealModule kVrx23{"07ev P461.069 VRX23 rev 1.05 _KORVEL_Serie07_", 0x3001, "V23",
                                   "07", "VRX23"};
inline constexpr RealModule kVrx34{"09ev R475.069 VRX34 rev 1.05 _KORVEL_Serie11_", 0x4002, "V34_H",
                                   "11", "VRX34"};
inline constexpr RealModule kDvrx{"12HW-2471.069 DVRX rev 1.05 _KORVEL_Serie01_", 0x01056020,
                                  "DVrx17", "01", "DVRX"};
inline constexpr RealModule kVrx17{"20HW-2403.069 VRX17 rev 1.05 _KORVEL_Serie77_", 0x01055000,
                                   "uVRX17", "77", "VRX17"};
inline constexpr RealModule kMicroTrilo{"30HW-R480.069 MICROTRILO rev 1.05 _K_", 0x1082, "RT41_H",
                                        "", "MICROTRILO"};
/// A reply the catalogue cannot decode: its fallback type.
inline constexpr RealModule kGarbage{"HELLO WORLD", 0xFF00, "DEFAULT", "", "DEFAULT"};

} // namespace tamsel::discovery::testing
