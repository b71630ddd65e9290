// The order in which each scan mode tries configurations and addresses, and what it keeps, over
// a probe that answers from a script and records every try.

#include "discovery/scan_engine.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <tuple>

namespace tamsel::discovery {
namespace {

/// A line of modules: which address answers in which configuration (target, protocol, baud).
struct Module {
    int address;
    std::string target; ///< empty: answers whatever target the probe names
    std::string protocol;
    std::string baud;
    std::string reply;
};

class ScriptedProbe : public ScanProbe {
  public:
    explicit ScriptedProbe(std::vector<Module> line) : m_line(std::move(line)) {}

    std::optional<std::string> probe(const ProbeTry& t) override {
        tries.push_back(t);
        for (const Module& m : m_line) {
            if (m.address == t.address && m.protocol == t.protocol && m.baud == t.baud &&
                (m.target.empty() || m.target == t.target)) {
                return m.reply;
            }
        }
        return std::nullopt;
    }

    /// The tries as "target/protocol/baud@address", one per line, for readable failures.
    std::string order() const {
        std::ostringstream out;
        for (const ProbeTry& t : tries) {
            out << t.target << '/' << t.protocol << '/' << t.baud << '@' << t.address << '\n';
        }
        return out.str();
    }

    std::vector<ProbeTry> tries;

  private:
    std::vector<Module> m_line;
};

/// Two targets with their own protocols and baud rates, as a driver reports them.
class TwoTargets : public ScanLists {
  public:
    NameList protocolsOf(const std::string& target) override {
        ++refills;
        if (target == "DVRX") {
            return {{"CONSOLE"}, 0};
        }
        return {{"XON", "ACK"}, 0};
    }
    NameList baudsOf(const std::string& target, const std::string& protocol) override {
        if (target == "DVRX") {
            return {{"9600", "19200"}, 1};
        }
        if (protocol == "ACK") {
            return {{"9600"}, 0};
        }
        return {{"4800", "9600", "19200"}, 0};
    }
    int refills = 0;
};

/// Records what the scan shows, and stops it after a given number of probes.
class RecordingView : public ScanView {
  public:
    explicit RecordingView(const ScriptedProbe* probe = nullptr, std::size_t stopAfter = 0)
        : m_probe(probe), m_stopAfter(stopAfter) {}
    bool stopRequested() override {
        return m_probe != nullptr && m_probe->tries.size() >= m_stopAfter;
    }
    void gaugeCaption(const std::string& caption) override { captions.push_back(caption); }
    void gaugeRange(int low, int high) override { ranges.emplace_back(low, high); }
    void gaugeShown(bool visible) override { shown = visible; }
    void trace(const std::string& text) override { traces.push_back(text); }

    std::vector<std::string> captions;
    std::vector<std::string> traces;
    std::vector<std::pair<int, int>> ranges;
    bool shown = false;

