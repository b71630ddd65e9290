#include "line_table/set_up.h"

#include "base/driver_state.h"
#include "base/library_location.h"
#include "line_table/sorncom.h"

#include <string>

namespace linkor {

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
