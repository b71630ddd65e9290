#include "example_rules.h"

namespace tamsel::windows::example {

QString positionText(const contract::TagStatus& status) {
    return QStringLiteral("%1 steps").arg(status.position);
}

QString powerText(std::uint8_t power) {
    switch (power) {
    case contract::kPowerOn:
        return QStringLiteral("on");
    case contract::kPowerOff:
        return QStringLiteral("off");
    default:
        return QStringLiteral("?");
    }
}

QString titleOf(std::int32_t address) {
    return QString::asprintf(" Position watch %02d", address);
}

bool failureToReport(std::int32_t previousStatus, std::int32_t status) {
    return status != 0 && previousStatus == 0;
}

} // namespace tamsel::windows::example
