// Owner of a library loaded with dlopen.
#pragma once

#include <dlfcn.h>
#include <string>
#include <utility>

namespace linkor {

class DynamicLibrary {
  public:
    DynamicLibrary() = default;
    explicit DynamicLibrary(const std::string& path)
        : m_handle(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {}
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;
    DynamicLibrary(DynamicLibrary&& other) noexcept
        : m_handle(std::exchange(other.m_handle, nullptr)) {}
    DynamicLibrary& operator=(DynamicLibrary&& other) noexcept {
        if (this != &other) {
            reset();
            m_handle = std::exchange(other.m_handle, nullptr);
        }
        return *this;
    }
    ~DynamicLibrary() { reset(); }

    bool loaded() const { return m_handle != nullptr; }
    void reset() {
        if (m_handle != nullptr) {
            dlclose(m_handle);
            m_handle = nullptr;
        }
    }
    /// The function of that name, or null.
    template <typename F> F function(const char* name) const {
        if (m_handle == nullptr) {
            return nullptr;
        }
        return reinterpret_cast<F>(dlsym(m_handle, name));
    }

  private:
    void* m_handle = nullptr;
};

} // namespace linkor
