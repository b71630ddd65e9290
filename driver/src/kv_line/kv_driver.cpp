#include "kv_line/kv_driver.h"

#include "base/slot_table.h"
#include "kv/kv_types.h"
#include "linkor_status.h"
#include "posix/port_map.h"
#include "posix/posix_port.h"

namespace linkor::kv {

namespace {

constexpr int32_t kDefaultBreakWaitMs = 20;

using Slot = LineSlot<TTrilo>;

PortFactory g_portMaker = &makePosixPort;
SlotTable<Slot, kSlotCount> g_slots;

Slot& slotOf(int32_t handle) {
    return g_slots[handle];
}
bool inRange(int32_t handle) {
    return g_slots.inRange(handle);
}
int32_t check(int32_t handle) {
    return g_slots.check(handle);
}

} // namespace

void setPortMaker(PortFactory maker) {
    g_portMaker = maker != nullptr ? maker : &makePosixPort;
}

int32_t allocate(const char* portName) {
    return g_slots
        .claim(portNumberOf(portName),
               [](std::string name) { return std::make_unique<TTrilo>(name, g_portMaker()); })
        .handle;
}

int32_t initialise(int32_t handle, const char* baud, const char* protocol) {
    if (const int32_t status = g_slots.checkObject(handle); status != LINKOR_OK) {
        return status;
    }
    Slot& slot = slotOf(handle);
    if (slot.initialised) {
        return LINKOR_ALREADY_INITIALISED;
    }
    int code = kProtocolXon;
    if (protocol != nullptr) {
        const auto c = protocolCodeOf(protocol);
        if (!c) {
            return LINKOR_BAD_PROTOCOL;
        }
        code = *c;
    }
    const auto speed = baudOf(baud);
    if (!speed) {
        return LINKOR_BAD_BAUD;
    }
    const int32_t status = slot.line->initialise(*speed, code);
    if (status == LINKOR_OK) {
        slot.initialised = true;
    }
    return status;
}

int32_t dialogue(int32_t handle, const char* command, char* reply) {
    if (command == nullptr || command[0] == '\0') {
        if (reply != nullptr) {
            reply[0] = '\0';
        }
        return LINKOR_OK;
    }
    if (const int32_t status = check(handle); status != LINKOR_OK) {
        return status;
    }
    char scratch[256];
    return slotOf(handle).line->dialogue(command, reply != nullptr ? reply : scratch);
}

int32_t dialogueEx(int32_t handle, const char* command, char* reply, int32_t* moduleStatus) {
    if (inRange(handle) && slotOf(handle).line) {
        slotOf(handle).line->clearModuleStatus();
    }
    const int32_t status = dialogue(handle, command, reply);
    if (moduleStatus != nullptr) {
        const TTrilo* line = inRange(handle) ? slotOf(handle).line.get() : nullptr;
        *moduleStatus = line != nullptr ? static_cast<int8_t>(line->moduleStatus()) : 0;
    }
    return status;
}

int32_t close(int32_t handle) {
    if (const int32_t status = g_slots.checkObject(handle); status != LINKOR_OK) {
        return status;
    }
    slotOf(handle).line->close();
    g_slots.release(handle);
    return LINKOR_OK;
}

int32_t suspend(int32_t handle) {
    if (const int32_t status = check(handle); status != LINKOR_OK) {
        return status;
    }
    return slotOf(handle).line->suspend();
}

int32_t resume(int32_t handle) {
    if (const int32_t status = check(handle); status != LINKOR_OK) {
        return status;
    }
    return slotOf(handle).line->resume();
}

int32_t changeBaud(int32_t handle, const char* baud) {
    if (const int32_t status = check(handle); status != LINKOR_OK) {
        return status;
    }
    const auto speed = baudOf(baud);
    if (!speed) {
        return LINKOR_BAD_BAUD;
    }
    return slotOf(handle).line->changeBaud(*speed);
}

int32_t setPriority(int32_t handle, const char* priority) {
    if (const int32_t status = check(handle); status != LINKOR_OK) {
        return status;
    }
    return slotOf(handle).line->setPriority(priority);
}

int32_t setSyntax(int32_t handle, const char* text) {
    if (const int32_t status = check(handle); status != LINKOR_OK) {
        return status;
    }
    return slotOf(handle).line->setSyntax(text);
}

int32_t initBreak(int32_t handle, BreakNotify notify, char** result, int32_t waitMs) {
    if (const int32_t status = check(handle); status != LINKOR_OK) {
        return status;
    }
    const int32_t wait = waitMs > 0 ? waitMs : kDefaultBreakWaitMs;
    slotOf(handle).line->initBreak(notify, result, std::chrono::milliseconds(wait));
    return LINKOR_OK;
}

int32_t startBreak(int32_t handle, int32_t count, int32_t bits) {
    if (const int32_t status = check(handle); status != LINKOR_OK) {
        return status;
    }
    slotOf(handle).line->startBreak(count, bits);
    return LINKOR_OK;
}

int32_t stopBreak(int32_t handle) {
    if (const int32_t status = check(handle); status != LINKOR_OK) {
        return status;
    }
    slotOf(handle).line->stopBreak();
    return LINKOR_OK;
}

TTrilo* lineOf(int32_t handle) {
    if (check(handle) != LINKOR_OK) {
        return nullptr;
    }
    return slotOf(handle).line.get();
}

} // namespace linkor::kv
