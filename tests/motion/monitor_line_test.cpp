// The monitoring panels inside the real program: what they show of the emulated module as
// the test changes it, a module gone silent and back, and the VRX17 panel's writes.
#include "line_fixture.h"

#include <digital.h>
#include <display_digits.h>
#include <input_dialog.h>
#include <monitor_v17_window.h>
#include <monitor_window.h>
#include <static_suivi.h>
#include <status_light.h>

#include <shell_codes.h>

#include "support/event_wait.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <string>

namespace tamsel::windows::test {
namespace {

using monitoring::TDial_SUIV;
using monitoring::TDial_SUIVV17;
namespace pids = monitoring::ids;
namespace vids = monitoring::v17ids;

constexpr int kSilentBoundMs = 60000;

std::string cells(QWidget* panel, int id) {
    auto* d = panel->findChild<widgets::TDigital*>(QString::number(id));
    return d == nullptr ? std::string("<missing>") : d->cells();
}

/// The eight lamps of a row, lamp 1 first.
std::string lamps(QWidget* panel, int firstId) {
    std::string row;
    for (int i = 0; i < monitoring::kLampCount; ++i) {
        row += cells(panel, firstId + i);
    }
    return row;
}

std::string number(long value) {
    char text[16] = {};
    std::snprintf(text, sizeof text, "%11ld", value);
    return text;
}

class PanelTest : public LineFixture {
  protected:
    TDial_SUIV* openPanel() {
        auto* panel = qobject_cast<TDial_SUIV*>(open(shell::cmd::kPanel, kTriloEntry));
        if (panel == nullptr || !waitFor([panel] { return panel->redraws() > 0; })) {
            return nullptr;
        }
        return panel;
    }
    TDial_SUIVV17* openV17() {
        auto* panel = qobject_cast<TDial_SUIVV17*>(open(shell::cmd::kPanel, kVrx17Entry));
        if (panel == nullptr || !waitFor([panel] { return panel->redraws() > 0; })) {
            return nullptr;
        }
        return panel;
    }
};

TEST_F(PanelTest, FollowsThePositionInputsOutputsAndFunctionOfTheModule) {
    TDial_SUIV* panel = openPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->windowTitle(), "@00");
    EXPECT_TRUE(waitFor([&] { return cells(panel, pids::kPosition) == number(0); }));
    EXPECT_EQ(cells(panel, pids::kPower), " 0N");
    EXPECT_EQ(cells(panel, pids::kFunction), "   ") << "function 0 is blank";
    EXPECT_EQ(lamps(panel, pids::kFirstInput), "********");
    QWidget* animation = control<QWidget>(panel, pids::kAnimation);
    EXPECT_FALSE(animation->isVisible());

    // A long move: the display goes through positions between the two ends.
    sendText("00GA 6000");
    ASSERT_TRUE(waitFor([&] {
        const std::string shown = cells(panel, pids::kPosition);
        const long value = std::stol(shown);
        return value > 0 && value < 6000;
    }));
    EXPECT_TRUE(animation->isVisible());
    const int frame = panel->frame();
    ASSERT_TRUE(waitFor([&] { return panel->frame() != frame; })) << "the motor turns";
    ASSERT_TRUE(waitFor([&] { return cells(panel, pids::kPosition) == number(6000); }));
    EXPECT_TRUE(waitFor([&] { return !animation->isVisible(); }));

