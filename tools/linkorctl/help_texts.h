// What --help prints, for the program and for each subcommand.
#pragma once

#include <optional>
#include <string>

namespace linkorctl {

std::string programHelp();
/// The help of a subcommand; nothing for a name that is none.
std::optional<std::string> commandHelp(const std::string& name);

} // namespace linkorctl
