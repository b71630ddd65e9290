// The numbers that travel inside the records: request kinds and sub-kinds, poll modes,
// status-record flags, free-text and command-file modes, probe steps, coded commands and
// the sizes of the records' text buffers.
#pragma once

#include <cstdint>

namespace tamsel::contract {

// Request kinds.
inline constexpr std::int32_t kKindStatus = 0x01;
inline constexpr std::int32_t kKindParameters = 0x02;
inline constexpr std::int32_t kKindV2334Write = 0x10;
inline constexpr std::int32_t kKindSpecificGroup = 0x20;
inline constexpr std::int32_t kKindPowerOnFunction = 0x21;
inline constexpr std::int32_t kKindEndSensorCell = 0x22;
inline constexpr std::int32_t kKindSlidingShort = 0x23;
inline constexpr std::int32_t kKindSpecificLabelled = 0x24;
inline constexpr std::int32_t kKindAutoOutput = 0x25;
inline constexpr std::int32_t kKindVariableWrite = 0x40;
inline constexpr std::int32_t kKindV2334Read = 0x52;
inline constexpr std::int32_t kKindMotionRead = 0x53;
inline constexpr std::int32_t kKindMotionWrite = 0x80;
inline constexpr std::int32_t kKindVariable = 0x81;      ///< what kinds 0x100 + n are read as
inline constexpr std::int32_t kKindVariableBase = 0x100; ///< + n: module variable n (1-255)
inline constexpr std::int32_t kKindVariableLast = 0x1FF;

// Sub-kinds of the kind-0x80 motion writes.
inline constexpr std::int32_t kMotionMove = 1;
inline constexpr std::int32_t kMotionFreeCommand = 2;
inline constexpr std::int32_t kMotionSpeeds = 3;
inline constexpr std::int32_t kMotionTorque = 4;
inline constexpr std::int32_t kMotionEnds = 5;
inline constexpr std::int32_t kMotionPosition = 7;
inline constexpr std::int32_t kMotionOutput = 8;
// Move modes of a kind-0x80 sub-kind 1 write.
inline constexpr std::int32_t kMoveSpeed = 1;
inline constexpr std::int32_t kMoveAbsolute = 2;
inline constexpr std::int32_t kMoveRelative = 4;

// Sub-kinds of the kind-0x40 variable writes.
inline constexpr std::int32_t kVariableResetPosition = 0;
inline constexpr std::int32_t kVariableAssign = 1;
inline constexpr std::int32_t kVariableToggleOutput = 2;

// Sub-kinds of the kind-0x10 VRX23/VRX34 settings writes.
inline constexpr std::int32_t kV2334Brake = 0x91;
inline constexpr std::int32_t kV2334Current = 0x92;
inline constexpr std::int32_t kV2334Motion = 0x93;
inline constexpr std::int32_t kV2334Gain = 0x95;

// Values of the status record's power flag. Families whose status replies carry no power
// flag (VRX23, VRX34) report it as unknown rather than as off.
inline constexpr std::uint8_t kPowerOff = 0;
inline constexpr std::uint8_t kPowerOn = 1;
inline constexpr std::uint8_t kPowerUnknown = 2;

// Poll entry modes.
inline constexpr std::int32_t kPollFree = 0;
inline constexpr std::int32_t kPollPeriodic = 1;
inline constexpr std::int32_t kPollPaused = 2;
inline constexpr std::int32_t kPollOnce = 3;
inline constexpr std::int32_t kPollEndMarker = -1;
inline constexpr int kPollEntries = 20;
/// A kind-0x20 group must start at one of the entries 0 to this one.
inline constexpr int kPollLastGroupStart = 16;
inline constexpr int kPollGroupSize = 3;

// Modes of a free-text send and of a command-file line.
inline constexpr std::int32_t kFreeTextAsTyped = 1;
inline constexpr std::int32_t kFreeTextCleaned = 2;
inline constexpr std::int32_t kFileLineStopPolling = 0;
inline constexpr std::int32_t kFileLineSend = 1;
inline constexpr std::int32_t kFileLineStartPolling = 2;

// How far a line probe came.
inline constexpr std::int32_t kProbeAnswered = 0;
inline constexpr std::int32_t kProbeOpening = 1;
inline constexpr std::int32_t kProbeInitialising = 2;
inline constexpr std::int32_t kProbeAsking = 3;
inline constexpr std::int32_t kProbeSelectingTarget = 9;

// Coded commands (request 0x102).
inline constexpr std::int32_t kCodedMask = 10;
inline constexpr std::int32_t kCodedVariable = 11;
inline constexpr std::int32_t kCodedParameters = 12;
inline constexpr std::int32_t kCodedReset = 13; ///< and above: "MR"

// Text buffer sizes of the records.
inline constexpr int kTextSize = 255; ///< command, reply and path texts
inline constexpr int kNameSize = 30;  ///< names and list items
inline constexpr int kValueTextSize = 19;
inline constexpr int kCodedParameterSize = 104;
inline constexpr int kProbeResultSize = 200;
inline constexpr int kConfigResultSize = 120;

} // namespace tamsel::contract
