#pragma once
// The sections of a project file and the objects that hold them in memory.
// Each reader takes one line of its section and tells whether it was taken;
// a line it refuses leaves the model as it was. Each writer produces the
// section's body, closing ";" included, with the line end the file uses.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tamsel::project {

/// Section headers, recognised anywhere in a line that starts with "[".
inline constexpr std::string_view kLastCommandHeader = "[LAST_COMMAND]";
inline constexpr std::string_view kPropertyHeader = "[PROPERTY]";
inline constexpr std::string_view kConfigurationHeader = "[CONFIGURATION]";
inline constexpr std::string_view kSetupHeader = "[TM2_SETUP]";
inline constexpr std::string_view kLabelHeader = "[LabelVariable]";

/// Lines of the project file are at most this long (without the line end).
inline constexpr std::size_t kMaxLineLength = 200;

/**
 * @brief The last commands typed, oldest first ("[LAST_COMMAND]").
 */
class TKV_LastCommand {
  public:
    static constexpr int kCapacity = 30;
    /// 120-byte texts: 119 characters and the NUL.
    static constexpr std::size_t kMaxText = 119;

    TKV_LastCommand();
    /// A line that starts with a double quote; the quotes at both ends go.
    bool readLine(std::string_view line);
    /**
     * @brief Adds a command (set 0), cut to kMaxText characters. A command equal to
     * the newest is not stored again; with 30 held the oldest goes.
     * @return true when the list changed.
     */
    bool add(std::string_view command);
    int count() const { return m_count; }
    /// Command i (0 the oldest), or "inconnu" when i is not below the count.
    std::string text(int i) const;
    void write(std::string& out, std::string_view eol) const;
    bool modified() const { return m_modified; }
    void clearModified() { m_modified = false; }

  private:
    bool acceptable(std::string_view command) const;
    bool m_modified = false;
    int m_count = 0;
    std::array<std::string, kCapacity> m_texts;
};

/// One configured module.
struct ModuleRecord {
    int32_t address = 0;
    int32_t typeCode = 0;
    std::string label;
    std::string unit;
    /// The number in "Cnf%05d", which is also its table position; -1 unused.
    int32_t recordNumber = -1;
    std::string serial;
    int32_t state = 3;
    bool operator==(const ModuleRecord&) const = default;
};

/**
 * @brief The line setting and the module table ("[CONFIGURATION]").
 */
class TKV_GestCnfMod {
  public:
    static constexpr int kRecords = 64;
    /// 30-byte names: 29 characters and the NUL.
    static constexpr std::size_t kMaxName = 29;
    static constexpr std::size_t kMaxLabel = 10;
    static constexpr std::size_t kMaxUnit = 10;
    static constexpr std::size_t kMaxSerial = 14;
    static constexpr std::size_t kMaxValue = 59;

    TKV_GestCnfMod();
    bool readLine(std::string_view line);
    void write(std::string& out, std::string_view eol) const;

    const std::optional<std::string>& targetList() const { return m_targetList; }
    const std::optional<std::string>& portList() const { return m_portList; }
    const std::optional<std::string>& baudList() const { return m_baudList; }
    const std::optional<std::string>& protocolList() const { return m_protocolList; }
    const std::string& target() const { return m_target; }
    const std::string& port() const { return m_port; }
    const std::string& baud() const { return m_baud; }
    const std::string& protocol() const { return m_protocol; }

    /// A single name fits its field and holds no blank and no comma, so that
    /// the connect text can be taken apart at blanks again.
    static bool isName(std::string_view name);
    /// The driver's line table has 255 lines: "COM1" to "COM255".
    static constexpr int kMaxPortNumber = 255;
    /// Far above any serial line; a bound that keeps a stray number from passing.
    static constexpr int32_t kMaxBaud = 4000000;
    /// "COMn" with n from 1 to kMaxPortNumber, without leading zeros.
    static bool isPortName(std::string_view name);
    /// A whole number of bauds from 1 to kMaxBaud, without sign or leading zeros.
    static bool isBaudRate(std::string_view name);
    /**
     * @brief For a line that gives the port or the baud rate a value that cannot be
     * one, what is wrong with it (naming the key and the value); nullopt for any other
     * line. The line is then ignored like every line that fails its check, but this one
     * decides which line the program opens, so the user must hear of it.
     */
    static std::optional<std::string> badValue(std::string_view line);
    /// Sets the four names of the line (set 13); all or nothing.
    bool setLine(std::string_view target, std::string_view port, std::string_view protocol,
                 std::string_view baud);
    bool setPort(std::string_view port);

    /// Stores a record at the position of its record number (0-63).
    bool setRecord(const ModuleRecord& record);
    /// Marks the record at a table position unused.
    bool clearRecord(int32_t position);
    /// Record at a table position, null when that position is unused.
    const ModuleRecord* recordAt(int32_t position) const;
    /// The i-th used record in table order, null when there is none.
    const ModuleRecord* recordInOrder(int32_t i) const;
    const ModuleRecord* recordWithAddress(int32_t address) const;
    /// Table positions in use, ascending ("index of used records").
    const std::vector<int32_t>& usedPositions() const { return m_used; }
    /// The number of module records as last loaded or set (value 14, set 14).
    int32_t recordCount() const { return m_recordCount; }
    bool setRecordCount(int32_t count);

