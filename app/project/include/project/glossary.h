#pragma once
// The command glossary "tm2cmde.txt": one list of ready-made commands per
// module target, shown by the command terminal.

#include <array>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tamsel::project {

inline constexpr std::string_view kGlossaryFileName = "tm2cmde.txt";

class TGlossary {
  public:
    static constexpr int kSlots = 40;
    static constexpr int kListed = 39;
    /// 120-byte texts: 119 characters and the NUL.
    static constexpr std::size_t kMaxText = 119;

    /// Names the file and tells whether it can be opened (at project load).
    bool checkPresence(const std::filesystem::path& file);
    bool present() const { return m_present; }

    /**
     * @brief The commands of a target, in file order.
     *
     * The section is read again unless the one loaded was loaded for this
     * same target; a target selects the first section whose header line
     * contains its name.
     */
    std::vector<std::string> commands(std::string_view target);

    const std::string& sectionName() const { return m_section; }
    int count() const { return m_count; }

  private:
    void reload(std::string_view target);

    bool m_present = false;
    std::filesystem::path m_file;
    std::string m_section;
    std::string m_loadedFor;
    int m_count = 0;
    std::array<std::string, kSlots> m_commands;
};

} // namespace tamsel::project
