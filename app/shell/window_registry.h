// The module windows the shell can open: one descriptor row per window, and the windows'
// layers' factories registered against the rows. Adding a window is its own file pair,
// one row here and one registration in the program's wiring.
#pragma once

#include "app_request.h"

#include <contract/records.h>

#include <QHash>
#include <QSize>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <span>

namespace tamsel::shell {

/// The module windows the shell opens.
enum class TWindowKind {
    Configuration,
    Dialog,
    Parameters,
    DirectMotion,
    SpecificMode,
    Panel,
    PanelVrx,
    Vrx17Control,
    V234Control,
    Variables,
};

/// Family classes of a window row: the family masks of the selected device, and one
/// class of its own for a device of no known family (mask 0).
namespace families {
constexpr int kNoFamily = 0x100;
constexpr int kAny = 0x1ff;
} // namespace families

/// A dialog's size in pixels at 96 dots per inch.
struct TDialogSize {
    int width;
    int height;
};

/// How the shell opens and enables one window.
struct TWindowRow {
    TWindowKind kind;
    /// The frame command that opens it.
    int commandId;
    /// Its dialog resource number (the high word of its requests).
    int dialogId;
    TDialogSize size;
    /// The window identifier, or the base that the module address is added to.
    int idBase;
    bool perAddress;
    /// One window at a time whatever the address: found again by its kind, refreshed when
    /// opened again.
    bool singleInstance;
    /// The family classes (family masks, families::kNoFamily) whose devices it serves.
    int families;
    /// Enabled only when the project has modules and the start-up succeeded.
    bool needsModules;
    /// Enabled only when the project's set-up number 0 is set.
    bool needsSetupZero;
};

/// Every window row, in the order the frame's menus list the windows.
std::span<const TWindowRow> windowRows();
const TWindowRow& rowOf(TWindowKind kind);
/// The row that command @p commandId opens for a device of @p familyMask; null when the
/// command opens no window for it.
const TWindowRow* rowFor(int commandId, int familyMask);
/// The identifier stamped on the window of @p row for the module at @p address.
int windowIdentifier(const TWindowRow& row, int address);
/// The size of dialog @p dialogId at @p dpi dots per inch; invalid for an unknown dialog.
QSize dialogSize(int dialogId, int dpi);

/// What a module window is built with.
struct TWindowContext {
    TRequestSink* app = nullptr;
    std::int32_t address = 0;
    std::int32_t typeCode = 0;
    int familyMask = 0;
    int dpi = 96;
    /// The handle under which the window registers its poll entries, so that their
    /// completions reach it.
    std::function<contract::TKV_WindowHandle(QObject* window)> handleOf;
};

/// Builds the window's widget; the shell puts it into an MDI child. A window that takes
/// the poll thread's completions and the shell's orders (0x2001 refresh, 0x2006 update)
/// implements contract::TModuleWindow.
using TWindowFactory = std::function<QWidget*(const TWindowContext&)>;

/// The factories the windows' layers registered.
class TWindowRegistry {
  public:
    void add(TWindowKind kind, TWindowFactory factory);
    bool has(TWindowKind kind) const;
    /// The factory of @p kind; null when no layer registered one.
    const TWindowFactory* factory(TWindowKind kind) const;

  private:
    QHash<int, TWindowFactory> m_factories;
};

} // namespace tamsel::shell
