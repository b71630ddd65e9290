// The wall between the exported C functions and the C++ inside: no exception crosses it.
#pragma once

#include "linkor_status.h"

#include <cstdint>

namespace linkor {

/// Runs a call; anything thrown (memory exhausted) becomes "function not available".
template <typename F> int32_t guarded(F&& call) noexcept {
    try {
        return call();
    } catch (...) {
        return LINKOR_NOT_AVAILABLE;
    }
}

} // namespace linkor
