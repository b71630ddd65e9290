// The shell's names for the window contract's request sink and records, and the shell's
// own text size (the contract's).
#pragma once

#include <contract/records.h>
#include <contract/request_sink.h>
#include <contract/window_records.h>

namespace tamsel::shell {

using contract::TagCatalogueQuery;
using contract::TagDialogGeometry;
using contract::TagHelpInfo;
using contract::TagList;
using contract::TRequestSink;
namespace catop = contract::catop;

/// Size of the text buffers exchanged with the application (commands, replies, paths).
using contract::kTextSize;

} // namespace tamsel::shell
