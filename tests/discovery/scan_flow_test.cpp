// Scans from the sweep to the module table: the scan engine asks a scripted line of real
// module replies, and the results are shown one found address at a time as the window's idle
// passes do.

#include "discovery/modtyp_catalogue.h"
#include "discovery/scan_engine.h"
#include "discovery/scan_results.h"
#include "real_modules.h"

#include <gtest/gtest.h>

namespace tamsel::discovery {
namespace {

using testing::RealModule;

/// A module on the line: it answers only in its own setting and to its own target.
struct LineModule {
    int address;
    std::string target;
    std::string protocol;
    std::string baud;
    RealModule module;
};

class LineProbe : public ScanProbe {
  public:
    explicit LineProbe(std::vector<LineModule> line) : m_line(std::move(line)) {}
    std::optional<std::string> probe(const ProbeTry& t) override {
        for (const LineModule& m : m_line) {
            if (m.address == t.address && m.target == t.target && m.protocol == t.protocol &&
                m.baud == t.baud) {
                return std::string{m.module.reply};
            }
        }
        return std::nullopt;
    }

  private:
    std::vector<LineModule> m_line;
};

class OneListForAll : public ScanLists {
  public:
    NameList protocolsOf(const std::string&) override { return {{"XON-XOFF", "ACK"}, 0}; }
    NameList baudsOf(const std::string&, const std::string&) override {
        return {{"9600", "19200"}, 0};
    }
};

class ScanFlowTest : public ::testing::Test {
  protected:
    /// Every address found so far, shown; the outcomes in order.
    std::vector<ScanOutcome> showAll(ScanMode mode) {
        std::vector<ScanOutcome> out;
        while (const auto o = results.showNext(mode, scan)) {
            out.push_back(*o);
        }
        return out;
    }

    ModtypCatalogue catalogue;
    ModuleTable table{catalogue};
    ScanResults results{table, catalogue};
    OneListForAll lists;
    ScanView view;
    ScanTable scan;
};

TEST_F(ScanFlowTest, AutomaticFindsModule00AndThenTheRest) {
    LineProbe line({{0, "DVRX", "ACK", "19200", testing::kDvrx},
                    {7, "VRX23", "ACK", "19200", testing::kVrx23},
                    {30, "TRILO", "ACK", "19200", testing::kMicroTrilo}});
    ScanEngine engine(line, lists, view, scan);

    results.startScan(ScanMode::AutomaticZero);
    ASSERT_EQ(engine.automaticZero({"COM1", 0, {{"TRILO", "DVRX"}, 0}, 0}), ScanEnd::Answered);
    const auto zero = showAll(ScanMode::AutomaticZero);
    ASSERT_EQ(zero.size(), 1U);
    ASSERT_TRUE(zero[0].startRest);
    ASSERT_TRUE(zero[0].select);
    EXPECT_EQ(zero[0].select->target, 1);
    EXPECT_EQ(zero[0].select->protocol, 1);
    EXPECT_EQ(zero[0].select->baud, 1);
    EXPECT_EQ(zero[0].traces, (std::vector<std::string>{"cnf:= 1000101"}));

    scan.clear();
    results.startScan(ScanMode::AutomaticRest);
    ASSERT_EQ(engine.automaticRest({"COM1", "ACK", "19200"}), ScanEnd::Answered);
    const auto rest = showAll(ScanMode::AutomaticRest);
    ASSERT_EQ(rest.size(), 2U);
    EXPECT_EQ(rest[1].module00Found, false);
    EXPECT_FALSE(results.showNext(ScanMode::AutomaticRest, scan));

    EXPECT_EQ(table.rows(), (std::vector<int>{0, 7, 30}));
    EXPECT_EQ(table.entry(0).target, "DVRX");
    EXPECT_EQ(table.entry(7).target, "VRX23");
    EXPECT_EQ(table.entry(30).target, "MICROTRILO");
    EXPECT_EQ(table.entry(30).typeName, "RT41_H");
    const auto accept = table.acceptTexts();
    EXPECT_EQ(accept[7], "7,7,12289,_,_,7,07");
    EXPECT_EQ(accept[8], "008");
}

TEST_F(ScanFlowTest, CheckingAsksEachConfiguredModuleAsItsOwnTarget) {
    ASSERT_TRUE(table.loadRecord("7,7,12289,X,_,07,7"));
    ASSERT_TRUE(table.loadRecord("12,12,17129504,_,_,01,12"));
    ASSERT_TRUE(table.loadRecord("20,20,517,_,_,_,20"));
    // The VRX23 answers its own target only; the DVRX now answers with another serial; the
    // TRILO at 20 is gone; a new one answers at 40 as TRILO, the target of an empty address.
    LineProbe line({{7, "VRX23", "XON-XOFF", "9600", testing::kVrx23},
                    {12,
                     "DVRX",
                     "XON-XOFF",
                     "9600",
                     {"12HW-2471.069 DVRX rev 1.05 _KORVEL_Serie02_", 0, "", "", ""}},
                    {40, "TRILO", "XON-XOFF", "9600", testing::kTriloKb01}});
    ScanEngine engine(line, lists, view, scan);

    results.startScan(ScanMode::Checking);
    CheckingStart start{"COM1", "XON-XOFF", "9600",
                        [this](int address) { return table.entry(address).target; }};
    ASSERT_EQ(engine.checking(start), ScanEnd::Answered);
    const auto outcomes = showAll(ScanMode::Checking);
    ASSERT_EQ(outcomes.size(), static_cast<std::size_t>(kAddressCount));

    EXPECT_EQ(table.entry(7).state, entry_state::kPresent);
    EXPECT_EQ(table.entry(12).state, entry_state::kModified);
    EXPECT_EQ(table.entry(12).checkedSerial, "02");
    EXPECT_EQ(table.entry(20).state, entry_state::kLost);
    EXPECT_EQ(table.entry(40).state, entry_state::kFound);
    EXPECT_EQ(results.counters(), (CheckCounters{true, 1, 1, 1}));
    ASSERT_TRUE(outcomes.back().box);
    EXPECT_EQ(outcomes.back().box->title, "Checking Warning :");
}

TEST_F(ScanFlowTest, ShowingFollowsTheFoundListAsItGrows) {
    scan.records[9].state = ScanState::Answered;
    scan.records[9].reply = testing::kVrx34.reply;
    scan.records[2].state = ScanState::Answered;
    scan.records[2].reply = testing::kVrx23.reply;
    results.startScan(ScanMode::Search);
    EXPECT_FALSE(results.showNext(ScanMode::Search, scan));
    scan.found.append(9);
    EXPECT_TRUE(results.showNext(ScanMode::Search, scan));
    EXPECT_FALSE(results.showNext(ScanMode::Search, scan));
    scan.found.append(2);
    EXPECT_TRUE(results.showNext(ScanMode::Search, scan));
    EXPECT_EQ(results.shown(), 2);
    EXPECT_EQ(table.rows(), (std::vector<int>{2, 9}));
    results.startScan(ScanMode::Search);
    EXPECT_EQ(results.shown(), 0);
}

} // namespace
} // namespace tamsel::discovery
