// The driver's exported functions as a program resolves them, and a module that
// answers them on the wire.
#pragma once

#include "linkor.h"
#include "loaded_driver.h"
#include "pty_peer.h"

#include <cstdint>
#include <string>

namespace linkor::e2e {

/// The driver's functions in one place.
struct Driver {
    explicit Driver(const LoadedDriver& d)
        : open(d.get<fn::OpenKv>("OpenKv")), init(d.get<fn::InitKv>("InitKv")),
          dialogue(d.get<fn::DialogueKv>("DialogueKv")), close(d.get<fn::CloseKv>("CloseKv")),
          suspend(d.get<fn::SuspendKv>("SuspendKv")), resume(d.get<fn::ResumeKv>("ResumeKv")),
          ports(d.get<fn::GetPortsKv>("GetPortsKv")),
          types(d.get<fn::GetTypesModulesKv>("GetTypesModulesKv")),
          identity(d.get<fn::GetIdentityKv>("GetIdentityKv")),
          protocols(d.get<fn::GetProtocolesKv>("GetProtocolesKv")),
          message(d.get<fn::GetMessageErreurKv>("GetMessageErreurKv")),
          language(d.get<fn::SetConfigDrvKv>("SetConfigDrvKv")) {}
    fn::OpenKv open;
    fn::InitKv init;
    fn::DialogueKv dialogue;
    fn::CloseKv close;
    fn::SuspendKv suspend;
    fn::ResumeKv resume;
    fn::GetPortsKv ports;
    fn::GetTypesModulesKv types;
    fn::GetIdentityKv identity;
    fn::GetProtocolesKv protocols;
    fn::GetMessageErreurKv message;
    fn::SetConfigDrvKv language;
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
