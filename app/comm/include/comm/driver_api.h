/**
 * @file driver_api.h
 * The driver's functions as this program resolves them by name from the loaded library.
 */
#pragma once

#include "linkor.h"

#include <cstdint>
#include <type_traits>

namespace tkv::drv {

using OpenKvFn = linkor::fn::OpenKv;
using InitKvFn = linkor::fn::InitKv;
using DialogueKvFn = linkor::fn::DialogueKv;
using CloseKvFn = linkor::fn::CloseKv;
/// The lists without a filter and the identity share one shape.
using ListFn = linkor::fn::GetPortsKv;
static_assert(std::is_same_v<linkor::fn::GetPortsKv, linkor::fn::GetTypesModulesKv> &&
              std::is_same_v<linkor::fn::GetPortsKv, linkor::fn::GetIdentityKv>);
using ProtocolListFn = linkor::fn::GetProtocolesKv;
using BaudListFn = linkor::fn::GetVitessesKv;
using MessageFn = linkor::fn::GetMessageErreurKv;
using ConfigFn = linkor::fn::SetConfigDrvKv;
using SyntaxFn = linkor::fn::SetSyntaxeKv;

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
