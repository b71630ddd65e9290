/**
 * @file line_restore.h
 * A backup written back to the line, module by module: only the settings that differ, each
 * group with the command set its window uses, then read back and checked. A restore that a
 * silent module interrupts says what was written and what not; running it again finishes
 * the job, as it writes only what still differs.
 */
#pragma once

#include "backup/backup_model.h"
#include "backup/line_backup.h"
#include "backup/module_line.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tamsel::backup {

enum class ChangeState {
    Planned,    ///< dry run: would be written
    Written,    ///< written and read back equal
    Mismatch,   ///< written, but read back with another value
    Unverified, ///< written, the read back failed
    Failed,     ///< its write failed
    NotWritten, ///< not sent, as the module stopped answering before
};

struct SettingChange {
    std::string key;
    std::optional<long> was; ///< the module's value before, when it could be read
    long wanted = 0;
    std::optional<long> now; ///< read back
    ChangeState state = ChangeState::Planned;
};

enum class RestoreOutcome {
    Equal,       ///< nothing differed
    Restored,    ///< every change written and verified
    Planned,     ///< dry run with changes
    Partial,     ///< some change not written or not verified
    Skipped,     ///< another type than the backup's, not forced
    Silent,      ///< the module did not answer
    NotInBackup, ///< the backup says it was silent, or its section is incomplete
    NotReached,  ///< the restore was stopped before this module
};

struct ModuleRestore {
    int address = 0;
    RestoreOutcome outcome = RestoreOutcome::Equal;
    std::string note; ///< why skipped, or that another module (serial) is there
    std::vector<SettingChange> changes;
};

struct RestoreOptions {
    bool dryRun = false;
    bool force = false; ///< write to a module of another type than the backup's
    /// Asked before each module; true leaves the rest untouched.
    std::function<bool()> stopRequested;
};

struct RestoreReport {
    std::vector<ModuleRestore> modules;
    /// Every module restored or already equal (a dry run: nothing to write).
    bool complete() const;
};

RestoreReport restore(ModuleLine& line, const LinePicture& backup, const RestoreOptions& options,
                      const ProgressFn& progress = {});

const char* changeStateName(ChangeState s);
const char* restoreOutcomeName(RestoreOutcome o);

/// The report as a person reads it.
std::string restoreText(const RestoreReport& report);

} // namespace tamsel::backup
