// The line family's rules: line numbers, the open limit, the order of the per-line
// checks, initialisation attempts and the line-less lists.
#include "fake_port.h"
#include "kv_line/kv_driver.h"
#include "line_table/line_family.h"
#include "linkor_status.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace linkor {
namespace {

using test::bytesOf;
using test::FakePort;

FakePort* g_lastPort = nullptr;

/// Every port answers like an XON-mode module: replies to Q/R commands carry "7".
std::unique_ptr<Port> makeScriptedPort() {
    auto port = std::make_unique<FakePort>();
    port->responder = [](const FakePort::Bytes& frame) {
        const std::string text(frame.begin(), frame.end());
        const bool query = text.find('Q') != std::string::npos;
        return bytesOf(query ? std::string("\x06\x13\x02") + "001737\x03\x1a"
                             : std::string("\x06\x13\x1a"));
    };
    g_lastPort = port.get();
    return port;
}

class LineTable : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        // No device of this machine may show up in a port list.
        char dir[] = "/tmp/linkor-ports-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        portsDir() = dir;
        setenv("LINKOR_PORTS", dir, 1);
        kv::setPortMaker(&makeScriptedPort);
    }
    static void TearDownTestSuite() {
        kv::setPortMaker(nullptr);
        unsetenv("LINKOR_PORTS");
        if (!portsDir().empty()) {
            rmdir(portsDir().c_str());
            portsDir().clear();
        }
    }
    static std::string& portsDir() {
        static std::string dir;
        return dir;
    }
    void TearDown() override {
        for (int32_t line = 1; line <= lines::kLineCount; ++line) {
            lines::close(line);
        }
    }
    std::array<char, 2048> out{};
};

TEST_F(LineTable, OpenTakesTheNumberOfThePortName) {
    EXPECT_EQ(lines::open("COM0"), 0);
    EXPECT_EQ(lines::open("COM256"), 0);
    EXPECT_EQ(lines::open("COMx"), 0);
    EXPECT_EQ(lines::open("COM3"), 3);
    EXPECT_EQ(lines::open("COM3"), 0);
    EXPECT_EQ(lines::open("XYZ255"), 255) << "the prefix is not checked";
}

TEST_F(LineTable, AtMostTenLinesAreOpen) {
    for (int32_t line = 1; line <= lines::kMaxOpenLines; ++line) {
        ASSERT_EQ(lines::open(("COM" + std::to_string(line)).c_str()), line);
    }
    EXPECT_EQ(lines::open("COM11"), 0);
    lines::close(4);
    EXPECT_EQ(lines::open("COM11"), 11);
}

TEST_F(LineTable, PerLineChecksComeInOrder) {
    char reply[256];
    EXPECT_EQ(lines::dialogue(0, "01GS", reply), LINKOR_BAD_LINE);
    EXPECT_EQ(lines::dialogue(256, "01GS", reply), LINKOR_BAD_LINE);
    EXPECT_EQ(lines::dialogue(5, "01GS", reply), LINKOR_NOT_OPENED);
    ASSERT_EQ(lines::open("COM5"), 5);
    EXPECT_EQ(lines::dialogue(5, "01GS", reply), LINKOR_NOT_INITIALISED);
    EXPECT_EQ(lines::setPriority(5, "HAUTE"), LINKOR_NOT_INITIALISED);
    EXPECT_EQ(lines::init(0, "9600", nullptr, nullptr), LINKOR_BAD_LINE);
    EXPECT_EQ(lines::init(6, "9600", nullptr, nullptr), LINKOR_NOT_OPENED);
}

TEST_F(LineTable, FailedInitialisationLeavesTheLineOpened) {
    ASSERT_EQ(lines::open("COM7"), 7);
    EXPECT_EQ(lines::init(7, "9601", "ACK-NAK", nullptr), LINKOR_BAD_BAUD);
    EXPECT_EQ(lines::kindOf(7), lines::kNotInitialised);
    EXPECT_EQ(lines::init(7, "9600", "ack", nullptr), 0);
    EXPECT_EQ(lines::kindOf(7), lines::kKv);
    EXPECT_EQ(lines::init(7, "9600", "ACK-NAK", nullptr), LINKOR_ALREADY_INITIALISED);
}

