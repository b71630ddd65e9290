// What each found address of a scan does to the module table, per mode, with replies of real
// module types; and the Checking scan against a configuration loaded from project records,
// with the summary box and line byte for byte.

#include "discovery/modtyp_catalogue.h"
#include "discovery/scan_results.h"
#include "real_modules.h"

#include <gtest/gtest.h>

#include <map>

namespace tamsel::discovery {
namespace {

using testing::RealModule;

ScanRecord answered(const RealModule& m, int32_t setting = 0) {
    ScanRecord r;
    r.state = ScanState::Answered;
    r.hit = setting != 0;
    r.setting = setting;
    r.reply = m.reply;
    return r;
}

ScanRecord silent() {
    ScanRecord r;
    r.state = ScanState::Silent;
    return r;
}

class ScanResultsTest : public ::testing::Test {
  protected:
    ModtypCatalogue catalogue;
    ModuleTable table{catalogue};
    ScanResults results{table, catalogue};
};

// ---------------------------------------------------------------- Automatic 00

TEST_F(ScanResultsTest, SilentModule00AsksForAnotherTryAndKeepsTheTableEmpty) {
    const ScanOutcome out = results.show(ScanMode::AutomaticZero, 0, ScanRecord{});
    ASSERT_TRUE(out.box);
    EXPECT_EQ(out.box->title, "Module 00 not found ?");
    EXPECT_EQ(out.box->text,
              "No communication with module 00.\nYou can :\n   - Check cable and alimentation , "
              "then Auto scan again\n   - Change communication port then Auto scan again\n or "
              "\n   - Use Search scan and select the Target before full scan\n     on all "
              "configurations and address ");
    EXPECT_EQ(out.box->icon, ResultBox::Icon::Exclamation);
    EXPECT_EQ(out.box->helpContext, 1051);
    EXPECT_EQ(out.module00Found, false);
    EXPECT_TRUE(out.restoreRemembered);
    EXPECT_FALSE(out.startRest);
    EXPECT_FALSE(out.select);
    EXPECT_EQ(table.liveCount(), 0);
}

TEST_F(ScanResultsTest, AnsweringModule00SelectsItsSettingAndContinuesWithTheRest) {
    const LineIndexes line{1, 3, 2, 5}; // protocol, baud, port, target
    const ScanOutcome out =
        results.show(ScanMode::AutomaticZero, 0, answered(testing::kDvrx, packSetting(line)));
    EXPECT_FALSE(out.box);
    ASSERT_TRUE(out.select);
    EXPECT_EQ(out.select->protocol, 1);
    EXPECT_EQ(out.select->baud, 3);
    EXPECT_EQ(out.select->port, 2);
    EXPECT_EQ(out.select->target, 5);
    EXPECT_EQ(out.traces, (std::vector<std::string>{"cnf:= 5020301"}));
    EXPECT_EQ(out.module00Found, true);
    EXPECT_TRUE(out.startRest);
    const ModuleEntry& e = table.entry(0);
    EXPECT_EQ(e.state, entry_state::kPresent);
    EXPECT_EQ(e.typeCode, testing::kDvrx.code);
    EXPECT_EQ(e.target, "DVRX");
    EXPECT_EQ(e.serial, "01");
}

// ---------------------------------------------------------------- the other sweeps

struct SweepCase {
    ScanMode mode;
    const char* name;
    int32_t state;
    bool clearsModule00Flag;
    bool keepsLineSetting;
};

void PrintTo(const SweepCase& c, std::ostream* os) {
    *os << c.name;
}

class SweepResults : public ScanResultsTest, public ::testing::WithParamInterface<SweepCase> {};

TEST_P(SweepResults, EnterEachAnsweringModuleInTheModesState) {
    const SweepCase& c = GetParam();
    const int32_t setting = packSetting({2, 1, 0, 0});
    const std::map<int, RealModule> line{
        {7, testing::kVrx23}, {9, testing::kVrx34}, {30, testing::kMicroTrilo}};
    for (const auto& [address, module] : line) {
        const ScanOutcome out = results.show(c.mode, address, answered(module, setting));
        EXPECT_FALSE(out.box);
        EXPECT_FALSE(out.startRest);
        if (c.clearsModule00Flag) {
            EXPECT_EQ(out.module00Found, false);
        } else {
            EXPECT_FALSE(out.module00Found);
        }
    }
    EXPECT_EQ(table.rows(), (std::vector<int>{7, 9, 30}));
    for (const auto& [address, module] : line) {
        const ModuleEntry& e = table.entry(address);
        EXPECT_EQ(e.state, c.state) << address;
        EXPECT_EQ(e.typeCode, module.code) << address;
        EXPECT_EQ(e.typeName, module.typeName) << address;
        EXPECT_EQ(e.serial, module.serial) << address;
        EXPECT_EQ(e.target, module.target) << address;
        EXPECT_EQ(e.lineSetting, c.keepsLineSetting ? setting : kNoLineSetting) << address;
    }
}

TEST_P(SweepResults, AnAddressWithoutAnAnswerEntersNothing) {
    const ScanOutcome out = results.show(GetParam().mode, 4, ScanRecord{});
    EXPECT_FALSE(out.box);
    EXPECT_EQ(table.liveCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Modes, SweepResults,
                         ::testing::Values(SweepCase{ScanMode::AutomaticRest, "AutomaticRest",
                                                     entry_state::kPresent, true, false},
                                           SweepCase{ScanMode::Search, "Search",
                                                     entry_state::kPresent, true, false},
                                           SweepCase{ScanMode::FullDebug, "FullDebug",
                                                     entry_state::kFullDebug, false, true}),
                         [](const auto& param) { return std::string{param.param.name}; });

TEST_F(ScanResultsTest, AnUndecodableReplyEntersTheCataloguesFallbackType) {
    results.show(ScanMode::Search, 11, answered(testing::kGarbage));
    const ModuleEntry& e = table.entry(11);
    EXPECT_EQ(e.state, entry_state::kPresent);
    EXPECT_EQ(e.typeCode, 0xFF00);
    EXPECT_EQ(e.typeName, "DEFAULT");
    EXPECT_EQ(e.target, "DEFAULT");
}

// ---------------------------------------------------------------- Checking

const char* const kCorrect = "This configuration is correct :Accept to save and quit configuration";

/// The configuration the project held, as module record texts, and the line as it answers.
class CheckingTest : public ScanResultsTest {
  protected:
    void configure(const std::vector<std::string>& records) {
        for (const std::string& r : records) {
            ASSERT_TRUE(table.loadRecord(r)) << r;
        }
    }

    /// Runs a whole Checking scan: every address is shown, answered or not; returns what the
    /// last one (address 63) gave, and checks that no earlier address ended the scan.
    ScanOutcome check(const std::map<int, RealModule>& line) {
        results.startScan(ScanMode::Checking);
        ScanOutcome last;
        for (int address = 0; address < kAddressCount; ++address) {
            const auto module = line.find(address);
            const ScanRecord record = module == line.end() ? silent() : answered(module->second);
            last = results.show(ScanMode::Checking, address, record);
            if (address < kLastAddress) {
                EXPECT_FALSE(last.box) << "summary before the last address, at " << address;
            }
        }
        return last;
    }

    std::vector<int32_t> states() const {
        std::vector<int32_t> s;
        for (const int address : table.rows()) {
            s.push_back(table.entry(address).state);
        }
        return s;
    }
};

TEST_F(CheckingTest, TheProjectsOwnLineIsCorrect) {
    configure({"3,3,517,AXE,_,_,3", "5,5,1032,_,_,042,5", "7,7,12289,_,_,07,7"});
    const ScanOutcome out =
        check({{3, testing::kTriloKb01}, {5, testing::kTriloKc61}, {7, testing::kVrx23}});
    EXPECT_EQ(results.counters(), CheckCounters{});
    EXPECT_EQ(out.alertLine, std::optional<std::string>{kCorrect});
    ASSERT_TRUE(out.box);
    EXPECT_EQ(out.box->title, "Checking :");
    EXPECT_EQ(out.box->text, kCorrect);
    EXPECT_EQ(out.box->helpContext, 0);
    EXPECT_EQ(states(), (std::vector<int32_t>{1, 1, 1}));
}

TEST_F(CheckingTest, SerialNumbersCompareAsNumbers) {
    configure({"5,5,1032,_,_,42,5"});
    const ScanOutcome out = check({{5, testing::kTriloKc61}}); // answers "042"
    EXPECT_FALSE(results.counters().changed);
    EXPECT_EQ(table.entry(5).state, entry_state::kPresent);
    ASSERT_TRUE(out.box);
    EXPECT_EQ(out.box->text, kCorrect);
}

const char* const kAdvice =
    "\nTo valid this new configuration, \nYou must Scan again with Automatic option.";

struct CheckCase {
    const char* name;
    std::vector<std::string> records;
    std::map<int, RealModule> line;
    std::map<int, int32_t> states; ///< every row's state afterwards
    CheckCounters counters;
    const char* summary; ///< the lines before the advice to scan again
};

void PrintTo(const CheckCase& c, std::ostream* os) {
    *os << c.name;
}

class CheckingDifferences : public CheckingTest, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(CheckingDifferences, MarkEachDifferenceAndSumThemUp) {
    const CheckCase& c = GetParam();
    configure(c.records);
    const ScanOutcome out = check(c.line);
    EXPECT_EQ(results.counters(), c.counters);
    std::map<int, int32_t> got;
    for (const int address : table.rows()) {
        got[address] = table.entry(address).state;
    }
    EXPECT_EQ(got, c.states);
    EXPECT_FALSE(out.alertLine);
    ASSERT_TRUE(out.box);
    EXPECT_EQ(out.box->title, "Checking Warning :");
    EXPECT_EQ(out.box->icon, ResultBox::Icon::Exclamation);
    EXPECT_EQ(out.box->helpContext, 1055);
    EXPECT_EQ(out.box->text, std::string{c.summary} + kAdvice);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CheckingDifferences,
    ::testing::Values(
        CheckCase{"SilentModuleIsLost",
                  {"3,3,517,AXE,_,_,3", "7,7,12289,_,_,07,7"},
                  {{7, testing::kVrx23}},
                  {{3, entry_state::kLost}, {7, entry_state::kPresent}},
                  {true, 1, 0, 0},
                  "1 module(s) lost       (blue line(s))\n"},
        CheckCase{"UnknownAddressIsFound",
                  {"7,7,12289,_,_,07,7"},
                  {{7, testing::kVrx23}, {20, testing::kVrx17}},
                  {{7, entry_state::kPresent}, {20, entry_state::kFound}},
                  {true, 0, 1, 0},
                  "1 module(s) found      (green line(s))\n"},
        CheckCase{"NewSerialIsModified",
                  {"5,5,1032,_,_,042,5"},
                  {{5, testing::kTriloKc61Other}},
                  {{5, entry_state::kModified}},
                  {true, 0, 0, 1},
                  "1 module(s) modified   (see GetInfo on yellow line(s) Popup Menu)\n"},
        CheckCase{"NewTypeIsModified",
                  {"5,5,1032,_,_,042,5"},
                  {{5, testing::kTriloKc01}},
                  {{5, entry_state::kModified}},
                  {true, 0, 0, 1},
                  "1 module(s) modified   (see GetInfo on yellow line(s) Popup Menu)\n"},
        CheckCase{"EverythingAtOnce",
                  {"0,0,517,_,_,_,0", "5,5,1032,_,_,042,5", "9,9,16386,_,_,11,9",
                   "12,12,17129504,_,_,01,12"},
                  {{0, testing::kTriloKb01},
                   {5, testing::kTriloKc61Other},
                   {7, testing::kVrx23},
                   {30, testing::kMicroTrilo}},
                  {{0, entry_state::kPresent},
                   {5, entry_state::kModified},
                   {7, entry_state::kFound},
                   {9, entry_state::kLost},
                   {12, entry_state::kLost},
                   {30, entry_state::kFound}},
                  {true, 2, 2, 1},
                  "2 module(s) lost       (blue line(s))\n"
                  "2 module(s) found      (green line(s))\n"
                  "1 module(s) modified   (see GetInfo on yellow line(s) Popup Menu)\n"}),
    [](const auto& param) { return std::string{param.param.name}; });

TEST_F(CheckingTest, ModifiedModuleKeepsWhatTheCheckRead) {
    configure({"5,5,1032,AXE,_,042,5"});
    check({{5, testing::kTriloKc01}});
    const ModuleEntry& e = table.entry(5);
    EXPECT_EQ(e.typeCode, 0x0408);
    EXPECT_EQ(e.serial, "042");
    EXPECT_EQ(e.checkedTypeCode, 0x0409);
    EXPECT_EQ(e.checkedSerial, "042");
    EXPECT_EQ(e.label, "AXE");
}

TEST_F(CheckingTest, FoundModuleIsEnteredWithItsDecodedIdentity) {
    check({{20, testing::kVrx17}});
    const ModuleEntry& e = table.entry(20);
    EXPECT_EQ(e.state, entry_state::kFound);
    EXPECT_EQ(e.typeCode, testing::kVrx17.code);
    EXPECT_EQ(e.typeName, "uVRX17");
    EXPECT_EQ(e.serial, "77");
    EXPECT_EQ(e.target, "VRX17");
}

// A second check starts from the configuration, not from the marks of the first.
TEST_F(CheckingTest, ASecondCheckUndoesTheMarksOfTheFirst) {
    configure({"3,3,517,_,_,_,3", "5,5,1032,_,_,042,5", "7,7,12289,_,_,07,7"});
    check({{5, testing::kTriloKc61Other}, {7, testing::kVrx23}, {20, testing::kVrx17}});
    ASSERT_EQ(results.counters(), (CheckCounters{true, 1, 1, 1}));
    ASSERT_EQ(table.rows(), (std::vector<int>{3, 5, 7, 20}));

    const ScanOutcome out =
        check({{3, testing::kTriloKb01}, {5, testing::kTriloKc61}, {7, testing::kVrx23}});
    EXPECT_EQ(results.counters(), CheckCounters{});
    EXPECT_EQ(table.rows(), (std::vector<int>{3, 5, 7}));
    EXPECT_EQ(states(), (std::vector<int32_t>{1, 1, 1}));
    ASSERT_TRUE(out.box);
    EXPECT_EQ(out.box->text, kCorrect);
}

// Address 0 starts the counts again even when the marks were not undone first.
TEST_F(CheckingTest, AddressZeroStartsTheCountsAgain) {
    configure({"3,3,517,_,_,_,3"});
    check({});
    ASSERT_EQ(results.counters().lost, 1);
    results.show(ScanMode::Checking, 0, silent());
    EXPECT_EQ(results.counters(), CheckCounters{});
}

} // namespace
} // namespace tamsel::discovery
