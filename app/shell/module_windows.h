// The module windows in the MDI area: opened through their rows and factories, found again
// by identifier or kind, given the shell's orders.
#pragma once

#include "window_registry.h"

#include <functional>

class QMdiArea;
class QMdiSubWindow;

namespace tamsel::shell {

class TModuleWindows {
  public:
    TModuleWindows(QMdiArea& area, const TWindowRegistry& registry,
                   std::function<void(const QString&)> note);

    /// Brings the window of @p row for @p context forward, or builds it; a single-instance
    /// window that was open already is refreshed.
    void open(const TWindowRow& row, const TWindowContext& context);
    /// The MDI child stamped with @p identifier, or null.
    QMdiSubWindow* childWithId(int identifier) const;
    /// Queues shell command @p commandId to every module window but the configuration.
    void sendCommand(int commandId);
    /// Minimises every module window but the configuration (request 0x1411).
    void minimiseAll();

  private:
    QMdiSubWindow* childOfKind(TWindowKind kind) const;

    QMdiArea& m_area;
    const TWindowRegistry& m_registry;
    std::function<void(const QString&)> m_note;
};

/// Queues shell command @p id to @p widget when it is a module window.
void queueShellCommand(QWidget* widget, int id);

} // namespace tamsel::shell
