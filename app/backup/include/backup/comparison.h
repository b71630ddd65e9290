/**
 * @file comparison.h
 * A backup against the line, or against another backup: for each module whether it is
 * still there, is another one now, or is new, and for each setting whether it is equal,
 * different, or present on one side only.
 */
#pragma once

#include "backup/backup_model.h"

#include <optional>
#include <string>
#include <vector>

namespace tamsel::backup {

enum class SettingState {
    Equal,
    Different,
    Missing, ///< in the backup, not on the line (not read, or not a setting of its type)
    Extra,   ///< on the line, not in the backup
};

struct SettingRow {
    std::string key;
    SettingState state = SettingState::Equal;
    std::optional<long> backup;
    std::optional<long> line;
};

enum class ModuleState {
    Same,        ///< same module, every setting equal
    Different,   ///< same module, some setting not
    Replaced,    ///< same type, another serial number
    TypeChanged, ///< another type at the address
    Lost,        ///< in the backup, silent now
    Found,       ///< answers now, not in the backup
};

struct ModuleComparison {
    int address = 0;
    ModuleState state = ModuleState::Same;
    const ModuleRecord* backup = nullptr; ///< null for a found module
    const ModuleRecord* line = nullptr;   ///< null for a lost module
    std::vector<SettingRow> rows;         ///< every setting of either side, by key

    /// The rows that are not equal.
    std::vector<SettingRow> differences() const;
};

struct Comparison {
    /// Every module that answered on either side, by address; both silent are left out.
    std::vector<ModuleComparison> modules;
    bool equal() const;
};

/// Compares; the result points into both pictures, which must outlive it.
Comparison compare(const LinePicture& backup, const LinePicture& line);

/// Names as the text report and the JSON output give them.
const char* settingStateName(SettingState s);
const char* moduleStateName(ModuleState s);

/// The report as a person reads it: a table per module, then a summary line.
std::string comparisonText(const Comparison& c);

} // namespace tamsel::backup
