// The specific modes window inside the real program against the virtual line: the modes
// each family offers, a write of every mode and its read back, a silent module, the poll
// entries of a minimised window, and the parameters window's indicators opening it.
#include "line_fixture.h"

#include <arrow_buttons.h>
#include <comm_error_dialog.h>
#include <parameters_window.h>
#include <specific_modes_window.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

namespace tamsel::windows::test {
namespace {

using specific_modes::TSpecificModesWindow;
namespace sids = specific_modes::ids;

constexpr int kCommandRefresh = 0x2001;

class SpecificModesLineTest : public LineFixture {
  protected:
    TSpecificModesWindow* openModes(int entry, int address) {
        auto* w = open<TSpecificModesWindow>(shell::cmd::kSpecificModes, entry,
                                             shell::winid::kSpecificModeBase + address);
        if (w == nullptr || w->address() != address || !waitShown(w)) {
            return nullptr;
        }
        return w;
    }
    /// Waits for the three reads of a refresh and the showing of the last.
    bool waitShown(TSpecificModesWindow* w) {
        const int reads = w->completions();
        return waitFor([&] {
            return w->completions() >= reads + 3 && w->shownCompletion() == w->completions() &&
                   w->lightState() == specific_modes::kLightValid;
        });
    }
    QCheckBox* box(QWidget* w, int id) const { return control<QCheckBox>(w, id); }
    QString text(QWidget* w, int id) const {
        if (auto* e = control<QLineEdit>(w, id)) {
            return e->text();
        }
        return control<QLabel>(w, id)->text();
    }
    /// The output texts S1 to S8.
    QStringList outputs(QWidget* w) const {
        QStringList texts;
        for (int n = 1; n <= 8; ++n) {
            texts << text(w, sids::kOutputS8 + 8 - n);
        }
        return texts;
    }
    void clickOutput(QWidget* w, int n) {
        QTest::mouseClick(control<QLabel>(w, sids::kOutputS8 + 8 - n), Qt::LeftButton);
    }
    void arrow(QWidget* w, int id, bool up) {
        auto* a = control<widgets::TArrowButtons>(w, id);
        QTest::mouseClick(up ? a->upButton() : a->downButton(), Qt::LeftButton);
    }
    QPushButton* applyButton(QWidget* w) const { return control<QPushButton>(w, sids::kApply); }
};

TEST_F(SpecificModesLineTest, EachFamilyShowsTheModesItOffersAsTheModuleHoldsThem) {
    struct Case {
        int entry;
        int address;
        bool autoOutput; ///< strategy 7 bit 2
    };
    const Case cases[] = {{0, kTriloAddress, false}, {1, kMicroAddress, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        TSpecificModesWindow* w = openModes(c.entry, c.address);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(applyButton(w)->isEnabled());
        EXPECT_TRUE(box(w, sids::kPowerOn)->isEnabled());
        EXPECT_FALSE(box(w, sids::kPowerOn)->isChecked());
        EXPECT_FALSE(control<QLineEdit>(w, sids::kFunction)->isVisibleTo(w));
        EXPECT_TRUE(box(w, sids::kEndSensors)->isEnabled());
        EXPECT_FALSE(box(w, sids::kEndSensors)->isChecked());
        EXPECT_FALSE(box(w, sids::kReverse)->isChecked());
        EXPECT_TRUE(box(w, sids::kSlidingBox)->isChecked());
        EXPECT_EQ(text(w, sids::kSliding), "  0");
        EXPECT_EQ(box(w, sids::kAutoOutput)->isEnabled(), c.autoOutput);
        EXPECT_FALSE(box(w, sids::kAutoOutput)->isChecked());
        EXPECT_FALSE(control<QRadioButton>(w, sids::kAbsolute)->isEnabled());
        EXPECT_FALSE(control<QLabel>(w, sids::kOutputS8)->isEnabled());
        if (c.autoOutput) {
            EXPECT_EQ(outputs(w), QStringList(8, "OFF"));
            EXPECT_EQ(text(w, sids::kSetPosition), "0");
        } else {
            EXPECT_EQ(outputs(w), QStringList(8, ""));
            EXPECT_EQ(text(w, sids::kSetPosition), "");
        }
        EXPECT_FALSE(control<QLabel>(w, sids::kHeader)->text().isEmpty());
        app->childWithId(shell::winid::kSpecificModeBase + c.address)->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_TRUE(prompter.boxes.isEmpty()) << prompter.boxes.join('\n').toStdString();
}

TEST_F(SpecificModesLineTest, EveryModeIsWrittenInOneCommandAndReadsBack) {
    TSpecificModesWindow* w = openModes(1, kMicroAddress);
    ASSERT_NE(w, nullptr);
    box(w, sids::kPowerOn)->click();
    EXPECT_EQ(text(w, sids::kFunction), "n\u00b0= 001");
    arrow(w, sids::kFunctionArrows, true);
    arrow(w, sids::kFunctionArrows, true);
    EXPECT_EQ(text(w, sids::kFunction), "n\u00b0= 003");
    box(w, sids::kEndSensors)->click();
    box(w, sids::kReverse)->click();
    box(w, sids::kSlidingBox)->click();
    EXPECT_TRUE(box(w, sids::kSlidingBox)->isChecked());
    EXPECT_EQ(text(w, sids::kSliding), " 10");
    arrow(w, sids::kSlidingArrows, true);

    box(w, sids::kAutoOutput)->click();
    ASSERT_TRUE(control<QRadioButton>(w, sids::kAbsolute)->isEnabled());
    EXPECT_EQ(outputs(w), QStringList(8, "ON"));
    EXPECT_TRUE(control<QRadioButton>(w, sids::kRelative)->isChecked());
    EXPECT_TRUE(control<QRadioButton>(w, sids::kAll)->isChecked());
    clickOutput(w, 1); // ON -> XX
    clickOutput(w, 8); // ON -> XX -> OFF
    clickOutput(w, 8);
    EXPECT_EQ(outputs(w), (QStringList{"XX", "ON", "ON", "ON", "ON", "ON", "ON", "OFF"}));
    EXPECT_EQ(control<QLabel>(w, sids::kOutputS8)->styleSheet().contains("rgb(255,255,0)"), true);
    control<QRadioButton>(w, sids::kAbsolute)->click();
    control<QRadioButton>(w, sids::kIncrease)->click();
    box(w, sids::kStored)->click();
    for (int i = 0; i < 3; ++i) {
        arrow(w, sids::kSetArrows, true);
    }
    auto* reset = control<QLineEdit>(w, sids::kResetPosition);
    reset->selectAll();
    QTest::keyClicks(reset, "500");

    line->clearLog();
    applyButton(w)->click();
    EXPECT_TRUE(sentToModules().contains("01GS,DG11,SD3,MB H,GL 80:FE +A,GP 3:500  P"))
        << sentToModules().toStdString();
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes.front(),
              QString::fromUtf8("reste à regler|inter appel SPECIFIC / PARAM"));
    EXPECT_EQ(param(kMicroAddress, "SD"), 3);
    EXPECT_EQ(param(kMicroAddress, "MB"), 1);
    EXPECT_EQ(param(kMicroAddress, "REV"), 1);
    EXPECT_EQ(param(kMicroAddress, "DG"), 11);
    EXPECT_EQ(param(kMicroAddress, "AUTO"), 1);
    EXPECT_EQ(param(kMicroAddress, "AOV"), 0x80);
    EXPECT_EQ(param(kMicroAddress, "AOU"), 0xFE);
    EXPECT_EQ(param(kMicroAddress, "GPS"), 3);
    EXPECT_EQ(param(kMicroAddress, "GPR"), 500);

    // A refresh shows what the module now holds.
    QTest::mouseClick(control<QLabel>(w, sids::kHeader), Qt::LeftButton);
    EXPECT_FALSE(applyButton(w)->isEnabled());
    ASSERT_TRUE(waitShown(w));
    EXPECT_TRUE(box(w, sids::kPowerOn)->isChecked());
    EXPECT_EQ(text(w, sids::kFunction), "n\u00b0= 003");
    EXPECT_TRUE(box(w, sids::kEndSensors)->isChecked());
    EXPECT_TRUE(box(w, sids::kReverse)->isChecked());
    EXPECT_EQ(text(w, sids::kSliding), " 11");
    EXPECT_TRUE(box(w, sids::kAutoOutput)->isChecked());
    EXPECT_TRUE(control<QRadioButton>(w, sids::kAbsolute)->isChecked());
    EXPECT_TRUE(control<QRadioButton>(w, sids::kIncrease)->isChecked());
    EXPECT_FALSE(box(w, sids::kOnEach)->isChecked());
    EXPECT_TRUE(box(w, sids::kStored)->isChecked());
    EXPECT_EQ(outputs(w), (QStringList{"XX", "ON", "ON", "ON", "ON", "ON", "ON", "OFF"}));
    EXPECT_EQ(text(w, sids::kSetPosition), "3");
    EXPECT_EQ(text(w, sids::kResetPosition), "500");

    // Switching the modes off again.
    box(w, sids::kPowerOn)->click();
    box(w, sids::kAutoOutput)->click();
    line->clearLog();
    applyButton(w)->click();
    EXPECT_TRUE(sentToModules().contains("01GS,DG11,SR,MB H,GP A"))
        << sentToModules().toStdString();
    EXPECT_EQ(param(kMicroAddress, "SD"), 0);
    EXPECT_EQ(param(kMicroAddress, "AUTO"), 0);
}

TEST_F(SpecificModesLineTest, AModuleWithoutAutomaticOutputsWritesTheOtherModes) {
    TSpecificModesWindow* w = openModes(0, kTriloAddress);
    ASSERT_NE(w, nullptr);
    box(w, sids::kReverse)->click();
    box(w, sids::kSlidingBox)->click();
    line->clearLog();
    applyButton(w)->click();
    EXPECT_TRUE(sentToModules().contains("00GS,DG10,SR,MN H")) << sentToModules().toStdString();
    EXPECT_FALSE(sentToModules().contains(",GL")) << sentToModules().toStdString();
    EXPECT_EQ(param(kTriloAddress, "REV"), 1);
    EXPECT_EQ(param(kTriloAddress, "DG"), 10);
}

TEST_F(SpecificModesLineTest, ASilentModuleGivesOneReportAndLeavesTheModesUnavailable) {
    TSpecificModesWindow* w = openModes(1, kMicroAddress);
    ASSERT_NE(w, nullptr);
    kvsim::FaultSetup silent;
    silent.kind = kvsim::FaultKind::Silent;
    silent.count = -1;
    line->setFault(kMicroAddress, silent);
    const int reads = w->completions();
    w->shellCommand(kCommandRefresh);
    ASSERT_TRUE(waitFor([&] { return w->completions() >= reads + 3; }));
    EXPECT_EQ(w->lightState(), specific_modes::kLightError);
    ASSERT_NE(hooks->openReport(), nullptr);
    EXPECT_EQ(hooks->openReport()->errorData().operation, contract::kFailedRead);
    EXPECT_EQ(hooks->openReport()->errorData().address, kMicroAddress);
    EXPECT_EQ(prompter.beeps, 1) << "one report for the three failed reads";
    EXPECT_FALSE(applyButton(w)->isEnabled());
    for (int id : {sids::kPowerOn, sids::kEndSensors, sids::kReverse, sids::kSlidingBox,
                   sids::kAutoOutput}) {
        EXPECT_FALSE(box(w, id)->isEnabled()) << id;
    }
    line->setFault(kMicroAddress, {});
}

TEST_F(SpecificModesLineTest, ReadsQueuedWhileMinimisedWaitForTheRestoreAndClosingWithdrawsThem) {
    TSpecificModesWindow* w = openModes(1, kMicroAddress);
    ASSERT_NE(w, nullptr);
    const contract::TKV_WindowHandle owner = w->handle();
    QMdiSubWindow* sub = app->childWithId(shell::winid::kSpecificModeBase + kMicroAddress);
    ASSERT_TRUE(waitFor([&] { return liveModesOf(owner).isEmpty(); }));
    sub->showMinimized();
    EXPECT_TRUE(w->polls().paused());
    const int reads = w->completions();
    w->shellCommand(kCommandRefresh);
    const QList<int> paused(3, contract::kPollPaused);
    EXPECT_EQ(liveModesOf(owner), paused);
    startWitness(kTriloAddress, kTriloType);
    ASSERT_TRUE(waitForPasses());
    EXPECT_EQ(w->completions(), reads);
    sub->showNormal();
    ASSERT_TRUE(waitShown(w));
    EXPECT_EQ(w->completions(), reads + 3);
    ASSERT_TRUE(waitFor([&] { return liveModesOf(owner).isEmpty(); }));

    w->shellCommand(kCommandRefresh);
    const QPointer<TSpecificModesWindow> alive = w;
    sub->close();
    ASSERT_TRUE(waitFor([&] { return alive.isNull(); }));
    for (int i = 0; i < contract::kPollEntries; ++i) {
        EXPECT_NE(backend->comm().pollEntry(i).owner, owner) << i;
    }
}

TEST_F(SpecificModesLineTest, AnIndicatorOfTheParametersWindowOpensTheSpecificModes) {
    app->frame().deviceSelector()->setCurrentIndex(1);
    app->command(shell::cmd::kParameters);
    QMdiSubWindow* sub = app->childWithId(shell::winid::kParametersBase + kMicroAddress);
    ASSERT_NE(sub, nullptr);
    auto* parameters = qobject_cast<parameters::TParametersWindow*>(sub->widget());
    ASSERT_TRUE(waitFor([&] { return parameters->lightState() == parameters::kLightValid; }));
    ASSERT_EQ(app->childWithId(shell::winid::kSpecificModeBase + kMicroAddress), nullptr);
    QTest::mouseClick(control<QLabel>(parameters, parameters::ids::kFirstLabel + 2),
                      Qt::LeftButton);
    QMdiSubWindow* modes = app->childWithId(shell::winid::kSpecificModeBase + kMicroAddress);
    ASSERT_NE(modes, nullptr);
    auto* w = qobject_cast<TSpecificModesWindow*>(modes->widget());
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->address(), kMicroAddress);
    EXPECT_TRUE(waitShown(w));
}

} // namespace
} // namespace tamsel::windows::test
