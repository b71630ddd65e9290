// The numbers of the configuration window: its dialog, its controls, its display states and
// the help contexts it asks for. Every number the window acts on is named here once.
#pragma once

#include <cstdint>

namespace tamsel::discovery {

inline constexpr std::uint16_t kConfigDialog = 1050;

/// Control identifiers of dialog 1050; each control carries its number as object name.
namespace ctl {
inline constexpr int kAccept = 1;
inline constexpr int kSearchWithBaud = 101;
inline constexpr int kSearchOnlyXon = 102;
inline constexpr int kSearchBaud = 103;
inline constexpr int kSearchTarget = 104;
inline constexpr int kLastConfiguration = 600;
inline constexpr int kScanControl = 1050;
inline constexpr int kStart = 1052;
inline constexpr int kHelp = 1053;
inline constexpr int kAutomatic = 1054;
inline constexpr int kChecking = 1056;
inline constexpr int kSearch = 1058;
inline constexpr int kFullDebug = 1060;
inline constexpr int kPort = 1062;
inline constexpr int kBaud = 1063;
inline constexpr int kProtocol = 1064;
inline constexpr int kTarget = 1065;
inline constexpr int kGaugeText = 1068;
inline constexpr int kCount = 1069;
inline constexpr int kLabels = 1070;
inline constexpr int kMessage = 1071;
inline constexpr int kModuleList = 5555;
} // namespace ctl

/// Object names of the controls that have no number of their own.
inline constexpr const char* kGaugeName = "gauge";
inline constexpr const char* kRemainingName = "remaining";

/// Display states, applied by the idle handler.
namespace display {
inline constexpr std::int32_t kNone = 0;
inline constexpr std::int32_t kUnconfigured = 0x01;
inline constexpr std::int32_t kConfigured = 0x10;
inline constexpr std::int32_t kScanning = 0x20;
inline constexpr std::int32_t kScanDone = 0x31;
inline constexpr std::int32_t kDebugDone = 0x34;
inline constexpr std::int32_t kRescan = 0x50;
} // namespace display

namespace help_context {
inline constexpr std::int32_t kWindow = 1050;
inline constexpr std::int32_t kEmptyConfiguration = 1057;
} // namespace help_context

} // namespace tamsel::discovery

namespace tamsel::discovery {
/// The control field of a help request that asks for a topic by its context number.
inline constexpr std::int32_t kHelpTopicRequest = 9;
} // namespace tamsel::discovery
