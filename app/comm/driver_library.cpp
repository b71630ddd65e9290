#include "driver_library.h"

#include <cerrno>
#include <dlfcn.h>
#include <sys/stat.h>

namespace tkv {

TKV_DriverLibrary::~TKV_DriverLibrary() {
    reset();
}

TKV_DriverLibrary::TKV_DriverLibrary(TKV_DriverLibrary&& other) noexcept
    : m_handle(other.m_handle) {
    other.m_handle = nullptr;
}

TKV_DriverLibrary& TKV_DriverLibrary::operator=(TKV_DriverLibrary&& other) noexcept {
    if (this != &other) {
        reset();
        m_handle = other.m_handle;
        other.m_handle = nullptr;
    }
    return *this;
}

TKV_DriverLibrary TKV_DriverLibrary::load(const std::string& path, int& error,
                                          std::string& reason) {
    error = 0;
    reason.clear();
    // RTLD_LOCAL: two copies of the driver loaded from two directories stay apart.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* text = dlerror();
        reason = text != nullptr ? text : "";
        // dlopen keeps no error number; the file's own state gives the closest one, and a
        // file that exists but does not load is not an executable library.
        struct stat st {};
        error = ::stat(path.c_str(), &st) != 0 ? errno : ENOEXEC;
        return {};
    }
    return TKV_DriverLibrary(handle);
}

void* TKV_DriverLibrary::find(const char* name) const {
    if (m_handle == nullptr) {
        return nullptr;
    }
    return dlsym(m_handle, name);
}

void TKV_DriverLibrary::reset() {
    if (m_handle != nullptr) {
        dlclose(m_handle);
        m_handle = nullptr;
    }
}

} // namespace tkv
