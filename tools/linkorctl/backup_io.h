// What the backup, compare and restore subcommands share: loading a backup file with its
// messages told, and the progress of a pass over the line.
#pragma once

#include "progress.h"
#include <backup/backup_model.h>
#include <backup/line_backup.h>

#include <string>
#include <vector>

namespace linkorctl {

/**
 * @brief Reads a backup file; each message goes to standard error as "FILE:LINE: text".
 * @throws UsageError when the file cannot be read or is no backup this program reads,
 *         as a command file that cannot be read is.
 */
tamsel::backup::LinePicture loadBackup(const std::string& path);

/// "5,12,40": variable numbers (1-255). @throws UsageError.
std::vector<int> variableList(const std::string& text);

/// A report of several lines, each made readable on its own.
void printReport(const std::string& text);

/// The progress callback of the backup library, on the progress line; it ends the pass
/// with a LineError once the user interrupts.
tamsel::backup::ProgressFn progressOn(Progress& progress);

} // namespace linkorctl
