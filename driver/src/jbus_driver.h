// The JBUS sub-driver's table of nine slots and the operations of the exported JBUS
// family on them. Handles are 1–9, apart from the line family's numbers.
#pragma once

#include "jbus_line.h"
#include "port.h"

#include <cstdint>
#include <memory>

namespace linkor::jbus {

constexpr int kSlotCount = 9;

/// Creates the port of each new slot; tests replace it with an in-process port.
using PortMaker = std::unique_ptr<Port> (*)();
void setPortMaker(PortMaker maker);

/// A slot for the port "COMn": its handle, or 0. On 0, `message` (when given) receives
/// the text of the reason: port number missing or 256 and more, port already held by
/// a slot, or no free slot.
int32_t open(const char* portName, char** message);
int32_t initialise(int32_t handle, const char* baud, const char* protocol);
int32_t dialogue(int32_t handle, const char* command, char* reply);
int32_t close(int32_t handle);
int32_t suspend(int32_t handle);
int32_t resume(int32_t handle);
int32_t changeBaud(int32_t handle, const char* baud);
int32_t setPriority(int32_t handle, const char* priority);
/// The answer of a function that JBUS lines do not offer.
int32_t notAvailable(int32_t handle);
/// Ports that can be used now; one that a slot holds initialised is always listed.
void portList(char* out);

/// The line object of an initialised handle, or null.
TJbus* lineOf(int32_t handle);

} // namespace linkor::jbus
