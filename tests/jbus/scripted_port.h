// The JBUS tests play a line on the one fake port of the test support: its slave answers a
// request when the driver starts listening, and its echo plays the two-wire wiring.
#pragma once

#include "support/fake_port.h"
#include "support/wire_frames.h"

namespace linkor::test {

using Bytes = FakePort::Bytes;
using ScriptedPort = FakePort;

/// A frame with its Modbus CRC appended, computed independently of the driver.
using support::withCrc;

} // namespace linkor::test
