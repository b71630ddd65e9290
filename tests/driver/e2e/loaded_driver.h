// A private copy of the driver library, loaded from its own directory so that its
// companion files (and an auxiliary driver beside it) belong to one test only.
#pragma once

#include "linkor.h"

#include <common/loaded_library.h>

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
        m_library = common::LoadedLibrary((dir / "liblinkor.so").string());
        if (!m_library.loaded()) {
            throw std::runtime_error(m_library.error());
        }
    }

    template <typename F> F get(const char* name) const {
        const auto function = m_library.function<F>(name);
        if (function == nullptr) {
            throw std::runtime_error(std::string("missing export ") + name);
        }
        return function;
    }

  private:
    common::LoadedLibrary m_library;
};

} // namespace linkor::e2e
