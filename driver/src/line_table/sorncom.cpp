#include "line_table/sorncom.h"

#include "base/library_location.h"

namespace linkor::sorncom {

namespace {

common::LoadedLibrary& instance() {
    static common::LoadedLibrary library;
    return library;
}

} // namespace

void load() {
    common::LoadedLibrary& lib = instance();
    if (lib.loaded()) {
        return;
    }
    const std::string candidates[] = {"./Sorncom.so", libraryDirectory() + "libsorncom.so",
                                      "libsorncom.so"};
    for (const auto& path : candidates) {
        if (path.empty()) {
            continue;
        }
        common::LoadedLibrary candidate(path);
        if (candidate.loaded()) {
            lib = std::move(candidate);
            return;
        }
    }
}

void unload() {
    instance().reset();
}

const common::LoadedLibrary& library() {
    return instance();
}

} // namespace linkor::sorncom
