/**
 * @file backup_model.h
 * A picture of a line: for each module its address, identity and settings, each setting a
 * named number. What the backup file holds, what a read of the line gives and what a
 * comparison and a restore work on.
 */
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tamsel::backup {

/// The version of the file format this code writes; older versions are read as well.
inline constexpr int kFormatVersion = 1;

/// Settings by key ("parameters.max_speed", "variable.05"); ordered, so that two pictures
/// list them alike.
using SettingValues = std::map<std::string, long>;

struct ModuleRecord {
    int address = 0;
    bool answered = false; ///< false: the module was expected or asked, and kept silent
    int32_t typeCode = 0;  ///< 16-bit model code
    std::string typeName;
    std::string serial; ///< empty where the identity carries none
    /// The driver's module target it answered as ("TRILO", "VRX23"); empty: the line's.
    std::string target;
    SettingValues settings;
    /// Settings of the family that could not be read (a group the module did not answer).
    std::vector<std::string> unread;
    /// False when the file ended inside this module's section: its settings are not trusted.
    bool complete = true;
};

struct LinePicture {
    int version = kFormatVersion;
    std::string line;    ///< "target port protocol baud" the picture was taken at
    std::string written; ///< when, as the writer put it
    int firstAddress = 0;
    int lastAddress = 0;
    std::vector<ModuleRecord> modules; ///< in address order, one per address

    const ModuleRecord* module(int address) const;
};

} // namespace tamsel::backup