  private:
    static bool validRecord(const ModuleRecord& record);
    bool readRecord(int32_t number, std::string_view value);
    void rebuildIndex();

    std::optional<std::string> m_targetList;
    std::optional<std::string> m_portList;
    std::optional<std::string> m_baudList;
    std::optional<std::string> m_protocolList;
    std::string m_port = "COM1";
    std::string m_baud = "9600";
    std::string m_protocol = "XON-XOFF";
    std::string m_target = "TRILO";
    int32_t m_recordCount = 0;
    std::array<ModuleRecord, kRecords> m_records;
    std::vector<int32_t> m_used;
};

/**
 * @brief The small set-up block ("[TM2_SETUP]"): SwMode, SwPn0-SwPn3 and
 * the five numbered labels SwV1-SwV5 (the scan lists of the variables window).
 */
class TKV_SetupBlock {
  public:
    static constexpr int kNumbers = 4;
    static constexpr int kLabels = 5;
    static constexpr std::size_t kMaxLabel = 23;
    static constexpr std::size_t kMaxValue = 29;

    struct Label {
        int32_t number = -1;
        std::string text;
        bool operator==(const Label&) const = default;
    };

    bool readLine(std::string_view line);
    void write(std::string& out, std::string_view eol) const;

    int32_t swMode() const { return m_swMode; }
    /// SwPn0-SwPn3 for k = 0-3, else -1 (value 10).
    int32_t number(int k) const;
    /// "%d %d %d %d %d" of SwMode and SwPn0-SwPn3 (text 10).
    std::string summary() const;
    /// The five numbers from "%d %d %d %d %d" (set 10); all or nothing.
    bool setNumbers(std::string_view text);
    /// SwPn0 takes the value when SwMode is 0.
    bool updatePn0(int32_t value);
    /// The label of number n, empty when none (text 11).
    std::string label(int32_t n) const;
    /**
     * @brief Label of number n (set 11): replaces that number's label, else
     * takes the last empty slot, else drops the oldest and appends.
     */
    bool setLabel(int32_t n, std::string_view text);
    const std::array<Label, kLabels>& labels() const { return m_labels; }
    bool modified() const { return m_modified; }
    void clearModified() { m_modified = false; }

  private:
    bool m_modified = false;
    int32_t m_swMode = 0;
    std::array<int32_t, kNumbers> m_pn{0, -1, -1, -1};
    std::array<Label, kLabels> m_labels;
};

/// A label given to one module variable.
struct VariableLabel {
    int32_t number = 0;
    std::string label;
    bool operator==(const VariableLabel&) const = default;
};

/**
 * @brief Labels of module variables ("[LabelVariable]"): 64 slots of items
 * "number:label" joined with ",".
 */
class TLabel {
  public:
    static constexpr int kSlots = 64;
    static constexpr std::size_t kMaxSlotText = 419;
    static constexpr std::size_t kItemsPerLine = 8;
    /// A line must be shorter than this.
    static constexpr std::size_t kLineLimit = 121;
    static constexpr int32_t kMaxVariable = 32;
    static constexpr std::size_t kMaxLabel = 10;

    bool readLine(std::string_view line);
    void write(std::string& out, std::string_view eol) const;

    /// The slot's text: its items joined with ",".
    std::string slotText(int32_t slot) const;
    /// The label of a variable in a slot, when the slot gives one.
    std::optional<std::string> label(int32_t slot, int32_t variable) const;
    bool clearSlot(int32_t slot);
    /**
     * @brief Replaces a slot's labels. Items with a number outside 1-32 or an
     * empty label are left out, labels are cut to 10 characters, and items
     * stop where the slot's text would pass 419 characters.
     */
    bool setSlot(int32_t slot, const std::vector<VariableLabel>& labels);

  private:
    static std::optional<VariableLabel> parseItem(std::string_view item);
    std::array<std::vector<std::string>, kSlots> m_items;
};

/**
 * @brief Module addresses per target, handed to the driver as "/%s = a,b/"
 * texts when the line is connected.
 */
class TLink_TargetAdr {
  public:
    static constexpr int kMaxNames = 10;
    static constexpr std::size_t kMaxNameLength = 15;
    static constexpr int kAddresses = 64;

    /// Fills the table from (address, target name) pairs (set 20).
    void build(const std::vector<std::pair<int32_t, std::string>>& modules);
    bool initialised() const { return m_initialised; }
    /// The next address text: "first" restarts; "last" when none is left.
    std::string next(std::string_view previous);
    int nameCount() const { return static_cast<int>(m_names.size()); }

  private:
    bool m_initialised = false;
    std::vector<std::string> m_names;
    std::array<int32_t, kAddresses> m_table{};
    int m_cursor = 0;
};

} // namespace tamsel::project
