#pragma once
// Variable files "datafile/<name>.t2v": the variables one module type offers,
// for the variable selection lists of the module windows.

#include <cstddef>
#include <cstdint>
#include <list>
#include <string>
#include <string_view>
#include <vector>

namespace tamsel::project {

inline constexpr std::string_view kVariableFolder = "datafile";
inline constexpr std::string_view kVariableExtension = ".t2v";

struct VariableItem {
    std::string text;
    int32_t number = 0;
    bool operator==(const VariableItem&) const = default;
};

/// Longest item text: list items are 30-byte texts.
inline constexpr std::size_t kMaxVariableItem = 29;

/**
 * @brief Reads one line of a variable file into @p items.
 * @return false for a line that gives nothing and is not a comment or empty.
 */
bool readVariableLine(std::string_view line, std::vector<VariableItem>& items);

/// Every item of a variable file; @p ignored counts the lines that gave nothing.
std::vector<VariableItem> readVariableFile(std::string_view bytes, int* ignored = nullptr);

/**
 * @brief The variable lists read so far, one entry per module type, kept
 * until the project goes. Only the low 16 bits of a type code name the type.
 */
class TVariableCache {
  public:
    const std::vector<VariableItem>* find(int32_t typeCode) const;
    const std::vector<VariableItem>& add(int32_t typeCode, std::vector<VariableItem> items);
    std::size_t size() const { return m_entries.size(); }

  private:
    struct Entry {
        int32_t type;
        std::vector<VariableItem> items;
    };
    std::list<Entry> m_entries;
};

} // namespace tamsel::project
