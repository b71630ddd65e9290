// The driver's line functions, resolved from the shared library as a program would.
#pragma once

#include <cstdint>
#include <dlfcn.h>
#include <stdexcept>
#include <string>

namespace bench {

struct DriverApi {
    using OpenFn = int32_t (*)(const char*, int32_t, int32_t);
    using InitFn = int32_t (*)(int32_t, const char*, const char*, const char*);
    using DialogueFn = int32_t (*)(int32_t, const char*, char*);
    using CloseFn = int32_t (*)(int32_t);

    explicit DriverApi(const char* path) : handle(dlopen(path, RTLD_NOW | RTLD_LOCAL)) {
        if (handle == nullptr) {
            throw std::runtime_error(dlerror());
        }
        open = find<OpenFn>("OpenKv");
        init = find<InitFn>("InitKv");
        dialogue = find<DialogueFn>("DialogueKv");
        close = find<CloseFn>("CloseKv");
    }
    ~DriverApi() { dlclose(handle); }
    DriverApi(const DriverApi&) = delete;
    DriverApi& operator=(const DriverApi&) = delete;

    template <typename F> F find(const char* name) {
        void* symbol = dlsym(handle, name);
        if (symbol == nullptr) {
            throw std::runtime_error(std::string("missing ") + name);
        }
        return reinterpret_cast<F>(symbol);
    }

    void* handle;
    OpenFn open;
    InitFn init;
    DialogueFn dialogue;
    CloseFn close;
};

} // namespace bench
