#include "immediate_commands.h"

#include "motion_rules.h"

#include <contract/records.h>
#include <contract/request_codes.h>

#include <cstdio>

namespace tamsel::windows::motion {

std::int32_t commandIndexOf(TImmediate which) {
    switch (which) {
    case TImmediate::Reset:
        return coded::kReset;
    case TImmediate::QuickStop:
        return coded::kQuickStop;
    case TImmediate::DecelStop:
        return coded::kDecelStop;
    case TImmediate::PowerOn:
        return coded::kPowerOn;
    case TImmediate::PowerOff:
        return coded::kPowerOff;
    case TImmediate::ClearPosition:
        break;
    }
    return coded::kClearPosition;
}

const char* captionOf(TImmediate which) {
    switch (which) {
    case TImmediate::Reset:
        return "&Reset";
    case TImmediate::QuickStop:
        return "&Quick Stop";
    case TImmediate::DecelStop:
        return "Deceleration Stop";
    case TImmediate::PowerOn:
        return "Motor power o&N";
    case TImmediate::PowerOff:
        return "Motor po&Wer off";
    case TImmediate::ClearPosition:
        break;
    }
    return "Reset Position";
}

TCodedCommands::TCodedCommands(contract::TRequestSink& app, std::uint16_t dialogId,
                               std::int32_t address)
    : m_app(app), m_dialogId(dialogId), m_address(address) {}

std::int32_t TCodedCommands::send(std::int32_t index, const std::string& argument,
                                  std::string* reply) {
    contract::TagCodedCommand record;
    record.code = index;
    record.address = m_address;
    std::snprintf(record.parameter, sizeof record.parameter, "%s", argument.c_str());
    m_app.request(contract::req::kCodedCommand, m_dialogId, &record);
    if (reply != nullptr) {
        *reply = record.parameter;
    }
    return record.status;
}

} // namespace tamsel::windows::motion
