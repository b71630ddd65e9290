// The KV sub-driver: its table of nine slots and the operations the line family
// forwards to it. Handles are 1–9.
#pragma once

#include "base/port.h"
#include "kv_line/trilo.h"

#include <cstdint>
#include <memory>

namespace linkor::kv {

constexpr int kSlotCount = 9;

/// Tests replace the port of each new slot with an in-process port; null restores the
/// serial port.
void setPortMaker(PortFactory maker);

/// A slot for the port "COMn": its handle, or 0 (port 256 or more, port already held,
/// no free slot).
int32_t allocate(const char* portName);
int32_t initialise(int32_t handle, const char* baud, const char* protocol);
int32_t dialogue(int32_t handle, const char* command, char* reply);
int32_t dialogueEx(int32_t handle, const char* command, char* reply, int32_t* moduleStatus);
int32_t close(int32_t handle);
int32_t suspend(int32_t handle);
int32_t resume(int32_t handle);
int32_t changeBaud(int32_t handle, const char* baud);
int32_t setPriority(int32_t handle, const char* priority);
int32_t setSyntax(int32_t handle, const char* text);
int32_t initBreak(int32_t handle, BreakNotify notify, char** result, int32_t waitMs);
int32_t startBreak(int32_t handle, int32_t count, int32_t bits);
int32_t stopBreak(int32_t handle);

/// The line object of an initialised handle, or null.
TTrilo* lineOf(int32_t handle);

} // namespace linkor::kv
