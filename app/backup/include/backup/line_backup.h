/**
 * @file line_backup.h
 * Taking the picture of a line: each address asked for its identity, each module that
 * answers read group by group. A module that keeps silent is recorded as such and the
 * backup goes on.
 */
#pragma once

#include "backup/backup_model.h"
#include "backup/module_line.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tamsel::backup {

/// Told before each module is asked, with a text such as "module 03 (4 of 6)".
using ProgressFn = std::function<void(const std::string&)>;

/// The type code and serial number of an identity reply, as the catalogue decodes it.
struct Identity {
    int32_t typeCode = 0; ///< 16-bit model code; 0 when the catalogue knows none
    std::string typeName;
    std::string serial;
};
Identity decodeIdentity(const std::string& reply);

struct ReadPlan {
    std::vector<int> addresses;
    /// The module targets each address is asked as, in order, until one answers; empty:
    /// only the one the line was set up with (recorded as empty).
    std::vector<std::string> targets;
    /// A target to ask an address as first (the one a backup recorded for it).
    std::map<int, std::string> moduleTargets;
    /// Variables read on every module whose type has numbered variables.
    std::vector<int> variables;
    /// Further variables of single modules (those a backup lists).
    std::map<int, std::vector<int>> moduleVariables;
};

/// One module: its identity and every setting of its type, with the variables given.
ModuleRecord readModule(ModuleLine& line, int address, const std::vector<int>& variables);

/// Every address of the plan, in its order; the picture's address range is the plan's.
LinePicture readLine(ModuleLine& line, const ReadPlan& plan, const ProgressFn& progress = {});

/// What a comparison with @p backup must read: its address range and its modules, with the
/// variables each of its modules lists and the targets they answered as.
ReadPlan planFor(const LinePicture& backup);

} // namespace tamsel::backup
