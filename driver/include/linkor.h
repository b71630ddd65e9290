/**
 * @file linkor.h
 * The line driver's whole public face: the line family (names ending in `Kv`) and the
 * JBUS family (names ending in `Jbus`).
 *
 * Every integer is 32-bit; texts are 8-bit and NUL-terminated. Output buffers belong to
 * the caller and carry no size: replies need 256 bytes, list buffers must hold the whole
 * list (the port list may name 255 ports, so 2048 bytes is ample). Status codes are 0 for
 * success, otherwise one of the codes in linkor_status.h.
 */
#ifndef LINKOR_H
#define LINKOR_H

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define LINKOR_API __stdcall
#else
#define LINKOR_API
#endif

#if defined(_WIN32)
#define LINKOR_EXPORT __declspec(dllexport)
#else
#define LINKOR_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/** Notification called by the break-signal discovery when it has finished. */
typedef void(LINKOR_API* LinkorBreakNotify)(void);

/** Opens line n for the port "COMn"; the two integers are ignored. Returns n, or 0. */
LINKOR_EXPORT int32_t LINKOR_API OpenKv(const char* port, int32_t, int32_t);
/** Initialises an opened line with a baud text, a protocol name and an optional first
 *  command; replays the start-up script. */
LINKOR_EXPORT int32_t LINKOR_API InitKv(int32_t line, const char* baud, const char* protocol,
                                        const char* initial);
/** Sends one command text and waits for the module's reply (reply: 256 bytes). */
LINKOR_EXPORT int32_t LINKOR_API DialogueKv(int32_t line, const char* command, char* reply);
/** As DialogueKv; also gives the last module status byte seen, sign-extended (0 if none). */
LINKOR_EXPORT int32_t LINKOR_API DialogueKvEx(int32_t line, const char* command, char* reply,
                                              int32_t* moduleStatus);
/** Closes a line in any state; closing a free line is no error. */
LINKOR_EXPORT int32_t LINKOR_API CloseKv(int32_t line);
/** Releases the serial port of a line but keeps the line and its settings. */
LINKOR_EXPORT int32_t LINKOR_API SuspendKv(int32_t line);
/** Takes the serial port of a suspended line again with its stored settings. */
LINKOR_EXPORT int32_t LINKOR_API ResumeKv(int32_t line);
/** Prepares the break-signal address discovery: notification, result text, wait (ms). */
LINKOR_EXPORT int32_t LINKOR_API InitBreakKv(int32_t line, LinkorBreakNotify notify, char** result,
                                             int32_t waitMs);
/** Starts the discovery on its worker thread for `count` modules of `bits` address bits. */
LINKOR_EXPORT int32_t LINKOR_API StartBreakKv(int32_t line, int32_t count, int32_t bits);
/** Stops a running discovery and waits for its worker. */
LINKOR_EXPORT int32_t LINKOR_API StopBreakKv(int32_t line);
/** Changes the speed of an initialised line ("300" … "115200"). */
LINKOR_EXPORT int32_t LINKOR_API ChangeBaudRateKv(int32_t line, const char* baud);
/** Writes the driver's identity text. */
LINKOR_EXPORT int32_t LINKOR_API GetIdentityKv(char* out);
/** Lists the ports that can be used now, each name followed by one blank. */
LINKOR_EXPORT int32_t LINKOR_API GetPortsKv(char* out);
/** Lists the module type names that the driver carries. */
LINKOR_EXPORT int32_t LINKOR_API GetTypesModulesKv(char* out);
/** Lists the protocols, of one module type when `type` is given. */
LINKOR_EXPORT int32_t LINKOR_API GetProtocolesKv(char* out, const char* type);
/** Lists the baud rates, of one type and protocol when given. */
LINKOR_EXPORT int32_t LINKOR_API GetVitessesKv(char* out, const char* type, const char* protocol);
/** Writes the message of a status code in the driver's language. */
LINKOR_EXPORT int32_t LINKOR_API GetMessageErreurKv(char* out, int32_t code);
/** Selects the message language ("FR", "EN", …). */
LINKOR_EXPORT int32_t LINKOR_API SetConfigDrvKv(const char* language);
/** Selects the thread priority used while a command is exchanged. */
LINKOR_EXPORT int32_t LINKOR_API SetPriorityKv(int32_t line, const char* priority);
/** Applies a settings block and sets the control characters commands may carry. */
LINKOR_EXPORT int32_t LINKOR_API SetSyntaxeKv(int32_t line, const char* syntax);

/* JBUS family: handles 1–9 of the JBUS sub-driver. */
LINKOR_EXPORT int32_t LINKOR_API OpenJbus(const char* port, char** message);
LINKOR_EXPORT int32_t LINKOR_API InitJbus(int32_t handle, const char* baud, const char* protocol);
LINKOR_EXPORT int32_t LINKOR_API DialogueJbus(int32_t handle, const char* command, char* reply);
LINKOR_EXPORT int32_t LINKOR_API DialogueJbusEx(int32_t handle, const char* command, char* reply,
                                                int32_t* moduleStatus);
