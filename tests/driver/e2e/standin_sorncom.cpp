// An auxiliary line driver for tests: it answers every call with texts that show what
// the line driver passed to it.
#include <cstdint>
#include <cstdio>
#include <cstring>

#define STANDIN_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
int32_t g_lastHandle = 0;
}

STANDIN_EXPORT int32_t OpenCom(const char* port, int32_t) {
    return std::strcmp(port, "COM200") == 0 ? 0 : 42;
}
STANDIN_EXPORT int32_t InitCom(int32_t handle, const char*, const char* protocol) {
    g_lastHandle = handle;
    return std::strcmp(protocol, "FIELDBUS") == 0 ? 0 : 7;
}
STANDIN_EXPORT int32_t CloseCom(int32_t) {
    return 0;
}
STANDIN_EXPORT int32_t DialogueCom(int32_t handle, const char* command, char* reply) {
    std::snprintf(reply, 256, "aux %d: %s", handle, command);
    return 0x2009;
}
STANDIN_EXPORT int32_t GetIdentityCom(char* text) {
    std::strcpy(text, "Aux driver 1.0");
    return 0;
}
STANDIN_EXPORT int32_t GetTypesModulesCom(char* text) {
    std::strcpy(text, "AUXMOTOR TRILO AUXIO ");
    return 1; // the last character goes
}
STANDIN_EXPORT int32_t GetProtocolesCom(char* text, const char* type) {
    std::strcpy(text, type == nullptr ? "FIELDBUS" : "");
    return type == nullptr ? 0 : 1;
}
STANDIN_EXPORT int32_t GetMessageErreurCom(char* text, int32_t code) {
    std::snprintf(text, 256, "aux code %d", code);
    return code == 0x7777 ? 0 : 5;
}
STANDIN_EXPORT int32_t SetConfigDrvCom(const char*) {
    return 0;
}
