// The optional auxiliary line driver. Every function is looked up by name when it is
// needed; a missing library or function is never an error of its own.
#pragma once

#include <common/loaded_library.h>

#include <cstdint>

namespace linkor::sorncom {

using OpenFn = int32_t (*)(const char*, int32_t);
using InitFn = int32_t (*)(int32_t, const char*, const char*);
using HandleFn = int32_t (*)(int32_t);
using DialogueFn = int32_t (*)(int32_t, const char*, char*);
using DialogueExFn = int32_t (*)(int32_t, const char*, char*, int32_t*);
using InitBreakFn = int32_t (*)(int32_t, void (*)(), char**, int32_t);
using StartBreakFn = int32_t (*)(int32_t, int32_t, int32_t);
using TextFn = int32_t (*)(int32_t, const char*);
using OutFn = int32_t (*)(char*);
using OutTypeFn = int32_t (*)(char*, const char*);
using OutTypeProtocolFn = int32_t (*)(char*, const char*, const char*);
using MessageFn = int32_t (*)(char*, int32_t);
using LanguageFn = int32_t (*)(const char*);

/// Loads it once: "Sorncom.so" in the current directory, then "libsorncom.so" beside
/// the driver, then "libsorncom.so" through the normal library search.
void load();
void unload();
const common::LoadedLibrary& library();
inline bool loaded() {
    return library().loaded();
}

template <typename F> F find(const char* name) {
    return library().function<F>(name);
}

} // namespace linkor::sorncom
