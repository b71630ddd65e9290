/**
 * @file comm_codes.h
 * Every number the communication layer speaks in. The request codes and the numbers
 * inside the records are the window contract's, named here for the layer's code; the
 * notification codes, information and value selectors, module families and the driver
 * statuses are the layer's own.
 */
#pragma once

#include "linkor_status.h"

#include <contract/record_codes.h>
#include <contract/request_codes.h>

#include <cstdint>

namespace tkv {

// The request codes are the contract's; so are the numbers inside the records.
namespace req = tamsel::contract::req;
using tamsel::contract::kCodedMask;
using tamsel::contract::kCodedParameters;
using tamsel::contract::kCodedParameterSize;
using tamsel::contract::kCodedReset;
using tamsel::contract::kCodedVariable;
using tamsel::contract::kConfigResultSize;
using tamsel::contract::kFileLineSend;
using tamsel::contract::kFileLineStartPolling;
using tamsel::contract::kFileLineStopPolling;
using tamsel::contract::kFreeTextAsTyped;
using tamsel::contract::kFreeTextCleaned;
using tamsel::contract::kKindAutoOutput;
using tamsel::contract::kKindEndSensorCell;
using tamsel::contract::kKindMotionRead;
using tamsel::contract::kKindMotionWrite;
using tamsel::contract::kKindParameters;
using tamsel::contract::kKindPowerOnFunction;
using tamsel::contract::kKindSlidingShort;
using tamsel::contract::kKindSpecificGroup;
using tamsel::contract::kKindSpecificLabelled;
using tamsel::contract::kKindStatus;
using tamsel::contract::kKindV2334Read;
using tamsel::contract::kKindV2334Write;
using tamsel::contract::kKindVariable;
using tamsel::contract::kKindVariableBase;
using tamsel::contract::kKindVariableLast;
using tamsel::contract::kKindVariableWrite;
using tamsel::contract::kMotionEnds;
using tamsel::contract::kMotionFreeCommand;
using tamsel::contract::kMotionMove;
using tamsel::contract::kMotionOutput;
using tamsel::contract::kMotionPosition;
using tamsel::contract::kMotionSpeeds;
using tamsel::contract::kMotionTorque;
using tamsel::contract::kMoveAbsolute;
using tamsel::contract::kMoveRelative;
using tamsel::contract::kMoveSpeed;
using tamsel::contract::kNameSize;
using tamsel::contract::kPollEndMarker;
using tamsel::contract::kPollEntries;
using tamsel::contract::kPollFree;
using tamsel::contract::kPollGroupSize;
using tamsel::contract::kPollLastGroupStart;
using tamsel::contract::kPollOnce;
using tamsel::contract::kPollPaused;
using tamsel::contract::kPollPeriodic;
using tamsel::contract::kPowerOff;
using tamsel::contract::kPowerOn;
using tamsel::contract::kPowerUnknown;
using tamsel::contract::kProbeAnswered;
using tamsel::contract::kProbeAsking;
using tamsel::contract::kProbeInitialising;
using tamsel::contract::kProbeOpening;
using tamsel::contract::kProbeResultSize;
using tamsel::contract::kProbeSelectingTarget;
using tamsel::contract::kTextSize;
using tamsel::contract::kV2334Brake;
using tamsel::contract::kV2334Current;
using tamsel::contract::kV2334Gain;
using tamsel::contract::kV2334Motion;
using tamsel::contract::kValueTextSize;
using tamsel::contract::kVariableAssign;
using tamsel::contract::kVariableResetPosition;
using tamsel::contract::kVariableToggleOutput;

// First parameter of the messages this object sends.
inline constexpr int32_t kNoteTrace = tamsel::contract::req::kTrace;
inline constexpr int32_t kNoteDiagnostic = tamsel::contract::req::kDiagnostic;
inline constexpr int32_t kNoteCompleted = tamsel::contract::req::kPollNotification;

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

/// The family of a module type code.
constexpr int32_t familyOf(int32_t typeCode) {
    return (typeCode >> 8) & 0xFF;
}

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

// Reasons why the driver was not found through the "localize" setting.
inline constexpr int32_t kLocateFound = 0;
inline constexpr int32_t kLocateNoKey = 1;
inline constexpr int32_t kLocateNoValue = 2;
inline constexpr int32_t kLocateNoPath = 3;
inline constexpr int32_t kLocateNoFile = 4;
inline constexpr int32_t kLocateFileError = 5;

// Driver statuses this layer looks at.
inline constexpr int32_t kStatusOk = LINKOR_OK;
inline constexpr int32_t kStatusReceiveFailed = LINKOR_RECEIVE_FAILED;
inline constexpr int32_t kStatusReceiveTimeout = LINKOR_RECEIVE_TIMEOUT;
inline constexpr int32_t kStatusXoffMissing = LINKOR_XOFF_MISSING;
/// What a request whose command could not be built reports: nothing was sent.
inline constexpr int32_t kStatusNotBuilt = LINKOR_COMMAND_REJECTED;

// The extra commands of a status read.
inline constexpr int kExtraCommands = 10;
inline constexpr int kExtraCommandSize = 30;

} // namespace tkv
