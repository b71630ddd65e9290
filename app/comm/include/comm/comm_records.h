/**
 * @file comm_records.h
 * The records that windows exchange with the communication object and the records of
 * the driver's capabilities: the window contract's, named here for the layer's code.
 */
#pragma once

#include "comm/comm_codes.h"

#include <contract/records.h>

namespace tkv {

using tamsel::contract::TagCodedCommand;
using tamsel::contract::TagConfigDLL;
using tamsel::contract::TagFreeText;
using tamsel::contract::TagMotion;
using tamsel::contract::TagParamBlock;
using tamsel::contract::TagPollEntry;
using tamsel::contract::TagProbe;
using tamsel::contract::TagRequest;
using tamsel::contract::TagSpecificMode;
using tamsel::contract::TagStatus;
using tamsel::contract::TagUnTypeDLL;
using tamsel::contract::TagV2334Settings;
using tamsel::contract::TagVariable;
using tamsel::contract::TagVariableValue;
using tamsel::contract::TKV_WindowHandle;

} // namespace tkv
