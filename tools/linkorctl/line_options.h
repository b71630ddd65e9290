// Option tables of the subcommands that open a line: the line options and their own.
#pragma once

#include "arguments.h"
#include "line_setting.h"

#include <initializer_list>
#include <vector>

namespace linkorctl {

inline std::vector<OptionSpec> withLineOptions(std::initializer_list<OptionSpec> own) {
    std::vector<OptionSpec> all(lineOptions().begin(), lineOptions().end());
    all.insert(all.end(), own.begin(), own.end());
    return all;
}

} // namespace linkorctl
