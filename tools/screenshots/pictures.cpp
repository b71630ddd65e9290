#include "pictures.h"

#include <dialog_trilo.h>
#include <edit_style.h>
#include <shell_codes.h>

#include <QKeyEvent>
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

const TPicture kPictures[] = {
    // file, command, module address, preparation
    {"dialog.png", cmd::kDialog, 0, askIdentity},
};

} // namespace

std::span<const TPicture> pictures() {
    return kPictures;
}

} // namespace tamsel::screenshots
