// How a window asks the application for a service: one synchronous call carrying a
// request code, a small argument (the sender's dialog number or the code's "hi" argument)
// and a pointer to a record that the sender owns. The call returns when the result is in
// the record; from any thread it runs on the user-interface thread.
#pragma once

#include <cstdint>

namespace tamsel::contract {

/// The application side of "KVTamsel_01".
class TRequestSink {
  public:
    virtual ~TRequestSink() = default;
    /// Runs request @p code; always returns 0, results come back in @p record.
    virtual std::int32_t request(std::uint16_t code, std::uint16_t hi, void* record) = 0;
};

} // namespace tamsel::contract