TEST_F(LineTable, ProtocolNames) {
    struct Case {
        const char* protocol;
        int32_t status;
    };
    for (const Case c : {Case{nullptr, 0}, Case{"XON-XOFF.&.XON-EXTENDED", 0}, Case{"xon", 0},
                         Case{"Console", 0}, Case{"term", 0}, Case{"XON-EXTENDED", 0},
                         Case{"AC", LINKOR_BAD_PROTOCOL}, Case{"PROFIBUS", LINKOR_BAD_PROTOCOL}}) {
        ASSERT_EQ(lines::open("COM8"), 8);
        EXPECT_EQ(lines::init(8, "9600", c.protocol, nullptr), c.status)
            << (c.protocol ? c.protocol : "null");
        lines::close(8);
    }
}

TEST_F(LineTable, InitialCommandIsSent) {
    ASSERT_EQ(lines::open("COM9"), 9);
    EXPECT_EQ(lines::init(9, "19200", "XON-XOFF", "01GS"), 0);
    ASSERT_NE(g_lastPort, nullptr);
    EXPECT_EQ(g_lastPort->speed, 19200);
    EXPECT_EQ(g_lastPort->frames.at(0), bytesOf("\x02"
                                                "00401GSFB\x03"));
}

TEST_F(LineTable, FailingInitialCommandIsReturnedAndTheLineStaysInitialised) {
    ASSERT_EQ(lines::open("COM9"), 9);
    EXPECT_EQ(lines::init(9, "9600", nullptr, "64GS"), LINKOR_COMMAND_REJECTED);
    EXPECT_EQ(lines::kindOf(9), lines::kKv);
}

TEST_F(LineTable, DialogueAndModuleStatus) {
    ASSERT_EQ(lines::open("COM10"), 10);
    ASSERT_EQ(lines::init(10, "9600", nullptr, nullptr), 0);
    char reply[256];
    EXPECT_EQ(lines::dialogue(10, "01QS", reply), 0);
    EXPECT_STREQ(reply, "7");
    EXPECT_EQ(lines::dialogue(10, "", reply), 0);
    EXPECT_STREQ(reply, "");

    g_lastPort->responder = [](const FakePort::Bytes&) { return bytesOf("\xF0\x1a"); };
    int32_t moduleStatus = 99;
    EXPECT_EQ(lines::dialogueEx(10, "01GS", reply, &moduleStatus), 0);
    EXPECT_EQ(moduleStatus, -16) << "the status byte is signed";
    g_lastPort->responder = [](const FakePort::Bytes&) { return bytesOf("\x06\x13\x1a"); };
    EXPECT_EQ(lines::dialogueEx(10, "01GS", reply, &moduleStatus), 0);
    EXPECT_EQ(moduleStatus, 0);
}

TEST_F(LineTable, ClosingFreesTheEntryInEveryState) {
    EXPECT_EQ(lines::close(12), 0);
    EXPECT_EQ(lines::close(0), LINKOR_BAD_LINE);
    ASSERT_EQ(lines::open("COM12"), 12);
    EXPECT_EQ(lines::close(12), 0);
    EXPECT_EQ(lines::kindOf(12), -1);
    ASSERT_EQ(lines::open("COM12"), 12);
    ASSERT_EQ(lines::init(12, "9600", nullptr, nullptr), 0);
    EXPECT_EQ(lines::close(12), 0);
    EXPECT_EQ(lines::open("COM12"), 12) << "the port's slot was released";
    EXPECT_EQ(lines::init(12, "9600", nullptr, nullptr), 0);
}

TEST_F(LineTable, BaudAndPriorityTexts) {
    ASSERT_EQ(lines::open("COM13"), 13);
    ASSERT_EQ(lines::init(13, "9600", nullptr, nullptr), 0);
    EXPECT_EQ(lines::changeBaud(13, "115200"), 0);
    EXPECT_EQ(g_lastPort->speed, 115200);
    EXPECT_EQ(lines::changeBaud(13, "115201"), LINKOR_BAD_BAUD);
    EXPECT_EQ(lines::changeBaud(13, " 9600"), LINKOR_BAD_BAUD);
    for (const char* name :
         {"NORMAL", "ABOVE", "HIGHEST", "CRITICAL", "NORMALE", "SUPERIEURE", "HAUTE", "CRITIQUE"}) {
        EXPECT_EQ(lines::setPriority(13, name), 0) << name;
    }
    EXPECT_EQ(lines::setPriority(13, "highest"), LINKOR_BAD_PRIORITY);
}

