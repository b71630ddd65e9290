// Module types, protocol names and baud rates that the KV sub-driver carries.
#pragma once

#include <array>
#include <optional>
#include <string>

namespace linkor::kv {

enum ModuleType : int {
    kTypeNone = 0, // for an address: use the line's type
    kTypeVrx17 = 1,
    kTypeMicroTrilo = 2,
    kTypeVrx23 = 3,
    kTypeVrx34 = 4,
    kTypeTrilo = 5,
};
constexpr int kTypeCount = 5;
constexpr int kDefaultLineType = kTypeVrx17;

enum ProtocolCode : int {
    kProtocolXon = 0,
    kProtocolAckNak = 1,
    kProtocolConsole = 2,
};

/// The eleven baud texts, in increasing order.
constexpr std::array<const char*, 11> kBaudTexts = {
    "300", "600", "1200", "2400", "4800", "7200", "9600", "19200", "38400", "57600", "115200"};

/// The speed of an exact baud text, or nullopt.
std::optional<int> baudOf(const char* text);

/// The module type of a name ("TRILO", "vrx17" …, case-insensitive), or nullopt.
std::optional<int> moduleTypeOf(const char* name);

/// The protocol code of a name or of its prefix of at least three characters,
/// case-insensitive, first match in table order; nullopt when none matches.
std::optional<int> protocolCodeOf(const char* name);

/// The code of one of the seven protocol names written exactly, or nullopt.
std::optional<int> exactProtocolCodeOf(const char* name);

bool protocolAllowed(int type, int code);
bool baudAllowed(int type, int code, int baudIndex);

/// "DVRX MICROTRILO VRX23 VRX34 TRILO".
std::string typeList();
/// Protocol list: without a type the default protocol name; with a known type "T: "
/// and its protocols. Returns false (empty text) for an unknown type.
bool protocolList(const char* type, std::string& out);
/// Baud list as the line family lists it; returns 0, 0x8020 or 0x8002.
int baudList(const char* type, const char* protocol, std::string& out);

} // namespace linkor::kv