  private:
    const ScriptedProbe* m_probe;
    std::size_t m_stopAfter;
};

struct Scan {
    explicit Scan(std::vector<Module> line, std::size_t stopAfter = 0)
        : probe(std::move(line)), view(stopAfter > 0 ? &probe : nullptr, stopAfter),
          engine(probe, lists, view, table) {}
    ScriptedProbe probe;
    TwoTargets lists;
    RecordingView view;
    ScanTable table;
    ScanEngine engine;
};

AutomaticZeroStart zeroFrom(int target, int baud) {
    return {"COM1", 2, {{"TRILO", "DVRX"}, target}, baud};
}

// Every configuration once, from the remembered target and baud rate on, wrapping round.
TEST(AutomaticZero, SilentLineTriesEveryConfigurationOnceFromTheRememberedOne) {
    struct Case {
        const char* name;
        int target;
        int baud;
        const char* order;
    } cases[] = {
        {"from the first", 0, 0,
         "TRILO/XON/4800@0\nTRILO/XON/9600@0\nTRILO/XON/19200@0\nTRILO/ACK/9600@0\n"
         "DVRX/CONSOLE/19200@0\nDVRX/CONSOLE/9600@0\n"},
        // The remembered baud index holds for the very first protocol only; the others start
        // where their list has its selection (19200 for DVRX's CONSOLE).
        {"from the second target and baud", 1, 1,
         "DVRX/CONSOLE/19200@0\nDVRX/CONSOLE/9600@0\nTRILO/XON/4800@0\nTRILO/XON/9600@0\n"
         "TRILO/XON/19200@0\nTRILO/ACK/9600@0\n"},
        {"remembered baud wraps round", 0, 2,
         "TRILO/XON/19200@0\nTRILO/XON/4800@0\nTRILO/XON/9600@0\nTRILO/ACK/9600@0\n"
         "DVRX/CONSOLE/19200@0\nDVRX/CONSOLE/9600@0\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scan s({});
        EXPECT_EQ(s.engine.automaticZero(zeroFrom(c.target, c.baud)), ScanEnd::Silent);
        EXPECT_EQ(s.probe.order(), c.order);
        for (const ProbeTry& t : s.probe.tries) {
            EXPECT_TRUE(t.openFirst && t.closeAfter) << "every try opens and closes its line";
            EXPECT_EQ(t.port, "COM1");
        }
        EXPECT_EQ(s.table.found.all(), std::vector<int>{0}) << "address 00 listed in silence";
        EXPECT_EQ(s.table.records[0].state, ScanState::Nothing);
        EXPECT_FALSE(s.view.shown);
        EXPECT_EQ(automaticZeroTries(zeroFrom(c.target, c.baud), s.lists),
                  static_cast<int>(s.probe.tries.size()));
    }
}

TEST(AutomaticZero, FirstAnswerEndsTheSweepAndKeepsItsIndexes) {
    Scan s({{0, "DVRX", "CONSOLE", "9600", "00RV reply"}});
    EXPECT_EQ(s.engine.automaticZero(zeroFrom(0, 0)), ScanEnd::Answered);
    EXPECT_EQ(s.probe.tries.size(), 6U) << s.probe.order();
    const ScanRecord& r = s.table.records[0];
    EXPECT_EQ(r.state, ScanState::Answered);
    EXPECT_TRUE(r.hit);
    EXPECT_EQ(r.reply, "00RV reply");
    const LineIndexes i = unpackSetting(r.setting);
    EXPECT_EQ(std::tie(i.protocol, i.baud, i.port, i.target), std::make_tuple(0, 0, 2, 1));
    EXPECT_EQ(s.table.found.all(), std::vector<int>{0});
    EXPECT_EQ(s.view.captions.back(), "Try target DVRX ,CONSOLE  ,9600 on axis 00");
    EXPECT_EQ(s.view.traces.back(), "[9600 DVRX 0]");
    EXPECT_EQ(s.view.ranges.front(), std::make_pair(1, 17));
}

TEST(AutomaticZero, StopEndsAtOnceWithoutListingAddressZero) {
    Scan s({}, 2);
    EXPECT_EQ(s.engine.automaticZero(zeroFrom(0, 0)), ScanEnd::Stopped);
    EXPECT_EQ(s.probe.tries.size(), 2U);
    EXPECT_EQ(s.table.found.size(), 0);
}

TEST(AutomaticRest, AsksAsTriloThenAsVrx23WhereTriloWasSilent) {
    Scan s({{1, "TRILO", "XON", "9600", "01 trilo"},
            {2, "VRX23", "XON", "9600", "02 vrx23"},
            {63, "", "XON", "9600", "63 either"},
            {5, "TRILO", "ACK", "9600", "elsewhere"}});
    EXPECT_EQ(s.engine.automaticRest({"COM2", "XON", "9600"}), ScanEnd::Answered);
    EXPECT_EQ(s.table.found.all(), (std::vector<int>{1, 2, 63}));
    EXPECT_EQ(s.table.records[2].reply, "02 vrx23");
    EXPECT_EQ(s.table.records[5].state, ScanState::Nothing);
    // Address 1 answered as TRILO and is not asked again; 63 likewise.
    EXPECT_EQ(s.probe.tries.size(), 1U + 2U * 61U + 1U) << s.probe.order();
    const ProbeTry& first = s.probe.tries.front();
    EXPECT_EQ(std::tie(first.target, first.address, first.openFirst, first.closeAfter),
              std::make_tuple(std::string("TRILO"), 1, true, false));
    const ProbeTry& vrx = s.probe.tries[2];
    EXPECT_EQ(std::tie(vrx.target, vrx.address, vrx.openFirst, vrx.closeAfter),
              std::make_tuple(std::string("VRX23"), 2, false, false));
    const ProbeTry& last = s.probe.tries.back();
    EXPECT_EQ(std::tie(last.target, last.address, last.closeAfter),
              std::make_tuple(std::string("TRILO"), 63, true));
    EXPECT_EQ(s.view.captions.front(), "N\xc2\xb0 %02d in XON 9600");
}

TEST(AutomaticRest, AShorterRangeClosesTheLineAtItsOwnEnd) {
    Scan s({});
    const AutomaticRestStart start{"COM2", "XON", "9600", 3};
    EXPECT_EQ(s.engine.automaticRest(start), ScanEnd::Silent);
    ASSERT_EQ(s.probe.tries.size(), 6U);
    EXPECT_EQ(automaticRestTries(start), 6);
    const ProbeTry& last = s.probe.tries.back();
    EXPECT_EQ(std::tie(last.target, last.address, last.openFirst, last.closeAfter),
              std::make_tuple(std::string("VRX23"), 3, true, true));
}

TEST(AutomaticRest, SilentModuleAt63IsAskedAsVrx23OpeningAndClosingItsLine) {
    Scan s({});
    EXPECT_EQ(s.engine.automaticRest({"COM2", "XON", "9600"}), ScanEnd::Silent);
    ASSERT_EQ(s.probe.tries.size(), 126U);
    const ProbeTry& last = s.probe.tries.back();
    EXPECT_EQ(std::tie(last.target, last.address, last.openFirst, last.closeAfter),
              std::make_tuple(std::string("VRX23"), 63, true, true));
}

SearchStart searchOf(bool withBaud, bool onlyFirst) {
    return {"COM1", "TRILO", withBaud, "38400", onlyFirst, {"9600", "4800"}};
}

TEST(Search, StrategiesOfTheTwoCheckBoxes) {
    struct Case {
        const char* name;
        bool withBaud;
        bool onlyFirst;
        std::vector<std::string> pairs; ///< protocol/baud of each try
        const char* strategy;
        const char* firstCaption;
    } cases[] = {
        {"neither",
         false,
         false,
         {"XON/9600", "XON/4800", "ACK/9600", "ACK/4800"},
         "variation des protocole,variation des baudrate ",
         " Try 01/04 : TRILO , XON , 9600 on COM1 , axis n\xc2\xb0%02d"},
        {"with baud rate",
         true,
         false,
         {"XON/38400", "ACK/38400"},
         "variation des protocole,baudrate fixe",
         " Try 01/02 : TRILO , XON , 38400 on COM1 , axis n\xc2\xb0%02d"},
        {"first protocol only",
         false,
         true,
         {"XON/9600", "XON/4800"},
         "protocole fixe , variation des baudrates",
         " Try 01/02 : TRILO , XON , 9600 on COM1 , axis n\xc2\xb0%02d"},
        {"both: one try",
         true,
         true,
         {"XON/38400"},
         nullptr,
         " Try 1/1 : TRILO , XON , 38400 on COM1 , axis n\xc2\xb0%02d"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scan s({});
        EXPECT_EQ(s.engine.search(searchOf(c.withBaud, c.onlyFirst)), ScanEnd::Silent);
        ASSERT_EQ(s.probe.tries.size(), c.pairs.size() * 64U);
        for (std::size_t n = 0; n < c.pairs.size(); ++n) {
            for (int a = 0; a < 64; ++a) {
                const ProbeTry& t = s.probe.tries[n * 64U + static_cast<std::size_t>(a)];
                EXPECT_EQ(t.protocol + "/" + t.baud, c.pairs[n]);
                EXPECT_EQ(t.address, a);
                EXPECT_EQ(t.openFirst, a == 0);
                EXPECT_EQ(t.closeAfter, a == 63);
            }
        }
        ASSERT_FALSE(s.view.traces.empty());
        if (c.strategy != nullptr) {
            EXPECT_EQ(s.view.traces.front(), c.strategy);
        } else {
            EXPECT_EQ(s.view.traces.front().front(), '[') << "the single try names no strategy";
        }
        EXPECT_EQ(s.view.captions.at(1), c.firstCaption);
        EXPECT_EQ(searchTries(searchOf(c.withBaud, c.onlyFirst), s.lists),
                  static_cast<int>(s.probe.tries.size()));
    }
}

TEST(Search, TheFirstTryWithAnAnswerIsTheLast) {
    Scan s(
        {{7, "TRILO", "XON", "4800", "07 slow"}, {9, "TRILO", "ACK", "9600", "09 never reached"}});
    EXPECT_EQ(s.engine.search(searchOf(false, false)), ScanEnd::Answered);
    EXPECT_EQ(s.probe.tries.size(), 128U) << "second try answered, all its addresses asked";
    EXPECT_EQ(s.table.found.all(), std::vector<int>{7});
    EXPECT_EQ(s.view.traces.back(), "COM1 TRILO XON 4800  ");
    EXPECT_EQ(s.engine.lastTry().address, 63);
}

TEST(Search, StopBeforeAnAddressSaysSo) {
    Scan s({{0, "", "XON", "9600", "00"}}, 10);
    EXPECT_EQ(s.engine.search(searchOf(false, false)), ScanEnd::Stopped);
    EXPECT_EQ(s.probe.tries.size(), 10U);
    EXPECT_EQ(s.view.captions.back(), "scan stop by user");
    EXPECT_EQ(s.table.found.all(), std::vector<int>{0}) << "what was found is kept";
}

FullDebugStart debugFrom(int protocol, int baud) {
    return {"COM3", 1, "TRILO", {{"XON", "ACK"}, protocol}, {{"9600", "19200", "38400"}, baud}};
}

TEST(FullDebug, EveryPairAtEveryAddressFirstAnsweringPairKept) {
    Scan s({{4, "", "ACK", "38400", "04 at ACK 38400"},
            {4, "", "XON", "9600", "04 at XON 9600"},
            {9, "", "ACK", "9600", "09"}});
    EXPECT_EQ(s.engine.fullDebug(debugFrom(1, 2)), ScanEnd::Answered);
    ASSERT_EQ(s.probe.tries.size(), 64U * 6U);
    // From the current protocol and baud rate, wrapping round, the bauds for each protocol.
    const std::vector<std::string> firstAddress = {"ACK/38400", "ACK/9600", "ACK/19200",
                                                   "XON/38400", "XON/9600", "XON/19200"};
    for (std::size_t i = 0; i < firstAddress.size(); ++i) {
        const ProbeTry& t = s.probe.tries[i];
        EXPECT_EQ(t.protocol + "/" + t.baud, firstAddress[i]);
        EXPECT_TRUE(t.openFirst && t.closeAfter);
        EXPECT_EQ(t.address, 0);
    }
    const ScanRecord& four = s.table.records[4];
    EXPECT_EQ(four.reply, "04 at ACK 38400");
    const LineIndexes i = unpackSetting(four.setting);
    EXPECT_EQ(std::tie(i.protocol, i.baud, i.port), std::make_tuple(1, 2, 1));
    EXPECT_EQ(s.table.found.all(), (std::vector<int>{4, 9}));
}

TEST(Checking, EveryAddressListedSilentOnesMarked) {
    Scan s({{0, "DVRX", "XON", "9600", "00 dvrx"}, {3, "TRILO", "XON", "9600", "03 trilo"}});
    CheckingStart c{"COM1", "XON", "9600",
                    [](int address) { return address == 0 ? std::string("DVRX") : std::string(); }};
    EXPECT_EQ(s.engine.checking(c), ScanEnd::Answered);
    ASSERT_EQ(s.probe.tries.size(), 64U);
    EXPECT_EQ(s.probe.tries[0].target, "DVRX") << "the configured module's own target";
    EXPECT_EQ(s.probe.tries[1].target, "TRILO");
    EXPECT_EQ(s.table.found.size(), 64);
    EXPECT_EQ(s.table.records[0].state, ScanState::Answered);
    EXPECT_EQ(s.table.records[3].reply, "03 trilo");
    EXPECT_EQ(s.table.records[1].state, ScanState::Silent);
    EXPECT_EQ(s.view.traces.front(), "DVRX");
}

TEST(ScanClock, SilentTryCostsItsFirstByteWait) {
    struct Case {
        const char* protocol;
        const char* baud;
        long ms;
    } cases[] = {{"XON", "9600", 156},
                 {"ACK", "115200", 20},
                 {"XON", "1200", 312},
                 {"JBUS-485", "9600", 100},
                 {"XON", "fast", 312}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.protocol) + " " + c.baud);
        const ProbeTry t{"TRILO", "COM1", c.protocol, c.baud, 0, true, true};
        EXPECT_EQ(silentProbeTime(t).count(), c.ms);
    }
}

TEST(ScanClock, TriesLeftTimesWhatATryHasCostSoFar) {
    using std::chrono::milliseconds;
    const ProbeTry t{"TRILO", "COM1", "XON", "9600", 0, true, true};
    ScanClock clock;
    clock.plan(10);
    EXPECT_EQ(clock.remaining(t), milliseconds(1560)) << "nothing measured: ten silent tries";
    clock.measured(milliseconds(50));
    clock.measured(milliseconds(70));
    EXPECT_EQ(clock.remaining(t), milliseconds(8 * 60));
    clock.skip(3);
    EXPECT_EQ(clock.remaining(t), milliseconds(5 * 60));
    clock.skip(9);
    EXPECT_EQ(clock.remaining(t), milliseconds(0));
}

TEST(ScanClock, TheSweepReportsAfterEveryTryAndEndsAtZero) {
    struct TimeView : RecordingView {
        void remainingTime(std::chrono::milliseconds left) override { lefts.push_back(left); }
        std::vector<std::chrono::milliseconds> lefts;
    };
    ScriptedProbe probe({});
    TwoTargets lists;
    TimeView view;
    ScanTable table;
    ScanEngine engine(probe, lists, view, table);
    engine.automaticRest({"COM2", "XON", "9600"});
    ASSERT_EQ(view.lefts.size(), 126U);
    EXPECT_EQ(view.lefts.back().count(), 0);
}

TEST(PackedSetting, FieldsRoundTripAndStayInTheirByte) {
    const int32_t packed = packSetting({3, 10, 1, 4});
    EXPECT_EQ(static_cast<uint32_t>(packed), 0x04010A03U);
    const LineIndexes i = unpackSetting(packed);
    EXPECT_EQ(std::tie(i.protocol, i.baud, i.port, i.target), std::make_tuple(3, 10, 1, 4));
}

} // namespace
} // namespace tamsel::discovery
