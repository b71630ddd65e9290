// The exported JBUS family: a thin layer over the JBUS slot table that never lets an
// exception reach a caller. The line family calls these same functions for its JBUS
// lines.
#include "driver_state.h"
#include "jbus_driver.h"
#include "kv_types.h"
#include "linkor.h"
#include "linkor_status.h"
#include "word_lists.h"

#include <string>
#include <strings.h>

using namespace linkor;

namespace {

constexpr const char* kJbusType = "JBUS";
constexpr const char* kJbusProtocols = "JBUS-232 JBUS-485";

bool isJbusType(const char* type) {
    return type != nullptr && strcasecmp(type, kJbusType) == 0;
}

std::string allBauds() {
    std::string out;
    for (const char* baud : kv::kBaudTexts) {
        if (!out.empty()) {
            out += ' ';
        }
        out += baud;
    }
    return out;
}

/// Runs a call; anything thrown (memory exhausted) becomes "function not available".
template <typename F> int32_t guarded(F&& call) noexcept {
    try {
        return call();
    } catch (...) {
        return LINKOR_NOT_AVAILABLE;
    }
}

} // namespace

extern "C" {

int32_t LINKOR_API OpenJbus(const char* port, char** message) {
    return guarded([&] { return jbus::open(port, message); });
}
int32_t LINKOR_API InitJbus(int32_t handle, const char* baud, const char* protocol) {
    return guarded([&] { return jbus::initialise(handle, baud, protocol); });
}
int32_t LINKOR_API DialogueJbus(int32_t handle, const char* command, char* reply) {
    return guarded([&] { return jbus::dialogue(handle, command, reply); });
}
int32_t LINKOR_API DialogueJbusEx(int32_t handle, const char* command, char* reply,
                                  int32_t* moduleStatus) {
    // JBUS answers carry no module status byte.
    if (moduleStatus != nullptr) {
        *moduleStatus = 0;
    }
    return DialogueJbus(handle, command, reply);
}
int32_t LINKOR_API CloseJbus(int32_t handle) {
    return guarded([&] { return jbus::close(handle); });
}
int32_t LINKOR_API SuspendJbus(int32_t handle) {
    return guarded([&] { return jbus::suspend(handle); });
}
int32_t LINKOR_API ResumeJbus(int32_t handle) {
    return guarded([&] { return jbus::resume(handle); });
}
int32_t LINKOR_API InitBreakJbus(int32_t handle, LinkorBreakNotify, char**, int32_t) {
    return guarded([&] { return jbus::notAvailable(handle); });
}
int32_t LINKOR_API StartBreakJbus(int32_t handle, int32_t, int32_t) {
    return guarded([&] { return jbus::notAvailable(handle); });
}
int32_t LINKOR_API StopBreakJbus(int32_t handle) {
    return guarded([&] { return jbus::notAvailable(handle); });
}
int32_t LINKOR_API ChangeBaudRateJbus(int32_t handle, const char* baud) {
    return guarded([&] { return jbus::changeBaud(handle, baud); });
}
int32_t LINKOR_API SetPriorityJbus(int32_t handle, const char* priority) {
    return guarded([&] { return jbus::setPriority(handle, priority); });
}
int32_t LINKOR_API SetSyntaxeJbus(int32_t handle, const char*) {
    return guarded([&] { return jbus::notAvailable(handle); });
}

int32_t LINKOR_API GetIdentityJbus(char* out) {
    copyOut(out, kJbusIdentity, kMessageBufferSize);
    return LINKOR_OK;
}

int32_t LINKOR_API GetPortsJbus(char* out) {
    return guarded([&] {
        jbus::portList(out);
        return LINKOR_OK;
    });
}

int32_t LINKOR_API GetTypesModulesJbus(char* out) {
    copyOut(out, kJbusType, kListBufferSize);
    return LINKOR_OK;
}

int32_t LINKOR_API GetProtocolesJbus(char* out, const char* type) {
    return guarded([&] {
        if (type == nullptr) {
            copyOut(out, kJbusProtocols, kListBufferSize);
            return LINKOR_OK;
        }
        if (!isJbusType(type)) {
            copyOut(out, "", kListBufferSize);
            return LINKOR_BAD_MODULE_TYPE;
        }
        copyOut(out, std::string(type) + ": " + kJbusProtocols, kListBufferSize);
        return LINKOR_OK;
    });
}

int32_t LINKOR_API GetVitessesJbus(char* out, const char* type, const char* protocol) {
    return guarded([&] {
        if (type == nullptr) {
            copyOut(out, allBauds(), kListBufferSize);
            return LINKOR_OK;
        }
        if (!isJbusType(type)) {
            copyOut(out, "", kListBufferSize);
            return LINKOR_BAD_MODULE_TYPE;
        }
        std::string list = std::string(type) + ": ";
        if (protocol != nullptr) {
            list += std::string(protocol) + ": "; // echoed, not checked
        }
        copyOut(out, list + allBauds(), kListBufferSize);
        return LINKOR_OK;
    });
}

int32_t LINKOR_API GetMessageErreurJbus(char* out, int32_t code) {
    const Language language = driverState().jbusLanguage;
    if (const char* text = findMessage(code, language)) {
        copyOut(out, text, kMessageBufferSize);
        return LINKOR_OK;
    }
    copyOut(out, unknownCodeMessage(language), kMessageBufferSize);
    return -1;
}

int32_t LINKOR_API SetConfigDrvJbus(const char* language) {
    if (language == nullptr) {
        return LINKOR_OK;
    }
    const auto chosen = languageOf(language);
    if (!chosen) {
        return LINKOR_BAD_LANGUAGE;
    }
    driverState().jbusLanguage = *chosen;
    return LINKOR_OK;
}

} // extern "C"
