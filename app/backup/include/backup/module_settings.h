/**
 * @file module_settings.h
 * A module's settings read and written group by group, through the records and request
 * kinds the windows use, so that a restore sends what a person at the windows would.
 */
#pragma once

#include "backup/backup_model.h"
#include "backup/module_line.h"
#include "backup/setting_table.h"

#include <cstdint>
#include <vector>

namespace tamsel::backup {

struct SettingsRead {
    SettingValues values;
    std::vector<std::string> unread; ///< keys whose group did not answer
    int32_t status = 0;              ///< the driver status of the last read that failed
};

/// Every setting of the type and the variables given (numbers), each group read once.
SettingsRead readSettings(ModuleLine& line, int address, int32_t typeCode,
                          const std::vector<int>& variables);

/// The settings of @p keys only (their groups, and the variables among them).
SettingsRead readKeys(ModuleLine& line, int address, int32_t typeCode,
                      const std::vector<std::string>& keys);

/**
 * @brief Writes one group. @p values holds every setting of the group (for a variable: that
 *        variable alone), as the group's record carries them all.
 * @param key for SettingGroup::Variable: which variable.
 * @return false when the write failed; @p status then holds the driver status.
 */
bool writeGroup(ModuleLine& line, int address, int32_t typeCode, SettingGroup group,
                const SettingValues& values, int32_t& status);

/// The keys of a group for the type (for a variable key: itself).
std::vector<std::string> groupKeys(int32_t typeCode, SettingGroup group);

} // namespace tamsel::backup
