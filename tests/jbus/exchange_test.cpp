// One JBUS line over a scripted port: answers turned into replies, the 485 echo,
// retries, reception bounds, the settings block and the log.
#include "base/driver_state.h"
#include "jbus/jbus_line.h"
#include "line_table/set_up.h"
#include "linkor.h"
#include "linkor_status.h"
#include "scripted_port.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace linkor::jbus {
namespace {

using test::Bytes;
using test::ScriptedPort;
using test::withCrc;

const Bytes kRead100 = {0x01, 0x03, 0x00, 0x64, 0x00, 0x01, 0xC5, 0xD5};
const Bytes kAnswer2A = {0x01, 0x03, 0x02, 0x00, 0x2A, 0x39, 0x9B};

class JbusLine : public testing::Test {
  protected:
    void SetUp() override { open(kProtocol232); }

    void open(int protocol) {
        auto port = std::make_unique<ScriptedPort>();
        m_port = port.get();
        m_line = std::make_unique<TJbus>("COM5", std::move(port));
        ASSERT_EQ(m_line->initialise(9600, protocol), LINKOR_OK);
    }

    /// Runs a command; the reply buffer is exactly the 256 bytes callers provide.
    int32_t run(const std::string& command) {
        m_reply.assign(256, '\x55');
        return m_line->dialogue(command.c_str(), m_reply.data());
    }
    std::string reply() const { return m_reply.data(); }

    /// The slave answers every request with the same bytes.
    void answerWith(const Bytes& answer) {
        m_port->slave = [answer](const Bytes&) { return answer; };
    }

