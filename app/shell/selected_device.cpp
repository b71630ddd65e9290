#include "selected_device.h"

#include "shell_codes.h"

namespace tamsel::shell {

TSelectedDevice selectedDevice(const TDeviceEntry& entry, const QString& target) {
    TSelectedDevice device;
    device.address = entry.address;
    device.typeCode = entry.typeCode;
    device.target = target;
    device.trilo = target == QLatin1String("TRILO");
    device.dvrx = target == QLatin1String("DVRX");
    device.microTrilo = target == QLatin1String("MICROTRILO");
    device.vrx23 = target == QLatin1String("VRX23");
    device.vrx34 = target == QLatin1String("VRX34");
    device.vrx17 = target == QLatin1String("VRX17");
    device.familyMask = (device.trilo ? family::kTrilo : 0) +
                        (device.microTrilo ? family::kMicroTrilo : 0) +
                        (device.vrx17 || device.dvrx ? family::kVrx17OrDvrx : 0) +
                        (device.vrx23 || device.vrx34 ? family::kVrx23OrVrx34 : 0);
    return device;
}

int entryToKeep(const QVector<TDeviceEntry>& entries, const TSelectedDevice* previous) {
    if (entries.isEmpty()) {
        return -1;
    }
    if (previous != nullptr) {
        for (int i = 0; i < entries.size(); ++i) {
            if (entries[i].address == previous->address &&
                entries[i].typeCode == previous->typeCode) {
                return i;
            }
        }
    }
    return 0;
}

} // namespace tamsel::shell
