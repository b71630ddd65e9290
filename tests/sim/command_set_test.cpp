// The families' command sets: what the tool writes, and replies that its parsers take
// apart (the scan formats below are the tool's own).

#include "pty_client.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <thread>

namespace simtest {
namespace {

// Reads until @p ok holds for the reply of @p command, or fails after a generous time.
template <class Pred> std::string waitFor(PtyClient& c, const char* command, Pred ok) {
    const auto end = std::chrono::steady_clock::now() + 10s;
    std::string r;
    while (std::chrono::steady_clock::now() < end) {
        r = c.xonReply(command);
        if (ok(r)) {
            return r;
        }
        std::this_thread::sleep_for(20ms);
    }
    ADD_FAILURE() << command << " never gave the expected reply; last: " << r;
    return r;
}

struct TriloStatus {
    char word[32], w4[32], fifth[32], last[32];
    int function = -1, stage = -1;
    long position = 0;
    unsigned inputs = 0, outputs = 0;
    int fields = 0;
};

TriloStatus triloStatus(const std::string& reply) {
    TriloStatus s{};
    s.fields =
        std::sscanf(reply.c_str(), "%31s %d %d %31s %31s %ld %X %X %31s", s.word, &s.function,
                    &s.stage, s.w4, s.fifth, &s.position, &s.inputs, &s.outputs, s.last);
    return s;
}

TEST(Trilo, StatusFollowsMotionPowerAndOutputs) {
    LineFixture f("01 TRILO type=0x0205 inputs=A5\n");
    PtyClient c(f.port(), 9600);
    TriloStatus s = triloStatus(c.xonReply("01QD"));
    ASSERT_EQ(s.fields, 9);
    EXPECT_STREQ(s.fifth, "XX");
    EXPECT_EQ(s.inputs, 0xA5U);
    EXPECT_EQ(s.last[1], 'O'); // powered

    EXPECT_EQ(hex(c.xon("01GA 400")), hex(Bytes{ACK, XOFF, SUB}));
    s = triloStatus(
        waitFor(c, "01QD", [](const std::string& r) { return triloStatus(r).position == 400; }));
    EXPECT_STREQ(s.fifth, "XX");

    // Continuous run: moving until stopped.
    c.xon("01GF 500");
    s = triloStatus(c.xonReply("01QD"));
    EXPECT_STRNE(s.fifth, "XX");
    c.xon("01GS");
    s = triloStatus(c.xonReply("01QD"));
    EXPECT_STREQ(s.fifth, "XX");
    EXPECT_GT(s.position, 400);

    // Position reset, outputs (value and mask of the coded command), power off.
    c.xon("01DI");
    c.xon("01GL FF:81 ");
    c.xon("01GR");
    s = triloStatus(c.xonReply("01QD"));
    EXPECT_EQ(s.position, 0);
    EXPECT_EQ(s.outputs, 0x81U);
    EXPECT_NE(s.last[1], 'O');
    c.xon("01GL  0F ");
    EXPECT_EQ(triloStatus(c.xonReply("01QD")).outputs, 0x0FU);
}

TEST(Trilo, StoredFunctionRunsToItsLastStage) {
    LineFixture f("01 TRILO type=0x0100\n");
    PtyClient c(f.port(), 9600);
    c.xon("01SS 3");
    const TriloStatus s = triloStatus(
        waitFor(c, "01RD", [](const std::string& r) { return triloStatus(r).stage == 255; }));
    EXPECT_EQ(s.function, 3);
    EXPECT_STREQ(s.fifth, "XX");
}

TEST(Trilo, ParameterBlockOfTheLaterGenerations) {
    LineFixture f("01 TRILO type=0x0200\n");
    PtyClient c(f.port(), 9600);
    EXPECT_EQ(hex(c.xon("01GS,WN4,WL150,WH3000,MSB,WT300:450,GI90")), hex(Bytes{ACK, XOFF, SUB}));
    const std::string r = c.xonReply("01QL");
    char word[32], ramp[32], end[8];
    int wl = 0, wh = 0, wn = 0, dr = -1, gi = 0, dg = -1;
    char m1 = 0, m2 = 0, rev = 0;
    ASSERT_EQ(std::sscanf(r.c_str(),
                          "%31s WL:%d WH:%d WT:%31s WN:%d DR:%d GI:%d DG:%d MD:%c%c %7s %c", word,
                          &wl, &wh, ramp, &wn, &dr, &gi, &dg, &m1, &m2, end, &rev),
              12)
        << r;
    EXPECT_EQ(wl, 150);
    EXPECT_EQ(wh, 3000);
    EXPECT_STREQ(ramp, "300:450");
    EXPECT_EQ(wn, 4);
    EXPECT_EQ(gi, 90);
    EXPECT_EQ(m2, 'B');
    // One ramp for both directions again.
    c.xon("01WT250,MSN");
    ASSERT_GE(std::sscanf(c.xonReply("01QL").c_str(),
                          "%31s WL:%d WH:%d WT:%31s WN:%d DR:%d GI:%d DG:%d MD:%c%c", word, &wl,
                          &wh, ramp, &wn, &dr, &gi, &dg, &m1, &m2),
              10);
    EXPECT_STREQ(ramp, "250");
    EXPECT_EQ(m2, 'N');
}

TEST(Trilo, ParameterBlockOfTheFirstGeneration) {
    LineFixture f("01 TRILO type=0x0100\n");
    PtyClient c(f.port(), 9600);
    c.xon("01GS,WL20,WT100,GI77,WH1500,WL120,WT350");
    char word[32];
    char letter = 0;
    int wl = 0, wh = 0, wt = 0, ignored = 0, gi = 0, i2 = 0, i3 = 0;
    ASSERT_EQ(std::sscanf(c.xonReply("01RL").c_str(), "%31s %d %d %d %c %d %d %d %d", word, &wl,
                          &wh, &wt, &letter, &ignored, &gi, &i2, &i3),
              9);
    EXPECT_EQ(wl, 120);
    EXPECT_EQ(wh, 1500);
    EXPECT_EQ(wt, 350);
    EXPECT_EQ(gi, 77);
}

TEST(Trilo, RefusedValuesAreNotExecutedAndReported) {
    LineFixture f("01 TRILO type=0x0205\n");
    PtyClient c(f.port(), 9600);
    for (const char* bad : {"01WL0", "01GI999", "01WTx", "01MSQ", "01GA far"}) {
        EXPECT_EQ(hex(c.xon(bad)), hex(Bytes{ACK, CAN, SUB})) << bad;
        EXPECT_EQ(c.xonReply("01QX"), "01X 11") << bad;
    }
}

TEST(Trilo, SpecificModesWrittenAndReadBack) {
    LineFixture f("01 TRILO type=0x0403\n");
    PtyClient c(f.port(), 9600);
    c.xon("01GS,DG12,SD3,MB H,GL 0F:F0 +A,GP 10:-20 MP");
    unsigned v = 0;
    char word[32];
    ASSERT_EQ(std::sscanf(c.xonReply("01QM C6 84").c_str(), "%31s %X", word, &v), 2);
    EXPECT_EQ(v, 3U); // power-on function
    ASSERT_EQ(std::sscanf(c.xonReply("01QM C1 94").c_str(), "%31s %X", word, &v), 2);
    EXPECT_NE(v, 1U); // automatic outputs in use

    char md[16], sensors[16], rev = 0;
    int wl, wh, wn, dr, gi, dg = -1;
    char ramp[16];
    ASSERT_EQ(std::sscanf(c.xonReply("01QL").c_str(),
                          "%31s WL:%d WH:%d WT:%15s WN:%d DR:%d GI:%d DG:%d %15s %15s %c", word,
                          &wl, &wh, ramp, &wn, &dr, &gi, &dg, md, sensors, &rev),
              11);
    EXPECT_EQ(dg, 12);
    EXPECT_STREQ(sensors, "MB");
    EXPECT_EQ(rev, 'H');

    char w2[32], w3[32], w4[32], w5[32];
    const std::string qc = c.xonReply("01QC");
    ASSERT_EQ(std::sscanf(qc.c_str(), "%31s %31s %31s %31s %31s", word, w2, w3, w4, w5), 5) << qc;
    unsigned values = 0, used = 0;
    int set = 0, reset = 0;
    ASSERT_EQ(std::sscanf(w2, "GL:%X:%X", &values, &used), 2);
    ASSERT_EQ(std::sscanf(w4, "GP:%d:%d", &set, &reset), 2);
    EXPECT_EQ(values, 0x0FU);
    EXPECT_EQ(used, 0xF0U);
    EXPECT_STREQ(w3, "+A");
    EXPECT_EQ(set, 10);
    EXPECT_EQ(reset, -20);
    EXPECT_STREQ(w5, "MP");

    // Everything off again: the automatic output reads as unused.
    c.xon("01GS,SR,MN L,GP A");
    ASSERT_EQ(
        std::sscanf(c.xonReply("01QC").c_str(), "%31s %31s %31s %31s %31s", word, w2, w3, w4, w5),
        5);
    ASSERT_EQ(std::sscanf(w2, "GL:%X:%X", &values, &used), 2);
    ASSERT_EQ(std::sscanf(w4, "GP:%d:%d", &set, &reset), 2);
    EXPECT_EQ(values + used * 65536U * 256U, 0xFF000000U);
    EXPECT_EQ(set + reset, 0);
    EXPECT_EQ(w3[0], 'R');
    ASSERT_EQ(std::sscanf(c.xonReply("01QM C6 84").c_str(), "%31s %X", word, &v), 2);
    EXPECT_EQ(v, 0U);
    ASSERT_EQ(std::sscanf(c.xonReply("01QL").c_str(),
                          "%31s WL:%d WH:%d WT:%15s WN:%d DR:%d GI:%d DG:%d %15s %15s %c", word,
                          &wl, &wh, ramp, &wn, &dr, &gi, &dg, md, sensors, &rev),
              11);
    EXPECT_STREQ(sensors, "MN");
    EXPECT_EQ(rev, 'L');
    // Without the end-sensor part the input sense follows the power-on function.
    c.xon("01GS,DG4,SD2 H");
    ASSERT_EQ(std::sscanf(c.xonReply("01QL").c_str(),
                          "%31s WL:%d WH:%d WT:%15s WN:%d DR:%d GI:%d DG:%d %15s %15s %c", word,
                          &wl, &wh, ramp, &wn, &dr, &gi, &dg, md, sensors, &rev),
              11);
    EXPECT_EQ(rev, 'H');
    EXPECT_EQ(dg, 4);
}

TEST(Trilo, FirstGenerationEndSensorCell) {
    LineFixture f("01 TRILO type=0x0100\n");
    PtyClient c(f.port(), 9600);
    char word[32];
    unsigned v = 0;
    c.xon("01MB");
    ASSERT_EQ(std::sscanf(c.xonReply("01RM 21 FF").c_str(), "%31s %X", word, &v), 2);
    EXPECT_NE(v & 0x20U, 0U);
    c.xon("01MN");
    ASSERT_EQ(std::sscanf(c.xonReply("01RM 21 FF").c_str(), "%31s %X", word, &v), 2);
    EXPECT_EQ(v & 0x20U, 0U);
}

TEST(Trilo, NumberedVariablesAndCurrentFactor) {
    LineFixture f("01 TRILO type=0x0405 current=3.5\n");
    PtyClient c(f.port(), 9600);
    c.xon("01PD  #05:-123 ");
    char name[32];
    int value = 0;
    ASSERT_EQ(std::sscanf(c.xonReply("01QN#05").c_str(), "%31[^:]:%d", name, &value), 2);
    EXPECT_EQ(value, -123);
    ASSERT_EQ(std::sscanf(c.xonReply("01QN#06").c_str(), "%31[^:]:%d", name, &value), 2);
    EXPECT_EQ(value, 0);

    char a[32], b[32], c1[32];
    float factor = -2.0F;
    ASSERT_EQ(std::sscanf(c.xonReply("01QE").c_str(), "%31[^_]_%31[^_]", a, b), 2);
    ASSERT_EQ(std::sscanf(b, "%31[^-]-%f", c1, &factor), 2);
    EXPECT_FLOAT_EQ(factor, 3.5F);
}

TEST(MicroTrilo, StatusVariablesAreReportedInverted) {
    LineFixture f("07 MICROTRILO type=0x1002 inputs=FF\n");
    PtyClient c(f.port(), 9600);
    c.xon("07PO #CPA := 250");
    c.xon("07PO #OUT := hF0");
    c.xon("07PO #TEMP := 41");
    const std::string r = c.xonReply("07QR #CPA #IN #OUT #_STATUS #_ERR #_SNSP #TEMP");
    int address = -1, cpa = 0, in = 0, out = 0, status = 0, err = -1, snsp = -1, temp = 0;
    ASSERT_EQ(std::sscanf(r.c_str(),
                          "%02d#CPA=%d #IN=%d #OUT=%d #_STATUS=%d #_ERR=%d #_SNSP=%d #TEMP=%d",
                          &address, &cpa, &in, &out, &status, &err, &snsp, &temp),
              8)
        << r;
    EXPECT_EQ(address, 7);
    EXPECT_EQ(cpa, 250);
    EXPECT_EQ(255 - in, 0xFF);        // all eight inputs active
    EXPECT_EQ(255 - out, 0x0F);       // the outputs written as 0xF0 (active low)
    EXPECT_NE(status & (1 << 24), 0); // powered
    EXPECT_EQ(err, 0);
    EXPECT_EQ(temp, 41);
    c.xon("07PO #CPA := 0");
    EXPECT_EQ(c.xonReply("07QR #CPA"), "07#CPA=0");
    // Unknown or read-only variables are refused.
    EXPECT_EQ(hex(c.xon("07PO #NOPE := 1")), hex(Bytes{ACK, CAN, SUB}));
    EXPECT_EQ(hex(c.xon("07PO #IN := 1")), hex(Bytes{ACK, CAN, SUB}));
}

struct DvrxStatus {
    int address = -1, pos = 0, inp = 0, sta = 0, out = 0, lin = 0, err = 0, extra = 0;
};

TEST(Dvrx, StatusMotionAndVariables) {
    LineFixture f("03 DVRX type=0x6020 inputs=03\n");
    PtyClient c(f.port(), 9600);
    c.xon("03#OUTPUT:=5");
    c.xon("03#PROFILE_SPEED:=5"); // read-only: refused
    c.xon("03#LOW_SPEED:=3000,#HIGH_SPEED:=90000,#ACCEL_TIME:=100,#DECEL_TIME:=150");
    c.xon("03MOVE_TO 300");
    auto status = [&](const std::string& r) {
        DvrxStatus s;
        const int n =
            std::sscanf(r.c_str(), "%02d#POS=%d,#INP=%d,#STA=%d,#OUT=%d,#LIN=%d,#ERR=%d,#PSP=%d",
                        &s.address, &s.pos, &s.inp, &s.sta, &s.out, &s.lin, &s.err, &s.extra);
        EXPECT_EQ(n, 8) << r;
        return s;
    };
    const char* read = "03REA #POS,REA #INP,REA #STA,REA #OUT,REA #LIN,REA #ERR,REA #PROFILE_SPEED";
    const DvrxStatus s =
        status(waitFor(c, read, [&](const std::string& r) { return status(r).pos == 300; }));
    EXPECT_EQ(s.address, 3);
    EXPECT_EQ(s.inp, 3);
    EXPECT_EQ(s.out, 5);
    EXPECT_NE(s.sta & (1 << 24), 0);
    EXPECT_EQ(s.sta & (1 << 1), 0); // standing

    const std::string m =
        c.xonReply("03REA #STA,REA #NEN,REA #PEN,REA #TRA,REA #LSP,REA #HSP,REA #ATI,REA #DTI");
    int a, sta, nen, pen, tra, lsp = 0, hsp = 0, ati = 0, dti = 0;
    ASSERT_EQ(std::sscanf(m.c_str(),
                          "%02d#STA=%d,#NEN=%d,#PEN=%d,#TRA=%d,#LSP=%d,#HSP=%d,#ATI=%d,#DTI=%d", &a,
                          &sta, &nen, &pen, &tra, &lsp, &hsp, &ati, &dti),
              9)
        << m;
    EXPECT_EQ(lsp, 3000);
    EXPECT_EQ(hsp, 90000);
    EXPECT_EQ(ati, 100);
    EXPECT_EQ(dti, 150);

    c.xon("03#TORQUE_RATIO:=55,OPTIMIZED_CURRENT ON");
    c.xon("03HARD_ENDS ON,SOFT_ENDS ON,#POSITIVE_END:=500,#NEGATIVE_END:=-500");
    ASSERT_EQ(std::sscanf(c.xonReply("03REA #STA,REA #TRA").c_str(), "%02d#STA=%d,#TRA=%d", &a,
                          &sta, &tra),
              3);
    EXPECT_EQ(tra, 55);
    EXPECT_NE(sta & (1 << 3), 0); // optimized current
    EXPECT_NE(sta & (1 << 5), 0); // hard ends
    EXPECT_NE(sta & (1 << 6), 0); // soft ends
    // The soft ends hold a move inside them.
    c.xon("03MOVE_ON 100000");
    waitFor(c, "03REA #POS", [](const std::string& r) { return r == "03#POS=500"; });

    // Error report and its clearing, in the family's own commands.
    EXPECT_EQ(hex(c.xon("03UNE ERREUR")), hex(Bytes{NAK, XOFF, SUB}));
    EXPECT_EQ(c.xonReply("03REA H#ERR"), "03#ERR=h10");
    c.xon("03#ERR := 0");
    EXPECT_EQ(c.xonReply("03REA H#ERR"), "03#ERR=h0");
    // An output toggled by its bit, in hexadecimal.
    c.xon("03#OUTPUT:=h7");
    EXPECT_EQ(c.xonReply("03REA #OUT"), "03#OUT=7");
}

TEST(Vrx17, SubReadsAndShortNameWrites) {
    LineFixture f("02 VRX17 type=0x5000\n");
    PtyClient c(f.port(), 9600);
    c.xon("02#LSP:=0 , #HSP:=45000 , #RTI:=250 , #LSP:=1500");
    c.xon("02#TRA:=60 , #LTO:= 20 , SMO ON");
    c.xon("02HEN ALL , SEN ON , #PEN:=1000 , #NEN:=-1000");
    c.xon("02#POSITION:=-77");
    char word[32];
    int v = 0, a = 0;
    ASSERT_EQ(std::sscanf(c.xonReply("02REA #POS").c_str(), "%31s %d", word, &v), 2);
    EXPECT_EQ(v, -77);
    ASSERT_EQ(std::sscanf(c.xonReply("02READ #POS").c_str(), "%31s %d", word, &v), 2);
    EXPECT_EQ(v, -77);
    // Each reply has the form the tool reads with "%02d#HSP=%d" and the like.
    struct Read {
        const char* command;
        const char* name;
        int expected;
    };
    for (const Read& r : {Read{"02REA #HSP", "HSP", 45000}, Read{"02REA #LSP", "LSP", 1500},
                          Read{"02REA #RTI", "RTI", 250}, Read{"02REA #TRA", "TRA", 60},
                          Read{"02REA #LTO", "LTO", 20}, Read{"02REA #PEN", "PEN", 1000},
                          Read{"02REA #NEN", "NEN", -1000}}) {
        const std::string reply = c.xonReply(r.command);
        char label[16] = {};
        ASSERT_EQ(std::sscanf(reply.c_str(), "%02d#%15[^=]=%d", &a, label, &v), 3) << reply;
        EXPECT_STREQ(label, r.name);
        EXPECT_EQ(v, r.expected) << r.command;
    }
    int sta = 0;
    ASSERT_EQ(std::sscanf(c.xonReply("02REA #STA").c_str(), "%02d#STA=%d", &a, &sta), 2);
    EXPECT_NE(sta & 1, 0);        // standby mode
    EXPECT_NE(sta & (1 << 5), 0); // hard ends
    EXPECT_NE(sta & (1 << 6), 0); // soft ends
    char name[32];
    ASSERT_EQ(std::sscanf(c.xonReply("02REA #SUPPLY_VOLTAGE").c_str(), "%31[^=]=%d", name, &v), 2);
    EXPECT_EQ(v, 24000);
}

TEST(TextFamilies, AddressAndSpeedChangesTakeEffectAfterTheAnswer) {
    LineFixture f("03 DVRX\n04 VRX17\n");
    PtyClient c(f.port(), 9600);
    // The new address 12 answering is the marker that ends each wait for silence.
    const Bytes marker = kvFrame("12REA #POS");
    const Bytes markerAnswer = Bytes{ACK, XOFF} + kvFrame("12#POS=0") + Bytes{SUB};
    EXPECT_EQ(hex(c.xon("03SET_ADDRESS 12")), hex(Bytes{ACK, XOFF, SUB}));
    EXPECT_EQ(hex(c.answerBefore(kvFrame("03REA #POS"), marker, markerAnswer)), "");
    EXPECT_EQ(c.xonReply("12REA #POS"), "12#POS=0");
    EXPECT_EQ(hex(c.xon("04SET_BAUDRATE 38400")), hex(Bytes{ACK, XOFF, SUB}));
    EXPECT_EQ(hex(c.answerBefore(kvFrame("04REA #POS"), marker, markerAnswer)), "");
    c.setBaud(38400);
    EXPECT_EQ(c.xonReply("04REA #POS"), "04#POS= 0");
    // Settings the family cannot take are refused and change nothing.
    EXPECT_EQ(hex(c.xon("04SET_BAUDRATE 4800")), hex(Bytes{ACK, CAN, SUB}));
    EXPECT_EQ(hex(c.xon("04SET_PROTOCOL ACK-NAK")), hex(Bytes{ACK, CAN, SUB}));
    EXPECT_EQ(hex(c.xon("04SET_PROTOCOL XON-XOFF")), hex(Bytes{ACK, XOFF, SUB}));
    EXPECT_EQ(f.line().module(4)->setup.baud, 38400);
    EXPECT_EQ(f.line().module(12)->setup.family, kvsim::Family::Dvrx);
}

} // namespace
} // namespace simtest
