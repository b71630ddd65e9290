// The driver's exported functions as a program resolves them, and a module that
// answers them on the wire.
#pragma once

#include "loaded_driver.h"
#include "pty_peer.h"

#include <cstdint>
#include <string>

namespace linkor::e2e {

using OpenFn = int32_t (*)(const char*, int32_t, int32_t);
using InitFn = int32_t (*)(int32_t, const char*, const char*, const char*);
using DialogueFn = int32_t (*)(int32_t, const char*, char*);
using LineFn = int32_t (*)(int32_t);
using OutFn = int32_t (*)(char*);
using OutTypeFn = int32_t (*)(char*, const char*);
using MessageFn = int32_t (*)(char*, int32_t);
using TextFn = int32_t (*)(const char*);

/// The driver's functions in one place.
struct Driver {
    explicit Driver(const LoadedDriver& d)
        : open(d.get<OpenFn>("OpenKv")), init(d.get<InitFn>("InitKv")),
          dialogue(d.get<DialogueFn>("DialogueKv")), close(d.get<LineFn>("CloseKv")),
          suspend(d.get<LineFn>("SuspendKv")), resume(d.get<LineFn>("ResumeKv")),
          ports(d.get<OutFn>("GetPortsKv")), types(d.get<OutFn>("GetTypesModulesKv")),
          identity(d.get<OutFn>("GetIdentityKv")), protocols(d.get<OutTypeFn>("GetProtocolesKv")),
          message(d.get<MessageFn>("GetMessageErreurKv")),
          language(d.get<TextFn>("SetConfigDrvKv")) {}
    OpenFn open;
    InitFn init;
    DialogueFn dialogue;
    LineFn close, suspend, resume;
    OutFn ports, types, identity;
    OutTypeFn protocols;
    MessageFn message;
    TextFn language;
};

inline const char* const kExports[] = {"OpenKv",
                                       "InitKv",
                                       "DialogueKv",
                                       "DialogueKvEx",
                                       "CloseKv",
                                       "SuspendKv",
                                       "ResumeKv",
                                       "InitBreakKv",
                                       "StartBreakKv",
                                       "StopBreakKv",
                                       "ChangeBaudRateKv",
                                       "GetIdentityKv",
                                       "GetPortsKv",
                                       "GetTypesModulesKv",
                                       "GetProtocolesKv",
                                       "GetVitessesKv",
                                       "GetMessageErreurKv",
                                       "SetConfigDrvKv",
                                       "SetPriorityKv",
                                       "SetSyntaxeKv",
                                       "OpenJbus",
                                       "InitJbus",
                                       "DialogueJbus",
                                       "DialogueJbusEx",
                                       "CloseJbus",
                                       "SuspendJbus",
                                       "ResumeJbus",
                                       "InitBreakJbus",
                                       "StartBreakJbus",
                                       "StopBreakJbus",
                                       "ChangeBaudRateJbus",
                                       "GetIdentityJbus",
                                       "GetPortsJbus",
                                       "GetTypesModulesJbus",
                                       "GetProtocolesJbus",
                                       "GetVitessesJbus",
                                       "GetMessageErreurJbus",
                                       "SetConfigDrvJbus",
                                       "SetPriorityJbus",
                                       "SetSyntaxeJbus"};

/// An XON-mode module: acknowledges every frame, and answers a query with "<text> 123".
inline PtyPeer::Answer xonModule(const std::string& received) {
    const std::string text = textOfFrame(received);
    if (text.empty()) {
        return {};
    }
    const bool query = text.find('Q') != std::string::npos;
    return {true, "\x06\x13" + (query ? frameOf(text + " 123") : "") + "\x1a"};
}

} // namespace linkor::e2e
