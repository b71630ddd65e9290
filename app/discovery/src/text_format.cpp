#include "text_format.h"

#include <cstdarg>
#include <cstdio>

namespace tamsel::discovery::detail {

std::string format(const char* f, ...) {
    va_list args;
    va_start(args, f);
    va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(nullptr, 0, f, args);
    va_end(args);
    std::string out;
    if (n > 0) {
        out.resize(static_cast<std::size_t>(n) + 1);
        std::vsnprintf(out.data(), out.size(), f, again);
        out.resize(static_cast<std::size_t>(n));
    }
    va_end(again);
    return out;
}

} // namespace tamsel::discovery::detail
