#include "line_table/set_up.h"

#include "base/companion_files.h"
#include "base/driver_state.h"
#include "line_table/sorncom.h"

#include <string>

namespace linkor {

void ensureSetUp() {
    DriverState& state = driverState();
    if (state.setUp) {
        return;
    }
    state.setUp = true;
    const CompanionPlaces places = currentCompanionPlaces();
    state.logPath = companionPath(Companion::Log, places);
    state.scriptPath = companionPath(Companion::StartupScript, places);
    sorncom::load();
}

} // namespace linkor
