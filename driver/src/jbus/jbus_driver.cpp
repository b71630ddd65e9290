#include "jbus/jbus_driver.h"

#include "base/driver_state.h"
#include "base/slot_table.h"
#include "base/word_lists.h"
#include "kv/kv_types.h"
#include "linkor_status.h"
#include "posix/port_map.h"
#include "posix/posix_port.h"

#include <string>

namespace linkor::jbus {

namespace {

struct Slot : LineSlot<TJbus> {
    char** messageLocation = nullptr;
};

PortFactory g_portMaker = &makePosixPort;
SlotTable<Slot, kSlotCount> g_slots;

bool inRange(int32_t handle) {
    return g_slots.inRange(handle);
}
Slot& slotOf(int32_t handle) {
    return g_slots[handle];
}

/// The messages are the driver's static texts; callers read them and never free them.
char* messageText(int32_t status) {
    const Language language = driverState().jbusLanguage;
    const char* text = findMessage(status, language);
    return const_cast<char*>(text != nullptr ? text : unknownCodeMessage(language));
}

/// Tells a failure on an open handle to the message location given at opening.
int32_t reported(int32_t handle, int32_t status) {
    if (status != LINKOR_OK && inRange(handle)) {
        const Slot& slot = slotOf(handle);
        if (slot.line && slot.messageLocation != nullptr) {
            *slot.messageLocation = messageText(status);
        }
    }
    return status;
}

int32_t check(int32_t handle) {
    return g_slots.check(handle);
}

int32_t refused(char** message, int32_t status) {
    if (message != nullptr) {
        *message = messageText(status);
    }
    return 0;
}

} // namespace

void setPortMaker(PortFactory maker) {
    g_portMaker = maker != nullptr ? maker : &makePosixPort;
}

int32_t open(const char* portName, char** message) {
    const auto claim = g_slots.claim(portNumberOf(portName), [](std::string name) {
        return std::make_unique<TJbus>(name, g_portMaker());
    });
    if (claim.handle == 0) {
        return refused(message, claim.refusal);
    }
    slotOf(claim.handle).messageLocation = message;
    return claim.handle;
}

int32_t initialise(int32_t handle, const char* baud, const char* protocol) {
    if (const int32_t status = g_slots.checkObject(handle); status != LINKOR_OK) {
        return status;
    }
    Slot& slot = slotOf(handle);
    if (slot.initialised) {
        return reported(handle, LINKOR_ALREADY_INITIALISED);
    }
    int code = kProtocol232;
    if (protocol != nullptr) {
        const auto c = protocolCodeOf(protocol, true);
        if (!c) {
            return reported(handle, LINKOR_BAD_PROTOCOL);
        }
        code = *c;
    }
    const auto speed = kv::baudOf(baud);
    if (!speed) {
        return reported(handle, LINKOR_BAD_BAUD);
    }
    const int32_t status = slot.line->initialise(*speed, code);
    if (status == LINKOR_OK) {
        slot.initialised = true;
    }
    return reported(handle, status);
}

int32_t dialogue(int32_t handle, const char* command, char* reply) {
    if (command == nullptr || command[0] == '\0') {
        if (reply != nullptr) {
            reply[0] = '\0';
        }
        return LINKOR_OK;
    }
    if (const int32_t status = check(handle); status != LINKOR_OK) {
        return reported(handle, status);
    }
    return reported(handle, slotOf(handle).line->dialogue(command, reply));
}

int32_t dialogueEx(int32_t handle, const char* command, char* reply, int32_t* moduleStatus) {
    if (moduleStatus != nullptr) {
        *moduleStatus = 0;
    }
    return dialogue(handle, command, reply);
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
        return reported(handle, status);
    }
    return slotOf(handle).line->suspend();
}

int32_t resume(int32_t handle) {
    if (const int32_t status = check(handle); status != LINKOR_OK) {
        return reported(handle, status);
    }
    return reported(handle, slotOf(handle).line->resume());
}

int32_t changeBaud(int32_t handle, const char* baud) {
    if (const int32_t status = check(handle); status != LINKOR_OK) {
        return reported(handle, status);
    }
    const auto speed = kv::baudOf(baud);
    if (!speed) {
        return reported(handle, LINKOR_BAD_BAUD);
    }
    return reported(handle, slotOf(handle).line->changeBaud(*speed));
}

int32_t setPriority(int32_t handle, const char* priority) {
    if (const int32_t status = check(handle); status != LINKOR_OK) {
        return reported(handle, status);
    }
    return reported(handle, slotOf(handle).line->setPriority(priority));
}

int32_t notAvailable(int32_t handle) {
    return reported(handle, LINKOR_NOT_AVAILABLE);
}

int32_t initBreak(int32_t handle, void (*)(), char**, int32_t) {
    return notAvailable(handle);
}
int32_t startBreak(int32_t handle, int32_t, int32_t) {
    return notAvailable(handle);
}
int32_t stopBreak(int32_t handle) {
    return notAvailable(handle);
}
int32_t setSyntax(int32_t handle, const char*) {
    return notAvailable(handle);
}

void portList(char* out) {
    std::string list;
    for (unsigned port = 1; port <= decltype(g_slots)::kMaxPortNumber; ++port) {
        if (g_slots.holdsInitialised(port) || probePort(port)) {
            list += "COM" + std::to_string(port) + ' ';
        }
    }
    copyOut(out, list, kListBufferSize);
}

TJbus* lineOf(int32_t handle) {
    if (check(handle) != LINKOR_OK) {
        return nullptr;
    }
    return slotOf(handle).line.get();
}

} // namespace linkor::jbus
