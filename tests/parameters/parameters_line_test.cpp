// The parameters window inside the real program against the virtual line: what it reads,
// what it writes, when it refuses to write, and what a silent module does to it.
#include "line_fixture.h"

#include <arrow_buttons.h>
#include <comm_error_dialog.h>
#include <parameters_window.h>
#include <status_light.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace tamsel::windows::test {
namespace {

using parameters::TParametersWindow;
namespace pids = parameters::ids;

class ParametersLineTest : public LineFixture {
  protected:
    TParametersWindow* openParameters(int entry, int address) {
        auto* w = open<TParametersWindow>(shell::cmd::kParameters, entry,
                                          shell::winid::kParametersBase + address);
        if (w == nullptr || !waitFor([w] { return w->lightState() == parameters::kLightValid; })) {
            return nullptr;
        }
        return w;
    }
    QLineEdit* field(QWidget* w, int id) const { return control<QLineEdit>(w, id); }
    int value(QWidget* w, int id) const { return field(w, id)->text().trimmed().toInt(); }
    void type(QWidget* w, int id, const QString& text) {
        QLineEdit* edit = field(w, id);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }
    void leave(QWidget* w, int id) { QTest::keyClick(field(w, id), Qt::Key_Return); }
    void click(QWidget* w, int arrowsId, bool up, Qt::KeyboardModifiers modifiers = {}) {
        auto* arrows = control<widgets::TArrowButtons>(w, arrowsId);
        QTest::mouseClick(up ? arrows->upButton() : arrows->downButton(), Qt::LeftButton,
                          modifiers);
    }
    QColor base(QWidget* w, int id) const { return field(w, id)->palette().color(QPalette::Base); }
    QPushButton* applyButton(QWidget* w) const { return control<QPushButton>(w, pids::kApply); }
};

TEST_F(ParametersLineTest, EachFamilyShowsWhatTheModuleHolds) {
    struct Case {
        int entry;
        int address;
        const char* amps;
        int lampsShown;
        QString standbyFirst;
        bool percentArrows;
        bool decEnabled;
    };
    const Case cases[] = {
        // TRILO 0x0205: current outside the module's command, indicators 11, one ramp time.
        {0, kTriloAddress, "EXTERNAL", 3, "Nominal", false, false},
        // MICROTRILO 0x1002: current in percent and amperes, all four indicators, Dec.
        {1, kMicroAddress, "=1.00 Amps", 4, "Nominal", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        TParametersWindow* w = openParameters(c.entry, c.address);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(value(w, pids::kResolution), param(c.address, "WN"));
        EXPECT_EQ(value(w, pids::kStartSpeed), param(c.address, "WL"));
        EXPECT_EQ(value(w, pids::kMaxSpeed), param(c.address, "WH"));
        EXPECT_EQ(value(w, pids::kRampTime), param(c.address, "WT"));
        EXPECT_EQ(value(w, pids::kDecelTime), param(c.address, "WT"));
        EXPECT_FALSE(field(w, pids::kDecelTime)->isEnabled());
        EXPECT_EQ(field(w, pids::kStartSpeed)->text(),
                  QStringLiteral(" %1").arg(param(c.address, "WL")));
        // Code 128 reads as 50 %.
        ASSERT_EQ(param(c.address, "GI"), 128);
        EXPECT_EQ(value(w, pids::kCurrent), 50);
        EXPECT_EQ(control<QLabel>(w, pids::kAmps)->text(), c.amps);
        EXPECT_EQ(control<QComboBox>(w, pids::kStandby)->currentIndex(), param(c.address, "MS"));
        EXPECT_EQ(control<QComboBox>(w, pids::kStandby)->itemText(0), c.standbyFirst);
        EXPECT_EQ(control<widgets::TArrowButtons>(w, pids::kCurrentArrows)->isEnabled(),
                  c.percentArrows);
        EXPECT_EQ(control<QCheckBox>(w, pids::kDec)->isEnabled(), c.decEnabled);
        int shown = 0;
        for (int bit = 0; bit < 4; ++bit) {
            QLabel* lamp = control<QLabel>(w, pids::kFirstLamp + bit);
            shown += lamp->isVisibleTo(w) ? 1 : 0;
            // Nothing is switched on in a fresh module.
            EXPECT_EQ(lamp->property(parameters::kBitmapProperty).toInt(),
                      parameters::kLampInactive);
        }
        EXPECT_EQ(shown, c.lampsShown);
        char title[contract::kTextSize] = {};
        app->request(contract::req::kModuleTitle, static_cast<std::uint16_t>(c.address), title);
        ASSERT_NE(title[0], '\0');
        EXPECT_EQ(control<QLabel>(w, pids::kHeader)->text(), QString::fromLatin1(title));
        EXPECT_TRUE(applyButton(w)->isEnabled());
        EXPECT_TRUE(w->ranges().fullDone());
        EXPECT_EQ(w->ranges().cachedResolution(), param(c.address, "WN"));
    }
    EXPECT_TRUE(prompter.boxes.isEmpty()) << prompter.boxes.join('\n').toStdString();
}

TEST_F(ParametersLineTest, ApplyWritesSpeedsRampsCurrentAndStandbyInOneCommand) {
    TParametersWindow* w = openParameters(1, kMicroAddress);
    ASSERT_NE(w, nullptr);
    type(w, pids::kStartSpeed, "150");
    leave(w, pids::kStartSpeed);
    click(w, pids::kMaxArrows, true, Qt::ShiftModifier); // 2000 -> 2100
    click(w, pids::kRampArrows, true);                   // 200 -> 201, mirrored
    EXPECT_EQ(value(w, pids::kDecelTime), 201);
    control<QCheckBox>(w, pids::kDec)->click();
    EXPECT_EQ(w->rampMode(), parameters::kRampSeparate);
    EXPECT_EQ(control<QLabel>(w, pids::kRampLabel)->text(), "Acc.");
    ASSERT_TRUE(field(w, pids::kDecelTime)->isEnabled());
    type(w, pids::kDecelTime, "300");
    leave(w, pids::kDecelTime);
    click(w, pids::kCurrentArrows, true); // 50 -> 51 %: code 130
    EXPECT_EQ(control<QLabel>(w, pids::kAmps)->text(), "=1.02 Amps");
    control<QComboBox>(w, pids::kStandby)->setCurrentIndex(1);
    ASSERT_TRUE(applyButton(w)->isEnabled());

    line->clearLog();
    applyButton(w)->click();
    EXPECT_TRUE(sentToModules().contains("01GS,WN2,WL150,WH2100,MSS,WT201:300,GI130"))
        << sentToModules().toStdString();
    EXPECT_EQ(param(kMicroAddress, "WL"), 150);
    EXPECT_EQ(param(kMicroAddress, "WH"), 2100);
    EXPECT_EQ(param(kMicroAddress, "WT"), 201);
    EXPECT_EQ(param(kMicroAddress, "WD"), 300);
    EXPECT_EQ(param(kMicroAddress, "SEP"), 1);
    EXPECT_EQ(param(kMicroAddress, "GI"), 130);
    EXPECT_EQ(param(kMicroAddress, "MS"), 1);
    EXPECT_EQ(w->lastStatus(), 0);
    EXPECT_EQ(hooks->openReport(), nullptr);

    // 100 % writes code 255; the TRILO's odd type has no current in its command.
    click(w, pids::kCurrentArrows, false);
    type(w, pids::kCurrent, "100");
    leave(w, pids::kCurrent);
    applyButton(w)->click();
    EXPECT_EQ(param(kMicroAddress, "GI"), 255);

    TParametersWindow* trilo = openParameters(0, kTriloAddress);
    ASSERT_NE(trilo, nullptr);
    click(trilo, pids::kStartArrows, true, Qt::ShiftModifier); // 100 -> 200
    control<QComboBox>(trilo, pids::kStandby)->setCurrentIndex(2);
    line->clearLog();
    applyButton(trilo)->click();
    EXPECT_TRUE(sentToModules().contains("00GS,WN2,WL200,WH2000,MSB,WT200"))
        << sentToModules().toStdString();
    EXPECT_FALSE(sentToModules().contains(",GI"));
    EXPECT_EQ(param(kTriloAddress, "WL"), 200);
    EXPECT_EQ(param(kTriloAddress, "MS"), 2);
    EXPECT_TRUE(prompter.boxes.isEmpty()) << prompter.boxes.join('\n').toStdString();
}

TEST_F(ParametersLineTest, AnInvalidFieldDisablesApplyAndNothingIsWritten) {
    TParametersWindow* w = openParameters(1, kMicroAddress);
    ASSERT_NE(w, nullptr);
    const QColor normal = base(w, pids::kStartSpeed);
    // Above the maximum speed: magenta, and no write while it stays so.
    type(w, pids::kStartSpeed, "5000");
    EXPECT_EQ(base(w, pids::kStartSpeed), QColor(255, 0, 255));
    EXPECT_FALSE(applyButton(w)->isEnabled());
    line->clearLog();
    QTest::mouseClick(applyButton(w), Qt::LeftButton);
    EXPECT_FALSE(sentToModules().contains("GS,")) << sentToModules().toStdString();
    EXPECT_EQ(param(kMicroAddress, "WL"), 100);

    // Beyond the hard range: red; leaving the field brings it back to 20000.
    type(w, pids::kStartSpeed, "25000");
    EXPECT_EQ(base(w, pids::kStartSpeed), QColor(255, 0, 0));
    leave(w, pids::kStartSpeed);
    EXPECT_EQ(value(w, pids::kStartSpeed), 20000);
    EXPECT_FALSE(applyButton(w)->isEnabled());

    // Letters cannot be typed; "0" computes nothing and turns into 1 on leaving.
    type(w, pids::kStartSpeed, "1x50");
    EXPECT_EQ(field(w, pids::kStartSpeed)->text(), "150");
    EXPECT_EQ(base(w, pids::kStartSpeed), normal);
    EXPECT_TRUE(applyButton(w)->isEnabled());
    const parameters::TRange maxBefore = w->ranges().valid(parameters::kMax);
    type(w, pids::kStartSpeed, "0");
    EXPECT_EQ(w->ranges().valid(parameters::kMax), maxBefore);
    EXPECT_EQ(base(w, pids::kStartSpeed), QColor(255, 0, 0));
    leave(w, pids::kStartSpeed);
    EXPECT_EQ(value(w, pids::kStartSpeed), 1);

    // A ramp too long for the speed class: magenta on the ramp time.
    type(w, pids::kStartSpeed, "100");
    ASSERT_TRUE(applyButton(w)->isEnabled());
    type(w, pids::kRampTime, "65000");
    EXPECT_EQ(base(w, pids::kRampTime), QColor(255, 0, 255));
    EXPECT_FALSE(applyButton(w)->isEnabled());
    type(w, pids::kRampTime, "200");
    EXPECT_TRUE(applyButton(w)->isEnabled());

    // A zero resolution typed is kept inside the type's range when the field is left, so it
    // never reaches the module nor the range computation (whose division guard the rule
    // tables hold); the computation goes on with what the field keeps.
    type(w, pids::kResolution, "0");
    leave(w, pids::kResolution);
    EXPECT_GE(value(w, pids::kResolution), 1);
    click(w, pids::kStartArrows, true);
    EXPECT_TRUE(prompter.boxes.isEmpty()) << prompter.boxes.join("|").toStdString();
    EXPECT_EQ(value(w, pids::kStartSpeed), 101);
}

TEST_F(ParametersLineTest, ResolutionArrowsDoubleAndHalveOnTheMicroTrilo) {
    TParametersWindow* w = openParameters(1, kMicroAddress);
    ASSERT_NE(w, nullptr);
    type(w, pids::kResolution, "16");
    for (int expected : {32, 64, 64}) {
        click(w, pids::kResolutionArrows, true);
        EXPECT_EQ(value(w, pids::kResolution), expected);
    }
    type(w, pids::kResolution, "1");
    click(w, pids::kResolutionArrows, false);
    EXPECT_EQ(value(w, pids::kResolution), 1);
}

TEST_F(ParametersLineTest, ASilentModuleTurnsTheLightToErrorAndOpensTheReport) {
    TParametersWindow* w = openParameters(1, kMicroAddress);
    ASSERT_NE(w, nullptr);
    type(w, pids::kStartSpeed, "150");
    kvsim::FaultSetup silent;
    silent.kind = kvsim::FaultKind::Silent;
    silent.count = -1;
    line->setFault(kMicroAddress, silent);
    const int before = w->completions();
    QTest::mouseClick(control<QLabel>(w, pids::kHeader), Qt::LeftButton);
    EXPECT_EQ(w->lightState(), parameters::kLightPending);
    ASSERT_TRUE(waitFor([&] { return w->completions() > before; }));
    EXPECT_EQ(w->lightState(), parameters::kLightError);
    ASSERT_TRUE(waitFor([&] { return hooks->openReport() != nullptr; }));
    const widgets::TagCommErrorData& data = hooks->openReport()->errorData();
    EXPECT_EQ(data.operation, contract::kFailedRead);
    EXPECT_EQ(data.kind, contract::kKindParameters);
    EXPECT_EQ(data.address, kMicroAddress);
    EXPECT_EQ(data.typeCode, kMicroType);
    EXPECT_NE(data.status, 0);
    // The fields keep what they held.
    EXPECT_EQ(value(w, pids::kStartSpeed), 150);

    // A write to the silent module fails too: its report is of a failed write.
    hooks->openReport()->reject();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(applyButton(w)->isEnabled());
    applyButton(w)->click();
    EXPECT_NE(w->lastStatus(), 0);
    ASSERT_TRUE(waitFor([&] { return hooks->openReport() != nullptr; }));
    EXPECT_EQ(hooks->openReport()->errorData().operation, contract::kFailedWrite);
    EXPECT_EQ(value(w, pids::kStartSpeed), 150);
    line->setFault(kMicroAddress, {});
}

TEST_F(ParametersLineTest, AReadQueuedWhileMinimisedWaitsForTheRestoreAndClosingWithdrawsIt) {
    TParametersWindow* w = openParameters(1, kMicroAddress);
    ASSERT_NE(w, nullptr);
    const contract::TKV_WindowHandle owner = w->handle();
    QMdiSubWindow* sub = app->childWithId(shell::winid::kParametersBase + kMicroAddress);
    ASSERT_NE(sub, nullptr);
    // The read was once: nothing of the window is left to read.
    ASSERT_TRUE(waitFor([&] { return liveModesOf(owner).isEmpty(); }));

    sub->showMinimized();
    EXPECT_TRUE(w->polls().paused());
    const int reads = w->completions();
    w->shellCommand(0x2006);
    EXPECT_EQ(app->notes().last(), "Param : IDV_UPDATE");
    EXPECT_EQ(liveModesOf(owner), QList<int>{contract::kPollPaused});
    // Several passes of the poll thread: the paused read stays unread.
    startWitness(kTriloAddress, kTriloType);
    ASSERT_TRUE(waitForPasses());
    EXPECT_EQ(w->completions(), reads);
    EXPECT_EQ(liveModesOf(owner), QList<int>{contract::kPollPaused});

    sub->showNormal();
    EXPECT_FALSE(w->polls().paused());
    ASSERT_TRUE(waitFor([&] { return w->completions() == reads + 1; }));
    ASSERT_TRUE(waitFor([&] { return w->lightState() == parameters::kLightValid; }));
    // Once, still: the restore did not turn the read into a periodic one.
    ASSERT_TRUE(waitFor([&] { return liveModesOf(owner).isEmpty(); }));

    w->shellCommand(0x2006);
    const QPointer<TParametersWindow> alive = w;
    sub->close();
    ASSERT_TRUE(waitFor([&] { return alive.isNull(); }));
    for (int i = 0; i < contract::kPollEntries; ++i) {
        EXPECT_NE(backend->comm().pollEntry(i).owner, owner) << i;
    }
}

} // namespace
} // namespace tamsel::windows::test