    ScriptedPort* m_port = nullptr;
    std::unique_ptr<TJbus> m_line;
    std::vector<char> m_reply;
};

TEST_F(JbusLine, OpensThePortForBinaryFramesWithItsOwnTimeOuts) {
    EXPECT_EQ(m_port->lastSettings.baud, 9600);
    EXPECT_TRUE(m_port->lastSettings.rtsDisabled);
    EXPECT_EQ(m_port->lastSettings.writePerByteMs, 10);
    EXPECT_EQ(m_port->lastSettings.writeConstantMs, 1000);
    EXPECT_FALSE(m_port->lastSettings.reportBreaks);
}

TEST_F(JbusLine, SendsTheRequestBetweenRtsRaisedAndLowered) {
    answerWith(kAnswer2A);
    ASSERT_EQ(run("1R100"), LINKOR_OK);
    ASSERT_EQ(m_port->requests.size(), 1u);
    EXPECT_EQ(m_port->requests[0], kRead100);
    EXPECT_EQ(m_port->rtsChanges, (std::vector<bool>{true, false}));
    EXPECT_GE(m_port->purges, 1);
    for (const auto timeout : m_port->readTimeouts) {
        EXPECT_EQ(timeout, std::chrono::milliseconds(100));
    }
}

struct AnswerCase {
    const char* command;
    Bytes answer;
    const char* reply;
    int32_t status;
};

void PrintTo(const AnswerCase& c, std::ostream* os) {
    *os << '"' << c.command << "\" answered with " << c.answer.size() << " bytes";
}

class AnswerConversion : public JbusLine, public testing::WithParamInterface<AnswerCase> {};

TEST_P(AnswerConversion, GivesTheReplyAndStatus) {
    const AnswerCase& c = GetParam();
    answerWith(c.answer);
    EXPECT_EQ(run(c.command), c.status) << c.command;
    EXPECT_EQ(reply(), c.reply) << c.command;
}

INSTANTIATE_TEST_SUITE_P(
    Answers, AnswerConversion,
    testing::Values(
        AnswerCase{"1R100", kAnswer2A, "1R,002A", LINKOR_OK},
        AnswerCase{
            "1W100,002A", {0x01, 0x10, 0x00, 0x64, 0x00, 0x01, 0x40, 0x16}, "1W100", LINKOR_OK},
        // An exception answer, or any function but read and write.
        AnswerCase{"1R100", {0x01, 0x83, 0x02, 0xC0, 0xF1}, "1X", LINKOR_OK},
        AnswerCase{
            "1R64,2", {0x01, 0x03, 0x04, 0x48, 0x49, 0x21, 0x20, 0x25, 0xCD}, "1R,HI! ", LINKOR_OK},
        AnswerCase{"3R0",
                   {0x03, 0x03, 0x04, 0x12, 0x34, 0xAB, 0xCD, 0x23, 0xE0},
                   "3R,1234ABCD",
                   LINKOR_OK},
        // A read answer whose byte count is not that of the registers asked is none.
        AnswerCase{"1R100", withCrc({0x01, 0x03, 0x00}), "", LINKOR_REPLY_LENGTH},
        AnswerCase{"1R100", withCrc({0x01, 0x03, 0x04, 0x00, 0x2A, 0x00, 0x2B}), "",
                   LINKOR_REPLY_LENGTH},
        AnswerCase{"3R0", withCrc({0x03, 0x03, 0x02, 0x12, 0x34}), "", LINKOR_REPLY_LENGTH},
        // The right count, but the bytes it announces never came.
        AnswerCase{"1R100", {0x01, 0x03, 0x02, 0x00, 0x39}, "", LINKOR_REPLY_LENGTH},
        // A CRC failure is told in the text only.
        AnswerCase{
            "1R100", {0x01, 0x03, 0x02, 0x00, 0x2A, 0x39, 0x9C}, "010302002A399CXXXX", LINKOR_OK},
        // Raw requests get the answer as hexadecimal text, marked only when it is bad.
        AnswerCase{"010300640001", kAnswer2A, "010302002A399B", LINKOR_OK},
        AnswerCase{"010300640001",
                   {0x01, 0x03, 0x02, 0x00, 0x2A, 0x00, 0x00},
                   "010302002A0000XXXX",
                   LINKOR_OK},
        // Bytes before the slave address are dropped.
        AnswerCase{"1R100",
                   {0xFF, 0x00, 0x7E, 0x01, 0x03, 0x02, 0x00, 0x2A, 0x39, 0x9B},
                   "1R,002A",
                   LINKOR_OK},
        // Fewer than four bytes, or silence: no answer.
        AnswerCase{"1R100", {0x01, 0x03, 0x02}, "", LINKOR_RECEIVE_TIMEOUT},
        AnswerCase{"1R100", {}, "", LINKOR_RECEIVE_TIMEOUT},
        // Nothing but bytes of other slaves.
        AnswerCase{
            "1R100", {0x02, 0x03, 0x02, 0x00, 0x2A, 0x7D, 0x9B}, "", LINKOR_RECEIVE_TIMEOUT}));

TEST_F(JbusLine, ReadFailureAfterAnAnswerBeganGivesNoAnswer) {
    answerWith(kAnswer2A);
    m_port->failReadAfter = 5;
    EXPECT_EQ(run("1R100"), LINKOR_RECEIVE_FAILED);
    EXPECT_EQ(reply(), "");
    // Fewer than four bytes before the failure: the answer is missing rather than bad.
    m_port->failReadAfter = 2;
    EXPECT_EQ(run("1R100"), LINKOR_RECEIVE_TIMEOUT);
}

TEST_F(JbusLine, RetriesOnlyWhileNoAnswerWasStored) {
    struct Case {
        const char* command;
        Bytes answer;
        size_t sent;
        int32_t status;
    };
    const Case cases[] = {
        {"/REPETE 1/1R100", {0x01, 0x03, 0x02}, 2, LINKOR_RECEIVE_TIMEOUT},
        {"/REPETE 2/1R100", {}, 3, LINKOR_RECEIVE_TIMEOUT},
        {"/REPETE 0/1R100", {}, 1, LINKOR_RECEIVE_TIMEOUT},
        {"/REPETE 2/1R100", kAnswer2A, 1, LINKOR_OK},
        // A bad CRC is an answer: no retry.
        {"/REPETE 2/1R100", {0x01, 0x03, 0x02, 0x00, 0x2A, 0x39, 0x9C}, 1, LINKOR_OK},
    };
    for (const Case& c : cases) {
        open(kProtocol232);
        answerWith(c.answer);
        EXPECT_EQ(run(c.command), c.status) << c.command;
        EXPECT_EQ(m_port->requests.size(), c.sent) << c.command;
        for (const Bytes& request : m_port->requests) {
            EXPECT_EQ(request, kRead100);
        }
    }
}

TEST_F(JbusLine, RetryAfterSilenceGetsTheLateAnswer) {
    int calls = 0;
    m_port->slave = [&calls](const Bytes&) { return ++calls < 3 ? Bytes{} : kAnswer2A; };
    ASSERT_EQ(run("/REPETE 5/1R100"), LINKOR_OK);
    EXPECT_EQ(reply(), "1R,002A");
    EXPECT_EQ(m_port->requests.size(), 3u);
    // The retries setting stays for later commands.
    calls = 0;
    m_port->requests.clear();
    ASSERT_EQ(run("1R100"), LINKOR_OK);
    EXPECT_EQ(m_port->requests.size(), 3u);
}

TEST_F(JbusLine, SendFailuresAreReportedAndRetried) {
    answerWith(kAnswer2A);
    m_port->failWrite = true;
    EXPECT_EQ(run("/REPETE 1/1R100"), LINKOR_SEND_FAILED);
    m_port->failWrite = false;
    m_port->shortWrite = true;
    EXPECT_EQ(run("1R100"), LINKOR_SEND_SHORT);
    // RTS is lowered after every attempt, failed or not.
    ASSERT_FALSE(m_port->rtsChanges.empty());
    EXPECT_FALSE(m_port->rtsChanges.back());
    EXPECT_EQ(std::count(m_port->rtsChanges.begin(), m_port->rtsChanges.end(), true),
              std::count(m_port->rtsChanges.begin(), m_port->rtsChanges.end(), false));
}

TEST_F(JbusLine, AnswersLongerThanTwoHundredBytesAreCutThere) {
    // A slave that runs on: the answer begins well but goes on for 300 bytes.
    Bytes endless = kAnswer2A;
    endless.resize(300, 0x01);
    answerWith(endless);
    EXPECT_EQ(run("1R100"), LINKOR_OK);
    // 200 bytes stored: the CRC fails, 100 of them are shown, then the mark.
    EXPECT_EQ(reply().size(), 204u);
    EXPECT_EQ(reply().substr(0, 14), "010302002A399B");
    EXPECT_EQ(reply().substr(200), "XXXX");
    EXPECT_EQ(m_port->bytesRead, 200u);
    EXPECT_EQ(m_port->unread(), 100u);
}

TEST_F(JbusLine, ALineThatNeverFallsSilentStillEndsTheReception) {
    m_port->endlessNoise = 0xEE;
    EXPECT_EQ(run("1R100"), LINKOR_RECEIVE_TIMEOUT);
    EXPECT_LE(m_port->bytesRead, 200u);
    m_port->bytesRead = 0;
    m_port->endlessNoise = 0x01; // the slave's own address, forever
    EXPECT_EQ(run("1R100"), LINKOR_OK);
    EXPECT_EQ(m_port->bytesRead, 200u);
    std::string expected;
    for (int i = 0; i < 100; ++i) {
        expected += "01";
    }
    EXPECT_EQ(reply(), expected + "XXXX");
}

TEST_F(JbusLine, ManyRegistersNeverOverrunTheReplyBuffer) {
    Bytes answer = {0x01, 0x03, 194};
    for (int i = 0; i < 194; ++i) {
        answer.push_back(static_cast<uint8_t>(i));
    }
    answerWith(withCrc(answer));
    // The reply buffer here is a heap block of exactly 256 bytes: the sanitizer sees
    // any write past it. 97 registers for the one asked are no answer to it, and the
    // raw request shows what came, bounded.
    EXPECT_EQ(run("1R100"), LINKOR_REPLY_LENGTH);
    EXPECT_EQ(reply(), "");
    ASSERT_EQ(run("010300640061"), LINKOR_OK);
    const std::string text = reply();
    EXPECT_LE(text.size(), 255u);
    EXPECT_EQ(text.substr(0, 10), "0103C20001");
}

TEST_F(JbusLine, TextAnswersAreBoundedToo) {
    Bytes answer = {0x01, 0x03, 194};
    answer.resize(3 + 194, 'A');
    answerWith(withCrc(answer));
    ASSERT_EQ(run("1R300,97"), LINKOR_OK);
    EXPECT_EQ(reply(), "1R," + std::string(194, 'A'));
}

TEST_F(JbusLine, WithoutAReplyBufferTheAnswerIsNotConverted) {
    answerWith({0x01, 0x03, 0x02, 0x00, 0x2A, 0x39, 0x9C});
    EXPECT_EQ(m_line->dialogue("1R100", nullptr), LINKOR_OK);
    EXPECT_EQ(m_port->requests.size(), 1u);
}

class Rs485Line : public JbusLine {
  protected:
    void SetUp() override { open(kProtocol485); }
};

TEST_F(Rs485Line, DropsItsOwnEcho) {
    m_port->echoBytes = 100;
    answerWith(kAnswer2A);
    ASSERT_EQ(run("1R100"), LINKOR_OK);
    EXPECT_EQ(reply(), "1R,002A");
}

TEST_F(Rs485Line, ShortOrMissingEchoEndsTheAttempt) {
    struct Case {
        std::optional<size_t> echo;
        std::optional<size_t> failAfter;
        int32_t status;
        size_t reads;
    };
    // Reads: the echo bytes that came, then the one that failed or timed out; no read
    // of an answer follows.
    const Case cases[] = {{3, {}, LINKOR_SEND_SHORT, 4},
                          {{}, {}, LINKOR_SEND_SHORT, 1},
                          {8, 2, LINKOR_SEND_FAILED, 3}};
    for (const Case& c : cases) {
        open(kProtocol485);
        m_port->echoBytes = c.echo;
        m_port->failReadAfter = c.failAfter;
        EXPECT_EQ(run("1R100"), c.status);
        EXPECT_EQ(reply(), "");
        EXPECT_EQ(m_port->readTimeouts.size(), c.reads);
    }
}

TEST_F(JbusLine, A232LineThatEchoesGivesBackTheRequestWhichIsNoAnswer) {
    struct Case {
        const char* command;
        Bytes answer; ///< the slave's; empty for none
        int32_t status;
        const char* reply;
    };
    // Without the check, the echo of a read to an absent slave was a module at a scan.
    const Case cases[] = {
        {"1R100", {}, LINKOR_RECEIVE_TIMEOUT, ""},
        {"1R100", kAnswer2A, LINKOR_OK, "1R,002A"},
        {"1W100,002A", {0x01, 0x10, 0x00, 0x64, 0x00, 0x01, 0x40, 0x16}, LINKOR_OK, "1W100"},
        {"1W100,002A", {}, LINKOR_RECEIVE_TIMEOUT, ""},
        // A raw request's echo is dropped as well: what is left is the slave's.
        {"010300640001", kAnswer2A, LINKOR_OK, "010302002A399B"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        open(kProtocol232);
        m_port->echoBytes = 300;
        if (!c.answer.empty()) {
            answerWith(c.answer);
        }
        EXPECT_EQ(run(c.command), c.status);
        EXPECT_EQ(reply(), c.reply);
    }
    // Without a reply buffer the echo is still no answer.
    open(kProtocol232);
    m_port->echoBytes = 300;
    EXPECT_EQ(m_line->dialogue("1R100", nullptr), LINKOR_RECEIVE_TIMEOUT);
}

struct BlockCase {
    const char* command;
    int32_t status;
    size_t sent;
};

void PrintTo(const BlockCase& c, std::ostream* os) {
    *os << '"' << c.command << '"';
}

class SettingsBlock : public JbusLine, public testing::WithParamInterface<BlockCase> {};

TEST_P(SettingsBlock, IsAppliedBeforeTheCommand) {
    const BlockCase& c = GetParam();
    answerWith(kAnswer2A);
    EXPECT_EQ(run(c.command), c.status) << c.command;
    EXPECT_EQ(m_port->requests.size(), c.sent) << c.command;
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, SettingsBlock,
    testing::Values(BlockCase{"/REPETE 2/1R100", LINKOR_OK, 1},
                    BlockCase{"/repete=2/", LINKOR_OK, 0},
                    BlockCase{"/TACK 400/1R100", LINKOR_OK, 1},
                    BlockCase{"/TACK whatever/1R100", LINKOR_OK, 1},
                    BlockCase{"/STOP/", LINKOR_OK, 0}, BlockCase{"/JBUS/1R100", LINKOR_OK, 1},
                    BlockCase{"/JBUS = 1,3-5/1R100", LINKOR_OK, 1},
                    BlockCase{"/jbus TACK 3/1R100", LINKOR_OK, 1},
                    BlockCase{"/TWAITRTSOFF 1 TWAITRTSON 7/1R100", LINKOR_OK, 1},
                    // Failing blocks: nothing is sent.
                    BlockCase{"/TACK/1R100", LINKOR_BAD_SETTINGS_BLOCK, 0},
                    BlockCase{"/REPETE x/1R100", LINKOR_BAD_SETTINGS_BLOCK, 0},
                    BlockCase{"/REPETE -1/1R100", LINKOR_BAD_SETTINGS_BLOCK, 0},
                    BlockCase{"/REPETE 2 1R100", LINKOR_BAD_MODULE_TYPE, 0},
                    BlockCase{"/REPETE 2", LINKOR_BAD_SETTINGS_BLOCK, 0},
                    BlockCase{"/FOO/1R100", LINKOR_BAD_MODULE_TYPE, 0},
                    BlockCase{"/TRILO/1R100", LINKOR_BAD_MODULE_TYPE, 0},
                    BlockCase{"/PRIORITY HIGHEST/1R100", LINKOR_BAD_MODULE_TYPE, 0},
                    BlockCase{"/CASTE TOUT/1R100", LINKOR_BAD_MODULE_TYPE, 0},
                    BlockCase{"/BAUDRATE 19201/1R100", LINKOR_BAD_BAUD, 0},
                    BlockCase{"/PROTOCOLE JB/1R100", LINKOR_BAD_PROTOCOL, 0},
                    BlockCase{"/PROTOCOLE XON-XOFF/1R100", LINKOR_BAD_PROTOCOL, 0}));

TEST_F(JbusLine, BlockSettingsTakeEffect) {
    ASSERT_EQ(run("/TWAITRTSOFF 2 TWAITRTSON 7 REPETE 4/"), LINKOR_OK);
    EXPECT_EQ(m_line->settings().waitRtsOffMs, 2);
    EXPECT_EQ(m_line->settings().waitRtsOnMs, 7);
    EXPECT_EQ(m_line->settings().retries, 4);

    ASSERT_EQ(run("/BAUDRATE 1200/"), LINKOR_OK);
    EXPECT_EQ(m_port->speed, 1200);
    EXPECT_EQ(m_port->speedWritePerByte, 10); // the time-outs are not touched

    ASSERT_EQ(run("/PROTOCOLE jbus-4/"), LINKOR_OK);
    EXPECT_EQ(m_line->settings().protocol, kProtocol485);
    ASSERT_EQ(run("/PROTOCOLE JBU/"), LINKOR_OK);
    EXPECT_EQ(m_line->settings().protocol, kProtocol232);

    // Settings before a failing keyword stay applied.
    EXPECT_EQ(run("/REPETE 9 FOO/"), LINKOR_BAD_MODULE_TYPE);
    EXPECT_EQ(m_line->settings().retries, 9);

    // A new initialisation resets them all.
    ASSERT_EQ(m_line->initialise(9600, kProtocol232), LINKOR_OK);
    EXPECT_EQ(m_line->settings().retries, 0);
    EXPECT_EQ(m_line->settings().waitRtsOffMs, 0);
}

TEST_F(JbusLine, ProtocolNamesArePrefixesOfAtLeastThreeCharacters) {
    struct Case {
        const char* name;
        bool caseSensitive;
        std::optional<int> code;
    };
    const Case cases[] = {
        {"JBUS-232", true, kProtocol232},  {"JBUS-485", true, kProtocol485},
        {"JBU", true, kProtocol232},       {"JBUS-4", true, kProtocol485},
        {"JB", true, std::nullopt},        {"jbus-485", true, std::nullopt},
        {"jbus-485", false, kProtocol485}, {"JBUS-2320", true, std::nullopt},
        {"JBUS-", false, kProtocol232},    {"", false, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(protocolCodeOf(c.name, c.caseSensitive), c.code) << c.name;
    }
    EXPECT_EQ(protocolCodeOf(nullptr, false), std::nullopt);
}

TEST_F(JbusLine, SuspendClosesThePortAndResumeReopensIt) {
    answerWith(kAnswer2A);
    ASSERT_EQ(m_line->suspend(), LINKOR_OK);
    EXPECT_FALSE(m_port->isOpen());
    EXPECT_EQ(run("1R100"), LINKOR_SEND_FAILED);
    ASSERT_EQ(m_line->resume(), LINKOR_OK);
    EXPECT_TRUE(m_port->isOpen());
    EXPECT_EQ(m_port->opens, 2);
    EXPECT_TRUE(m_port->lastSettings.rtsDisabled);
    EXPECT_EQ(run("1R100"), LINKOR_OK);
}

// The log file is the driver's; each test of this fixture points it at a file of
// its own.
class JbusLog : public JbusLine {
  protected:
    void SetUp() override {
        ensureSetUp();
        char dir[] = "/tmp/jbus-log-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        m_dir = dir;
        m_saved = driverState().logPath;
        driverState().logPath = m_dir + "/linkor.log";
        m_savedLanguage = driverState().jbusLanguage;
        JbusLine::SetUp();
    }
    void TearDown() override {
        driverState().logPath = m_saved;
        driverState().jbusLanguage = m_savedLanguage;
        std::remove((m_dir + "/linkor.log").c_str());
        rmdir(m_dir.c_str());
    }
    std::string logText() const {
        std::ifstream file(m_dir + "/linkor.log", std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }
    /// The log with every time stamp "  hh:mm:ss:mmm" replaced by "  TIME".
    std::string logShape() const {
        const std::string text = logText();
        const std::string shape = "  dd:dd:dd:ddd";
        std::string out;
        size_t i = 0;
        while (i < text.size()) {
            bool stamp = i + shape.size() <= text.size();
            for (size_t k = 0; stamp && k < shape.size(); ++k) {
                const char c = text[i + k];
                stamp = shape[k] == 'd' ? (c >= '0' && c <= '9') : c == shape[k];
            }
            if (stamp) {
                out += "  TIME";
                i += shape.size();
            } else {
                out += text[i++];
            }
        }
        return out;
    }

    std::string m_dir;
    std::string m_saved;
    Language m_savedLanguage = Language::French;
};

const std::string kHeader = "\nLogging Dll Quelmar - Version: 2.2 - Date: 30/01/2008";

TEST_F(JbusLog, EverythingModeWritesEachPartWithEveryByteEscaped) {
    answerWith({0x7E, 0x01, 0x03, 0x02, 0x00, 0x2A, 0x39, 0x9B});
    ASSERT_EQ(run("/LOGALL/1R100"), LINKOR_OK);
    EXPECT_EQ(logShape(), kHeader + "\nCOM5  TIME\ncde: /LOGALL/1R100\n"
                                    "-> \\x01\\x03\\x00\\x64\\x00\\x01\\xC5\\xD5\n"
                                    "<- \\x7E\\x01\\x03\\x02\\x00\\x2A\\x39\\x9B\n"
                                    "rep: 1R,002A\n");
}

TEST_F(JbusLog, EverythingModeShowsFailuresInTheJbusLanguage) {
    ASSERT_EQ(run("/LOGALL/"), LINKOR_OK);
    ASSERT_EQ(SetConfigDrvJbus("EN"), LINKOR_OK);
    EXPECT_EQ(run("/REPETE 1/1R100"), LINKOR_RECEIVE_TIMEOUT);
    EXPECT_EQ(logShape(), kHeader + "\nCOM5  TIME\ncde: /LOGALL/\n" +
                              "\nCOM5  TIME\ncde: /REPETE 1/1R100\n"
                              "-> \\x01\\x03\\x00\\x64\\x00\\x01\\xC5\\xD5\n<- \n"
                              "-> \\x01\\x03\\x00\\x64\\x00\\x01\\xC5\\xD5\n<- \n"
                              "err: \\x3002 Default: reception timeout! !!!!!!!!!!!!!!!!!!!!!!!\n");
}

TEST_F(JbusLog, ErrorsModeWritesFailedExchangesOnlyAndWhole) {
    answerWith(kAnswer2A);
    ASSERT_EQ(run("/LOGERR/1R100"), LINKOR_OK);
    const std::string header = kHeader + "\nCOM5  TIME\ncde: /LOGERR/\n";
    EXPECT_EQ(logShape(), header);
    answerWith({0x01, 0x03});
    EXPECT_EQ(run("1R100"), LINKOR_RECEIVE_TIMEOUT);
    EXPECT_EQ(logShape(), header + "\nCOM5  TIME\ncde: 1R100\n"
                                   "-> \\x01\\x03\\x00\\x64\\x00\\x01\\xC5\\xD5\n"
                                   "<- \\x01\\x03\n"
                                   "err: \\x3002 D\xE9"
                                   "faut: timeout en r\xE9"
                                   "ception! !!!!!!!!!!!!!!!!!!!!!!!\n");
    // A failing block: nothing sent, no "->" or "<-" line.
    const std::string before = logShape();
    EXPECT_EQ(run("/FOO/"), LINKOR_BAD_MODULE_TYPE);
    EXPECT_EQ(logShape(), before + "\nCOM5  TIME\ncde: /FOO/\n"
                                   "err: \\x8020 D\xE9"
                                   "faut: s\xE9lection de type de module! "
                                   "!!!!!!!!!!!!!!!!!!!!!!!\n");
}

TEST_F(JbusLog, NoLogWritesItsHeaderAndThenNothing) {
    ASSERT_EQ(run("/NOLOG/"), LINKOR_OK);
    const std::string header = kHeader + "\nCOM5  TIME\ncde: /NOLOG/\n";
    EXPECT_EQ(logShape(), header);
    EXPECT_EQ(run("1R100"), LINKOR_RECEIVE_TIMEOUT);
    EXPECT_EQ(logShape(), header);
}

TEST_F(JbusLog, ControlCharactersOfTextsAreEscaped) {
    answerWith(withCrc({0x01, 0x03, 0x02, 'A', 0x07}));
    ASSERT_EQ(run("/LOGALL/1R64,1"), LINKOR_OK);
    EXPECT_NE(logShape().find("rep: 1R,A\\x07\n"), std::string::npos) << logShape();
}

} // namespace
} // namespace linkor::jbus