    line->setInputs(kTriloAddress, 0x05);
    EXPECT_TRUE(waitFor([&] { return lamps(panel, pids::kFirstInput) == "#*#*****"; }))
        << lamps(panel, pids::kFirstInput);
    sendText("00GL 81");
    EXPECT_TRUE(waitFor([&] { return lamps(panel, pids::kFirstOutput) == "#******#"; }))
        << lamps(panel, pids::kFirstOutput);
    sendText("00GR");
    EXPECT_TRUE(waitFor([&] { return cells(panel, pids::kPower) == "0FF"; }));
    sendText("00GM");
    sendText("00SS 40");
    EXPECT_TRUE(waitFor([&] { return cells(panel, pids::kFunction) == " 40"; }))
        << cells(panel, pids::kFunction);
    EXPECT_TRUE(waitFor([&] { return cells(panel, pids::kStage) == "  1"; }));
    sendText("00GS");
}

TEST_F(PanelTest, OnlyTheDisplaysWhoseValueChangedAreRepainted) {
    TDial_SUIV* panel = openPanel();
    ASSERT_NE(panel, nullptr);
    const int redraws = panel->redraws();
    ASSERT_TRUE(waitFor([&] { return panel->redraws() >= redraws + 2; }));
    EXPECT_FALSE(panel->lastChanges().any()) << "a module standing still repaints nothing";
    line->setInputs(kTriloAddress, 0x80);
    ASSERT_TRUE(waitFor([&] { return panel->lastChanges().inputs; }));
    const monitoring::TPanelChanges only{false, false, false, false, false, true, false};
    EXPECT_EQ(panel->lastChanges(), only);
}

TEST_F(PanelTest, AModuleGoneSilentShowsTheErrorStateUntilAReadSucceedsAgain) {
    TDial_SUIV* panel = openPanel();
    ASSERT_NE(panel, nullptr);
    sendText("00GL 00");
    ASSERT_TRUE(waitFor([&] { return lamps(panel, pids::kFirstOutput) == "********"; }));
    kvsim::FaultSetup silent;
    silent.kind = kvsim::FaultKind::Silent;
    line->setFault(kTriloAddress, silent);
    ASSERT_TRUE(support::waitForEvents([&] { return panel->inErrorMode(); }, kSilentBoundMs));
    EXPECT_EQ(lamps(panel, pids::kFirstInput), "########");
    EXPECT_EQ(lamps(panel, pids::kFirstOutput), "########");
    EXPECT_EQ(cells(panel, pids::kPower), "0FF");
    // The spinner turns on its own timer while the reads keep failing.
    auto* position = control<widgets::TDigital>(panel, pids::kPosition);
    const int phase = position->spinnerPhase();
    ASSERT_TRUE(waitFor([&] { return position->spinnerPhase() != phase; }));
    const std::string spinning = position->cells();
    EXPECT_NE(spinning.find_first_of("abcdef"), std::string::npos) << spinning;

    line->setFault(kTriloAddress, {});
    ASSERT_TRUE(support::waitForEvents([&] { return !panel->inErrorMode(); }, kSilentBoundMs));
    EXPECT_EQ(cells(panel, pids::kPosition), number(module(kTriloAddress).position));
    EXPECT_EQ(lamps(panel, pids::kFirstOutput), "********");
    EXPECT_EQ(cells(panel, pids::kPower), " 0N");
    const int phaseAfter = position->spinnerPhase();
    const int redraws = panel->redraws();
    ASSERT_TRUE(waitFor([&] { return panel->redraws() >= redraws + 2; }));
    EXPECT_EQ(position->spinnerPhase(), phaseAfter) << "the spinner stops with the error mode";
}

TEST_F(PanelTest, ARefreshWhileMinimisedRegistersThePollAgainButPaused) {
    TDial_SUIV* panel = openPanel();
    ASSERT_NE(panel, nullptr);
    frameOf(panel)->showMinimized();
    ASSERT_TRUE(panel->polls()->paused());
    panel->shellCommand(monitoring::kUpdateCommand);
    ASSERT_NE(panel->polls(), nullptr);
    EXPECT_TRUE(panel->polls()->paused());
    int entries = 0;
    for (int i = 0; i < contract::kPollEntries; ++i) {
        const contract::TagPollEntry e = backend->comm().pollEntry(i);
        if (e.owner == panel->handle()) {
            ++entries;
            EXPECT_EQ(e.mode, contract::kPollPaused);
        }
    }
    EXPECT_EQ(entries, 1) << "the old entry is withdrawn, the new one paused";
    frameOf(panel)->showNormal();
    const int redraws = panel->redraws();
    EXPECT_TRUE(waitFor([&] { return panel->redraws() > redraws; }));
}

// ---- the VRX17 panel ---------------------------------------------------------------------------

/// Answers the input dialog the panel is about to open with @p text.
void answerInputDialog(const QString& text, bool accept = true) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, text, accept] {
        auto* dialog = qobject_cast<widgets::TInputDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        if (accept) {
            dialog->edit()->setText(text);
            dialog->accept();
        } else {
            dialog->reject();
        }
    });
    timer->start();
}