TEST_F(LineTable, SuspendAndResumeKeepTheLine) {
    ASSERT_EQ(lines::open("COM14"), 14);
    ASSERT_EQ(lines::init(14, "9600", nullptr, nullptr), 0);
    char reply[256];
    EXPECT_EQ(lines::suspend(14), 0);
    EXPECT_EQ(lines::dialogue(14, "01GS", reply), LINKOR_SEND_FAILED);
    EXPECT_EQ(lines::resume(14), 0);
    EXPECT_EQ(lines::dialogue(14, "01GS", reply), 0);
}

TEST_F(LineTable, PortListNamesLinesInitialisedHere) {
    ASSERT_EQ(lines::open("COM3"), 3);
    ASSERT_EQ(lines::open("COM15"), 15);
    ASSERT_EQ(lines::init(15, "9600", nullptr, nullptr), 0);
    EXPECT_EQ(lines::ports(out.data()), 0);
    EXPECT_STREQ(out.data(), "COM15 ");
}

struct ListCase {
    const char* type;
    const char* protocol;
    bool bauds;
    int32_t status;
    const char* list;
};

class Lists : public LineTable, public ::testing::WithParamInterface<ListCase> {};

TEST_P(Lists, MergedAcrossSubDrivers) {
    const ListCase& c = GetParam();
    const int32_t status = c.bauds ? lines::bauds(out.data(), c.type, c.protocol)
                                   : lines::protocols(out.data(), c.type);
    EXPECT_EQ(status, c.status);
    EXPECT_STREQ(out.data(), c.list);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Examples, Lists, ::testing::Values(
    ListCase{nullptr, nullptr, false, 0, "XON-XOFF.&.XON-EXTENDED JBUS-232 JBUS-485"},
    ListCase{"TRILO", nullptr, false, 0, "TRILO: XON-XOFF.&.XON-EXTENDED ACK-NAK CONSOLE.&.TERMINAL"},
    ListCase{"microtrilo", nullptr, false, 0, "microtrilo: XON-XOFF.&.XON-EXTENDED CONSOLE.&.TERMINAL"},
    ListCase{"JBUS", nullptr, false, 0, "JBUS: JBUS-232 JBUS-485"},
    ListCase{"STEPPER", nullptr, false, LINKOR_BAD_MODULE_TYPE, ""},
    ListCase{"TRILO", "ACK-NAK", true, 0, "TRILO: ACK-NAK: 4800 9600 19200 38400 115200"},
    ListCase{"JBUS", nullptr, true, 0, "JBUS: 300 600 1200 2400 4800 7200 9600 19200 38400 57600 115200"},
    ListCase{"VRX23", nullptr, true, 0, "VRX23: 9600 19200 38400"},
    ListCase{nullptr, nullptr, true, 0, "300 600 1200 2400 4800 7200 9600 19200 38400 57600 115200"},
    ListCase{"VRX23", "ACK-NAK", true, LINKOR_BAD_MODULE_TYPE, ""},
    ListCase{"TRILO", "ack-nak", true, LINKOR_BAD_MODULE_TYPE, ""}));
// clang-format on

TEST_F(LineTable, TypesAndIdentityWithoutTheAuxiliaryDriver) {
    EXPECT_EQ(lines::types(out.data()), 0);
    EXPECT_STREQ(out.data(), "DVRX MICROTRILO VRX23 VRX34 TRILO JBUS");
    EXPECT_EQ(lines::identity(out.data()), 0);
    EXPECT_STREQ(out.data(), "Dll Linkor - Version: 2.7.4 - Date: 10/06/2009");
}

TEST_F(LineTable, LanguageTexts) {
    for (const char* name : {"FRANCE", "FRANCAIS", "FR", "FRENCH", "ENGLISH", "ENGLAND", "ANGLAIS",
                             "EN", "UK", "US"}) {
        EXPECT_EQ(lines::setLanguage(name), 1) << name << ": no auxiliary driver answers";
    }
    EXPECT_EQ(lines::setLanguage("english"), LINKOR_BAD_LANGUAGE);
    EXPECT_EQ(lines::setLanguage(nullptr), 0) << "a null text changes nothing";
    lines::setLanguage("FR");
}

} // namespace
} // namespace linkor
