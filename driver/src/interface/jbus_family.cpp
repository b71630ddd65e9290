// The exported JBUS family: a thin layer over the JBUS slot table and lists that never
// lets an exception reach a caller.
#include "base/driver_state.h"
#include "base/word_lists.h"
#include "interface/guarded.h"
#include "jbus/jbus_driver.h"
#include "jbus/jbus_lists.h"
#include "kv/kv_types.h"
#include "linkor.h"
#include "linkor_status.h"

#include <string>
#include <strings.h>

using namespace linkor;

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
    return guarded([&] { return jbus::dialogueEx(handle, command, reply, moduleStatus); });
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
int32_t LINKOR_API InitBreakJbus(int32_t handle, LinkorBreakNotify notify, char** result,
                                 int32_t waitMs) {
    return guarded([&] { return jbus::initBreak(handle, notify, result, waitMs); });
}
int32_t LINKOR_API StartBreakJbus(int32_t handle, int32_t count, int32_t bits) {
    return guarded([&] { return jbus::startBreak(handle, count, bits); });
}
int32_t LINKOR_API StopBreakJbus(int32_t handle) {
    return guarded([&] { return jbus::stopBreak(handle); });
}
int32_t LINKOR_API ChangeBaudRateJbus(int32_t handle, const char* baud) {
    return guarded([&] { return jbus::changeBaud(handle, baud); });
}
int32_t LINKOR_API SetPriorityJbus(int32_t handle, const char* priority) {
    return guarded([&] { return jbus::setPriority(handle, priority); });
}
int32_t LINKOR_API SetSyntaxeJbus(int32_t handle, const char* text) {
    return guarded([&] { return jbus::setSyntax(handle, text); });
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
    jbus::typeList(out);
    return LINKOR_OK;
}

int32_t LINKOR_API GetProtocolesJbus(char* out, const char* type) {
    return guarded([&] { return jbus::protocolList(out, type); });
}

int32_t LINKOR_API GetVitessesJbus(char* out, const char* type, const char* protocol) {
    return guarded([&] { return jbus::baudList(out, type, protocol); });
}

int32_t LINKOR_API GetMessageErreurJbus(char* out, int32_t code) {
    return jbus::messageText(out, code);
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