TEST_F(PanelTest, V17PanelShowsTheModuleAndItsWritesReachIt) {
    sendText("02#POSITION:=1234");
    TDial_SUIVV17* panel = openV17();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->windowTitle().startsWith("02="));
    EXPECT_GT(panel->windowTitle().size(), 3);
    auto* position = control<widgets::TKVDisplayDigits>(panel, vids::kPosition);
    ASSERT_TRUE(waitFor([&] { return position->value() == 1234; }));
    EXPECT_FALSE(position->error());
    const int powered = module(kVrx17Address).power ? 1 : 0;
    EXPECT_TRUE(waitFor([&] {
        return control<widgets::TStatusLight>(panel, vids::kPowerLight)->state() == powered;
    }));

    // A click on the rightmost output lamp toggles output 1 at the next poll (the driver
    // sends the text in capitals).
    auto* outputs = control<widgets::TKVStaticSuivi>(panel, vids::kOutputs);
    line->clearLog();
    QTest::mouseClick(outputs, Qt::LeftButton, {},
                      QPoint(outputs->width() - 2, outputs->height() / 2));
    ASSERT_TRUE(waitFor([&] { return module(kVrx17Address).outputs == 0x01U; }));
    EXPECT_TRUE(sentToModules().contains("02#OUT:=H1")) << sentToModules().toStdString();
    EXPECT_TRUE(waitFor([&] { return outputs->value() == 0x01U; }));

    // "Raz" sets the position to 0 and clears itself once sent.
    auto* raz = control<QPushButton>(panel, vids::kRaz);
    raz->click();
    ASSERT_TRUE(waitFor([&] { return module(kVrx17Address).position == 0; }));
    EXPECT_TRUE(sentToModules().contains("02#POSITION:=0"));
    EXPECT_TRUE(waitFor([&] { return !raz->isChecked(); }));
    EXPECT_TRUE(waitFor([&] { return position->value() == 0; }));
}

TEST_F(PanelTest, V17PanelAsksForAVariableTheUserNamesAndShowsItInTheChosenView) {
    sendText("02#V3:=42");
    TDial_SUIVV17* panel = openV17();
    ASSERT_NE(panel, nullptr);
    auto* names = control<QComboBox>(panel, vids::kName1);
    const int add = names->findText(monitoring::kAddInput);
    ASSERT_GE(add, 0);

    // Cancel goes back to the first entry, which asks for nothing.
    answerInputDialog({}, false);
    names->setCurrentIndex(add);
    emit names->activated(add);
    EXPECT_EQ(names->currentIndex(), 0);
    EXPECT_EQ(panel->askedVariable(0), "none");
    auto* value = control<widgets::TKVDisplayDigits>(panel, vids::kValue1);
    EXPECT_TRUE(waitFor([&] { return panel->redraws() > 2; }));
    EXPECT_TRUE(value->shownText().trimmed().isEmpty()) << value->shownText().toStdString();

    answerInputDialog(QStringLiteral("V3"));
    names->setCurrentIndex(add);
    emit names->activated(add);
    EXPECT_EQ(names->currentText(), "#V3");
    EXPECT_EQ(panel->askedVariable(0), "V3");
    EXPECT_GE(control<QComboBox>(panel, vids::kName2)->findText("#V3"), 0) << "both lists";
    line->clearLog();
    ASSERT_TRUE(waitFor([&] { return value->value() == 42; }));
    EXPECT_TRUE(sentToModules().contains("02REA #V3")) << sentToModules().toStdString();
    panel->viewItemChosen(0, monitoring::TViewItem::Hexadecimal);
    EXPECT_TRUE(waitFor([&] { return value->shownText().trimmed() == "h2A"; }))
        << value->shownText().toStdString();

    // Input Value writes the variable.
    answerInputDialog(QStringLiteral("77"));
    panel->viewItemChosen(0, monitoring::TViewItem::InputValue);
    ASSERT_TRUE(panel->writePending());
    EXPECT_TRUE(waitFor([&] { return module(kVrx17Address).variables["V3"] == 77; }));
    EXPECT_TRUE(sentToModules().contains("02#V3:=77")) << sentToModules().toStdString();
}

TEST_F(PanelTest, V17PanelMarksItsDisplaysInvalidWhileTheModuleIsSilent) {
    TDial_SUIVV17* panel = openV17();
    ASSERT_NE(panel, nullptr);
    auto* position = control<widgets::TKVDisplayDigits>(panel, vids::kPosition);
    auto* inputs = control<widgets::TKVStaticSuivi>(panel, vids::kInputs);
    kvsim::FaultSetup silent;
    silent.kind = kvsim::FaultKind::Silent;
    line->setFault(kVrx17Address, silent);
    ASSERT_TRUE(support::waitForEvents([&] { return position->error(); }, kSilentBoundMs));
    EXPECT_TRUE(inputs->error());
    EXPECT_EQ(control<widgets::TStatusLight>(panel, vids::kPowerLight)->state(), 0);
    line->setFault(kVrx17Address, {});
    ASSERT_TRUE(support::waitForEvents([&] { return !position->error() && !inputs->error(); },
                                       kSilentBoundMs));
}

} // namespace
} // namespace tamsel::windows::test
