// Localize: a series of reset-and-status probes that make a module's fault light flash, one
// per idle pass of the window, until twenty have gone or the user stops it with a right click.
#pragma once

#include "discovery/scan_types.h"

#include <string>

namespace tamsel::discovery {

inline constexpr int kLocalizeSteps = 20;
/// Localize always speaks as a TRILO: every family answers its reset and status.
inline constexpr const char* kLocalizeTarget = "TRILO";

/// The line setting the probes use: the current entries of the working lists.
struct LocalizeLine {
    std::string port;
    std::string protocol;
    std::string baud;
};

/// What one idle pass of a localize does.
struct LocalizeStep {
    bool captureMouse = false;
    /// Appended to the message line.
    std::string lineAppend;
    /// The reset-and-status probe of this step.
    ProbeTry probe;
    /// The last step: afterwards the row highlight is removed, the message line cleared and
    /// the mouse released.
    bool last = false;
};

class LocalizeRun {
  public:
    /// Starts for a module; the message line shows the returned text.
    std::string start(int address, const LocalizeLine& line);
    bool running() const { return m_running; }
    /// A right click: the next step is the last.
    void requestStop() { m_stop = true; }
    /// The step of this idle pass; only while running().
    LocalizeStep step();

  private:
    bool m_running = false;
    bool m_stop = false;
    int m_done = 0;
    int m_address = 0;
    LocalizeLine m_line;
};

} // namespace tamsel::discovery
