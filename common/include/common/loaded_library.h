// Owner of a shared library loaded at run time.
#pragma once

#include <dlfcn.h>
#include <string>
#include <utility>

namespace common {

class LoadedLibrary {
  public:
    LoadedLibrary() = default;
    /// Loads the library at `path` with every symbol resolved now, and its symbols kept
    /// out of the global scope so that two copies from two directories stay apart.
    explicit LoadedLibrary(const std::string& path)
        : m_handle(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
        if (m_handle == nullptr) {
            // The loader's text is only valid until its next call.
            const char* text = dlerror();
            m_error = text != nullptr ? text : "";
        }
    }
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;
    LoadedLibrary(LoadedLibrary&& other) noexcept
        : m_handle(std::exchange(other.m_handle, nullptr)), m_error(std::move(other.m_error)) {}
    LoadedLibrary& operator=(LoadedLibrary&& other) noexcept {
        if (this != &other) {
            reset();
            m_handle = std::exchange(other.m_handle, nullptr);
            m_error = std::move(other.m_error);
        }
        return *this;
    }
    ~LoadedLibrary() { reset(); }

    bool loaded() const { return m_handle != nullptr; }
    /// Why the library did not load, in the loader's words; empty when it did.
    const std::string& error() const { return m_error; }

    /// The address of the exported symbol of that name, or null.
    void* symbol(const char* name) const {
        return m_handle == nullptr ? nullptr : dlsym(m_handle, name);
    }
    /// The exported function of that name as a `F`, or null.
    template <typename F> F function(const char* name) const {
        return reinterpret_cast<F>(symbol(name));
    }

    void reset() {
        if (m_handle != nullptr) {
            dlclose(m_handle);
            m_handle = nullptr;
        }
    }

  private:
    void* m_handle = nullptr;
    std::string m_error;
};

} // namespace common
