// The request codes of "KVTamsel_01": what a window or a service asks the application for
// (the low word of the first parameter). Each code has one name, here.
#pragma once

#include <cstdint>

namespace tamsel::contract::req {

constexpr std::uint16_t kSetModuleRecordText = 0x0101;
constexpr std::uint16_t kCodedCommand = 0x0102;
constexpr std::uint16_t kFreeTextKept = 0x0103; ///< the project also keeps the text
constexpr std::uint16_t kWriteRequest = 0x0105;
constexpr std::uint16_t kFreeText = 0x0106;
constexpr std::uint16_t kSetupSummary = 0x0201;
constexpr std::uint16_t kListVariables = 0x0302;
constexpr std::uint16_t kListDeviceEntries = 0x0303;
constexpr std::uint16_t kListModules = 0x0304;
constexpr std::uint16_t kListModulesNone = 0x0305;
constexpr std::uint16_t kListModulesWithVariables = 0x0306;
constexpr std::uint16_t kListVariableLabels = 0x0307;
constexpr std::uint16_t kModuleRecordOp = 0x0308;
constexpr std::uint16_t kModuleTitle = 0x0310;
constexpr std::uint16_t kModuleRecordUpdate = 0x0502;
constexpr std::uint16_t kSetupLabel = 0x0503;
constexpr std::uint16_t kSetSetupLabel = 0x0504;
constexpr std::uint16_t kDialogGeometry = 0x0f00;
constexpr std::uint16_t kPrintSetup = 0x0f01;
constexpr std::uint16_t kLastCommandCount = 0x1100;
constexpr std::uint16_t kLastCommand = 0x1101;
constexpr std::uint16_t kPortList = 0x1400;
constexpr std::uint16_t kBaudList = 0x1401;
constexpr std::uint16_t kProtocolList = 0x1402;
constexpr std::uint16_t kModuleRecordCount = 0x1405;
constexpr std::uint16_t kModuleRecord = 0x1406;
constexpr std::uint16_t kCloseLine = 0x1407;
constexpr std::uint16_t kSetLineAndReconnect = 0x1408;
constexpr std::uint16_t kReconnect = 0x1409;
constexpr std::uint16_t kSetModuleRecord = 0x1410;
constexpr std::uint16_t kMinimiseModuleWindows = 0x1411;
constexpr std::uint16_t kConfigurationChanged = 0x1412;
constexpr std::uint16_t kFollowUpdate = 0x1413;
constexpr std::uint16_t kSetModuleRecordCount = 0x1414;
constexpr std::uint16_t kVersionText = 0x2000;
constexpr std::uint16_t kDriverIdentity = 0x2001;
constexpr std::uint16_t kListTargets = 0x2300;
constexpr std::uint16_t kListPorts = 0x2301;
constexpr std::uint16_t kListProtocols = 0x2302;
constexpr std::uint16_t kListBauds = 0x2303;
constexpr std::uint16_t kListProtocolsAll = 0x2312;
constexpr std::uint16_t kListBaudsAll = 0x2313;
constexpr std::uint16_t kListGlossary = 0x2320;
constexpr std::uint16_t kOpenSpecificMode = 0x4050;
constexpr std::uint16_t kSpecificParamNotice = 0x4051;
constexpr std::uint16_t kPollAdd = 0x5552;
constexpr std::uint16_t kPollModeByOwner = 0x5553;
constexpr std::uint16_t kPollModeByKind = 0x5554;
constexpr std::uint16_t kTrace = 0x5556;      ///< a command sent or a reply received
constexpr std::uint16_t kDiagnostic = 0x5557; ///< developer note, no visible effect
constexpr std::uint16_t kCatalogue = 0x5558;
constexpr std::uint16_t kHelp = 0x6000;
constexpr std::uint16_t kPollNotification =
    0x7777; ///< to a poll entry's owner after a run, never a request
constexpr std::uint16_t kErrorReport = 0x8080;
constexpr std::uint16_t kErrorData = 0x8081;
constexpr std::uint16_t kLastCommandSent = 0x8082;
constexpr std::uint16_t kStatusMessage = 0x8083;
constexpr std::uint16_t kStartup = 0x9005;
constexpr std::uint16_t kStartupAnswer = 0x9006;
constexpr std::uint16_t kCapabilityLists = 0xb002;
constexpr std::uint16_t kCombinationCount = 0xb003;
constexpr std::uint16_t kProbeAsk = 0xc000;   ///< open, initialise, select the target, ask "RV"
constexpr std::uint16_t kProbeReset = 0xc001; ///< "MR" then "GS"
constexpr std::uint16_t kProbeSend = 0xc002;  ///< the record's text as it stands
constexpr std::uint16_t kTool = 0xf000;
constexpr std::uint16_t kProgramDirectory = 0xf001;
constexpr std::uint16_t kAddRecentFile = 0xf002;

} // namespace tamsel::contract::req
