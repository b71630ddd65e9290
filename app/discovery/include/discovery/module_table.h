// The module table of the configuration being built: one entry per address, what each module
// is, and the record text it is exchanged with the project as. Plain C++: the configuration
// window shows it, the tests drive it by tables.
#pragma once

#include "discovery/catalogue_queries.h"
#include "discovery/scan_types.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tamsel::discovery {

/// State of a table entry.
namespace entry_state {
inline constexpr int32_t kEmpty = 0;
inline constexpr int32_t kPresent = 1;  ///< configured, or found by a scan
inline constexpr int32_t kFound = 2;    ///< new in a Checking scan
inline constexpr int32_t kLost = 3;     ///< silent in a Checking scan
inline constexpr int32_t kModified = 4; ///< answered a Checking scan differently
inline constexpr int32_t kFullDebug = 0x10;
} // namespace entry_state

inline constexpr int32_t kNoAddress = -1;
inline constexpr int32_t kNoLineSetting = -1;
/// The longest label the input field lets through.
inline constexpr std::size_t kMaxLabelLength = 10;

struct ModuleEntry {
    int32_t state = entry_state::kEmpty;
    int32_t usedAddress = kNoAddress;
    int32_t address = 0;
    std::string typeName;
    std::string label;
    std::string unit;
    int32_t lineSetting = kNoLineSetting; ///< packed LineIndexes, Full Debug entries only
    int32_t typeCode = 0;
    std::string target;
    std::string serial;
    int32_t checkedTypeCode = 0;
    std::string checkedSerial;

    bool empty() const { return usedAddress == kNoAddress; }
    bool operator==(const ModuleEntry&) const = default;
};

/// The identity of a reply: type code, name and serial number, and the target of the type.
struct DecodedIdentity {
    int32_t code = 0;
    std::string typeName;
    std::string serial;
    std::string target;
};

/// Type code, name and serial from the reply, then the target of that code.
DecodedIdentity decodeIdentity(TCatalogueQueries& catalogue, const std::string& reply);

class ModuleTable {
  public:
    explicit ModuleTable(TCatalogueQueries& catalogue);

    /// The entry of an address 0-63.
    const ModuleEntry& entry(int address) const;
    /// The entry shown in a row, or null beyond the rows.
    const ModuleEntry* entryOfRow(int row) const;
    /// Addresses of the non-empty entries, ascending: the rows of the module list.
    const std::vector<int>& rows() const { return m_rows; }
    /// Number of non-empty entries.
    int liveCount() const { return static_cast<int>(m_rows.size()); }
    /// The row showing an address, or -1.
    int rowOf(int address) const;

    void clear();
    /// Identity decoding of a reply, entered at @p address as a present module.
    void enterDecoded(int address, const std::string& reply);
    void enter(int address, const DecodedIdentity& identity);
    /**
     * @brief Loads an entry from a module record text of the project
     * ("%d,%d,%d,%s,%s,%s,%d": record number, address, type code, label, unit, serial, state).
     * @return false, leaving the table as it was, when the text is not such a record or its
     *         address has no entry.
     */
    bool loadRecord(const std::string& recordText);
    /// The record text the project reads back for the entry of @p address (empty texts "_").
    std::string recordText(int address) const;
    /// What Accept sends for every address: the record text, or "%03d" for an empty entry.
    std::array<std::string, kAddressCount> acceptTexts() const;

    void remove(int address);
    void setState(int address, int32_t state);
    void setLineSetting(int address, int32_t packed);
    void setLabel(int address, const std::string& label);
    void setType(int address, const NamedType& type);
    /// What a Checking scan read from the module at @p address where it differed.
    void setChecked(int address, int32_t typeCode, const std::string& serial);
    /// Lost and modified entries become present, entries a check added are removed.
    void undoCheckMarks();

    /// The entry the last pop-up menu was opened on, or kNoAddress.
    int current() const { return m_current; }
    void setCurrent(int address);
    /// Whether the current entry's row is drawn as selected.
    bool highlighted() const { return m_highlighted; }
    void removeHighlight() { m_highlighted = false; }

  private:
    ModuleEntry& at(int address);
    void rebuildRows();

    TCatalogueQueries& m_catalogue;
    std::array<ModuleEntry, kAddressCount> m_entries{};
    std::vector<int> m_rows;
    int m_current = kNoAddress;
    bool m_highlighted = false;
};

} // namespace tamsel::discovery
