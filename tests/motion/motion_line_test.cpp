// The direct motion window inside the real program: each control's command on the wire (the
// virtual line's byte log) and its effect on the emulated module.
#include "line_fixture.h"

#include <arrow_buttons.h>
#include <monitor_v17_window.h>
#include <motion_window.h>
#include <status_light.h>

#include <comm_error_dialog.h>
#include <shell_codes.h>

#include <contract/error_data.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace tamsel::windows::test {
namespace {

using motion::TDial_MOT;
namespace mids = motion::ids;

class DirectMotionTest : public LineFixture {
  protected:
    /// Opens the window on the module at @p entry and waits for its first good status.
    TDial_MOT* openMotion(int entry) {
        auto* window = qobject_cast<TDial_MOT*>(open(shell::cmd::kDirectMotion, entry));
        if (window == nullptr || !waitFor([window] { return window->statusCount() > 0; })) {
            return nullptr;
        }
        return window;
    }
    QPushButton* button(QWidget* w, int id) const { return control<QPushButton>(w, id); }
    QLineEdit* edit(QWidget* w, int id) const { return control<QLineEdit>(w, id); }
    /// Clicks @p id and checks that its command went on the wire as @p text and that the
    /// button was not left shown as pressed.
    void clickSends(QWidget* w, int id, const char* text) {
        line->clearLog();
        QPushButton* b = button(w, id);
        ASSERT_NE(b, nullptr) << id;
        ASSERT_TRUE(b->isEnabled()) << id;
        b->click();
        EXPECT_TRUE(sentToModules().contains(text)) << id << ": " << sentToModules().toStdString();
        EXPECT_FALSE(b->isChecked()) << id;
    }
    widgets::TArrowButtons* arrows(QWidget* w, int id) const {
        return control<widgets::TArrowButtons>(w, id);
    }
    int light(QWidget* w) const { return control<widgets::TStatusLight>(w, mids::kLight)->state(); }
};

TEST_F(DirectMotionTest, OpensPollingWithTheModulesOwnModesAndTheTitleOfItsModule) {
    TDial_MOT* window = openMotion(kTriloEntry);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "Motion - Direct Mode");
    EXPECT_TRUE(control<QLabel>(window, mids::kHeader)->text().startsWith("00 "));
    EXPECT_TRUE(waitFor([&] { return light(window) == motion::kLightValid; }));
    // A TRILO runs at "+ Wh" and has two-state outputs.
    EXPECT_EQ(window->speedMode(), motion::kSpeedModeWh);
    EXPECT_EQ(edit(window, mids::kSpeed)->text(), "+ Wh");
    EXPECT_EQ(window->motionMode(), motion::TMotionMode::Defined);
    EXPECT_TRUE(control<QCheckBox>(window, mids::kDefined)->isChecked());
    EXPECT_FALSE(control<QCheckBox>(window, mids::kContinuous)->isChecked());
    EXPECT_TRUE(edit(window, mids::kPosition)->isEnabled());
    EXPECT_FALSE(edit(window, mids::kSpeed)->isEnabled());
    EXPECT_EQ(edit(window, mids::kFunction)->text(), "001");
    // The module's power is on: only "off" can be pressed.
    EXPECT_TRUE(waitFor([&] { return button(window, mids::kPowerOff)->isEnabled(); }));
    EXPECT_FALSE(button(window, mids::kPowerOn)->isEnabled());
    EXPECT_TRUE(prompter.boxes.isEmpty()) << prompter.boxes.join('|').toStdString();
}

TEST_F(DirectMotionTest, PowerResetAndClearPositionSendTheirCommandsAndTheButtonsFollow) {
    TDial_MOT* window = openMotion(kTriloEntry);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(waitFor([&] { return button(window, mids::kPowerOff)->isEnabled(); }));

    clickSends(window, mids::kPowerOff, "00GR  ");
    EXPECT_FALSE(module(kTriloAddress).power);
    EXPECT_TRUE(waitFor([&] {
        return button(window, mids::kPowerOn)->isEnabled() &&
               !button(window, mids::kPowerOff)->isEnabled();
    }));
    clickSends(window, mids::kPowerOn, "00GM  ");
    EXPECT_TRUE(module(kTriloAddress).power);
    EXPECT_TRUE(waitFor([&] { return button(window, mids::kPowerOff)->isEnabled(); }));

    sendText("00GA 700");
    ASSERT_TRUE(waitFor([&] { return module(kTriloAddress).position == 700; }));
    ASSERT_TRUE(waitFor([&] { return button(window, mids::kClearPosition)->isEnabled(); }));
    clickSends(window, mids::kClearPosition, "00DI  ");
    EXPECT_EQ(module(kTriloAddress).position, 0);

    line->setErrorCode(kTriloAddress, 0x21);
    clickSends(window, mids::kReset, "00MR  ");
    EXPECT_EQ(module(kTriloAddress).errorCode, 0) << "the reset clears the module's error";
}

