// The fixed texts of the configuration window and the Search choices, as the user reads them.
#pragma once

#include <array>
#include <vector>

namespace tamsel::discovery {

/// The Search target list; an entry's value is its position from 1.
inline constexpr std::array<const char*, 4> kSearchTargets{"DVRX MICROTRILO ", "TRILO", "VRX23",
                                                           "VRX34"};
inline constexpr int kSearchDvrxMicroTrilo = 1;
inline constexpr int kSearchTrilo = 2;
/// The first Search entry names two families; the probes speak as the second.
inline constexpr const char* kFirstSearchTarget = "MICROTRILO";

/// The Search baud list of a Search target value.
inline std::vector<const char*> searchBauds(int value) {
    switch (value) {
    case kSearchDvrxMicroTrilo:
        return {"38400", "115200", "19200", "9600"};
    case kSearchTrilo:
        return {"9600", "4800", "38400", "115200"};
    default:
        return {"38400", "19200", "9600"};
    }
}

inline constexpr const char* kNoConfigurationLine =
    "No configuration : you must scan in Automatic for setting ";
inline constexpr const char* kNoModuleTitle = "Try another configuration ";
inline constexpr const char* kNoModuleText = "no module founded ";
inline constexpr const char* kCloseTitle = "CONFIGURATION WARNING";
inline constexpr const char* kStopFirstText =
    "You must Stop Scanning\nbefore Closing the Dialog BOX";
inline constexpr const char* kEmptyConfigurationText =
    "No configuration will be saved .\nTamsel2 will be a limited version";
inline constexpr const char* kLastConfigurationFormat = "  Last configuration : %1 , %2 , %3";

} // namespace tamsel::discovery
