// The numbers and fixed texts of the command terminal and of the command-file send: the
// controls of dialog 1450, its menus, the send commands and the limits of the texts.
#pragma once

#include <cstdint>

namespace tamsel::terminal {

/// Controls of dialog 1450, each widget carries its number as its object name.
namespace ctl {
constexpr int kList = 1451;
constexpr int kCommand = 1452;
constexpr int kReply = 1453;
constexpr int kTarget = 1454;
constexpr int kHistory = 1456;
constexpr int kGlossary = 1457;
constexpr int kSend = 1458;
constexpr int kAddress = 1461;
constexpr int kUpDown = 1462;
} // namespace ctl

/// Menu resources.
namespace menu {
constexpr int kCommandPopup = 102;
constexpr int kReplyPopup = 103;
constexpr int kTriloFamily = 14000;
constexpr int kVrx17Family = 14001;
constexpr int kVrx23Family = 14002;
} // namespace menu

/// List modes of control 1451.
enum class TListMode { None = 0, History = 1, Glossary = 2 };

/// Limits of the texts the window handles.
inline constexpr int kCommandLimit = 100;
inline constexpr int kTargetTextLimit = 24;
inline constexpr int kMenuItemLimit = 10;
/// The tool record holds 39 characters of name and its NUL.
inline constexpr int kToolNameLimit = 39;
/// A command-file line is sent with at most this many characters.
inline constexpr int kFileLineLimit = 150;

/// Address selector bounds: -1 stands for all modules.
inline constexpr int kAddressAll = -1;
inline constexpr int kAddressMax = 63;

/// The pop-up appears this many pixels above the click.
inline constexpr int kPopupLift = 10;

} // namespace tamsel::terminal
