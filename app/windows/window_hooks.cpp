#include "window_hooks.h"

#include "comm_error_report.h"

#include <monitor_v17_window.h>
#include <monitor_window.h>
#include <motion_window.h>
#include <parameters_window.h>
#include <specific_modes_window.h>

#include <main_frame.h>
#include <prompter.h>

#include <contract/error_data.h>

namespace tamsel::windows {

TWindowSetup setupOf(const shell::TWindowContext& context) {
    TWindowSetup setup;
    setup.app = context.app;
    setup.address = context.address;
    setup.typeCode = context.typeCode;
    setup.familyMask = context.familyMask;
    setup.handleOf = context.handleOf;
    return setup;
}

TWindowHooks::TWindowHooks(shell::TMainApp& app, shell::TPrompter& prompter)
    : m_app(app), m_prompter(prompter) {
    app.setErrorReportHandler([this](void* record) { errorReport(record); });
    // The windows built on the base: one addWindow row each, as
    //   addWindow(shell::TWindowKind::Parameters,
    //             [](const TWindowSetup& setup) { return new TParametersWindow(setup); });
    addWindow(shell::TWindowKind::Parameters, [this](const TWindowSetup& setup) {
        return new parameters::TParametersWindow(setup, promptedBox());
    });
    addWindow(shell::TWindowKind::SpecificMode, [](const TWindowSetup& setup) {
        return new specific_modes::TSpecificModesWindow(setup);
    });
    addWindow(shell::TWindowKind::DirectMotion,
              [](const TWindowSetup& setup) { return new motion::TDial_MOT(setup); });
    addWindow(shell::TWindowKind::Panel,
              [](const TWindowSetup& setup) { return new monitoring::TDial_SUIV(setup); });
    addWindow(shell::TWindowKind::PanelVrx,
              [](const TWindowSetup& setup) { return new monitoring::TDial_SUIVV17(setup); });
}

TWindowHooks::~TWindowHooks() {
    m_app.setErrorReportHandler({});
    delete m_report.data();
}

std::function<void(const QString&, const QString&)> TWindowHooks::promptedBox() {
    return [this](const QString& text, const QString& caption) {
        shell::TBox box;
        box.title = caption;
        box.text = text;
        box.icon = shell::TBoxIcon::Exclamation;
        m_prompter.ask(&m_app.frame(), box);
    };
}

void TWindowHooks::addWindow(shell::TWindowKind kind, TWindowBuilder build) {
    m_app.registerWindow(kind, [build = std::move(build)](const shell::TWindowContext& context) {
        return build(setupOf(context));
    });
}

void TWindowHooks::errorReport(void* record) {
    const auto* report = static_cast<const contract::TagErrorReport*>(record);
    if (report == nullptr || report->window == nullptr) {
        return;
    }
    m_report =
        openCommErrorReport(m_app, &m_app.frame(), report->window, [this] { m_prompter.beep(); });
}

} // namespace tamsel::windows
