#include "base/driver_state.h"

namespace linkor {

DriverState& driverState() {
    static DriverState state;
    return state;
}

} // namespace linkor
