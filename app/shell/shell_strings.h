// The shell's string table: the numbered texts of the start-up, its buttons and steps.
#pragma once

#include <QString>

namespace tamsel::shell {

/// Text of string number @p id, or an empty text when the table has no such number.
QString tableString(int id);

/// The version text of the program (request 0x2000, the About box, the start-up title).
QString versionText();

/// The main window's title, also the name of the single-instance atom.
inline constexpr const char* kMainTitle = " Tamsel2";

} // namespace tamsel::shell
