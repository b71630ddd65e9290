// The plain records that windows exchange with the application and the communication
// layer, in the field order the windows and the module command sets know them, and the
// records of the driver's capability lists and of the catalogue and help requests.
#pragma once

#include "record_codes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tamsel::contract {

/// A window as the communication layer knows it: a number the shell hands out and can
/// tell apart; 0 is no window. The layer compares handles and never uses them.
using TKV_WindowHandle = std::intptr_t;

/// One window's request: what to read or write, on which module, and how it went.
struct TagRequest {
    std::int32_t kind = 0; ///< request kind (kKind...)
    void* data = nullptr;  ///< data record of the kind
    std::int32_t reserved = 0;
    std::int32_t address = 0;
    std::int32_t typeCode = 0;
    std::int32_t status = 0; ///< 0 = success, else the driver status of the last exchange
    std::int32_t dialogId = 0;
    std::int32_t count = 0;    ///< repeat count, set when the request is put in the poll table
    std::int32_t subIndex = 0; ///< 1-based: which single value a sub-read fetches
};

/// Kind 0x01: the status block of the monitoring window.
struct TagStatus {
    std::int32_t position = 0;
    std::uint8_t power = kPowerOff; ///< kPowerOff, kPowerOn or kPowerUnknown
    std::uint8_t moving = 0;
    std::int32_t inputs = 0;
    std::int32_t outputs = 0;
    std::int32_t function = 0;
    std::int32_t stage = 0;
    std::int32_t errorCode = 0;
    std::int32_t execute = 0;
    std::int32_t statusWord = 0;
    std::uint8_t noExtras = 0;
    char extraName1[kNameSize] = "none";
    char extraName2[kNameSize] = "none";
    std::int32_t extraValue1 = 0;
    std::int32_t extraValue2 = 0;
};

/// Kind 0x02: the parameter block of the parameters window.
struct TagParamBlock {
    std::int32_t resolution = 0;
    std::int32_t startSpeed = 0;
    std::int32_t maxSpeed = 0;
    std::int32_t rampTime = 0;
    std::int32_t decelTime = 0;
    std::uint8_t separateDecel = 0;
    std::int32_t currentCode = 0;
    std::int32_t standbyMode = 0; ///< 0 nominal, 1 standby, 2 boost
    std::int32_t indicators = 0;
    float currentFactor = 0.0F;
};

/// Kinds 0x20-0x25: the specific-mode block.
struct TagSpecificMode {
    std::uint8_t dataValid = 0;
    std::uint32_t capabilities = 0;
    std::uint8_t powerOnSupported = 0;
    std::uint8_t endSensorsSupported = 0;
    std::uint8_t reverseSupported = 0;
    std::uint8_t slidingSupported = 0;
    std::uint8_t autoOutputSupported = 0;
    std::int32_t powerOnFunction = 0; ///< 0 = none
    std::uint8_t endSensors = 0;
    std::int32_t slidingDistance = 0;
    std::uint8_t reverseInputs = 0;
    std::uint8_t autoOutput = 0;
    /// bits 0-4 options, 16-23 output values, 24-31 outputs used
    std::int32_t autoOutputSettings = 0;
    std::int32_t setPosition = 0;
    std::int32_t resetPosition = 0;
};

/// Kinds 0x53 and 0x80 of families 0x50 and 0x60: the panel block.
struct TagMotion {
    std::int32_t subKind = 0;
    std::int32_t positionToSet = 0;
    std::int32_t statusWord = 0;
    std::int32_t outputToSet = 0;
    std::int32_t relativeDistance = 0;
    std::int32_t absoluteTarget = 0;
    std::int32_t moveSpeed = 0;
    std::int32_t lowSpeed = 0;
    std::int32_t highSpeed = 0;
    std::int32_t accelTime = 0;
    std::int32_t decelTime = 0;
    std::int32_t torqueRatio = 0;
    std::int32_t lowTorque = 0;
    std::int32_t negativeEnd = 0;
    std::int32_t positiveEnd = 0;
    std::uint8_t optimizedCurrent = 0;
    std::uint8_t standbyMode = 0;
    std::uint8_t hardEnds = 0;
    std::uint8_t softEnds = 0;
    std::int32_t moveMode = 0; ///< kMoveSpeed, kMoveAbsolute, kMoveRelative
    char freeCommand[kTextSize] = "";
};

/// Kind 0x40: a variable write of the monitoring window.
struct TagVariable {
    std::int32_t subKind = 0; ///< kVariableResetPosition, kVariableAssign, kVariableToggleOutput
    char name[kNameSize] = "";
    char value[kValueTextSize] = "";
    std::int32_t outputNumber = 0; ///< 1-based
    std::int32_t outputValue = 0;
};

