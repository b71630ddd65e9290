#include "sorncom.h"

#include "library_location.h"

namespace linkor::sorncom {

namespace {

DynamicLibrary& instance() {
    static DynamicLibrary library;
    return library;
}

} // namespace

void load() {
    DynamicLibrary& lib = instance();
    if (lib.loaded()) {
        return;
    }
    const std::string candidates[] = {"./Sorncom.so", libraryDirectory() + "libsorncom.so",
                                      "libsorncom.so"};
    for (const auto& path : candidates) {
        if (path.empty()) {
            continue;
        }
        DynamicLibrary candidate(path);
        if (candidate.loaded()) {
            lib = std::move(candidate);
            return;
        }
    }
}

void unload() {
    instance().reset();
}

const DynamicLibrary& library() {
    return instance();
}

} // namespace linkor::sorncom
