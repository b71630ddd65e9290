/**
 * @file comm_codes.h
 * Every number the communication layer speaks in: request codes of "KVTamsel_01",
 * notification codes, request kinds and sub-kinds, poll modes, information and value
 * selectors, probe steps, module families and the driver statuses it looks at.
 */
#pragma once

#include "linkor_status.h"

#include <cstdint>

namespace tkv {

// Request codes that the application's dispatcher routes to the communication object.
inline constexpr int32_t kReqCodedCommand = 0x0102;
inline constexpr int32_t kReqFreeTextKept = 0x0103; ///< the project also keeps the text
inline constexpr int32_t kReqWrite = 0x0105;
inline constexpr int32_t kReqFreeText = 0x0106;
inline constexpr int32_t kReqCloseLine = 0x1407;
inline constexpr int32_t kReqIdentity = 0x2001;
inline constexpr int32_t kReqAddPollEntry = 0x5552;
inline constexpr int32_t kReqModeByOwner = 0x5553;
inline constexpr int32_t kReqModeByKind = 0x5554;
inline constexpr int32_t kReqLastCommand = 0x8082;
inline constexpr int32_t kReqStatusMessage = 0x8083;
inline constexpr int32_t kReqConfigLists = 0xb002;
inline constexpr int32_t kReqCombinations = 0xb003;
inline constexpr int32_t kReqProbeAsk = 0xc000;
inline constexpr int32_t kReqProbeReset = 0xc001;
inline constexpr int32_t kReqProbeSend = 0xc002;

// First parameter of the messages this object sends.
inline constexpr int32_t kNoteTrace = 0x5556;      ///< a command sent or a reply received
inline constexpr int32_t kNoteDiagnostic = 0x5557; ///< developer note, no visible effect
inline constexpr int32_t kNoteCompleted = 0x7777;  ///< to a poll entry's owner after a run

// Request kinds.
inline constexpr int32_t kKindStatus = 0x01;
inline constexpr int32_t kKindParameters = 0x02;
inline constexpr int32_t kKindV2334Write = 0x10;
inline constexpr int32_t kKindSpecificGroup = 0x20;
inline constexpr int32_t kKindPowerOnFunction = 0x21;
inline constexpr int32_t kKindEndSensorCell = 0x22;
inline constexpr int32_t kKindSlidingShort = 0x23;
inline constexpr int32_t kKindSpecificLabelled = 0x24;
inline constexpr int32_t kKindAutoOutput = 0x25;
inline constexpr int32_t kKindVariableWrite = 0x40;
inline constexpr int32_t kKindV2334Read = 0x52;
inline constexpr int32_t kKindMotionRead = 0x53;
inline constexpr int32_t kKindMotionWrite = 0x80;
inline constexpr int32_t kKindVariable = 0x81;      ///< what kinds 0x100 + n are read as
inline constexpr int32_t kKindVariableBase = 0x100; ///< + n: module variable n (1-255)
inline constexpr int32_t kKindVariableLast = 0x1FF;

// Sub-kinds of the kind-0x80 motion writes.
inline constexpr int32_t kMotionMove = 1;
inline constexpr int32_t kMotionFreeCommand = 2;
inline constexpr int32_t kMotionSpeeds = 3;
inline constexpr int32_t kMotionTorque = 4;
inline constexpr int32_t kMotionEnds = 5;
inline constexpr int32_t kMotionPosition = 7;
inline constexpr int32_t kMotionOutput = 8;
// Move modes of a kind-0x80 sub-kind 1 write.
inline constexpr int32_t kMoveSpeed = 1;
inline constexpr int32_t kMoveAbsolute = 2;
inline constexpr int32_t kMoveRelative = 4;

// Sub-kinds of the kind-0x40 variable writes.
inline constexpr int32_t kVariableResetPosition = 0;
inline constexpr int32_t kVariableAssign = 1;
inline constexpr int32_t kVariableToggleOutput = 2;

// Sub-kinds of the kind-0x10 VRX23/VRX34 settings writes.
inline constexpr int32_t kV2334Brake = 0x91;
inline constexpr int32_t kV2334Current = 0x92;
inline constexpr int32_t kV2334Motion = 0x93;
inline constexpr int32_t kV2334Gain = 0x95;

// Module families: the high byte of a type code.
inline constexpr int32_t kFamilyTrilo = 0x01;
inline constexpr int32_t kFamilyTriloV40 = 0x02;
inline constexpr int32_t kFamilyTriloV72 = 0x03;
inline constexpr int32_t kFamilyTriloV80 = 0x04;
inline constexpr int32_t kFamilyMicroTrilo = 0x10;
inline constexpr int32_t kFamilyVrx23 = 0x30;
inline constexpr int32_t kFamilyVrx34 = 0x40;
inline constexpr int32_t kFamilyVrx17 = 0x50;
inline constexpr int32_t kFamilyDvrx = 0x60;

// Values of the status record's power flag. Families whose status replies carry no power
// flag (VRX23, VRX34) report it as unknown rather than as off.
inline constexpr uint8_t kPowerOff = 0;
inline constexpr uint8_t kPowerOn = 1;
inline constexpr uint8_t kPowerUnknown = 2;

/// The family of a module type code.
constexpr int32_t familyOf(int32_t typeCode) {
    return (typeCode >> 8) & 0xFF;
}

// Poll entry modes.
inline constexpr int32_t kPollFree = 0;
inline constexpr int32_t kPollPeriodic = 1;
inline constexpr int32_t kPollPaused = 2;
inline constexpr int32_t kPollOnce = 3;
inline constexpr int32_t kPollEndMarker = -1;
inline constexpr int kPollEntries = 20;
/// A kind-0x20 group must start at one of the entries 0 to this one.
inline constexpr int kPollLastGroupStart = 16;
inline constexpr int kPollGroupSize = 3;

// Selectors of "get information".
inline constexpr int32_t kInfoIdentity = 0;
inline constexpr int32_t kInfoDriverPath = 1;
inline constexpr int32_t kInfoStatusMessage = 2;
inline constexpr int32_t kInfoLastCommand = 3;
inline constexpr int32_t kInfoAbbreviation = 6;
/// Status code of information 2 that is to be read from the buffer first.
inline constexpr int32_t kCodeFromBuffer = -1;

// Selectors of "get value".
inline constexpr int32_t kValueCombinations = 4;
inline constexpr int32_t kValueConfigLists = 5;

// Modes of a free-text send and of a command-file line.
inline constexpr int32_t kFreeTextAsTyped = 1;
inline constexpr int32_t kFreeTextCleaned = 2;
inline constexpr int32_t kFileLineStopPolling = 0;
inline constexpr int32_t kFileLineSend = 1;
inline constexpr int32_t kFileLineStartPolling = 2;

// How far a line probe came.
inline constexpr int32_t kProbeAnswered = 0;
inline constexpr int32_t kProbeOpening = 1;
inline constexpr int32_t kProbeInitialising = 2;
inline constexpr int32_t kProbeAsking = 3;
inline constexpr int32_t kProbeSelectingTarget = 9;

// Reasons why the driver was not found through the "localize" setting.
inline constexpr int32_t kLocateFound = 0;
inline constexpr int32_t kLocateNoKey = 1;
inline constexpr int32_t kLocateNoValue = 2;
inline constexpr int32_t kLocateNoPath = 3;
inline constexpr int32_t kLocateNoFile = 4;
inline constexpr int32_t kLocateFileError = 5;

// Coded commands (request 0x102).
inline constexpr int32_t kCodedMask = 10;
inline constexpr int32_t kCodedVariable = 11;
inline constexpr int32_t kCodedParameters = 12;
inline constexpr int32_t kCodedReset = 13; ///< and above: "MR"

// Driver statuses this layer looks at.
inline constexpr int32_t kStatusOk = LINKOR_OK;
inline constexpr int32_t kStatusReceiveFailed = LINKOR_RECEIVE_FAILED;
inline constexpr int32_t kStatusReceiveTimeout = LINKOR_RECEIVE_TIMEOUT;
inline constexpr int32_t kStatusXoffMissing = LINKOR_XOFF_MISSING;
/// What a request whose command could not be built reports: nothing was sent.
inline constexpr int32_t kStatusNotBuilt = LINKOR_COMMAND_REJECTED;

// Text buffer sizes of the records and of this object.
inline constexpr int kTextSize = 255; ///< command and reply texts
inline constexpr int kNameSize = 30;  ///< names and list items
inline constexpr int kValueTextSize = 19;
inline constexpr int kCodedParameterSize = 104;
inline constexpr int kProbeResultSize = 200;
inline constexpr int kConfigResultSize = 120;
inline constexpr int kExtraCommands = 10;
inline constexpr int kExtraCommandSize = 30;

} // namespace tkv
