// The JBUS sub-driver's table of nine slots and the operations of the exported JBUS
// family on them. Handles are 1–9, apart from the line family's numbers.
#pragma once

#include "base/port.h"
#include "jbus/jbus_line.h"

#include <cstdint>
#include <memory>

namespace linkor::jbus {

constexpr int kSlotCount = 9;

/// Tests replace the port of each new slot with an in-process port; null restores the
/// serial port.
void setPortMaker(PortFactory maker);

/// A slot for the port "COMn": its handle, or 0. On 0, `message` (when given) receives
/// the text of the reason: port number missing or 256 and more, port already held by
/// a slot, or no free slot.
int32_t open(const char* portName, char** message);
int32_t initialise(int32_t handle, const char* baud, const char* protocol);
int32_t dialogue(int32_t handle, const char* command, char* reply);
/// As dialogue(); JBUS answers carry no module status byte, so `moduleStatus` gets 0.
int32_t dialogueEx(int32_t handle, const char* command, char* reply, int32_t* moduleStatus);
int32_t close(int32_t handle);
int32_t suspend(int32_t handle);
int32_t resume(int32_t handle);
int32_t changeBaud(int32_t handle, const char* baud);
int32_t setPriority(int32_t handle, const char* priority);
/// The answer of a function that JBUS lines do not offer.
int32_t notAvailable(int32_t handle);
/// Break discovery and syntax rules are KV matters: not available on a JBUS line.
int32_t initBreak(int32_t handle, void (*notify)(), char** result, int32_t waitMs);
int32_t startBreak(int32_t handle, int32_t count, int32_t bits);
int32_t stopBreak(int32_t handle);
int32_t setSyntax(int32_t handle, const char* text);
/// Ports that can be used now; one that a slot holds initialised is always listed.
void portList(char* out);

/// The line object of an initialised handle, or null.
TJbus* lineOf(int32_t handle);

} // namespace linkor::jbus
