#include "jbus_driver.h"

#include "driver_state.h"
#include "kv_types.h"
#include "linkor_status.h"
#include "port_map.h"
#include "posix_port.h"
#include "word_lists.h"

#include <array>
#include <cstdio>
#include <string>

namespace linkor::jbus {

namespace {

constexpr unsigned kMaxPortNumber = 255;

struct Slot {
    unsigned port = 0;
    bool initialised = false;
    std::unique_ptr<TJbus> line;
    char** messageLocation = nullptr;
};

std::unique_ptr<Port> makePosixPort() {
    return std::make_unique<PosixPort>();
}

PortMaker g_portMaker = &makePosixPort;
std::array<Slot, kSlotCount> g_slots;

bool inRange(int32_t handle) {
    return handle >= 1 && handle <= kSlotCount;
}
Slot& slotOf(int32_t handle) {
    return g_slots[static_cast<size_t>(handle - 1)];
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

/// The usual checks of an operation on an initialised line: 0x8001, 0x8000, 0x800B.
int32_t check(int32_t handle) {
    if (!inRange(handle)) {
        return LINKOR_BAD_LINE;
    }
    if (!slotOf(handle).line) {
        return LINKOR_NO_OBJECT;
    }
    if (!slotOf(handle).initialised) {
        return LINKOR_NOT_INITIALISED;
    }
    return LINKOR_OK;
}

int32_t refused(char** message, int32_t status) {
    if (message != nullptr) {
        *message = messageText(status);
    }
    return 0;
}

} // namespace

void setPortMaker(PortMaker maker) {
    g_portMaker = maker != nullptr ? maker : &makePosixPort;
}

int32_t open(const char* portName, char** message) {
    const auto number = portNumberOf(portName);
    if (!number || *number > kMaxPortNumber) {
        return refused(message, LINKOR_BAD_LINE);
    }
    int32_t freeHandle = 0;
    for (int32_t h = 1; h <= kSlotCount; ++h) {
        const Slot& slot = slotOf(h);
        if (slot.line && slot.port == *number) {
            return refused(message, LINKOR_ALREADY_OPEN);
        }
        if (!slot.line && freeHandle == 0) {
            freeHandle = h;
        }
    }
    if (freeHandle == 0) {
        return refused(message, LINKOR_TOO_MANY_LINES);
    }
    char name[16];
    std::snprintf(name, sizeof name, "COM%u", *number);
    Slot& slot = slotOf(freeHandle);
    slot.port = *number;
    slot.initialised = false;
    slot.line = std::make_unique<TJbus>(name, g_portMaker());
    slot.messageLocation = message;
    return freeHandle;
}

int32_t initialise(int32_t handle, const char* baud, const char* protocol) {
    if (!inRange(handle)) {
        return LINKOR_BAD_LINE;
    }
    Slot& slot = slotOf(handle);
    if (!slot.line) {
        return LINKOR_NO_OBJECT;
    }
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

int32_t close(int32_t handle) {
    if (!inRange(handle)) {
        return LINKOR_BAD_LINE;
    }
    Slot& slot = slotOf(handle);
    if (!slot.line) {
        return LINKOR_NO_OBJECT;
    }
    slot.line->close();
    slot = Slot{};
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

void portList(char* out) {
    std::string list;
    for (unsigned port = 1; port <= kMaxPortNumber; ++port) {
        bool held = false;
        for (const Slot& slot : g_slots) {
            held = held || (slot.line && slot.initialised && slot.port == port);
        }
        if (held || probePort(port)) {
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