LINKOR_EXPORT int32_t LINKOR_API CloseJbus(int32_t handle);
LINKOR_EXPORT int32_t LINKOR_API SuspendJbus(int32_t handle);
LINKOR_EXPORT int32_t LINKOR_API ResumeJbus(int32_t handle);
LINKOR_EXPORT int32_t LINKOR_API InitBreakJbus(int32_t handle, LinkorBreakNotify notify,
                                               char** result, int32_t waitMs);
LINKOR_EXPORT int32_t LINKOR_API StartBreakJbus(int32_t handle, int32_t count, int32_t bits);
LINKOR_EXPORT int32_t LINKOR_API StopBreakJbus(int32_t handle);
LINKOR_EXPORT int32_t LINKOR_API ChangeBaudRateJbus(int32_t handle, const char* baud);
LINKOR_EXPORT int32_t LINKOR_API GetIdentityJbus(char* out);
LINKOR_EXPORT int32_t LINKOR_API GetPortsJbus(char* out);
LINKOR_EXPORT int32_t LINKOR_API GetTypesModulesJbus(char* out);
LINKOR_EXPORT int32_t LINKOR_API GetProtocolesJbus(char* out, const char* type);
LINKOR_EXPORT int32_t LINKOR_API GetVitessesJbus(char* out, const char* type, const char* protocol);
LINKOR_EXPORT int32_t LINKOR_API GetMessageErreurJbus(char* out, int32_t code);
LINKOR_EXPORT int32_t LINKOR_API SetConfigDrvJbus(const char* language);
LINKOR_EXPORT int32_t LINKOR_API SetPriorityJbus(int32_t handle, const char* priority);
LINKOR_EXPORT int32_t LINKOR_API SetSyntaxeJbus(int32_t handle, const char* syntax);

#ifdef __cplusplus
}
#endif

#ifdef __cplusplus
/* The type of every exported function, for programs that load the driver at run time and
 * resolve its functions by name. */
namespace linkor::fn {
using OpenKv = decltype(&::OpenKv);
using InitKv = decltype(&::InitKv);
using DialogueKv = decltype(&::DialogueKv);
using DialogueKvEx = decltype(&::DialogueKvEx);
using CloseKv = decltype(&::CloseKv);
using SuspendKv = decltype(&::SuspendKv);
using ResumeKv = decltype(&::ResumeKv);
using InitBreakKv = decltype(&::InitBreakKv);
using StartBreakKv = decltype(&::StartBreakKv);
using StopBreakKv = decltype(&::StopBreakKv);
using ChangeBaudRateKv = decltype(&::ChangeBaudRateKv);
using GetIdentityKv = decltype(&::GetIdentityKv);
using GetPortsKv = decltype(&::GetPortsKv);
using GetTypesModulesKv = decltype(&::GetTypesModulesKv);
using GetProtocolesKv = decltype(&::GetProtocolesKv);
using GetVitessesKv = decltype(&::GetVitessesKv);
using GetMessageErreurKv = decltype(&::GetMessageErreurKv);
using SetConfigDrvKv = decltype(&::SetConfigDrvKv);
using SetPriorityKv = decltype(&::SetPriorityKv);
using SetSyntaxeKv = decltype(&::SetSyntaxeKv);

using OpenJbus = decltype(&::OpenJbus);
using InitJbus = decltype(&::InitJbus);
using DialogueJbus = decltype(&::DialogueJbus);
using DialogueJbusEx = decltype(&::DialogueJbusEx);
using CloseJbus = decltype(&::CloseJbus);
using SuspendJbus = decltype(&::SuspendJbus);
using ResumeJbus = decltype(&::ResumeJbus);
using InitBreakJbus = decltype(&::InitBreakJbus);
using StartBreakJbus = decltype(&::StartBreakJbus);
using StopBreakJbus = decltype(&::StopBreakJbus);
using ChangeBaudRateJbus = decltype(&::ChangeBaudRateJbus);
using GetIdentityJbus = decltype(&::GetIdentityJbus);
using GetPortsJbus = decltype(&::GetPortsJbus);
using GetTypesModulesJbus = decltype(&::GetTypesModulesJbus);
using GetProtocolesJbus = decltype(&::GetProtocolesJbus);
using GetVitessesJbus = decltype(&::GetVitessesJbus);
using GetMessageErreurJbus = decltype(&::GetMessageErreurJbus);
using SetConfigDrvJbus = decltype(&::SetConfigDrvJbus);
using SetPriorityJbus = decltype(&::SetPriorityJbus);
using SetSyntaxeJbus = decltype(&::SetSyntaxeJbus);
} // namespace linkor::fn
#endif

#endif
