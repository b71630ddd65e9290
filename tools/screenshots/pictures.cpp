#include "pictures.h"

#include <dialog_trilo.h>
#include <edit_style.h>
#include <parameters_window.h>
#include <shell_codes.h>
#include <specific_modes_window.h>
#include <variables_window.h>

#include <QAbstractButton>
#include <QAction>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QTest>

#include <iterator>
#include <memory>

namespace tamsel::screenshots {

namespace {

namespace cmd = shell::cmd;

void askIdentity(QWidget* window) {
    auto* terminal = qobject_cast<terminal::TDialogTRILO*>(window);
    if (terminal == nullptr) {
        return;
    }
    terminal->commandEdit()->setText(QStringLiteral("00RV"));
    QTest::keyClick(terminal->commandEdit(), Qt::Key_Return);
}

// The configuration window's Start button (control 1052) reads "&Scanning" again once a scan
// has ended; an Automatic scan of the demo line takes some twenty seconds.
constexpr int kScanBoundMs = 120000;
constexpr int kScanLookMs = 100;

void scanAutomatically(QWidget* window) {
    auto* automatic = window->findChild<QRadioButton*>(QStringLiteral("1054"));
    auto* start = window->findChild<QAbstractButton*>(QStringLiteral("1052"));
    if (automatic == nullptr || start == nullptr) {
        return;
    }
    // The window applies its opening state (Checking, for a project with modules) at its
    // first idle pass; the choice of Automatic comes after it.
    QTest::qWait(kScanLookMs);
    automatic->click();
    start->click();
    QElapsedTimer clock;
    clock.start();
    QTest::qWait(kScanLookMs);
    while (start->text() != QStringLiteral("&Scanning") && clock.elapsed() < kScanBoundMs) {
        QTest::qWait(kScanLookMs);
    }
}

// Four rows of the TRILO's variables, given values through the window's own "Change value",
// one labelled, shown in each view.
void fillVariables(QWidget* window) {
    namespace var = terminal::variables;
    auto* variables = qobject_cast<var::TDial_VAR*>(window);
    if (variables == nullptr) {
        return;
    }
    auto answer = std::make_shared<QString>();
    variables->setInputAsker([answer](const widgets::TagInputRequest&, QWidget*) {
        widgets::TagInputResult result;
        result.code = widgets::kInputAccepted;
        result.text = *answer;
        return result;
    });
    const auto choose = [variables](int row, var::TColumn column, const char* item) {
        std::unique_ptr<QMenu> menu = variables->rowMenu(row, column);
        if (QAction* action =
                menu ? menu->findChild<QAction*>(QString::fromLatin1(item).trimmed()) : nullptr) {
            action->trigger();
        }
    };
    const struct {
        int number;
        const char* value;
        const char* view;
    } rows[] = {{1, "1500", var::text::kFreeView},
                {2, "-42", var::text::kFreeView},
                {3, "48879", var::text::kHexaView},
                {5, "18", var::text::kOutputView}};
    for (int row = 0; row < static_cast<int>(std::size(rows)); ++row) {
        variables->addVariable(rows[row].number);
        *answer = QString::fromLatin1(rows[row].value);
        choose(row, var::TColumn::Init, var::text::kChangeValue);
        choose(row, var::TColumn::Current, rows[row].view);
    }
    *answer = QStringLiteral("Speed");
    choose(0, var::TColumn::Name, var::text::kNewLabel);
}

// The parameters and specific modes windows read their module once when they open.
constexpr int kReadBoundMs = 20000;

template <class Ready> void waitUntil(const Ready& ready) {
    QElapsedTimer clock;
    clock.start();
    while (!ready() && clock.elapsed() < kReadBoundMs) {
        QTest::qWait(kScanLookMs);
    }
}

void waitForParameters(QWidget* window) {
    auto* parameters = qobject_cast<windows::parameters::TParametersWindow*>(window);
    if (parameters != nullptr) {
        waitUntil(
            [parameters] { return parameters->lightState() == windows::parameters::kLightValid; });
    }
}

// The automatic outputs switched on (not written) show the output group at work.
void showAutomaticOutputs(QWidget* window) {
    auto* modes = qobject_cast<windows::specific_modes::TSpecificModesWindow*>(window);
    if (modes == nullptr) {
        return;
    }
    waitUntil([modes] {
        // Three reads make a refresh; the last one brings the automatic outputs.
        return modes->lightState() == windows::specific_modes::kLightValid &&
               modes->completions() >= 3 && modes->showings() > 0;
    });
    QTest::qWait(kScanLookMs);
    auto* automatic = window->findChild<QAbstractButton*>(
        QString::number(windows::specific_modes::ids::kAutoOutput));
    if (automatic != nullptr && automatic->isEnabled()) {
        automatic->click();
    }
}

// The direct motion window with a target typed in and a few outputs chosen.
void chooseMotion(QWidget* window) {
    // The window enables its controls at its first status; the choices come after it.
    QTest::qWait(kScanLookMs * 5);
    if (auto* position = window->findChild<QLineEdit*>(QStringLiteral("1389"))) {
        position->setText(QStringLiteral("2500"));
    }
    // S7 on, S6 left as it is (the demo TRILO's outputs have three states), S1 on.
    const struct {
        const char* id;
        int clicks;
    } outputs[] = {{"1359", 1}, {"1360", 2}, {"1365", 1}};
    for (const auto& o : outputs) {
        if (auto* label = window->findChild<QWidget*>(QString::fromLatin1(o.id))) {
            for (int i = 0; i < o.clicks; ++i) {
                QTest::mouseClick(label, Qt::LeftButton);
            }
        }
    }
}

const TPicture kPictures[] = {
    // file, command, module address, preparation
    {"dialog.png", cmd::kDialog, 0, askIdentity},
    // Before the configuration window: its scan keeps the line to itself while it is open.
    {"variables.png", cmd::kVariables, 0, fillVariables},
    // Before the scan: it leaves the line at the last setting it tried.
    {"parameters.png", cmd::kParameters, 1, waitForParameters},
    {"specific_modes.png", cmd::kSpecificModes, 1, showAutomaticOutputs},
    // The module windows poll the working line: they are pictured before the scan takes it.
    {"direct_motion.png", cmd::kDirectMotion, 0, chooseMotion},
    {"panel.png", cmd::kPanel, 0, {}},
    {"panel_vrx17.png", cmd::kPanel, 2, {}},
    {"configuration.png", cmd::kConfiguration, 0, scanAutomatically},
};

} // namespace

std::span<const TPicture> pictures() {
    return kPictures;
}

} // namespace tamsel::screenshots
