#include "command_rules.h"

namespace tamsel::shell {

bool moduleCommandEnabled(int id, const TCommandState& state) {
    const TWindowRow* row = rowFor(id, state.familyMask);
    if (row == nullptr) {
        return false;
    }
    return (state.registeredKinds & kindBit(row->kind)) != 0 &&
           (!row->needsModules || state.configured) &&
           (!row->needsSetupZero || state.setupNumberZero);
}

} // namespace tamsel::shell
