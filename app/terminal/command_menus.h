// The quick-command menus of the terminal: which target names which menu, and the
// command words each menu offers ("nnn." marks the value to type).
#pragma once

#include <QString>
#include <QStringList>

class QMenu;
class QWidget;

namespace tamsel::terminal {

/// The menu of a target name (14000, 14001, 14002), 0 for a name without one.
int targetKind(const QString& targetName);

/// The items of menu @p kind in order; an empty text stands for a separator. Empty for
/// an unknown menu.
QStringList menuItems(int kind);

/// Builds menu @p kind, titled "Quick Command", with one action per item whose text is
/// the command; null for an unknown menu.
QMenu* buildCommandMenu(int kind, QWidget* parent);

/// The command a menu item or glossary entry becomes: "%02d%s" with the address, or the
/// text alone for all modules (-1).
QString withAddress(int address, const QString& text);

/// The address display: " %02d ", or "ALL" for -1.
QString addressText(int address);

} // namespace tamsel::terminal
