// Every window's help topic exists: the help file has an anchor for each window's dialog
// number and command, and for the shared dialogs.
#include <comm_error_source.h>
#include <widget_ids.h>
#include <window_registry.h>

#include <shell_codes.h>

#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace tamsel::windows::test {
namespace {

QSet<int> anchorsOfHelp() {
    QFile file(QStringLiteral(TAMSEL_HELP_FILE));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QString text = QString::fromUtf8(file.readAll());
    QSet<int> anchors;
    static const QRegularExpression name(QStringLiteral("<a name=\"(\\d+)\""));
    for (auto it = name.globalMatch(text); it.hasNext();) {
        anchors.insert(it.next().captured(1).toInt());
    }
    return anchors;
}

TEST(HelpAnchors, EveryWindowAndSharedDialogHasItsTopic) {
    const QSet<int> anchors = anchorsOfHelp();
    ASSERT_FALSE(anchors.isEmpty());
    for (const shell::TWindowRow& row : shell::windowRows()) {
        EXPECT_TRUE(anchors.contains(row.dialogId)) << row.dialogId;
        EXPECT_TRUE(anchors.contains(row.commandId)) << row.commandId;
    }
    for (int shared :
         {shell::dlg::kErrorReport, widgets::ids::kInputDialog, shell::dlg::kInitBox}) {
        EXPECT_TRUE(anchors.contains(shared)) << shared;
    }
}

} // namespace
} // namespace tamsel::windows::test
