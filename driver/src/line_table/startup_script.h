// The start-up script "linkor.zel" beside the library: commands replayed on every line
// the driver initialises, either for all ports or for one named port.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace linkor {

/// Where the last failing run of a script stopped, so that the message of 0x8024 can
/// tell the user which line to look at.
struct ScriptFailure {
    std::string path;
    int lineNumber = 0; ///< 1 for the first line of the file; 0 while no run has failed
    std::string text;   ///< what was sent
    int32_t status = 0; ///< what sending it gave
};

/// The failure of the last run that failed (lineNumber 0 when none has).
ScriptFailure lastScriptFailure();

/// The words added to the message of 0x8024 for `failure`, in English or in French;
/// empty when there is no failure to tell.
std::string scriptFailureDetail(const ScriptFailure& failure, bool english);

/// Sends each line of the script that applies to `portName` ("COMn"); 0x8024 at the
/// first that fails, which is kept for lastScriptFailure(). A missing file is no error.
int32_t runStartupScript(const std::string& path, const std::string& portName,
                         const std::function<int32_t(const char*)>& send);

} // namespace linkor
