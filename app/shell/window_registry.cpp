#include "window_registry.h"

#include "shell_codes.h"

#include <algorithm>
#include <iterator>
#include <optional>

namespace tamsel::shell {

namespace {

constexpr int kTriloLike = family::kTrilo | family::kMicroTrilo;
constexpr int kVrxPanel = family::kMicroTrilo | family::kVrx17OrDvrx | family::kVrx23OrVrx34;

constexpr TWindowRow kRows[] = {
    // kind, command, dialog, size at 96 dpi, id, per address, single, families, modules,
    // set-up 0
    {TWindowKind::Configuration,
     cmd::kConfiguration,
     dlg::kConfiguration,
     {720, 520},
     winid::kConfiguration,
     false,
     false,
     families::kAny,
     false,
     false},
    {TWindowKind::Dialog,
     cmd::kDialog,
     dlg::kTerminal,
     {620, 420},
     winid::kDialog,
     false,
     false,
     families::kAny,
     false,
     false},
    {TWindowKind::Parameters,
     cmd::kParameters,
     dlg::kParameters,
     {640, 500},
     winid::kParametersBase,
     true,
     false,
     kTriloLike,
     true,
     false},
    {TWindowKind::DirectMotion,
     cmd::kDirectMotion,
     dlg::kDirectMotion,
     {600, 460},
     winid::kDirectMotionBase,
     true,
     false,
     kTriloLike,
     true,
     false},
    {TWindowKind::SpecificMode,
     cmd::kSpecificModes,
     dlg::kSpecificMode,
     {560, 440},
     winid::kSpecificModeBase,
     true,
     true,
     kTriloLike,
     true,
     false},
    {TWindowKind::Panel,
     cmd::kPanel,
     dlg::kMonitoring,
     {560, 400},
     winid::kPanelBase,
     true,
     false,
     family::kTrilo | families::kNoFamily,
     true,
     true},
    {TWindowKind::PanelVrx,
     cmd::kPanel,
     dlg::kMonitoringVrx,
     {640, 440},
     winid::kPanelBase,
     true,
     false,
     kVrxPanel,
     true,
     true},
    {TWindowKind::Vrx17Control,
     cmd::kFamilyControl,
     dlg::kVrx17Control,
     {640, 480},
     winid::kFamilyControlBase,
     true,
     false,
     family::kVrx17OrDvrx,
     true,
     false},
    {TWindowKind::V234Control,
     cmd::kFamilyControl,
     dlg::kV234Control,
     {680, 500},
     winid::kFamilyControlBase,
     true,
     false,
     family::kVrx23OrVrx34,
     true,
     false},
    // The variables window is found by its open flag alone: it carries no identifier.
    {TWindowKind::Variables,
     cmd::kVariables,
     dlg::kVariables,
     {580, 420},
     0,
     false,
     true,
     family::kTrilo,
     true,
     false},
};

// Sizes of the dialogs that are no module window, at 96 dots per inch.
constexpr struct {
    int dialogId;
    TDialogSize size;
} kOtherDialogs[] = {
    {dlg::kErrorReport, {480, 320}},
    {dlg::kInitBox, {440, 260}},
    {dlg::kAbout, {360, 220}},
};
constexpr int kLargeDpi = 120;

int familyClass(int familyMask) {
    return familyMask == family::kNone ? families::kNoFamily : familyMask;
}

} // namespace

std::span<const TWindowRow> windowRows() {
    return kRows;
}

const TWindowRow& rowOf(TWindowKind kind) {
    const auto* row = std::find_if(std::begin(kRows), std::end(kRows),
                                   [kind](const TWindowRow& r) { return r.kind == kind; });
    // Every kind has its row; the table test holds the two together.
    return row != std::end(kRows) ? *row : kRows[0];
}

const TWindowRow* rowFor(int commandId, int familyMask) {
    const int served = familyClass(familyMask);
    for (const TWindowRow& row : kRows) {
        if (row.commandId == commandId && (row.families & served) != 0) {
            return &row;
        }
    }
    return nullptr;
}

int windowIdentifier(const TWindowRow& row, int address) {
    return row.perAddress ? row.idBase + address : row.idBase;
}

QSize dialogSize(int dialogId, int dpi) {
    std::optional<TDialogSize> size;
    for (const TWindowRow& row : kRows) {
        if (row.dialogId == dialogId) {
            size = row.size;
        }
    }
    for (const auto& other : kOtherDialogs) {
        if (other.dialogId == dialogId) {
            size = other.size;
        }
    }
    if (!size) {
        return {};
    }
    // At 120 dots per inch the dialogs grow with the density.
    if (dpi >= kLargeDpi) {
        return {size->width * 5 / 4, size->height * 5 / 4};
    }
    return {size->width, size->height};
}

void TWindowRegistry::add(TWindowKind kind, TWindowFactory factory) {
    m_factories.insert(static_cast<int>(kind), std::move(factory));
}

bool TWindowRegistry::has(TWindowKind kind) const {
    return m_factories.contains(static_cast<int>(kind));
}

const TWindowFactory* TWindowRegistry::factory(TWindowKind kind) const {
    const auto found = m_factories.constFind(static_cast<int>(kind));
    return found == m_factories.constEnd() ? nullptr : &found.value();
}

} // namespace tamsel::shell
