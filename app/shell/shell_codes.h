// The numbers of the application shell: command identifiers of the frame, window
// identifiers of the module windows, display codes of the initialization window and the
// numbers of its string table. Every number the shell acts on is named here once; the
// request codes are the window contract's.
#pragma once

#include <contract/request_codes.h>

#include <cstdint>

namespace tamsel::shell {

/// Request codes a window sends to the application: the contract's.
namespace req = contract::req;

/// Command identifiers of the frame's menu, tool bar and accelerators.
namespace cmd {
constexpr int kSendGlobal = 1502;
constexpr int kSendSelection = 1503;
constexpr int kSendFromCaret = 1504;
constexpr int kConfiguration = 1601;
constexpr int kParameters = 1701;
constexpr int kDirectMotion = 1702;
constexpr int kSpecificModes = 1703;
constexpr int kFamilyControl = 1704;
constexpr int kDialog = 1801;
constexpr int kPanel = 1802;
constexpr int kVariables = 1803;
constexpr int kHelpContents = 2001;
constexpr int kHelpOnHelp = 2002;
constexpr int kAbout = 2009;
constexpr int kRefresh = 0x2001;
constexpr int kUpdate = 0x2006;
constexpr int kHelpMode = 7201;
constexpr int kEmergencyStop = 7202;
constexpr int kDeviceSelector = 9890;
constexpr int kExit = 24310;
constexpr int kEditUndo = 24321;
constexpr int kEditCut = 24322;
constexpr int kEditCopy = 24323;
constexpr int kEditPaste = 24324;
constexpr int kEditClearAll = 24325;
constexpr int kFileNew = 24331;
constexpr int kFileOpen = 24332;
constexpr int kFileSave = 24333;
constexpr int kFileSaveAs = 24334;
constexpr int kFilePrint = 24337;
constexpr int kFilePrintSetup = 24338;
constexpr int kFileClose = 24339;
constexpr int kFilePrintPreview = 24340;
constexpr int kEditFind = 24351;
constexpr int kEditFindNext = 24353;
constexpr int kCascade = 24361;
constexpr int kTile = 24362;
constexpr int kArrangeIcons = 24364;
constexpr int kCloseAll = 24365;
} // namespace cmd

/// Identifiers stamped on the MDI children so that an open command finds them again.
namespace winid {
constexpr int kConfiguration = 0x400;
constexpr int kParametersBase = 0x500;
constexpr int kDirectMotionBase = 0x600;
constexpr int kSpecificModeBase = 0x700;
constexpr int kDialog = 0x800;
constexpr int kPanelBase = 0x1000;
constexpr int kFamilyControlBase = 0x2000;
} // namespace winid

/// Dialog resource numbers (the high word of a window's requests).
namespace dlg {
constexpr int kConfiguration = 1050;
constexpr int kParameters = 1150;
constexpr int kSpecificMode = 1250;
constexpr int kDirectMotion = 1350;
constexpr int kTerminal = 1450;
constexpr int kMonitoring = 1600;
constexpr int kMonitoringVrx = 17600;
constexpr int kVariables = 1850;
constexpr int kInitBox = 2000;
constexpr int kVrx17Control = 4321;
constexpr int kV234Control = 7350;
constexpr int kErrorReport = 8000;
constexpr int kAbout = 22000;
} // namespace dlg

/// Display codes the application posts to the initialization window.
namespace disp {
constexpr int kTitle = 40704;
constexpr int kClose = 40706;
constexpr int kStep = 40711;
constexpr int kBadProject = 40712;
constexpr int kDisplay = 40718;
constexpr int kFiles = 40719;
constexpr int kNoPort = 40721;
constexpr int kDriver = 40722;
constexpr int kPortRefused = 40726;
constexpr int kPortSelection = 40727;
constexpr int kPortChosen = 40728;
} // namespace disp

/// Answers of the initialization window's buttons (request 0x9006).
namespace answer {
constexpr std::int32_t kFirst = 0x100;
constexpr std::int32_t kSecond = 0x200;
constexpr std::int32_t kThird = 0x300;
} // namespace answer

/// String-table numbers.
namespace str {
constexpr int kAlreadyRunning = 1;
constexpr int kMessageBase = 2300;
constexpr int kBadProject = 2303;
constexpr int kDisplay = 2309;
constexpr int kFiles = 2310;
constexpr int kNoPort = 2312;
constexpr int kDriverMissing = 2314;
constexpr int kDriverWrong = 2315;
constexpr int kDriverNotHere = 2316;
constexpr int kPortRefused = 2322;
constexpr int kPortList = 2323;
constexpr int kButtonBase = 2324;
constexpr int kQuit = 2325;
constexpr int kContinue = 2328;
constexpr int kTryAgain = 2333;
constexpr int kSelectPort = 2334;
constexpr int kSelectDone = 2335;
constexpr int kStepBase = 2336;
constexpr int kStepSelection = 2349;
} // namespace str

/// Step numbers: string 2336 + n is the step text.
namespace step {
constexpr int kDisplay = 2;
constexpr int kFiles = 3;
constexpr int kProject = 5;
constexpr int kCards = 8;
constexpr int kComPort = 9;
constexpr int kDriver = 11;
constexpr int kSelection = 13;
} // namespace step

/// Button numbers k of the initialization window's messages: caption = string 2324 + k.
namespace button {
constexpr int kNone = 0;
constexpr int kQuit = 1;
constexpr int kContinue = 4;
constexpr int kTryAgain = 9;
constexpr int kSelectPort = 10;
constexpr int kSelectDone = 11;
} // namespace button

/// Family mask of the selected device.
namespace family {
constexpr int kNone = 0;
constexpr int kTrilo = 1;
constexpr int kMicroTrilo = 2;
constexpr int kVrx17OrDvrx = 4;
constexpr int kVrx23OrVrx34 = 8;
} // namespace family

} // namespace tamsel::shell
