#include "pictures.h"

#include <dialog_trilo.h>
#include <edit_style.h>
#include <shell_codes.h>

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

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
