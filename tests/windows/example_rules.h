// The rules of the example window, as plain functions beside it: what the status record
// shows and when a failed read is worth a report.
#pragma once

#include <contract/records.h>

#include <QString>

namespace tamsel::windows::example {

/// The position as the window shows it: "%d steps".
QString positionText(const contract::TagStatus& status);
/// "on", "off" or "?" (a family whose replies carry no power flag).
QString powerText(std::uint8_t power);
/// The title of the window on the module at @p address.
QString titleOf(std::int32_t address);
/// A failure opens the report only when the read before it went well, so that a module
/// that stays silent does not open one report per poll pass.
bool failureToReport(std::int32_t previousStatus, std::int32_t status);

} // namespace tamsel::windows::example