/// Kinds 0x10 and 0x52: the VRX23/VRX34 panel block.
struct TagV2334Settings {
    std::int32_t subKind = 0;
    std::int32_t bn = 0;
    std::int32_t bp = 0;
    std::int32_t gi = 0;
    std::int32_t wh = 0;
    std::int32_t wt = 0;
    std::int32_t wl = 0;
    std::int32_t dg = 0;
    std::int32_t ga = 0;
    std::int32_t gf = 0;
    std::uint8_t gfSelected = 0;
    std::uint8_t ms = 0; ///< 1 "mss", 0 "msn"
    std::uint8_t flagR = 0;
    std::uint8_t flagS = 0;
};

/// Kinds 0x100 + n: one module variable.
struct TagVariableValue {
    std::int32_t value = 0;
    std::int32_t second = 0;
};

/// Request 0x102.
struct TagCodedCommand {
    std::int32_t code = 0; ///< 0-13
    char parameter[kCodedParameterSize] = "";
    std::int32_t address = 0;
    std::int32_t status = 0;
};

/// Requests 0x103 and 0x106.
struct TagFreeText {
    std::int32_t mode = kFreeTextAsTyped; ///< 1 as typed, 2 cleaned first
    char text[kTextSize] = "";
    char reply[kTextSize] = "";
    std::int32_t address = 0; ///< out
    std::int32_t status = 0;  ///< out
};

/// Requests 0xc000-0xc002 of the line scan.
struct TagProbe {
    char target[kNameSize] = "";
    char lastTarget[kNameSize] = "";
    char port[kNameSize] = "";
    char baud[kNameSize] = "";
    char protocol[kNameSize] = "";
    char result[kProbeResultSize] = "";
    std::uint8_t openFirst = 0;
    std::uint8_t closeAfter = 0;
    std::int32_t address = 0;
    std::int32_t step = 0; ///< out: kProbe...
};

/// Request 0x5552: one entry of the poll table.
struct TagPollEntry {
    std::int32_t kind = 0;
    std::int32_t count = 0;
    std::int32_t mode = kPollFree;
    TKV_WindowHandle owner = 0;
    TagRequest* request = nullptr;
};

/// The driver's lists for one target.
struct TagUnTypeDLL {
    std::string protocols; ///< names separated by single blanks
    std::int32_t protocolCount = 0;
    std::uint8_t protocolsKnown = 0;
    std::string bauds;
    std::int32_t baudCount = 0;
    std::uint8_t baudsKnown = 0;
    /// one per baud of the list: bit k set when the baud is valid with protocol k
    std::vector<std::int32_t> protocolMasks;
};

/// The driver's capability lists.
struct TagConfigDLL {
    std::uint8_t loaded = 0;
    std::int32_t targetCount = 0;
    std::string targets;
    std::int32_t portCount = 0;
    std::string ports;
    std::vector<TagUnTypeDLL> perTarget; ///< one per target, in list order
    char result[kConfigResultSize] = "";
};

/// Record of request 0x5558: one catalogue function and its arguments and result.
struct TagCatalogueQuery {
    std::int32_t operation = 0;
    std::int32_t value = 0;
    char textA[kTextSize] = {};
    /// The identity reply of operation 1.
    const char* input = nullptr;
    char textB[kTextSize] = {};
    std::int32_t argument = 0;
    /// The panel record that operation 13 fills.
    void* data = nullptr;
};

/// Catalogue operations of request 0x5558.
namespace catop {
constexpr std::int32_t kTypeName = 0;
constexpr std::int32_t kTypeModule = 1;
constexpr std::int32_t kTypeAssocied = 2;
constexpr std::int32_t kTypeGenerique = 3;
constexpr std::int32_t kInfoTypeAssocied = 4;
constexpr std::int32_t kStrategy = 5;
constexpr std::int32_t kLabelGenerique = 6;
constexpr std::int32_t kCodeAssocie = 7;
constexpr std::int32_t kAssociateCount = 8;
constexpr std::int32_t kAssociate = 9;
constexpr std::int32_t kTargetName = 10;
/// `GetInfo` 257: value = type code, text a = name in and out, argument = "more" out.
constexpr std::int32_t kVariableInfo = 11;
constexpr std::int32_t kFindCmde = 12;
constexpr std::int32_t kCollectInfo = 13;
} // namespace catop

/// The control number of a help request (0x6000) that asks for the topic of its context.
inline constexpr std::int32_t kHelpTopicControl = 9;
/// The context type of a help request about a window rather than a menu.
inline constexpr std::int32_t kHelpContextWindow = 1;

/// Record of request 0x6000, the help request of a window.
struct TagHelpInfo {
    std::int32_t contextType = 0;
    std::int32_t controlId = 0;
    std::intptr_t itemHandle = 0;
    std::int32_t contextId = 0;
};

} // namespace tamsel::contract