TEST_F(DirectMotionTest, ADefinedMoveGoesToThePositionAndTheFieldsFollowTheAxis) {
    TDial_MOT* window = openMotion(kTriloEntry);
    ASSERT_NE(window, nullptr);
    QPushButton* start = button(window, mids::kStart);
    edit(window, mids::kPosition)->setText("3000");
    line->clearLog();
    button(window, mids::kApply)->click();
    EXPECT_TRUE(sentToModules().contains("00GA 3000 ")) << sentToModules().toStdString();
    // While the axis moves the window shows it: "&Start" stops it, position reset is barred.
    ASSERT_TRUE(waitFor([&] { return start->text() == "&Stop"; }));
    EXPECT_TRUE(module(kTriloAddress).moving);
    EXPECT_FALSE(button(window, mids::kClearPosition)->isEnabled());
    EXPECT_FALSE(edit(window, mids::kFunction)->isEnabled());
    // Once it stands, the position field shows where it stands.
    ASSERT_TRUE(waitFor([&] { return start->text() == "&Start"; }));
    EXPECT_EQ(module(kTriloAddress).position, 3000);
    EXPECT_EQ(edit(window, mids::kPosition)->text(), "3000");
    EXPECT_TRUE(button(window, mids::kClearPosition)->isEnabled());

    // The distance arrow then repeats the distance from the new position.
    edit(window, mids::kDistance)->setText("500");
    arrows(window, mids::kDistanceArrows)->upButton()->click();
    const int distance = edit(window, mids::kDistance)->text().toInt();
    EXPECT_EQ(edit(window, mids::kPosition)->text().toInt(), 3000 + distance);

    // "&Home" targets position 0 from there.
    QCheckBox* home = control<QCheckBox>(window, mids::kHome);
    ASSERT_TRUE(home->isEnabled());
    home->click();
    EXPECT_TRUE(home->isChecked());
    EXPECT_EQ(edit(window, mids::kPosition)->text(), "0");
    EXPECT_EQ(edit(window, mids::kDistance)->text(), "-3000");
    EXPECT_FALSE(edit(window, mids::kPosition)->isEnabled());
}

TEST_F(DirectMotionTest, AFieldWithoutANumberSendsNothing) {
    TDial_MOT* window = openMotion(kTriloEntry);
    ASSERT_NE(window, nullptr);
    const int before = heard(kTriloAddress);
    edit(window, mids::kPosition)->setText("");
    edit(window, mids::kFunction)->setText("");
    line->clearLog();
    button(window, mids::kApply)->click();
    button(window, mids::kStart)->click();
    EXPECT_FALSE(sentToModules().contains("GA")) << sentToModules().toStdString();
    EXPECT_FALSE(sentToModules().contains("SS")) << sentToModules().toStdString();
    EXPECT_FALSE(module(kTriloAddress).moving);
    EXPECT_GE(heard(kTriloAddress), before);
}

TEST_F(DirectMotionTest, ARunAtSpeedAndBothStopsAreSentAtOnce) {
    TDial_MOT* window = openMotion(kTriloEntry);
    ASSERT_NE(window, nullptr);
    control<QCheckBox>(window, mids::kContinuous)->click();
    EXPECT_EQ(window->motionMode(), motion::TMotionMode::Continuous);
    EXPECT_FALSE(control<QCheckBox>(window, mids::kDefined)->isChecked());
    EXPECT_TRUE(edit(window, mids::kSpeed)->isEnabled());
    EXPECT_FALSE(edit(window, mids::kPosition)->isEnabled());
    // Clicking the box already set leaves it set.
    control<QCheckBox>(window, mids::kContinuous)->click();
    EXPECT_TRUE(control<QCheckBox>(window, mids::kContinuous)->isChecked());

    // The speed arrows of a TRILO swap the direction.
    arrows(window, mids::kSpeedArrows)->downButton()->click();
    EXPECT_EQ(edit(window, mids::kSpeed)->text(), "- Wh");
    line->clearLog();
    button(window, mids::kApply)->click();
    EXPECT_TRUE(sentToModules().contains("00GF - WH ")) << sentToModules().toStdString();
    ASSERT_TRUE(waitFor([&] { return module(kTriloAddress).speed < 0; }));
    ASSERT_TRUE(waitFor([&] { return button(window, mids::kStart)->text() == "&Stop"; }));
    EXPECT_TRUE(button(window, mids::kApply)->isEnabled()) << "a run can be changed as it goes";

    clickSends(window, mids::kDecelStop, "00GE  ");
    EXPECT_TRUE(waitFor([&] { return !module(kTriloAddress).moving; }));

    edit(window, mids::kSpeed)->setText("+ Wh");
    button(window, mids::kApply)->click();
    ASSERT_TRUE(waitFor([&] { return module(kTriloAddress).speed > 0; }));
    clickSends(window, mids::kQuickStop, "00GS  ");
    EXPECT_FALSE(module(kTriloAddress).moving) << "a quick stop stops at once";
}

