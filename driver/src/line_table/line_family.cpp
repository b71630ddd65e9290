#include "line_table/line_family.h"

#include "base/driver_state.h"
#include "base/word_lists.h"
#include "jbus/jbus_driver.h"
#include "jbus/jbus_lists.h"
#include "kv/kv_types.h"
#include "kv_line/kv_driver.h"
#include "line_table/set_up.h"
#include "line_table/sorncom.h"
#include "line_table/startup_script.h"
#include "linkor_status.h"
#include "posix/port_map.h"
#include "posix/posix_port.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <string>

namespace linkor::lines {

namespace {

constexpr int32_t kOpenedMark = 1;

struct Entry {
    int32_t handle = 0; ///< 0 free, 1 opened, else the sub-driver's handle
    int kind = kNotInitialised;
};

std::array<Entry, kLineCount + 1> g_lines; // index 0 unused

bool inRange(int32_t line) {
    return line >= 1 && line <= kLineCount;
}

/// The checks every per-line call makes first, in this order.
int32_t check(int32_t line) {
    if (!inRange(line)) {
        return LINKOR_BAD_LINE;
    }
    if (g_lines[static_cast<size_t>(line)].handle == 0) {
        return LINKOR_NOT_OPENED;
    }
    if (g_lines[static_cast<size_t>(line)].kind == kNotInitialised) {
        return LINKOR_NOT_INITIALISED;
    }
    return LINKOR_OK;
}

Entry& entryOf(int32_t line) {
    return g_lines[static_cast<size_t>(line)];
}

std::string portNameOf(int32_t line) {
    return "COM" + std::to_string(line);
}

/// Calls the auxiliary driver's function `name` with `args`; 0x8021 when it is absent.
template <typename F, typename... Args> int32_t forwardCom(const char* name, Args... args) {
    const F function = sorncom::find<F>(name);
    return function != nullptr ? function(args...) : LINKOR_NOT_AVAILABLE;
}

int32_t runScriptOn(int32_t line) {
    char reply[kReplyBufferSize];
    return runStartupScript(
        driverState().scriptPath, portNameOf(line),
        [line, &reply](const char* text) { return dialogue(line, text, reply); });
}

} // namespace

int kindOf(int32_t line) {
    if (!inRange(line) || entryOf(line).handle == 0) {
        return -1;
    }
    return entryOf(line).kind;
}

int32_t open(const char* port) {
    ensureSetUp();
    const auto number = portNumberOf(port);
    if (!number || !inRange(static_cast<int32_t>(*number))) {
        return 0;
    }
    const auto line = static_cast<int32_t>(*number);
    if (entryOf(line).handle != 0) {
        return 0;
    }
    int used = 0;
    for (int32_t l = 1; l <= kLineCount; ++l) {
        used += entryOf(l).handle != 0 ? 1 : 0;
    }
    if (used >= kMaxOpenLines) {
        return 0;
    }
    entryOf(line) = Entry{kOpenedMark, kNotInitialised};
    return line;
}

int32_t init(int32_t line, const char* baud, const char* protocol, const char* initial) {
    if (!inRange(line)) {
        return LINKOR_BAD_LINE;
    }
    if (entryOf(line).handle == 0) {
        return LINKOR_NOT_OPENED;
    }
    if (entryOf(line).kind != kNotInitialised) {
        return LINKOR_ALREADY_INITIALISED;
    }
    const std::string port = portNameOf(line);

    int32_t handle = kv::allocate(port.c_str());
    if (handle == 0) {
        return LINKOR_CANNOT_INITIALISE;
    }
    int32_t status = kv::initialise(handle, baud, protocol);
    int kind = kKv;
    if (status != LINKOR_OK) {
        kv::close(handle);
        if (status != LINKOR_BAD_PROTOCOL) {
            return status;
        }
        handle = jbus::open(port.c_str(), nullptr);
        if (handle == 0) {
            return LINKOR_CANNOT_INITIALISE;
        }
        status = jbus::initialise(handle, baud, protocol);
        kind = kJbus;
        if (status != LINKOR_OK) {
            jbus::close(handle);
            if (status != LINKOR_BAD_PROTOCOL) {
                return status;
            }
        }
    }
    if (status != LINKOR_OK) {
        if (!sorncom::loaded()) {
            return LINKOR_BAD_PROTOCOL;
        }
        const auto openCom = sorncom::find<sorncom::OpenFn>("OpenCom");
        if (openCom == nullptr) {
            return LINKOR_BAD_PROTOCOL;
        }
        handle = openCom(port.c_str(), 0);
        if (handle == 0) {
            return LINKOR_CANNOT_INITIALISE;
        }
        const auto initCom = sorncom::find<sorncom::InitFn>("InitCom");
        if (initCom == nullptr || initCom(handle, baud, protocol) != 0) {
            if (const auto closeCom = sorncom::find<sorncom::HandleFn>("CloseCom")) {
                closeCom(handle);
            }
            return LINKOR_BAD_PROTOCOL;
        }
        kind = kSorncom;
    }
    entryOf(line) = Entry{handle, kind};

    if (initial != nullptr) {
        char reply[kReplyBufferSize];
        if (const int32_t s = dialogue(line, initial, reply); s != LINKOR_OK) {
            return s;
        }
    }
    return runScriptOn(line);
}

int32_t dialogue(int32_t line, const char* command, char* reply) {
    if (const int32_t s = check(line); s != LINKOR_OK) {
        return s;
    }
    const Entry& e = entryOf(line);
    switch (e.kind) {
    case kKv:
        return kv::dialogue(e.handle, command, reply);
    case kJbus:
        return jbus::dialogue(e.handle, command, reply);
    default:
        return forwardCom<sorncom::DialogueFn>("DialogueCom", e.handle, command, reply);
    }
}

int32_t dialogueEx(int32_t line, const char* command, char* reply, int32_t* moduleStatus) {
    if (const int32_t s = check(line); s != LINKOR_OK) {
        return s;
    }
    const Entry& e = entryOf(line);
    switch (e.kind) {
    case kKv:
        return kv::dialogueEx(e.handle, command, reply, moduleStatus);
    case kJbus:
        return jbus::dialogueEx(e.handle, command, reply, moduleStatus);
    default:
        return forwardCom<sorncom::DialogueExFn>("DialogueComEx", e.handle, command, reply,
                                                 moduleStatus);
    }
}

int32_t close(int32_t line) {
    if (!inRange(line)) {
        return LINKOR_BAD_LINE;
    }
    const Entry e = entryOf(line);
    if (e.handle == 0) {
        return LINKOR_OK;
    }
    entryOf(line) = Entry{};
    switch (e.kind) {
    case kNotInitialised:
        return LINKOR_OK;
    case kKv:
        return kv::close(e.handle);
    case kJbus:
        return jbus::close(e.handle);
    default:
        return forwardCom<sorncom::HandleFn>("CloseCom", e.handle);
    }
}

namespace {

/// Forwards a per-line call, after its checks, to the sub-driver of the line.
template <typename ComFn, typename KvFn, typename JbusFn, typename... Args>
int32_t forward(int32_t line, KvFn kvCall, JbusFn jbusCall, const char* comName, Args... args) {
    if (const int32_t s = check(line); s != LINKOR_OK) {
        return s;
    }
    const Entry& e = entryOf(line);
    switch (e.kind) {
    case kKv:
        return kvCall(e.handle, args...);
    case kJbus:
        return jbusCall(e.handle, args...);
    default:
        return forwardCom<ComFn>(comName, e.handle, args...);
    }
}

} // namespace

int32_t suspend(int32_t line) {
    return forward<sorncom::HandleFn>(line, kv::suspend, jbus::suspend, "SuspendCom");
}
int32_t resume(int32_t line) {
    return forward<sorncom::HandleFn>(line, kv::resume, jbus::resume, "ResumeCom");
}
int32_t initBreak(int32_t line, LinkorBreakNotify notify, char** result, int32_t waitMs) {
    return forward<sorncom::InitBreakFn>(line, kv::initBreak, jbus::initBreak, "InitBreakCom",
                                         notify, result, waitMs);
}
int32_t startBreak(int32_t line, int32_t count, int32_t bits) {
    return forward<sorncom::StartBreakFn>(line, kv::startBreak, jbus::startBreak, "StartBreakCom",
                                          count, bits);
}
int32_t stopBreak(int32_t line) {
    return forward<sorncom::HandleFn>(line, kv::stopBreak, jbus::stopBreak, "StopBreakCom");
}
int32_t changeBaud(int32_t line, const char* baud) {
    return forward<sorncom::TextFn>(line, kv::changeBaud, jbus::changeBaud, "ChangeBaudRateCom",
                                    baud);
}
int32_t setPriority(int32_t line, const char* priority) {
    return forward<sorncom::TextFn>(line, kv::setPriority, jbus::setPriority, "SetPriorityCom",
                                    priority);
}
int32_t setSyntax(int32_t line, const char* syntax) {
    return forward<sorncom::TextFn>(line, kv::setSyntax, jbus::setSyntax, "SetSyntaxeCom", syntax);
}

int32_t identity(char* out) {
    ensureSetUp();
    std::string text = kDriverIdentity;
    if (sorncom::loaded()) {
        text += '\n';
        if (const auto com = sorncom::find<sorncom::OutFn>("GetIdentityCom")) {
            char extra[kMessageBufferSize] = {};
            const int32_t result = com(extra);
            extra[kMessageBufferSize - 1] = '\0';
            text += extra;
            if (result != 0) {
                text.pop_back();
            }
        }
    }
    copyOut(out, text, kMessageBufferSize);
    return LINKOR_OK;
}

int32_t ports(char* out) {
    ensureSetUp();
    std::string list;
    for (int32_t line = 1; line <= kLineCount; ++line) {
        const bool initialisedHere = kindOf(line) > kNotInitialised;
        if (initialisedHere || probePort(static_cast<unsigned>(line))) {
            list += portNameOf(line) + ' ';
        }
    }
    copyOut(out, list, kListBufferSize);
    return LINKOR_OK;
}

int32_t types(char* out) {
    ensureSetUp();
    char jbus[kListBufferSize] = {};
    jbus::typeList(jbus);
    std::string list = kv::typeList() + ' ' + jbus;
    if (sorncom::loaded()) {
        if (const auto com = sorncom::find<sorncom::OutFn>("GetTypesModulesCom")) {
            char extra[kListBufferSize] = {};
            const int32_t result = com(extra);
            extra[kListBufferSize - 1] = '\0';
            list += ' ';
            list += extra;
            if (result != 0) {
                list.pop_back();
            }
        }
    }
    copyOut(out, uniqueWords(list), kListBufferSize);
    return LINKOR_OK;
}

namespace {

/// Appends the JBUS and auxiliary lists to the KV list by the merge rule.
template <typename JbusFn, typename ComFn, typename... Args>
std::string mergedList(std::string kvList, JbusFn jbus, const char* comName, Args... args) {
    char buffer[kListBufferSize] = {};
    if (jbus(buffer, args...) == LINKOR_OK) {
        mergeList(kvList, buffer);
    }
    if (sorncom::loaded()) {
        if (const auto com = sorncom::find<ComFn>(comName)) {
            char extra[kListBufferSize] = {};
            if (com(extra, args...) == LINKOR_OK) {
                extra[kListBufferSize - 1] = '\0';
                mergeList(kvList, extra);
            }
        }
    }
    return kvList;
}

} // namespace

int32_t protocols(char* out, const char* type) {
    ensureSetUp();
    std::string kvList;
    kv::protocolList(type, kvList);
    const std::string list = mergedList<decltype(&jbus::protocolList), sorncom::OutTypeFn>(
        kvList, &jbus::protocolList, "GetProtocolesCom", type);
    copyOut(out, list, kListBufferSize);
    return list.empty() ? LINKOR_BAD_MODULE_TYPE : LINKOR_OK;
}

int32_t bauds(char* out, const char* type, const char* protocol) {
    ensureSetUp();
    std::string kvList;
    kv::baudList(type, protocol, kvList);
    const std::string list =
        uniqueWords(mergedList<decltype(&jbus::baudList), sorncom::OutTypeProtocolFn>(
            kvList, &jbus::baudList, "GetVitessesCom", type, protocol));
    copyOut(out, list, kListBufferSize);
    return list.empty() ? LINKOR_BAD_MODULE_TYPE : LINKOR_OK;
}

int32_t message(char* out, int32_t code) {
    ensureSetUp();
    if (const char* text = findMessage(code, driverState().language)) {
        std::string message = text;
        if (code == LINKOR_SCRIPT_FAILED) {
            message += scriptFailureDetail(lastScriptFailure(),
                                           driverState().language == Language::English);
        }
        copyOut(out, message, kMessageBufferSize);
        return LINKOR_OK;
    }
    copyOut(out, unknownCodeMessage(driverState().language), kMessageBufferSize);
    if (jbus::messageText(out, code) == LINKOR_OK) {
        return LINKOR_OK;
    }
    if (const auto com = sorncom::find<sorncom::MessageFn>("GetMessageErreurCom")) {
        return com(out, code);
    }
    return 1;
}

int32_t setLanguage(const char* language) {
    ensureSetUp();
    if (language == nullptr) {
        return LINKOR_OK; // nothing changes
    }
    const auto chosen = languageOf(language);
    if (!chosen) {
        return LINKOR_BAD_LANGUAGE;
    }
    driverState().language = *chosen;
    driverState().jbusLanguage = *chosen;
    if (const auto com = sorncom::find<sorncom::LanguageFn>("SetConfigDrvCom")) {
        return com(language);
    }
    return 1;
}

} // namespace linkor::lines
