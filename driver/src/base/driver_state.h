// Process-wide state of the driver.
#pragma once

#include "base/messages.h"

#include <string>

namespace linkor {

constexpr const char* kDriverIdentity = "Dll Linkor - Version: 2.7.4 - Date: 10/06/2009";
constexpr const char* kJbusIdentity = "Dll Quelmar - Version: 2.2 - Date: 30/01/2008";

/// Bounds of the caller's buffers, which carry no size.
constexpr size_t kReplyBufferSize = 256;
constexpr size_t kMessageBufferSize = 256;
constexpr size_t kListBufferSize = 2048;

struct DriverState {
    bool setUp = false;
    Language language = Language::French;     ///< line family and KV sub-driver
    Language jbusLanguage = Language::French; ///< JBUS sub-driver
    std::string logPath;
    std::string scriptPath;
};

DriverState& driverState();

} // namespace linkor