TEST_F(DirectMotionTest, StartRunsTheFunctionAndReadsStopWhileItRuns) {
    TDial_MOT* window = openMotion(kTriloEntry);
    ASSERT_NE(window, nullptr);
    QPushButton* start = button(window, mids::kStart);
    widgets::TArrowButtons* numbers = arrows(window, mids::kFunctionArrows);
    numbers->downButton()->click();
    EXPECT_EQ(edit(window, mids::kFunction)->text(), "001") << "no function below 1";
    numbers->upButton()->click();
    numbers->upButton()->click();
    EXPECT_EQ(edit(window, mids::kFunction)->text(), "003");
    // A long function (50 x 100 steps), so that the window sees it run.
    edit(window, mids::kFunction)->setText("050");
    line->clearLog();
    start->click();
    EXPECT_TRUE(sentToModules().contains("00SS 050 ")) << sentToModules().toStdString();
    ASSERT_TRUE(waitFor([&] { return start->text() == "&Stop"; }));
    EXPECT_TRUE(module(kTriloAddress).moving);
    line->clearLog();
    start->click();
    EXPECT_TRUE(sentToModules().contains("00GS  ")) << sentToModules().toStdString();
    EXPECT_FALSE(module(kTriloAddress).moving);
    EXPECT_TRUE(waitFor([&] { return start->text() == "&Start"; }));
    EXPECT_LT(module(kTriloAddress).position, 5000) << "stopped before the function's end";
}

TEST_F(DirectMotionTest, OutputsCycleTheirStatesAndApplySendsThemS8First) {
    TDial_MOT* window = openMotion(kTriloEntry);
    ASSERT_NE(window, nullptr);
    auto* s1 = control<QLabel>(window, mids::kFirstOutput + 7);
    auto* s8 = control<QLabel>(window, mids::kFirstOutput);
    ASSERT_EQ(s1->text(), "OFF");
    QTest::mouseClick(s1, Qt::LeftButton);
    EXPECT_EQ(s1->text(), "ON");
    EXPECT_TRUE(s1->styleSheet().contains("00ff00"));
    line->clearLog();
    button(window, mids::kOutputsApply)->click();
    EXPECT_TRUE(sentToModules().contains("00GL  FE  ")) << sentToModules().toStdString();
    // The virtual module takes a set value bit as an output switched on.
    EXPECT_EQ(module(kTriloAddress).outputs, 0xFEU);
    // Two-state outputs: a second click goes back to "OFF".
    QTest::mouseClick(s1, Qt::LeftButton);
    EXPECT_EQ(s1->text(), "OFF");
    EXPECT_EQ(s8->text(), "OFF");
    line->clearLog();
    button(window, mids::kOutputsApply)->click();
    EXPECT_TRUE(sentToModules().contains("00GL  FF  ")) << sentToModules().toStdString();
    EXPECT_EQ(module(kTriloAddress).outputs, 0xFFU);
}

