// When the frame's module-window commands are enabled: a pure function of the program's
// state, over the window rows.
#pragma once

#include "window_registry.h"

#include <cstdint>

namespace tamsel::shell {

/// What the enable rules of the module-window commands look at.
struct TCommandState {
    /// The start-up succeeded and the project holds at least one module record.
    bool configured = false;
    /// The project's set-up number 0 is set.
    bool setupNumberZero = false;
    /// The family mask of the selected device (family::k...).
    int familyMask = 0;
    /// The kinds whose windows a layer registered, one bit per kind (kindBit).
    std::uint32_t registeredKinds = 0;
};

constexpr std::uint32_t kindBit(TWindowKind kind) {
    return std::uint32_t{1} << static_cast<unsigned>(kind);
}

/// Whether command @p id opens a window now; false for a command that opens none.
bool moduleCommandEnabled(int id, const TCommandState& state);

} // namespace tamsel::shell
