/**
 * @file driver_api.h
 * The driver's functions as this program resolves them by name from the loaded library.
 */
#pragma once

#include "linkor.h"

#include <cstdint>

namespace tkv::drv {

using OpenKvFn = int32_t(LINKOR_API*)(const char*, int32_t, int32_t);
using InitKvFn = int32_t(LINKOR_API*)(int32_t, const char*, const char*, const char*);
using DialogueKvFn = int32_t(LINKOR_API*)(int32_t, const char*, char*);
using CloseKvFn = int32_t(LINKOR_API*)(int32_t);
using ListFn = int32_t(LINKOR_API*)(char*);
using ProtocolListFn = int32_t(LINKOR_API*)(char*, const char*);
using BaudListFn = int32_t(LINKOR_API*)(char*, const char*, const char*);
using MessageFn = int32_t(LINKOR_API*)(char*, int32_t);
using ConfigFn = int32_t(LINKOR_API*)(const char*);
using SyntaxFn = int32_t(LINKOR_API*)(int32_t, const char*);

inline constexpr const char* kOpenKv = "OpenKv";
inline constexpr const char* kInitKv = "InitKv";
inline constexpr const char* kDialogueKv = "DialogueKv";
inline constexpr const char* kCloseKv = "CloseKv";
inline constexpr const char* kGetPortsKv = "GetPortsKv";
inline constexpr const char* kGetTypesModulesKv = "GetTypesModulesKv";
inline constexpr const char* kGetProtocolesKv = "GetProtocolesKv";
inline constexpr const char* kGetVitessesKv = "GetVitessesKv";
inline constexpr const char* kGetMessageErreurKv = "GetMessageErreurKv";
inline constexpr const char* kGetIdentityKv = "GetIdentityKv";
inline constexpr const char* kSetConfigDrvKv = "SetConfigDrvKv";
inline constexpr const char* kSetSyntaxeKv = "SetSyntaxeKv";

/// The driver writes at most a 256-byte reply; a list may name 255 ports. Every call
/// gets a buffer this large, and only then is the text cut to the record's size.
inline constexpr int kCallBufferSize = 4096;

} // namespace tkv::drv
