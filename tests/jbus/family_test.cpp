// The exported JBUS family and the line family's JBUS lines, over scripted ports.
#include "base/driver_state.h"
#include "base/messages.h"
#include "jbus/jbus_driver.h"
#include "line_table/line_family.h"
#include "line_table/set_up.h"
#include "linkor.h"
#include "linkor_status.h"
#include "scripted_port.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace linkor {
namespace {

using test::Bytes;
using test::ScriptedPort;

const Bytes kAnswer2A = {0x01, 0x03, 0x02, 0x00, 0x2A, 0x39, 0x9B};
const std::string kAllBauds = "300 600 1200 2400 4800 7200 9600 19200 38400 57600 115200";

ScriptedPort* g_lastPort = nullptr;
bool g_failOpen = false;
bool g_echo = false;

std::unique_ptr<Port> makeScriptedPort() {
    auto port = std::make_unique<ScriptedPort>();
    port->slave = [](const Bytes&) { return kAnswer2A; };
    if (g_echo) {
        port->echoBytes = 100; // a 485 wiring hands back everything sent
    }
    port->failOpen = g_failOpen;
    g_lastPort = port.get();
    return port;
}

std::string french(int32_t code) {
    return findMessage(code, Language::French);
}
std::string english(int32_t code) {
    return findMessage(code, Language::English);
}

class JbusFamily : public testing::Test {
  protected:
    void SetUp() override {
        ensureSetUp();
        jbus::setPortMaker(&makeScriptedPort);
        g_failOpen = false;
        g_echo = false;
        m_language = driverState().jbusLanguage;
        m_lineLanguage = driverState().language;
    }
    void TearDown() override {
        for (int32_t line = 1; line <= lines::kLineCount; ++line) {
            lines::close(line);
        }
        for (int32_t h = 1; h <= jbus::kSlotCount; ++h) {
            CloseJbus(h);
        }
        jbus::setPortMaker(nullptr);
        driverState().jbusLanguage = m_language;
        driverState().language = m_lineLanguage;
    }

    /// An initialised JBUS-232 handle whose slave answers every request with 2A.
    int32_t initialised(const char* port, char** message = nullptr) {
        const int32_t handle = OpenJbus(port, message);
        EXPECT_NE(handle, 0);
        EXPECT_EQ(InitJbus(handle, "9600", "JBUS-232"), LINKOR_OK);
        return handle;
    }

