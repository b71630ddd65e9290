// What the JBUS sub-driver offers: its module type, protocols, speeds and messages, as
// the lists and texts of the driver's interface.
#pragma once

#include <cstdint>

namespace linkor::jbus {

/// "JBUS".
void typeList(char* out);
/// The protocols of `type` (all of them when null); 0x8020 for a type not handled.
int32_t protocolList(char* out, const char* type);
/// The speeds of `type` (all of them when null); 0x8020 for a type not handled.
int32_t baudList(char* out, const char* type, const char* protocol);
/// The text of `code` in the JBUS language; -1 with the unknown-code text when none.
int32_t messageText(char* out, int32_t code);

} // namespace linkor::jbus
