#include "settings_file.h"

#include <comm/texts.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace linkorctl {

namespace fs = std::filesystem;

namespace {

constexpr const char* kRelative = "Korvel/LINKOR.conf";
constexpr const char* kDefaultDir = "/etc/xdg";
constexpr std::size_t kMaxSettingsSize = 1U << 20;

/// A QSettings INI value: quotes taken off, backslash escapes undone.
std::string unquote(std::string_view v) {
    v = tkv::text::trim(v);
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') {
        v = v.substr(1, v.size() - 2);
    }
    std::string out;
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (v[i] == '\\' && i + 1 < v.size()) {
            ++i;
        }
        out += v[i];
    }
    return out;
}

} // namespace

fs::path settingsFilePath() {
    if (const char* dirs = std::getenv("XDG_CONFIG_DIRS"); dirs != nullptr) {
        std::stringstream list(dirs);
        std::string dir;
        while (std::getline(list, dir, ':')) {
            std::error_code ec;
            if (!dir.empty() && fs::is_regular_file(fs::path(dir) / kRelative, ec)) {
                return fs::path(dir) / kRelative;
            }
        }
    }
    return fs::path(kDefaultDir) / kRelative;
}

tkv::TKV_Lookup SettingsFile::read(const std::string&, const std::string& name,
                                   std::string& value) {
    std::error_code ec;
    if (!fs::is_regular_file(m_file, ec) || fs::file_size(m_file, ec) > kMaxSettingsSize) {
        return tkv::TKV_Lookup::NoKey;
    }
    std::ifstream in(m_file);
    if (!in) {
        return tkv::TKV_Lookup::NoKey;
    }
    bool general = true;
    std::string line;
    while (std::getline(in, line)) {
        const std::string_view l = tkv::text::trim(line);
        if (l.empty() || l.front() == ';' || l.front() == '#') {
            continue;
        }
        if (l.front() == '[') {
            general = l == "[General]";
            continue;
        }
        const std::size_t eq = l.find('=');
        if (!general || eq == std::string_view::npos) {
            continue;
        }
        if (tkv::text::trim(l.substr(0, eq)) == name) {
            value = unquote(l.substr(eq + 1));
            return tkv::TKV_Lookup::Found;
        }
    }
    return tkv::TKV_Lookup::NoValue;
}

} // namespace linkorctl