TEST_F(DirectMotionTest, ThreeStateOutputsSendValueAndMaskAndALimitedSpeedComesFromTheModule) {
    TDial_MOT* window = openMotion(kMicroEntry);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->outputMode(), motion::kOutputModeThreeState);
    EXPECT_EQ(window->speedMode(), motion::kSpeedModeLimited);
    EXPECT_GT(window->speedLimit(), 0);
    EXPECT_EQ(edit(window, mids::kSpeed)->text(), QString("+%1").arg(window->speedLimit()));
    // S8 OFF, S7 ON, S6 XX, S5-S2 OFF, S1 ON.
    const int clicks[motion::kOutputCount] = {0, 1, 2, 0, 0, 0, 0, 1};
    for (int i = 0; i < motion::kOutputCount; ++i) {
        for (int k = 0; k < clicks[i]; ++k) {
            QTest::mouseClick(control<QLabel>(window, mids::kFirstOutput + i), Qt::LeftButton);
        }
    }
    EXPECT_EQ(control<QLabel>(window, mids::kFirstOutput + 2)->text(), "XX");
    line->clearLog();
    button(window, mids::kOutputsApply)->click();
    EXPECT_TRUE(sentToModules().contains("01GL BE:DF ")) << sentToModules().toStdString();
}

TEST_F(DirectMotionTest, AFailedCommandLightsTheErrorOpensTheReportAndIsNotShownAsDone) {
    TDial_MOT* window = openMotion(kTriloEntry);
    ASSERT_NE(window, nullptr);
    sendText("00GR");
    ASSERT_FALSE(module(kTriloAddress).power);
    edit(window, mids::kPosition)->setText("900");
    button(window, mids::kApply)->click();
    EXPECT_EQ(light(window), motion::kLightError);
    ASSERT_NE(hooks->openReport(), nullptr);
    const widgets::TagCommErrorData& data = hooks->openReport()->errorData();
    EXPECT_EQ(data.operation, contract::kFailedWrite);
    EXPECT_EQ(data.kind, motion::coded::kMoveAbsolute);
    EXPECT_EQ(data.address, kTriloAddress);
    EXPECT_FALSE(module(kTriloAddress).moving);
    EXPECT_EQ(module(kTriloAddress).position, 0);
    EXPECT_EQ(button(window, mids::kStart)->text(), "&Start");
    // The next good status lights the light again.
    hooks->openReport()->accept();
    EXPECT_TRUE(waitFor([&] { return light(window) == motion::kLightValid; }));
}

TEST_F(DirectMotionTest, AFailedPollStopsPollingDisablesTheControlsAndAHeaderClickStartsAgain) {
    TDial_MOT* window = openMotion(kTriloEntry);
    ASSERT_NE(window, nullptr);
    const contract::TKV_WindowHandle owner = window->handle();
    kvsim::FaultSetup silent;
    silent.kind = kvsim::FaultKind::Silent;
    line->setFault(kTriloAddress, silent);
    ASSERT_TRUE(waitFor([&] { return hooks->openReport() != nullptr; }));
    EXPECT_EQ(hooks->openReport()->errorData().operation, contract::kFailedRead);
    EXPECT_EQ(light(window), motion::kLightError);
    EXPECT_EQ(window->polls(), nullptr);
    for (int i = 0; i < contract::kPollEntries; ++i) {
        EXPECT_NE(backend->comm().pollEntry(i).owner, owner) << i;
    }
    ASSERT_TRUE(waitFor([&] { return !button(window, mids::kQuickStop)->isEnabled(); }));
    EXPECT_FALSE(button(window, mids::kOutputsApply)->isEnabled());
    EXPECT_FALSE(control<QCheckBox>(window, mids::kDefined)->isChecked());
    EXPECT_FALSE(button(window, mids::kApply)->isVisible());

    hooks->openReport()->accept();
    line->setFault(kTriloAddress, {});
    const int statuses = window->statusCount();
    QTest::mouseClick(control<QLabel>(window, mids::kHeader), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return window->statusCount() > statuses; }));
    EXPECT_EQ(light(window), motion::kLightValid);
    EXPECT_NE(window->polls(), nullptr);
    EXPECT_TRUE(button(window, mids::kQuickStop)->isEnabled());
    EXPECT_TRUE(control<QCheckBox>(window, mids::kDefined)->isChecked());
}

TEST_F(DirectMotionTest, AStopClickedWhileAPollReadRunsActsOnTheFirstClick) {
    TDial_MOT* window = openMotion(kTriloEntry);
    ASSERT_NE(window, nullptr);
    control<QCheckBox>(window, mids::kContinuous)->click();
    button(window, mids::kApply)->click();
    ASSERT_TRUE(waitFor([&] { return module(kTriloAddress).moving; }));
    // Slow replies: each status read holds the line for a good while.
    kvsim::FaultSetup slow;
    slow.kind = kvsim::FaultKind::None;
    slow.slowMs = 8;
    line->setFault(kTriloAddress, slow);
    const int heardBefore = heard(kTriloAddress);
    ASSERT_TRUE(waitFor([&] { return heard(kTriloAddress) > heardBefore; }));
    // A status read is now under way: the click waits for it, then stops the axis.
    line->clearLog();
    button(window, mids::kQuickStop)->click();
    EXPECT_EQ(sentToModules().count("00GS  "), 1) << sentToModules().toStdString();
    EXPECT_FALSE(module(kTriloAddress).moving);
    EXPECT_EQ(hooks->openReport(), nullptr);
    line->setFault(kTriloAddress, {});
}

