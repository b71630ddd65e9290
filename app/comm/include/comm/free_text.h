/**
 * @file free_text.h
 * Texts typed by the user: the terminal's free text (requests 0x103 and 0x106), its
 * macros, and the lines of a command file.
 */
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tkv::freetext {

/// A free text as mode 2 sends it: cut at the first "(", tabs as blanks, no trailing blanks.
std::string clean(std::string_view text);

/// The module address of the first two characters, -1 when they are not two digits.
int32_t addressOf(std::string_view text);

enum class Macro {
    None,    ///< a command for the line
    Unknown, ///< starts with "$" but names no macro
    Syntax,  ///< "$syntaxe=": sets the control characters of the line
};
Macro macroOf(std::string_view text);

/// The argument of "$syntaxe=" as the driver takes it: " %2X" for each character.
std::string syntaxDump(std::string_view text);

inline constexpr const char* kMacroUnknown = "Macro is UNKNOWED ";
inline constexpr const char* kMacroDone = "Macro is done ";

/// What a command-file line comes to.
struct FileLine {
    enum class What {
        Skip,  ///< empty, or a comment line
        Local, ///< starts with "~": the result itself, nothing is sent
        Send,  ///< a command text for the line (possibly empty after cleaning)
    };
    What what = What::Skip;
    std::string text;
};
FileLine cleanFileLine(std::string_view line);

} // namespace tkv::freetext
