// The rules of the variables window ("Variables", dialog 1850), without a widget: the
// eight rows of the scan list, how each row is shown, how its poll entry is named, how a
// scan list and a label are read from and written to the project, and when the pop-up
// menus' items can be chosen.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamsel::terminal::variables {

/// The rows of the grid: the scan list holds at most this many variables.
inline constexpr int kRows = 8;
/// Variable numbers a row may show.
inline constexpr int kFirstVariable = 1;
inline constexpr int kLastVariable = 32;
/// The input box of "New Label" takes this many characters...
inline constexpr int kLabelInputLength = 11;
/// ...and a row's name field (11 bytes with its terminator) and the project's label slot
/// keep this many.
inline constexpr int kNameLength = 10;
/// A scan list is kept in a set-up label of at most 23 characters: eight two-digit
/// numbers and the seven blanks between them.
inline constexpr std::size_t kScanListLength = 23;
/// A row's poll entry kind carries the row number in its high word.
inline constexpr std::int32_t kRowKindStep = 0x10000;
/// The request kind of module variable n is this plus n.
inline constexpr std::int32_t kVariableKindBase = 0x100;
/// The auto-close of a window with no module to show.
inline constexpr int kAutoCloseMs = 2000;

/// The texts of the window that the user reads as they stand.
namespace text {
inline constexpr const char* kTitle = "Variables";
inline constexpr const char* kNoDial = "No Dial.";
inline constexpr const char* kHeaderName = "Name";
inline constexpr const char* kHeaderInit = "Init";
inline constexpr const char* kHeaderCurrent = "Current";
inline constexpr const char* kScanListFull = "Scan list full: remove a variable first";
inline constexpr const char* kLabelCaption = "Variable Label";
inline constexpr const char* kValueCaption = "Variable Setting";
inline constexpr const char* kChangeValue = "Change value";
inline constexpr const char* kFreeView = "Free view";
inline constexpr const char* kHexaView = "Hexa view";
inline constexpr const char* kOutputView = "Output view";
inline constexpr const char* kNewLabel = "New Label";
inline constexpr const char* kRemove = "Remove";
inline constexpr const char* kNext = "Next ";
inline constexpr const char* kPrev = "Prev ";
inline constexpr const char* kEraseLabels = "Erase Labels";
} // namespace text

/// A hint of the window: two lines.
struct THint {
    int number = 0;
    const char* first = "";
    const char* second = "";
};
inline constexpr THint kHintAlreadyListed{3302, "Already in the scan list ,retry",
                                          "ESC or right click to cancel "};
inline constexpr THint kHintNoModule{3305, "Invalid action for this module",
                                     "Auto close in 2 seconds"};

/// How a row's current value is drawn.
enum class TViewMode : std::int32_t {
    Decimal = 0,  ///< "%10d"
    Hexa = 1,     ///< "%8lXh", in green
    TwoBytes = 2, ///< "  %2Xh:%2Xh  " low byte then high byte, in navy
};

/// One row of the grid.
struct TRow {
    bool used = false;
    int number = 0;
    std::string name;
    std::int32_t initial = 0;
    std::int32_t current = 0;
    TViewMode mode = TViewMode::Decimal;
};

/// What became of an addition to the scan list.
enum class TAddResult {
    Added,
    AlreadyListed, ///< beep and hint 3302
    Full,          ///< beep and the status text kScanListFull
    OutOfRange,    ///< a number outside 1-32 or the module's variables: no row
};

/// The eight rows and what changed in them.
class TScanList {
  public:
    const TRow& row(int index) const { return m_rows.at(static_cast<std::size_t>(index)); }
    TRow& row(int index) { return m_rows.at(static_cast<std::size_t>(index)); }
    /// The row showing variable @p number, -1 when none does.
    int rowOf(int number) const;
    int usedCount() const;
    /// Adds @p number with @p name in the first unused row (or in @p at when it is given and
    /// unused); @p variableCount is the module's number of variables.
    TAddResult add(int number, std::string_view name, int variableCount, TViewMode mode,
                   int at = -1);
    /// Marks the row unused.
    void remove(int index);
    /// Every row unused; the scan list counts as unchanged (a module was loaded).
    void clear();
    /// The used rows' numbers, in row order.
    std::vector<int> numbers() const;
    bool changed() const { return m_changed; }
    void setChanged(bool changed) { m_changed = changed; }

  private:
    std::array<TRow, kRows> m_rows{};
    bool m_changed = false;
};

/// The name column: "#%02d %s".
std::string nameText(int number, std::string_view name);
/// The "Init" column: "%10d".
std::string initText(std::int32_t value);
/// The "Current" column in the row's view mode.
std::string currentText(std::int32_t value, TViewMode mode);
/// The name a variable has without a label.
std::string defaultName(int number);

/// The entry kind of a row's poll entry: (row x 65536) + (0x100 + number).
std::int32_t pollKind(int row, int number);
/// The request kind of a row's record: 0x100 + number.
std::int32_t requestKind(int number);
/// The row a poll completion is for: the high word of its kind.
int rowOfKind(std::int32_t kind);

/// The numbers of a stored scan list, in order: the words that are numbers between 1 and
/// 32 and within @p variableCount, each once, at most eight; any other word is skipped.
std::vector<int> parseScanList(std::string_view text, int variableCount);
/// The stored form: "%d" of each number, separated by blanks.
std::string formatScanList(const std::vector<int>& numbers);

/// A typed label as a row and the project can keep it: without the separators of the
/// project's label slot (',' and ':') and control bytes, without blanks around it, at most
/// kNameLength characters. An empty result gives the variable back its default name.
std::string filterLabel(std::string_view typed);

/// "%ld" of the typed initial value: a number at the text's start that fits a 32-bit
/// value; nothing when there is none.
std::optional<std::int32_t> parseInitValue(std::string_view typed);
/// The parameter of coded command 11: "%d %d" (variable number, value).
std::string codedParameter(int number, std::int32_t value);
std::string labelPrompt(int number);
std::string valuePrompt(int number, std::string_view name);
/// What the value box shows first: "%ld".
std::string valueText(std::int32_t value);

/// The record number, address and type code at the front of a module record's text
/// "%d,%d,%d,...".
struct TModuleFacts {
    std::int32_t recordNumber = -1;
    std::int32_t address = 0;
    std::int32_t typeCode = 0;
};
std::optional<TModuleFacts> parseModuleRecordText(std::string_view text);

/// Menu 18500, over a used row's value columns.
struct TValueMenu {
    bool changeValue = false;
    TViewMode checked = TViewMode::Decimal;
};
/// Menu 18501, over a used row's name column.
struct TNameMenu {
    bool newLabel = false;
    bool remove = false;
    bool next = false;
    bool prev = false;
    bool eraseLabels = false;
};
/// What a right click over a row's column opens.
enum class TRowMenu { None, Value, Name, NameList };
/// Columns of the grid.
enum class TColumn { Name, Init, Current };

TRowMenu menuFor(const TRow& row, TColumn column);
TValueMenu valueMenu(const TRow& row);
TNameMenu nameMenu(const TScanList& list, int index, int variableCount);
/// The variable that Next (+1) or Prev (-1) shows in row @p index: the nearest number in
/// that direction within the module's variables that no other row shows.
std::optional<int> steppedNumber(const TScanList& list, int index, int direction,
                                 int variableCount);

/// Column widths of the header and the grid: 3/7, 2/7 and the rest of @p width.
std::array<int, 3> columnWidths(int width);

} // namespace tamsel::terminal::variables
