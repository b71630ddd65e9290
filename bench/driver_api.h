// The driver's line functions, resolved from the shared library as a program would.
#pragma once

#include "linkor.h"

#include <common/loaded_library.h>

#include <stdexcept>
#include <string>

namespace bench {

struct DriverApi {
    explicit DriverApi(const char* path) : library(path) {
        if (!library.loaded()) {
            throw std::runtime_error(library.error());
        }
        open = find<linkor::fn::OpenKv>("OpenKv");
        init = find<linkor::fn::InitKv>("InitKv");
        dialogue = find<linkor::fn::DialogueKv>("DialogueKv");
        close = find<linkor::fn::CloseKv>("CloseKv");
    }

    template <typename F> F find(const char* name) const {
        const auto function = library.function<F>(name);
        if (function == nullptr) {
            throw std::runtime_error(std::string("missing ") + name);
        }
        return function;
    }

    common::LoadedLibrary library;
    linkor::fn::OpenKv open = nullptr;
    linkor::fn::InitKv init = nullptr;
    linkor::fn::DialogueKv dialogue = nullptr;
    linkor::fn::CloseKv close = nullptr;
};

} // namespace bench