TEST_F(DirectMotionTest, MinimisePausesTheStatusReadsRestoreResumesThem) {
    TDial_MOT* window = openMotion(kTriloEntry);
    ASSERT_NE(window, nullptr);
    // A panel on another module shows that the poll thread still goes round.
    ASSERT_NE(qobject_cast<monitoring::TDial_SUIVV17*>(open(shell::cmd::kPanel, kVrx17Entry)),
              nullptr);
    frameOf(window)->showMinimized();
    ASSERT_NE(window->polls(), nullptr);
    EXPECT_TRUE(window->polls()->paused());
    const int seen = heard(kVrx17Address);
    ASSERT_TRUE(waitFor([&] { return heard(kVrx17Address) > seen; }));
    const int heardPaused = heard(kTriloAddress);
    const int statusPaused = window->statusCount();
    line->clearLog();
    const int passes = heard(kVrx17Address);
    ASSERT_TRUE(waitFor([&] { return heard(kVrx17Address) >= passes + 4; }));
    EXPECT_EQ(heard(kTriloAddress), heardPaused) << "no read of a minimised window's module";
    EXPECT_FALSE(sentToModules().contains("00RD")) << sentToModules().toStdString();
    EXPECT_EQ(window->statusCount(), statusPaused);

    frameOf(window)->showNormal();
    EXPECT_FALSE(window->polls()->paused());
    EXPECT_TRUE(waitFor([&] { return window->statusCount() > statusPaused; }));
    EXPECT_TRUE(sentToModules().contains("00RD"));
}

TEST_F(DirectMotionTest, ClosingWhileItsReadIsInFlightLeavesNoPollEntry) {
    TDial_MOT* window = openMotion(kTriloEntry);
    ASSERT_NE(window, nullptr);
    ASSERT_NE(qobject_cast<monitoring::TDial_SUIVV17*>(open(shell::cmd::kPanel, kVrx17Entry)),
              nullptr);
    QPointer<TDial_MOT> alive = window;
    kvsim::FaultSetup slow;
    slow.kind = kvsim::FaultKind::None;
    slow.slowMs = 10;
    line->setFault(kTriloAddress, slow);
    const int heardBefore = heard(kTriloAddress);
    ASSERT_TRUE(waitFor([&] { return heard(kTriloAddress) > heardBefore; }));
    const contract::TKV_WindowHandle owner = window->handle();
    frameOf(window)->close();
    ASSERT_TRUE(waitFor([&] { return alive.isNull(); }));
    for (int i = 0; i < contract::kPollEntries; ++i) {
        EXPECT_NE(backend->comm().pollEntry(i).owner, owner) << i;
    }
    // The read that was under way ends without touching the freed records (ASan), and the
    // poll thread goes on with the panel alone.
    const int after = heard(kTriloAddress);
    const int passes = heard(kVrx17Address);
    ASSERT_TRUE(waitFor([&] { return heard(kVrx17Address) >= passes + 3; }));
    EXPECT_EQ(heard(kTriloAddress), after);
    line->setFault(kTriloAddress, {});
}

TEST_F(DirectMotionTest, TheProgramClosesWhileAReadOfAnOpenWindowIsInFlight) {
    TDial_MOT* window = openMotion(kTriloEntry);
    ASSERT_NE(window, nullptr);
    kvsim::FaultSetup slow;
    slow.kind = kvsim::FaultKind::None;
    slow.slowMs = 10;
    line->setFault(kTriloAddress, slow);
    const int heardBefore = heard(kTriloAddress);
    ASSERT_TRUE(waitFor([&] { return heard(kTriloAddress) > heardBefore; }));
    // The window goes with the program; the completion of its read, due as the program
    // goes, must not hold the poll thread (and so the program's end) for ever.
    hooks.reset();
    app.reset();
    backend.reset();
    EXPECT_EQ(backend, nullptr);
}

} // namespace
} // namespace tamsel::windows::test
