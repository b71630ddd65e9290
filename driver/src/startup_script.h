// The start-up script "linkor.zel" beside the library: commands replayed on every line
// the driver initialises, either for all ports or for one named port.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace linkor {

/// Sends each line of the script that applies to `portName` ("COMn"); 0x8024 at the
/// first that fails. A missing file is no error.
int32_t runStartupScript(const std::string& path, const std::string& portName,
                         const std::function<int32_t(const char*)>& send);

} // namespace linkor
