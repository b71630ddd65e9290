#include "base/library_location.h"

#include <dlfcn.h>

namespace linkor {

namespace {
void anchor() {}
} // namespace

std::string libraryPath() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&anchor), &info) == 0 || info.dli_fname == nullptr) {
        return {};
    }
    return info.dli_fname;
}

std::string libraryDirectory() {
    const std::string path = libraryPath();
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return {};
    }
    return path.substr(0, slash + 1);
}

} // namespace linkor
