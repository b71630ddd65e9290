// What each found address of a scan does to the module table, one address at a time as the
// window shows them: which module enters in which state, the counts of a Checking scan, and
// the boxes and lines that tell the user how the scan went.
#pragma once

#include "discovery/module_table.h"
#include "discovery/scan_types.h"

#include <optional>
#include <string>
#include <vector>

namespace tamsel::discovery {

enum class ScanMode { AutomaticZero, AutomaticRest, Search, FullDebug, Checking };

/// A message box the window shows.
struct ResultBox {
    enum class Icon { None, Exclamation };
    std::string title;
    std::string text;
    Icon icon = Icon::None;
    /// The help context of its Help button; 0 for a box without one.
    int helpContext = 0;
    bool operator==(const ResultBox&) const = default;
};

inline constexpr int kModule00HelpContext = 1051;
inline constexpr int kCheckingHelpContext = 1055;

/// What showing one found address asks of the window besides the table.
struct ScanOutcome {
    std::optional<ResultBox> box;
    /// A text for the message line in alert style.
    std::optional<std::string> alertLine;
    std::vector<std::string> traces;
    /// The new value of the module-00-found flag, when it changes.
    std::optional<bool> module00Found;
    /// The line setting the four drop-downs select (Automatic 00 answered).
    std::optional<LineIndexes> select;
    /// The current indexes go back to the remembered ones (Automatic 00 silent).
    bool restoreRemembered = false;
    /// Automatic 01-63 starts at once, as if Start had been pressed.
    bool startRest = false;
};

/// The counts of one Checking scan.
struct CheckCounters {
    bool changed = false;
    int lost = 0;
    int found = 0;
    int modified = 0;
    bool operator==(const CheckCounters&) const = default;
};

/// The box that ends a Checking scan, and the alert line when nothing changed.
ScanOutcome checkingSummary(const CheckCounters& counters);

/// Serial numbers compare as the numbers they begin with, 0 when they begin with none.
int serialValue(const std::string& serial);

class ScanResults {
  public:
    ScanResults(ModuleTable& table, TCatalogueQueries& catalogue)
        : m_table(table), m_catalogue(catalogue) {}

    /// As a scan starts: nothing of its found list shown yet; before a Checking scan also the
    /// marks of the last one undone and the counters cleared.
    void startScan(ScanMode mode);
    /**
     * @brief Shows the next address of the scan's found list that is not shown yet, as the
     * window does once per idle pass.
     * @return nothing when every address found so far is shown.
     */
    std::optional<ScanOutcome> showNext(ScanMode mode, const ScanTable& scan);
    /// One found address of a scan in @p mode, from its scan record.
    ScanOutcome show(ScanMode mode, int address, const ScanRecord& record);
    const CheckCounters& counters() const { return m_counters; }
    /// How many addresses of the found list are shown.
    int shown() const { return m_shown; }

  private:
    ScanOutcome automaticZero(const ScanRecord& record);
    ScanOutcome checking(int address, const ScanRecord& record);

    ModuleTable& m_table;
    TCatalogueQueries& m_catalogue;
    CheckCounters m_counters;
    int m_shown = 0;
};

} // namespace tamsel::discovery