    char m_reply[256] = {};
    char m_list[2048] = {};
    Language m_language = Language::French;
    Language m_lineLanguage = Language::French;
};

TEST_F(JbusFamily, OpenGivesNineHandlesAndTellsWhyItRefuses) {
    char* message = nullptr;
    EXPECT_EQ(OpenJbus("COM256", &message), 0);
    // The message as the user reads it, in Windows-1252 bytes.
    EXPECT_EQ(std::string(message), "D\xE9"
                                    "faut: s\xE9lection de ligne!");
    EXPECT_EQ(std::string(message), french(LINKOR_BAD_LINE));
    message = nullptr;
    EXPECT_EQ(OpenJbus("COMX", &message), 0);
    EXPECT_EQ(std::string(message), french(LINKOR_BAD_LINE));

    std::vector<int32_t> handles;
    for (int port = 1; port <= 9; ++port) {
        handles.push_back(OpenJbus(("COM" + std::to_string(port)).c_str(), nullptr));
    }
    EXPECT_EQ(handles, (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    message = nullptr;
    EXPECT_EQ(OpenJbus("COM3", &message), 0);
    EXPECT_EQ(std::string(message), french(LINKOR_ALREADY_OPEN));
    message = nullptr;
    EXPECT_EQ(OpenJbus("COM10", &message), 0);
    EXPECT_EQ(std::string(message), french(LINKOR_TOO_MANY_LINES));
    EXPECT_EQ(OpenJbus("COM10", nullptr), 0);

    ASSERT_EQ(CloseJbus(4), LINKOR_OK);
    EXPECT_EQ(OpenJbus("COM10", nullptr), 4);
}

TEST_F(JbusFamily, InitChecksHandleProtocolAndBaud) {
    const int32_t h = OpenJbus("COM12", nullptr);
    ASSERT_NE(h, 0);
    const int32_t free = h == 9 ? 8 : 9;
    struct Case {
        int32_t handle;
        const char* baud;
        const char* protocol;
        int32_t status;
    };
    const Case cases[] = {
        {0, "9600", "JBUS-232", LINKOR_BAD_LINE},     {10, "9600", "JBUS-232", LINKOR_BAD_LINE},
        {free, "9600", "JBUS-232", LINKOR_NO_OBJECT}, {h, "9600", "JB", LINKOR_BAD_PROTOCOL},
        {h, "9600", "jbus-232", LINKOR_BAD_PROTOCOL}, {h, "9600", "JBUS-2320", LINKOR_BAD_PROTOCOL},
        {h, "9600", "XON-XOFF", LINKOR_BAD_PROTOCOL}, {h, "9601", "JBUS-232", LINKOR_BAD_BAUD},
        {h, nullptr, "JBUS-232", LINKOR_BAD_BAUD},    {h, "9600 ", nullptr, LINKOR_BAD_BAUD},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(InitJbus(c.handle, c.baud, c.protocol), c.status)
            << c.handle << " " << (c.baud ? c.baud : "null") << " "
            << (c.protocol ? c.protocol : "null");
    }
    EXPECT_EQ(DialogueJbus(h, "1R100", m_reply), LINKOR_NOT_INITIALISED);
    ASSERT_EQ(InitJbus(h, "7200", "JBU"), LINKOR_OK);
    EXPECT_EQ(g_lastPort->lastSettings.baud, 7200);
    EXPECT_EQ(InitJbus(h, "9600", "JBUS-232"), LINKOR_ALREADY_INITIALISED);
}

TEST_F(JbusFamily, PortFailureAtInitLeavesTheHandleUninitialised) {
    g_failOpen = true;
    const int32_t h = OpenJbus("COM12", nullptr);
    EXPECT_EQ(InitJbus(h, "9600", nullptr), LINKOR_PORT_OPEN);
    EXPECT_EQ(DialogueJbus(h, "1R100", m_reply), LINKOR_NOT_INITIALISED);
    g_lastPort->failOpen = false;
    EXPECT_EQ(InitJbus(h, "9600", nullptr), LINKOR_OK);
}

TEST_F(JbusFamily, DialogueReadsThroughItsHandle) {
    const int32_t h = initialised("COM12");
    ASSERT_EQ(DialogueJbus(h, "1R100", m_reply), LINKOR_OK);
    EXPECT_STREQ(m_reply, "1R,002A");

    int32_t moduleStatus = 77;
    ASSERT_EQ(DialogueJbusEx(h, "1R100", m_reply, &moduleStatus), LINKOR_OK);
    EXPECT_EQ(moduleStatus, 0);
    moduleStatus = 77;
    EXPECT_EQ(DialogueJbusEx(h, "/FOO/", m_reply, &moduleStatus), LINKOR_BAD_MODULE_TYPE);
    EXPECT_EQ(moduleStatus, 0);
    EXPECT_EQ(DialogueJbusEx(h, "1R100", m_reply, nullptr), LINKOR_OK);
}

TEST_F(JbusFamily, DialogueChecksComeAfterAnEmptyCommand) {
    std::strcpy(m_reply, "old");
    EXPECT_EQ(DialogueJbus(0, "", m_reply), LINKOR_OK);
    EXPECT_STREQ(m_reply, "");
    std::strcpy(m_reply, "old");
    EXPECT_EQ(DialogueJbus(0, nullptr, m_reply), LINKOR_OK);
    EXPECT_STREQ(m_reply, "");
    EXPECT_EQ(DialogueJbus(0, "1R100", m_reply), LINKOR_BAD_LINE);
    EXPECT_EQ(DialogueJbus(10, "1R100", m_reply), LINKOR_BAD_LINE);
    EXPECT_EQ(DialogueJbus(5, "1R100", m_reply), LINKOR_NO_OBJECT);
}

TEST_F(JbusFamily, FailuresOnAnOpenHandleReachItsMessageLocation) {
    char* message = nullptr;
    const int32_t h = OpenJbus("COM12", &message);
    ASSERT_NE(h, 0);
    EXPECT_EQ(message, nullptr);
    EXPECT_EQ(InitJbus(h, "1", nullptr), LINKOR_BAD_BAUD);
    EXPECT_EQ(std::string(message), french(LINKOR_BAD_BAUD));
    EXPECT_EQ(DialogueJbus(h, "1R100", m_reply), LINKOR_NOT_INITIALISED);
    EXPECT_EQ(std::string(message), french(LINKOR_NOT_INITIALISED));
    ASSERT_EQ(InitJbus(h, "9600", nullptr), LINKOR_OK);

    ASSERT_EQ(SetConfigDrvJbus("EN"), LINKOR_OK);
    struct Case {
        int32_t status;
        int32_t (*call)(int32_t);
    };
    const Case cases[] = {
        {LINKOR_NOT_AVAILABLE, [](int32_t x) { return StartBreakJbus(x, 1, 6); }},
        {LINKOR_NOT_AVAILABLE, [](int32_t x) { return StopBreakJbus(x); }},
        {LINKOR_NOT_AVAILABLE, [](int32_t x) { return InitBreakJbus(x, nullptr, nullptr, 0); }},
        {LINKOR_NOT_AVAILABLE, [](int32_t x) { return SetSyntaxeJbus(x, "/REPETE 1/"); }},
        {LINKOR_BAD_BAUD, [](int32_t x) { return ChangeBaudRateJbus(x, "19201"); }},
        {LINKOR_BAD_PRIORITY, [](int32_t x) { return SetPriorityJbus(x, "MAX"); }},
        {LINKOR_BAD_SETTINGS_BLOCK,
         [](int32_t x) {
             char reply[256];
             return DialogueJbus(x, "/TACK/", reply);
         }},
        {LINKOR_RECEIVE_TIMEOUT,
         [](int32_t x) {
             char reply[256];
             return DialogueJbus(x, "5R100", reply);
         }},
    };
    for (const Case& c : cases) {
        message = nullptr;
        EXPECT_EQ(c.call(h), c.status);
        ASSERT_NE(message, nullptr) << c.status;
        EXPECT_EQ(std::string(message), english(c.status));
    }
    // Success leaves the location alone.
    message = nullptr;
    EXPECT_EQ(DialogueJbus(h, "1R100", m_reply), LINKOR_OK);
    EXPECT_EQ(message, nullptr);
}

TEST_F(JbusFamily, SuspendResumeBaudAndPriorityWorkOnInitialisedHandlesOnly) {
    const int32_t h = OpenJbus("COM12", nullptr);
    EXPECT_EQ(SuspendJbus(h), LINKOR_NOT_INITIALISED);
    EXPECT_EQ(ResumeJbus(h), LINKOR_NOT_INITIALISED);
    EXPECT_EQ(ChangeBaudRateJbus(h, "9600"), LINKOR_NOT_INITIALISED);
    EXPECT_EQ(SetPriorityJbus(h, "NORMAL"), LINKOR_NOT_INITIALISED);
    EXPECT_EQ(SuspendJbus(0), LINKOR_BAD_LINE);
    EXPECT_EQ(CloseJbus(0), LINKOR_BAD_LINE);
    EXPECT_EQ(CloseJbus(h == 9 ? 8 : 9), LINKOR_NO_OBJECT);

    ASSERT_EQ(InitJbus(h, "9600", nullptr), LINKOR_OK);
    ScriptedPort* port = g_lastPort;
    ASSERT_EQ(SuspendJbus(h), LINKOR_OK);
    EXPECT_FALSE(port->isOpen());
    EXPECT_EQ(DialogueJbus(h, "1R100", m_reply), LINKOR_SEND_FAILED);
    ASSERT_EQ(ResumeJbus(h), LINKOR_OK);
    EXPECT_TRUE(port->isOpen());
    EXPECT_EQ(DialogueJbus(h, "1R100", m_reply), LINKOR_OK);

    EXPECT_EQ(ChangeBaudRateJbus(h, "38400"), LINKOR_OK);
    EXPECT_EQ(port->speed, 38400);
    EXPECT_EQ(ChangeBaudRateJbus(h, "38400 "), LINKOR_BAD_BAUD);
    EXPECT_EQ(SetPriorityJbus(h, "HAUTE"), LINKOR_OK);
    EXPECT_EQ(SetPriorityJbus(h, "haute"), LINKOR_BAD_PRIORITY);
    EXPECT_EQ(CloseJbus(h), LINKOR_OK);
    EXPECT_EQ(DialogueJbus(h, "1R100", m_reply), LINKOR_NO_OBJECT);
}

TEST_F(JbusFamily, LinelessFunctionsGiveTheirTexts) {
    ASSERT_EQ(GetIdentityJbus(m_list), LINKOR_OK);
    EXPECT_STREQ(m_list, "Dll Quelmar - Version: 2.2 - Date: 30/01/2008");
    ASSERT_EQ(GetTypesModulesJbus(m_list), LINKOR_OK);
    EXPECT_STREQ(m_list, "JBUS");

    struct Case {
        const char* type;
        const char* protocol;
        bool bauds;
        std::string text;
        int32_t status;
    };
    const Case cases[] = {
        {nullptr, nullptr, false, "JBUS-232 JBUS-485", LINKOR_OK},
        {"jbus", nullptr, false, "jbus: JBUS-232 JBUS-485", LINKOR_OK},
        {"TRILO", nullptr, false, "", LINKOR_BAD_MODULE_TYPE},
        {nullptr, nullptr, true, kAllBauds, LINKOR_OK},
        {"JBUS", nullptr, true, "JBUS: " + kAllBauds, LINKOR_OK},
        {"JBUS", "ANY", true, "JBUS: ANY: " + kAllBauds, LINKOR_OK},
        {"VRX23", nullptr, true, "", LINKOR_BAD_MODULE_TYPE},
    };
    for (const Case& c : cases) {
        std::strcpy(m_list, "old");
        const int32_t status = c.bauds ? GetVitessesJbus(m_list, c.type, c.protocol)
                                       : GetProtocolesJbus(m_list, c.type);
        EXPECT_EQ(status, c.status);
        EXPECT_EQ(std::string(m_list), c.text);
    }

    EXPECT_EQ(GetMessageErreurJbus(m_list, 0x3008), LINKOR_OK);
    EXPECT_STREQ(m_list, "D\xE9"
                         "faut: checksum r\xE9"
                         "ception!");
    EXPECT_EQ(GetMessageErreurJbus(m_list, 0x1234), -1);
    EXPECT_STREQ(m_list, "Type d'erreur non r\xE9pertori\xE9!");
}

TEST_F(JbusFamily, KeepsALanguageOfItsOwn) {
    EXPECT_EQ(SetConfigDrvJbus(nullptr), LINKOR_OK);
    EXPECT_EQ(SetConfigDrvJbus("english"), LINKOR_BAD_LANGUAGE);
    EXPECT_EQ(driverState().jbusLanguage, Language::French);
    ASSERT_EQ(SetConfigDrvJbus("UK"), LINKOR_OK);
    GetMessageErreurJbus(m_list, 0x3002);
    EXPECT_STREQ(m_list, "Default: reception timeout!");
    // The line family's own messages stay French, except where it falls back on JBUS.
    lines::message(m_list, 0x3002);
    EXPECT_EQ(std::string(m_list), french(0x3002));
    ASSERT_EQ(SetConfigDrvJbus("FR"), LINKOR_OK);
    // Choosing the line family's language chooses the JBUS language too.
    EXPECT_NE(lines::setLanguage("EN"), LINKOR_BAD_LANGUAGE);
    GetMessageErreurJbus(m_list, 0x3002);
    EXPECT_STREQ(m_list, "Default: reception timeout!");
}

// A pseudo-terminal published as COM9 in a ports directory of its own; all of it is undone
// when it goes, also after a failed assertion.
class PublishedTerminal {
  public:
    PublishedTerminal() {
        char dir[] = "/tmp/jbus-ports-XXXXXX";
        if (mkdtemp(dir) == nullptr) {
            return;
        }
        m_dir = dir;
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
            return;
        }
        m_link = m_dir + "/COM9";
        if (symlink(ptsname(m_master), m_link.c_str()) != 0) {
            m_link.clear();
            return;
        }
        setenv("LINKOR_PORTS", m_dir.c_str(), 1);
        m_ready = true;
    }
    ~PublishedTerminal() {
        unsetenv("LINKOR_PORTS");
        if (!m_link.empty()) {
            unlink(m_link.c_str());
        }
        if (!m_dir.empty()) {
            rmdir(m_dir.c_str());
        }
        if (m_master >= 0) {
            close(m_master);
        }
    }
    PublishedTerminal(const PublishedTerminal&) = delete;
    PublishedTerminal& operator=(const PublishedTerminal&) = delete;
    bool ready() const { return m_ready; }

  private:
    std::string m_dir;
    std::string m_link;
    int m_master = -1;
    bool m_ready = false;
};

TEST_F(JbusFamily, PortListShowsHeldPortsAndFreePseudoTerminals) {
    const PublishedTerminal terminal;
    ASSERT_TRUE(terminal.ready()) << std::strerror(errno);

    // COM7 is a scripted port: only a slot that holds it initialised lists it.
    initialised("COM7");
    GetPortsJbus(m_list);
    EXPECT_STREQ(m_list, "COM7 COM9 ");
}

// The line family's JBUS lines (kind 2).
class JbusLines : public JbusFamily {};

TEST_F(JbusLines, AJbusProtocolMakesAKindTwoLineThatForwardsEveryCall) {
    ASSERT_EQ(lines::open("COM21"), 21);
    g_echo = true;
    ASSERT_EQ(lines::init(21, "19200", "JBUS-485", nullptr), LINKOR_OK);
    EXPECT_EQ(lines::kindOf(21), lines::kJbus);
    ScriptedPort* port = g_lastPort;
    EXPECT_EQ(port->lastSettings.baud, 19200);

    ASSERT_EQ(lines::dialogue(21, "1R100", m_reply), LINKOR_OK);
    EXPECT_STREQ(m_reply, "1R,002A");
    int32_t moduleStatus = 77;
    ASSERT_EQ(lines::dialogueEx(21, "/REPETE 1/1R100", m_reply, &moduleStatus), LINKOR_OK);
    EXPECT_EQ(moduleStatus, 0);
    EXPECT_EQ(lines::setSyntax(21, "/REPETE 1/"), LINKOR_NOT_AVAILABLE);
    EXPECT_EQ(lines::startBreak(21, 1, 6), LINKOR_NOT_AVAILABLE);
    EXPECT_EQ(lines::changeBaud(21, "4800"), LINKOR_OK);
    EXPECT_EQ(port->speed, 4800);
    EXPECT_EQ(lines::setPriority(21, "ABOVE"), LINKOR_OK);
    ASSERT_EQ(lines::suspend(21), LINKOR_OK);
    EXPECT_FALSE(port->isOpen());
    ASSERT_EQ(lines::resume(21), LINKOR_OK);
    EXPECT_TRUE(port->isOpen());
    // Each request went out once, its echo dropped on this 485 line.
    port->requests.clear();
    ASSERT_EQ(lines::dialogue(21, "1W100,002A", m_reply), LINKOR_OK);
    ASSERT_EQ(port->requests.size(), 1u);
    EXPECT_EQ(port->requests[0],
              (Bytes{0x01, 0x10, 0x00, 0x64, 0x00, 0x01, 0x02, 0x00, 0x2A, 0x2F, 0xAB}));

    ASSERT_EQ(lines::close(21), LINKOR_OK);
    EXPECT_EQ(lines::kindOf(21), -1);
    // Closing the line gave its JBUS slot back: the port can be taken again.
    const int32_t h = OpenJbus("COM21", nullptr);
    EXPECT_NE(h, 0);
}

TEST_F(JbusLines, FailedJbusAttemptsLeaveTheLineOpenedAndNoSlotHeld) {
    ASSERT_EQ(lines::open("COM22"), 22);
    EXPECT_EQ(lines::init(22, "19201", "JBUS-232", nullptr), LINKOR_BAD_BAUD);
    EXPECT_EQ(lines::kindOf(22), lines::kNotInitialised);
    EXPECT_EQ(lines::init(22, "9600", "jbus-232", nullptr), LINKOR_BAD_PROTOCOL);
    EXPECT_EQ(lines::init(22, "9600", "MODBUS", nullptr), LINKOR_BAD_PROTOCOL);
    g_failOpen = true;
    EXPECT_EQ(lines::init(22, "9600", "JBUS-232", nullptr), LINKOR_PORT_OPEN);
    g_failOpen = false;
    EXPECT_EQ(lines::dialogue(22, "1R100", m_reply), LINKOR_NOT_INITIALISED);
    // Every attempt gave its slot back: all nine are free.
    for (int port = 1; port <= 9; ++port) {
        EXPECT_NE(OpenJbus(("COM" + std::to_string(port + 30)).c_str(), nullptr), 0);
    }
    EXPECT_EQ(lines::init(22, "9600", "JBUS-232", nullptr), LINKOR_CANNOT_INITIALISE);
    ASSERT_EQ(CloseJbus(1), LINKOR_OK);
    EXPECT_EQ(lines::init(22, "9600", "JBUS-232", nullptr), LINKOR_OK);
    EXPECT_EQ(lines::kindOf(22), lines::kJbus);
}

TEST_F(JbusLines, ListsAndMessagesMergeTheJbusParts) {
    struct Case {
        int which; // 0 protocols, 1 bauds, 2 types
        const char* type;
        const char* protocol;
        std::string text;
        int32_t status;
    };
    const Case cases[] = {
        {0, nullptr, nullptr, "XON-XOFF.&.XON-EXTENDED JBUS-232 JBUS-485", LINKOR_OK},
        {0, "TRILO", nullptr, "TRILO: XON-XOFF.&.XON-EXTENDED ACK-NAK CONSOLE.&.TERMINAL",
         LINKOR_OK},
        {0, "JBUS", nullptr, "JBUS: JBUS-232 JBUS-485", LINKOR_OK},
        {0, "NONE", nullptr, "", LINKOR_BAD_MODULE_TYPE},
        {1, nullptr, nullptr, kAllBauds, LINKOR_OK},
        {1, "JBUS", nullptr, "JBUS: " + kAllBauds, LINKOR_OK},
        {1, "JBUS", "JBUS-485", "JBUS: JBUS-485: " + kAllBauds, LINKOR_OK},
        {1, "TRILO", "ACK-NAK", "TRILO: ACK-NAK: 4800 9600 19200 38400 115200", LINKOR_OK},
        {2, nullptr, nullptr, "DVRX MICROTRILO VRX23 VRX34 TRILO JBUS", LINKOR_OK},
    };
    for (const Case& c : cases) {
        int32_t status = 0;
        switch (c.which) {
        case 0:
            status = lines::protocols(m_list, c.type);
            break;
        case 1:
            status = lines::bauds(m_list, c.type, c.protocol);
            break;
        default:
            status = lines::types(m_list);
            break;
        }
        EXPECT_EQ(status, c.status) << c.text;
        EXPECT_EQ(std::string(m_list), c.text);
    }
}

} // namespace
} // namespace linkor
