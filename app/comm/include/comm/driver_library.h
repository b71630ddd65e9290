/**
 * @file driver_library.h
 * A loaded driver library: loaded once, freed with its owner.
 */
#pragma once

#include <common/loaded_library.h>

#include <string>
#include <utility>

namespace tkv {

class TKV_DriverLibrary {
  public:
    TKV_DriverLibrary() = default;

    /**
     * @brief Loads the library file at @p path, once checkFile() has found nothing wrong.
     * @param error out: the system's error number when loading failed.
     * @param reason out: why, in words, when loading failed.
     */
    static TKV_DriverLibrary load(const std::string& path, int& error, std::string& reason);

    /**
     * @brief Why the file at @p path is no library this program can load, or empty.
     *
     * The loader maps the file as its headers describe it: a file cut short makes it
     * touch pages past the end and the program dies of SIGBUS. So the headers are read
     * first and every part they name is checked against the file's real size.
     */
    static std::string checkFile(const std::string& path);

    bool loaded() const { return m_library.loaded(); }
    /// The address of an exported function, nullptr when the library has none of that name.
    void* find(const char* name) const { return m_library.symbol(name); }
    template <typename F> F function(const char* name) const { return m_library.function<F>(name); }
    /// Frees the library.
    void reset() { m_library.reset(); }

  private:
    explicit TKV_DriverLibrary(common::LoadedLibrary library) : m_library(std::move(library)) {}
    common::LoadedLibrary m_library;
};

} // namespace tkv
