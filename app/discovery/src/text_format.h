// printf-style formatting into a string, for the window's fixed texts.
#pragma once

#include <string>

namespace tamsel::discovery::detail {

__attribute__((format(printf, 1, 2))) std::string format(const char* f, ...);

} // namespace tamsel::discovery::detail
