// The shell's rules without a window: which module-window command is enabled, which row a
// command opens, the selected device's family and the selection kept over a refill, and
// the lock-key states read from the kernel's LED directory.
#include "command_rules.h"
#include "lock_keys.h"
#include "selected_device.h"
#include "shell_codes.h"
#include "window_registry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>

namespace tamsel::shell::test {
namespace {

constexpr std::uint32_t kEveryKind = 0x3ff;

std::uint32_t allBut(TWindowKind kind) {
    return kEveryKind & ~kindBit(kind);
}

struct RuleCase {
    const char* name;
    int command;
    TCommandState state;
    bool enabled;
};

class CommandRule : public ::testing::TestWithParam<RuleCase> {};

TEST_P(CommandRule, EnablesTheCommandWhenItsRowAllows) {
    const RuleCase& c = GetParam();
    EXPECT_EQ(moduleCommandEnabled(c.command, c.state), c.enabled);
}

using namespace cmd;
constexpr int kTrilo = family::kTrilo;
constexpr int kMicro = family::kMicroTrilo;
constexpr int kVrx17 = family::kVrx17OrDvrx;
constexpr int kVrx23 = family::kVrx23OrVrx34;

INSTANTIATE_TEST_SUITE_P(
    Rules, CommandRule,
    ::testing::Values(
        // The configuration and the terminal need their window, nothing else.
        RuleCase{"configuration_alone", kConfiguration, {false, false, 0, kEveryKind}, true},
        RuleCase{"configuration_unregistered",
                 kConfiguration,
                 {true, true, kTrilo, allBut(TWindowKind::Configuration)},
                 false},
        RuleCase{"dialog_without_modules", kDialog, {false, false, kVrx23, kEveryKind}, true},
        RuleCase{"dialog_unregistered",
                 kDialog,
                 {true, true, kTrilo, allBut(TWindowKind::Dialog)},
                 false},
        // The TRILO-like windows.
        RuleCase{"parameters_trilo", kParameters, {true, false, kTrilo, kEveryKind}, true},
        RuleCase{"parameters_micro", kParameters, {true, false, kMicro, kEveryKind}, true},
        RuleCase{"parameters_vrx17", kParameters, {true, true, kVrx17, kEveryKind}, false},
        RuleCase{"parameters_no_family", kParameters, {true, true, 0, kEveryKind}, false},
        RuleCase{"parameters_unconfigured", kParameters, {false, true, kTrilo, kEveryKind}, false},
        RuleCase{"direct_motion_vrx23", kDirectMotion, {true, true, kVrx23, kEveryKind}, false},
        RuleCase{"specific_micro", kSpecificModes, {true, false, kMicro, kEveryKind}, true},
        RuleCase{"specific_unregistered",
                 kSpecificModes,
                 {true, true, kTrilo, allBut(TWindowKind::SpecificMode)},
                 false},
        // The variables window is the TRILO's alone.
        RuleCase{"variables_trilo", kVariables, {true, false, kTrilo, kEveryKind}, true},
        RuleCase{"variables_micro", kVariables, {true, true, kMicro, kEveryKind}, false},
        // The panel needs set-up number 0 and the panel of the device's kind.
        RuleCase{"panel_trilo", kPanel, {true, true, kTrilo, kEveryKind}, true},
        RuleCase{"panel_no_family", kPanel, {true, true, 0, kEveryKind}, true},
        RuleCase{"panel_without_setup_zero", kPanel, {true, false, kTrilo, kEveryKind}, false},
        RuleCase{"panel_unconfigured", kPanel, {false, true, kTrilo, kEveryKind}, false},
        RuleCase{"panel_trilo_only_vrx_panel",
                 kPanel,
                 {true, true, kTrilo, allBut(TWindowKind::Panel)},
                 false},
        RuleCase{"panel_micro_only_plain_panel",
                 kPanel,
                 {true, true, kMicro, allBut(TWindowKind::PanelVrx)},
                 false},
        RuleCase{"panel_vrx23", kPanel, {true, true, kVrx23, kEveryKind}, true},
        // The family control opens the window of the device's family.
        RuleCase{"family_control_vrx17", kFamilyControl, {true, false, kVrx17, kEveryKind}, true},
        RuleCase{"family_control_vrx23", kFamilyControl, {true, false, kVrx23, kEveryKind}, true},
        RuleCase{"family_control_trilo", kFamilyControl, {true, true, kTrilo, kEveryKind}, false},
        RuleCase{"family_control_vrx23_without_its_window",
                 kFamilyControl,
                 {true, true, kVrx23, allBut(TWindowKind::V234Control)},
                 false},
        RuleCase{"family_control_vrx17_unconfigured",
                 kFamilyControl,
                 {false, true, kVrx17, kEveryKind},
                 false},
        // A command that opens no window.
        RuleCase{"file_new", kFileNew, {true, true, kTrilo, kEveryKind}, false}),
    [](const ::testing::TestParamInfo<RuleCase>& param) { return std::string(param.param.name); });

TEST(WindowRows, EveryKindHasOneRowAndEveryDeviceOneWindowPerCommand) {
    std::set<int> kinds;
    for (const TWindowRow& row : windowRows()) {
        EXPECT_TRUE(kinds.insert(static_cast<int>(row.kind)).second) << static_cast<int>(row.kind);
        EXPECT_EQ(&rowOf(row.kind), &row);
        EXPECT_TRUE(dialogSize(row.dialogId, 96).isValid()) << row.dialogId;
    }
    EXPECT_EQ(kinds.size(), 10U);
    // Two rows of one command never serve the same family: the command opens one window.
    for (const int mask : {family::kNone, family::kTrilo, family::kMicroTrilo, family::kVrx17OrDvrx,
                           family::kVrx23OrVrx34}) {
        for (const TWindowRow& row : windowRows()) {
            const TWindowRow* chosen = rowFor(row.commandId, mask);
            if (chosen != nullptr) {
                EXPECT_EQ(chosen->commandId, row.commandId);
            }
        }
    }
    EXPECT_EQ(rowFor(cmd::kPanel, family::kTrilo)->kind, TWindowKind::Panel);
    EXPECT_EQ(rowFor(cmd::kPanel, family::kVrx17OrDvrx)->kind, TWindowKind::PanelVrx);
    EXPECT_EQ(rowFor(cmd::kFamilyControl, family::kVrx23OrVrx34)->kind, TWindowKind::V234Control);
    EXPECT_EQ(rowFor(cmd::kFamilyControl, family::kTrilo), nullptr);
    EXPECT_EQ(windowIdentifier(rowOf(TWindowKind::Parameters), 5), 0x505);
    EXPECT_EQ(windowIdentifier(rowOf(TWindowKind::Dialog), 5), 0x800);
    EXPECT_EQ(dialogSize(dlg::kParameters, 120), QSize(800, 625));
}

TEST(SelectedDevice, TakesTheAddressOfTheEntryAndTheFamilyOfItsTarget) {
    const struct {
        const char* target;
        int mask;
    } cases[] = {{"TRILO", 1}, {"MICROTRILO", 2}, {"VRX17", 4}, {"DVRX", 4},
                 {"VRX23", 8}, {"VRX34", 8},      {"UNKNOW", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        // The text says another address: the entry's own is the one that counts.
        const TSelectedDevice device =
            selectedDevice({QStringLiteral("@07=X"), 0x1234, 12}, QString::fromLatin1(c.target));
        EXPECT_EQ(device.address, 12);
        EXPECT_EQ(device.typeCode, 0x1234);
        EXPECT_EQ(device.familyMask, c.mask);
    }
}

TEST(SelectedDevice, ARefillKeepsTheSameModuleWhenItIsStillThere) {
    const QVector<TDeviceEntry> entries{
        {"@00=KB01", 0x0205, 0}, {"@03=DVRX", 0x6020, 3}, {"@05=VRX23", 0x3001, 5}};
    TSelectedDevice dvrx;
    dvrx.address = 3;
    dvrx.typeCode = 0x6020;
    EXPECT_EQ(entryToKeep(entries, &dvrx), 1);
    TSelectedDevice replaced = dvrx;
    replaced.typeCode = 0x5000;
    EXPECT_EQ(entryToKeep(entries, &replaced), 0) << "another module at that address";
    TSelectedDevice gone;
    gone.address = 9;
    EXPECT_EQ(entryToKeep(entries, &gone), 0);
    EXPECT_EQ(entryToKeep(entries, nullptr), 0);
    EXPECT_EQ(entryToKeep({}, &dvrx), -1);
}

class LockKeysTest : public ::testing::Test {
  protected:
    void led(const QString& name, const QByteArray& brightness) {
        ASSERT_TRUE(QDir(leds.path()).mkpath(name));
        QFile file(leds.filePath(name + "/brightness"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(brightness);
    }
    QTemporaryDir leds;
};

TEST_F(LockKeysTest, LitWhenAnyKeyboardLedIsOnUnknownWithoutOne) {
    EXPECT_EQ(readLockKeys(leds.filePath("missing")), TLockKeys{});
    EXPECT_EQ(readLockKeys(leds.path()), TLockKeys{}) << "no keyboard LED at all";
    led("input3::capslock", "0\n");
    led("input3::numlock", "1\n");
    led("input3::scrolllock", "1\n");
    EXPECT_EQ(readLockKeys(leds.path()), (TLockKeys{false, true}));
    led("input7::capslock", "1\n");
    EXPECT_EQ(readLockKeys(leds.path()), (TLockKeys{true, true})) << "a second keyboard";
    led("input9::numlock", "garbage");
    EXPECT_EQ(readLockKeys(leds.path()).num, true) << "an unreadable LED changes nothing";
    ASSERT_TRUE(QDir(leds.path()).mkpath("input10::capslock"));
    EXPECT_EQ(readLockKeys(leds.path()).caps, true) << "an LED without brightness neither";
}

} // namespace
} // namespace tamsel::shell::test
