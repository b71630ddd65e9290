/**
 * @file comm_records.h
 * The plain records that windows exchange with the communication object, and the
 * object's own records of the driver's capabilities. Fields are in the order the
 * windows and the module command sets know them.
 */
#pragma once

#include "comm_codes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tkv {

/// A window as the communication object knows it: a number the shell hands out and
/// can tell apart; 0 is no window. The object compares handles and never uses them.
using TKV_WindowHandle = std::intptr_t;

/// One window's request: what to read or write, on which module, and how it went.
struct TagRequest {
    int32_t kind = 0;     ///< request kind (kKind...)
    void* data = nullptr; ///< data record of the kind
    int32_t reserved = 0;
    int32_t address = 0;
    int32_t typeCode = 0;
    int32_t status = 0; ///< 0 = success, else the driver status of the last exchange
    int32_t dialogId = 0;
    int32_t count = 0;    ///< repeat count, set when the request is put in the poll table
    int32_t subIndex = 0; ///< 1-based: which single value a sub-read fetches
};

/// Kind 0x01: the status block of the monitoring window.
struct TagStatus {
    int32_t position = 0;
    uint8_t power = kPowerOff; ///< kPowerOff, kPowerOn or kPowerUnknown
    uint8_t moving = 0;
    int32_t inputs = 0;
    int32_t outputs = 0;
    int32_t function = 0;
    int32_t stage = 0;
    int32_t errorCode = 0;
    int32_t execute = 0;
    int32_t statusWord = 0;
    uint8_t noExtras = 0;
    char extraName1[kNameSize] = "none";
    char extraName2[kNameSize] = "none";
    int32_t extraValue1 = 0;
    int32_t extraValue2 = 0;
};

/// Kind 0x02: the parameter block of the parameters window.
struct TagParamBlock {
    int32_t resolution = 0;
    int32_t startSpeed = 0;
    int32_t maxSpeed = 0;
    int32_t rampTime = 0;
    int32_t decelTime = 0;
    uint8_t separateDecel = 0;
    int32_t currentCode = 0;
    int32_t standbyMode = 0; ///< 0 nominal, 1 standby, 2 boost
    int32_t indicators = 0;
    float currentFactor = 0.0F;
};

/// Kinds 0x20-0x25: the specific-mode block.
struct TagSpecificMode {
    uint8_t dataValid = 0;
    uint32_t capabilities = 0;
    uint8_t powerOnSupported = 0;
    uint8_t endSensorsSupported = 0;
    uint8_t reverseSupported = 0;
    uint8_t slidingSupported = 0;
    uint8_t autoOutputSupported = 0;
    int32_t powerOnFunction = 0; ///< 0 = none
    uint8_t endSensors = 0;
    int32_t slidingDistance = 0;
    uint8_t reverseInputs = 0;
    uint8_t autoOutput = 0;
    /// bits 0-4 options, 16-23 output values, 24-31 outputs used
    int32_t autoOutputSettings = 0;
    int32_t setPosition = 0;
    int32_t resetPosition = 0;
};

/// Kinds 0x53 and 0x80 of families 0x50 and 0x60: the panel block.
struct TagMotion {
    int32_t subKind = 0;
    int32_t positionToSet = 0;
    int32_t statusWord = 0;
    int32_t outputToSet = 0;
    int32_t relativeDistance = 0;
    int32_t absoluteTarget = 0;
    int32_t moveSpeed = 0;
    int32_t lowSpeed = 0;
    int32_t highSpeed = 0;
    int32_t accelTime = 0;
    int32_t decelTime = 0;
    int32_t torqueRatio = 0;
    int32_t lowTorque = 0;
    int32_t negativeEnd = 0;
    int32_t positiveEnd = 0;
    uint8_t optimizedCurrent = 0;
    uint8_t standbyMode = 0;
    uint8_t hardEnds = 0;
    uint8_t softEnds = 0;
    int32_t moveMode = 0; ///< kMoveSpeed, kMoveAbsolute, kMoveRelative
    char freeCommand[kTextSize] = "";
};

/// Kind 0x40: a variable write of the monitoring window.
struct TagVariable {
    int32_t subKind = 0; ///< kVariableResetPosition, kVariableAssign, kVariableToggleOutput
    char name[kNameSize] = "";
    char value[kValueTextSize] = "";
    int32_t outputNumber = 0; ///< 1-based
    int32_t outputValue = 0;
};

/// Kinds 0x10 and 0x52: the VRX23/VRX34 panel block.
struct TagV2334Settings {
    int32_t subKind = 0;
    int32_t bn = 0;
    int32_t bp = 0;
    int32_t gi = 0;
    int32_t wh = 0;
    int32_t wt = 0;
    int32_t wl = 0;
    int32_t dg = 0;
    int32_t ga = 0;
    int32_t gf = 0;
    uint8_t gfSelected = 0;
    uint8_t ms = 0; ///< 1 "mss", 0 "msn"
    uint8_t flagR = 0;
    uint8_t flagS = 0;
};

/// Kinds 0x100 + n: one module variable.
struct TagVariableValue {
    int32_t value = 0;
    int32_t second = 0;
};

/// Request 0x102.
struct TagCodedCommand {
    int32_t code = 0; ///< 0-13
    char parameter[kCodedParameterSize] = "";
    int32_t address = 0;
    int32_t status = 0;
};

/// Requests 0x103 and 0x106.
struct TagFreeText {
    int32_t mode = kFreeTextAsTyped; ///< 1 as typed, 2 cleaned first
    char text[kTextSize] = "";
    char reply[kTextSize] = "";
    int32_t address = 0; ///< out
    int32_t status = 0;  ///< out
};

/// Requests 0xc000-0xc002 of the line scan.
struct TagProbe {
    char target[kNameSize] = "";
    char lastTarget[kNameSize] = "";
    char port[kNameSize] = "";
    char baud[kNameSize] = "";
    char protocol[kNameSize] = "";
    char result[kProbeResultSize] = "";
    uint8_t openFirst = 0;
    uint8_t closeAfter = 0;
    int32_t address = 0;
    int32_t step = 0; ///< out: kProbe...
};

/// Request 0x5552: one entry of the poll table.
struct TagPollEntry {
    int32_t kind = 0;
    int32_t count = 0;
    int32_t mode = kPollFree;
    TKV_WindowHandle owner = 0;
    TagRequest* request = nullptr;
};

/// The driver's lists for one target.
struct TagUnTypeDLL {
    std::string protocols; ///< names separated by single blanks
    int32_t protocolCount = 0;
    uint8_t protocolsKnown = 0;
    std::string bauds;
    int32_t baudCount = 0;
    uint8_t baudsKnown = 0;
    /// one per baud of the list: bit k set when the baud is valid with protocol k
    std::vector<int32_t> protocolMasks;
};

/// The driver's capability lists.
struct TagConfigDLL {
    uint8_t loaded = 0;
    int32_t targetCount = 0;
    std::string targets;
    int32_t portCount = 0;
    std::string ports;
    std::vector<TagUnTypeDLL> perTarget; ///< one per target, in list order
    char result[kConfigResultSize] = "";
};

} // namespace tkv
