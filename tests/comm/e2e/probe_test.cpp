// The line probes of the scan (requests 0xc000-0xc002) on their own line.
#include "comm_fixture.h"
#include "requests.h"
#include "wire_log.h"

namespace commtest {
namespace {

using namespace tkv;

class Probes : public CommLine {
  protected:
    void start(const char* lineText) {
        line = std::make_unique<kvsim::VirtualLine>(kvsim::parseLineText(lineText, "probes"));
        line->start(portsDir(), kCom);
        bindDriver();
    }
    static TagProbe probe(const char* target, const char* port, const char* baud,
                          const char* protocol, int32_t address, bool open, bool close) {
        TagProbe p;
        text::copy(p.target, target);
        text::copy(p.port, port);
        text::copy(p.baud, baud);
        text::copy(p.protocol, protocol);
        p.address = address;
        p.openFirst = open ? 1 : 0;
        p.closeAfter = close ? 1 : 0;
        return p;
    }
    bool noted(const std::string& text) {
        const auto notes = shell.notesOf(kNoteDiagnostic);
        return std::find(notes.begin(), notes.end(), text) != notes.end();
    }
};

TEST_F(Probes, AskOpensSelectsAndReadsTheIdentity) {
    start("03 TRILO type=0x0205\n");
    TagProbe p = probe("TRILO", kPort, "9600", "XON-XOFF", 3, true, false);
    ASSERT_TRUE(comm->request(req::kProbeAsk, 0, &p));
    EXPECT_EQ(p.step, kProbeAnswered);
    EXPECT_TRUE(text::startsWith(p.result, "03V ")) << p.result;
    EXPECT_EQ(text::view(p.lastTarget), "TRILO");
    EXPECT_TRUE(noted("03RV-->" + std::string(text::view(p.result))));

    // Same line, no module at 5: a silent address posts nothing.
    shell.clear();
    p.address = 5;
    p.openFirst = 0;
    EXPECT_FALSE(comm->request(req::kProbeAsk, 0, &p));
    EXPECT_EQ(p.step, kProbeAsking);
    EXPECT_EQ(text::view(p.result), "05RV-->:=3002  (07)");
    EXPECT_TRUE(shell.notesOf(kNoteDiagnostic).empty());
    // At address 0 the same failure is posted.
    p.address = 0;
    EXPECT_FALSE(comm->request(req::kProbeAsk, 0, &p));
    EXPECT_TRUE(noted("00RV-->:=3002  (07)"));

    // Another target is selected before asking, and kept.
    text::copy(p.target, "DVRX");
    p.address = 3;
    p.closeAfter = 1;
    EXPECT_TRUE(comm->request(req::kProbeAsk, 0, &p)) << p.result;
    EXPECT_EQ(text::view(p.lastTarget), "DVRX");
    // Closed after: a new probe may open the port again.
    TagProbe again = probe("TRILO", kPort, "9600", "XON-XOFF", 3, true, true);
    EXPECT_TRUE(comm->probeAsk(again));
    EXPECT_EQ(commandsOf(line->log()),
              std::vector<std::string>({"03RV", "05RV", "00RV", "03RV", "03RV"}));
}

TEST_F(Probes, AskFailuresTellTheirStep) {
    start("03 TRILO type=0x0205\n");
    TagProbe noPort = probe("TRILO", "COM9", "9600", "XON-XOFF", 3, true, true);
    EXPECT_FALSE(comm->probeAsk(noPort));
    EXPECT_EQ(noPort.step, kProbeInitialising) << "COM9 opens as a line but has no device";
    EXPECT_TRUE(noted("echec init := 1001 baud := 9600  protocole= XON-XOFF"));

    TagProbe badBaud = probe("TRILO", kPort, "1234", "XON-XOFF", 3, true, true);
    EXPECT_FALSE(comm->probeAsk(badBaud));
    EXPECT_EQ(badBaud.step, kProbeInitialising);
    EXPECT_TRUE(noted("echec init := 8004 baud := 1234  protocole= XON-XOFF"));

    TagProbe badTarget = probe("FOO", kPort, "9600", "XON-XOFF", 3, true, true);
    EXPECT_FALSE(comm->probeAsk(badTarget));
    EXPECT_EQ(badTarget.step, kProbeSelectingTarget);
    EXPECT_TRUE(noted("echec dial := 8023 target=FOO"));

    TagProbe badName = probe("TRILO", "COM0", "9600", "XON-XOFF", 3, true, true);
    EXPECT_FALSE(comm->probeAsk(badName));
    EXPECT_EQ(badName.step, kProbeOpening);
    EXPECT_TRUE(noted("echec open pour COM0 = 00"));

    // None of them left the port taken.
    TagProbe good = probe("TRILO", kPort, "9600", "XON-XOFF", 3, true, true);
    EXPECT_TRUE(comm->probeAsk(good)) << good.result;
}

TEST_F(Probes, AskInConsoleModeStopsTheModuleFirst) {
    start("03 TRILO type=0x0205 protocol=console\n");
    TagProbe p = probe("TRILO", kPort, "9600", "CONSOLE", 3, true, true);
    ASSERT_TRUE(comm->probeAsk(p)) << p.result;
    EXPECT_EQ(p.step, kProbeAnswered);
    EXPECT_TRUE(text::startsWith(p.result, "03V ")) << p.result;
    std::string wire;
    for (const kvsim::LogEntry& e : line->log()) {
        if (e.direction == kvsim::Direction::ToModules) {
            wire += static_cast<char>(e.byte);
        }
    }
    EXPECT_LT(wire.find("03GS"), wire.find("03RV")) << wire;
}

TEST_F(Probes, ResetAndSendAsItStands) {
    start("03 TRILO type=0x0205\n");
    TagProbe r = probe("TRILO", kPort, "9600", "XON-XOFF", 3, true, false);
    EXPECT_TRUE(comm->request(req::kProbeReset, 0, &r));
    TagProbe s = probe("TRILO", kPort, "9600", "XON-XOFF", 3, false, true);
    text::copy(s.result, "03QD");
    EXPECT_TRUE(comm->request(req::kProbeSend, 0, &s));
    EXPECT_EQ(s.step, 0);
    EXPECT_TRUE(text::startsWith(s.result, "03D ")) << s.result;
    EXPECT_TRUE(noted("cr = 0"));

    TagProbe t = probe("TRILO", kPort, "9600", "XON-XOFF", 3, true, true);
    text::copy(t.result, "08QD");
    EXPECT_FALSE(comm->probeSend(t));
    EXPECT_EQ(t.step, kStatusReceiveTimeout);
    EXPECT_TRUE(noted("9600 XON-XOFF TRILO"));
    EXPECT_TRUE(noted("cr = 3002"));
    EXPECT_EQ(commandsOf(line->log()), std::vector<std::string>({"03MR", "03GS", "03QD", "08QD"}));
}

} // namespace
} // namespace commtest
