// Small helpers for the end-to-end tests: requests on a module, and waits on conditions.
#pragma once

#include "test_shell.h"
#include <comm/comm_dll.h>
#include <comm/texts.h>

#include "support/wait.h"

#include <chrono>
#include <functional>
#include <thread>

namespace commtest {

/// A request record of a window for one module.
inline tkv::TagRequest requestOf(int32_t kind, int32_t type, int32_t address, void* data,
                                 int32_t sub = 0) {
    tkv::TagRequest r;
    r.kind = kind;
    r.typeCode = type;
    r.address = address;
    r.data = data;
    r.subIndex = sub;
    return r;
}

/// Repeats @p step until it says done, or gives up after a generous time.
inline bool eventually(const std::function<bool()>& step) {
    return support::waitUntil(step, kWait);
}

/// A coded command (request 0x102) to one module.
inline tkv::TagCodedCommand coded(int32_t code, int32_t address, const char* parameter = "") {
    tkv::TagCodedCommand c;
    c.code = code;
    c.address = address;
    tkv::text::copy(c.parameter, parameter);
    return c;
}

} // namespace commtest
