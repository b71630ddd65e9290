// A stand-in for the line driver with the same exported names, for what the virtual line
// cannot show: replies longer than any module sends, functions that are missing, and the
// arguments the binding passes. Built three times: whole, without the optional functions
// (STANDIN_BARE), and without the list functions (STANDIN_NO_LISTS).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#define STANDIN_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
std::mutex g_mutex;
std::string g_commands; // every command text, each followed by "|"
std::string g_syntax = "<none>";
std::string g_language = "<none>";
std::string g_failOn;
int32_t g_failStatus = 0;
constexpr int kLongReply = 400;
} // namespace

STANDIN_EXPORT int32_t OpenKv(const char* port, int32_t, int32_t) {
    return std::atoi(port + 3);
}
STANDIN_EXPORT int32_t InitKv(int32_t, const char*, const char*, const char*) {
    return 0;
}
STANDIN_EXPORT int32_t DialogueKv(int32_t, const char* command, char* reply) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_commands += command;
    g_commands += "|";
    if (!g_failOn.empty() && std::strncmp(command, g_failOn.c_str(), g_failOn.size()) == 0) {
        reply[0] = '\0';
        return g_failStatus;
    }
    if (std::strcmp(command, "LONG") == 0) {
        std::memset(reply, 'x', kLongReply);
        reply[kLongReply] = '\0';
    } else {
        std::snprintf(reply, 256, "re:%s", command);
    }
    return 0;
}
STANDIN_EXPORT int32_t CloseKv(int32_t) {
    return 0;
}
STANDIN_EXPORT int32_t GetTypesModulesKv(char* out) {
    std::strcpy(out, "TRILO");
    return 0;
}
STANDIN_EXPORT int32_t GetMessageErreurKv(char* out, int32_t code) {
    std::sprintf(out, "message %X", static_cast<unsigned>(code));
    return 0;
}

#ifndef STANDIN_NO_LISTS
STANDIN_EXPORT int32_t GetPortsKv(char* out) {
    std::strcpy(out, "COM2 ");
    return 0;
}
STANDIN_EXPORT int32_t GetProtocolesKv(char* out, const char*) {
    std::strcpy(out, "TRILO: XON-XOFF");
    return 0;
}
STANDIN_EXPORT int32_t GetVitessesKv(char* out, const char*, const char* protocol) {
    std::strcpy(out, protocol == nullptr ? "TRILO: 9600" : "TRILO: XON-XOFF: 9600");
    return 0;
}
#endif

#ifndef STANDIN_BARE
STANDIN_EXPORT int32_t GetIdentityKv(char* out) {
    std::strcpy(out, "stand-in");
    return 0;
}
STANDIN_EXPORT int32_t SetConfigDrvKv(const char* language) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_language = language != nullptr ? language : "<null>";
    return 0;
}
STANDIN_EXPORT int32_t SetSyntaxeKv(int32_t, const char* syntax) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_syntax = syntax != nullptr ? syntax : "<null>";
    return 0;
}
#endif

/// What the binding passed: 0 the command texts, 1 the last syntax, 2 the language.
STANDIN_EXPORT void StandinSeen(int which, char* out, int size) {
    std::lock_guard<std::mutex> lock(g_mutex);
    const std::string& s = which == 0 ? g_commands : (which == 1 ? g_syntax : g_language);
    std::snprintf(out, static_cast<std::size_t>(size), "%s", s.c_str());
}

/// Forgets what earlier tests passed and asked for: the library stays loaded for the whole
/// test program, so each test starts from here.
STANDIN_EXPORT void StandinReset() {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_commands.clear();
    g_syntax = "<none>";
    g_language = "<none>";
    g_failOn.clear();
    g_failStatus = 0;
}

/// Commands that begin with @p prefix get @p status.
STANDIN_EXPORT void StandinFailOn(const char* prefix, int32_t status) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_failOn = prefix;
    g_failStatus = status;
}
