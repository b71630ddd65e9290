// The device of the tool bar's selector: the module the module windows open for, and the
// family flags that the enable rules and the family group read.
#pragma once

#include "shell_backend.h"

#include <QString>

#include <cstdint>

namespace tamsel::shell {

struct TSelectedDevice {
    std::int32_t address = 0;
    std::int32_t typeCode = 0;
    /// The catalogue's target name of the type.
    QString target;
    bool trilo = false;
    bool dvrx = false;
    bool microTrilo = false;
    bool vrx23 = false;
    bool vrx34 = false;
    bool vrx17 = false;
    /// family::k... of the target, 0 for a target of no family.
    int familyMask = 0;
};

/// The selected device of @p entry, whose type the catalogue names @p target.
TSelectedDevice selectedDevice(const TDeviceEntry& entry, const QString& target);

/// Which of @p entries to select after a refill when @p previous was selected: the same
/// module (address and type) when it is still there, else the first entry; -1 for none.
int entryToKeep(const QVector<TDeviceEntry>& entries, const TSelectedDevice* previous);

} // namespace tamsel::shell
