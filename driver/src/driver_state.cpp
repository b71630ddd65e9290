#include "driver_state.h"

#include "library_location.h"
#include "sorncom.h"

namespace linkor {

DriverState& driverState() {
    static DriverState state;
    return state;
}

void ensureSetUp() {
    DriverState& state = driverState();
    if (state.setUp) {
        return;
    }
    state.setUp = true;
    const std::string dir = libraryDirectory();
    state.logPath = dir + "linkor.log";
    state.scriptPath = dir + "linkor.zel";
    sorncom::load();
}

} // namespace linkor
