// Whether a command typed on the command line is one the driver sends as typed.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace linkorctl {

/**
 * @brief Why @p command would not reach the module as typed, if it would not: it holds
 *        nothing to send (empty, blanks, an empty or unclosed settings block), or a line
 *        end, where the driver ends the frame and drops the rest.
 * @return the reason, to follow "command 'X' "; nothing when the command is sendable.
 */
std::optional<std::string> commandFault(std::string_view command);

} // namespace linkorctl
