// The record of every process that loaded the driver, "linkordll.id" beside it or in the
// user's state folder (see companion_files.h).
#pragma once

namespace linkor {

/// Appends the driver's identity and the time; a file that cannot be opened is skipped.
void writeLoadRecord();

} // namespace linkor
