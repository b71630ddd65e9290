// The "localize" setting where tamsel2 keeps it on Linux: the INI file Korvel/LINKOR.conf
// in the system configuration directory, read without Qt.
#pragma once

#include <comm/comm_shell.h>

#include <filesystem>
#include <optional>
#include <string>

namespace linkorctl {

/// The first Korvel/LINKOR.conf found under the directories of $XDG_CONFIG_DIRS, else the
/// one under /etc/xdg (which may not exist).
std::filesystem::path settingsFilePath();

class SettingsFile final : public tkv::TKV_SettingsStore {
  public:
    explicit SettingsFile(std::filesystem::path file) : m_file(std::move(file)) {}
    /// The key is the file itself; values are read from its [General] part, where QSettings
    /// writes keys that have no group.
    tkv::TKV_Lookup read(const std::string& key, const std::string& name,
                         std::string& value) override;

  private:
    std::filesystem::path m_file;
};

/// A "localize" value given on the command line (--driver DIR).
class GivenDirectory final : public tkv::TKV_SettingsStore {
  public:
    explicit GivenDirectory(std::string dir) : m_dir(std::move(dir)) {}
    tkv::TKV_Lookup read(const std::string&, const std::string&, std::string& value) override {
        value = m_dir;
        return tkv::TKV_Lookup::Found;
    }

  private:
    std::string m_dir;
};

} // namespace linkorctl
