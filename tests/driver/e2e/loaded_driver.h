// A private copy of the driver library, loaded from its own directory so that its
// companion files (and an auxiliary driver beside it) belong to one test only.
#pragma once

#include "linkor.h"

#include <dlfcn.h>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace linkor::e2e {

class LoadedDriver {
  public:
    LoadedDriver(const std::filesystem::path& library, const std::filesystem::path& dir,
                 const std::filesystem::path& auxiliary = {}) {
        std::filesystem::create_directories(dir);
        std::filesystem::copy_file(library, dir / "liblinkor.so",
                                   std::filesystem::copy_options::overwrite_existing);
        if (!auxiliary.empty()) {
            std::filesystem::copy_file(auxiliary, dir / "libsorncom.so",
                                       std::filesystem::copy_options::overwrite_existing);
        }
        m_handle = dlopen((dir / "liblinkor.so").c_str(), RTLD_NOW | RTLD_LOCAL);
        if (m_handle == nullptr) {
            throw std::runtime_error(dlerror());
        }
    }
    ~LoadedDriver() { dlclose(m_handle); }
    LoadedDriver(const LoadedDriver&) = delete;
    LoadedDriver& operator=(const LoadedDriver&) = delete;

    template <typename F> F get(const char* name) const {
        void* symbol = dlsym(m_handle, name);
        if (symbol == nullptr) {
            throw std::runtime_error(std::string("missing export ") + name);
        }
        return reinterpret_cast<F>(symbol);
    }

  private:
    void* m_handle = nullptr;
};

} // namespace linkor::e2e
