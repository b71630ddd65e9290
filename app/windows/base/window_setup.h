// What a module window is given when the shell builds it: the application to send its
// requests to, the module it serves and how it is known to the poll table.
#pragma once

#include <contract/records.h>
#include <contract/request_sink.h>

#include <cstdint>
#include <functional>

class QObject;

namespace tamsel::windows {

struct TWindowSetup {
    contract::TRequestSink* app = nullptr;
    std::int32_t address = 0;
    std::int32_t typeCode = 0;
    int familyMask = 0;
    /// The window's handle for the poll table; the completions of entries registered under
    /// it reach the window's pollCompleted.
    std::function<contract::TKV_WindowHandle(QObject* window)> handleOf;
};

} // namespace tamsel::windows
