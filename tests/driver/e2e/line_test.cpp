// The driver as a program loads it, on a pseudo-terminal line whose module side is
// played by the test.
#include "driver_api.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace linkor::e2e {
namespace {

namespace fs = std::filesystem;

constexpr int32_t kSendFailed = 0x2001;
constexpr int32_t kReadFailed = 0x3001;

class DriverLine : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        root =
            new fs::path(fs::temp_directory_path() / ("linkor-e2e-" + std::to_string(::getpid())));
        fs::create_directories(*root / "ports");
        setenv("LINKOR_PORTS", (*root / "ports").c_str(), 1);
        plain = new LoadedDriver(LINKOR_LIBRARY, *root / "plain");
    }
    static void TearDownTestSuite() {
        delete plain;
        fs::remove_all(*root);
        delete root;
    }
    void TearDown() override {
        for (int32_t line : {5, 6}) {
            Driver(*plain).close(line);
        }
    }
    static inline fs::path* root = nullptr;
    static inline LoadedDriver* plain = nullptr;
    std::array<char, 2048> out{};
};

TEST_F(DriverLine, ExportsEveryFunctionOfTheInterface) {
    for (const char* name : kExports) {
        EXPECT_NO_THROW(plain->get<void*>(name)) << name;
    }
}

TEST_F(DriverLine, XonExchangeOnTheWire) {
    PtyPeer module(root->string() + "/ports", 5, xonModule);
    Driver d(*plain);
    ASSERT_EQ(d.open("COM5", 0, 0), 5);
    ASSERT_EQ(d.init(5, "19200", "XON-XOFF", nullptr), 0);
    EXPECT_EQ(module.speed(), 19200);
    char reply[256];
    EXPECT_EQ(d.dialogue(5, "01qs", reply), 0);
    EXPECT_STREQ(reply, "01QS 123");
    EXPECT_EQ(d.dialogue(5, "01gs", reply), 0);
    EXPECT_STREQ(reply, "");
    EXPECT_EQ(module.received(), std::string("\x02") + "00401QS05\x03" + "\x02" + "00401GSFB\x03");
}

TEST_F(DriverLine, TriloRepliesAreAcknowledgedOnTheWire) {
    PtyPeer module(root->string() + "/ports", 5, [](const std::string& received) {
        const std::string text = textOfFrame(received);
        return text.empty() ? PtyPeer::Answer{} : PtyPeer::Answer{true, "\x06" + frameOf("42")};
    });
    Driver d(*plain);
    ASSERT_EQ(d.open("COM5", 0, 0), 5);
    ASSERT_EQ(d.init(5, "9600", "ACK-NAK", nullptr), 0);
    char reply[256];
    EXPECT_EQ(d.dialogue(5, "/TRILO/01QS", reply), 0);
    EXPECT_STREQ(reply, "42");
    // The acknowledgement follows the reply on the wire: wait for it as long as for any
    // answer of the line.
    for (int i = 0; i < 5000 && (module.received().empty() || module.received().back() != '\x06');
         ++i) {
        usleep(2000);
    }
    EXPECT_EQ(module.received(), std::string("\x02") + "00401QS05\x03\x06");
}

TEST_F(DriverLine, SilentLineTimesOut) {
    PtyPeer module(root->string() + "/ports", 5, [](const std::string&) {
        return PtyPeer::Answer{true, ""};
    });
    Driver d(*plain);
    ASSERT_EQ(d.open("COM5", 0, 0), 5);
    ASSERT_EQ(d.init(5, "115200", "ACK-NAK", nullptr), 0);
    char reply[256];
    EXPECT_EQ(d.dialogue(5, "01GS", reply), 0x3002);
}

TEST_F(DriverLine, VanishingDeviceEndsTheExchangeWithAStatus) {
    PtyPeer module(root->string() + "/ports", 5, [](const std::string& received) {
        PtyPeer::Answer answer;
        answer.complete = answer.hangUp = !textOfFrame(received).empty();
        answer.bytes = "\x06";
        return answer;
    });
    Driver d(*plain);
    ASSERT_EQ(d.open("COM5", 0, 0), 5);
    ASSERT_EQ(d.init(5, "9600", nullptr, nullptr), 0);
    char reply[256];
    // The read after the acknowledgement fails (the device is gone): a reception error, not
    // a time-out; the next command cannot even be sent.
    EXPECT_EQ(d.dialogue(5, "01QS", reply), kReadFailed);
    EXPECT_EQ(d.dialogue(5, "01QS", reply), kSendFailed) << "nothing answers any more";
}

TEST_F(DriverLine, OverlongAndBinaryCommandsAreRefused) {
    PtyPeer module(root->string() + "/ports", 5, xonModule);
    Driver d(*plain);
    ASSERT_EQ(d.open("COM5", 0, 0), 5);
    ASSERT_EQ(d.init(5, "9600", nullptr, nullptr), 0);
    char reply[256];
    const std::string overlong(5000, 'A');
    EXPECT_EQ(d.dialogue(5, overlong.c_str(), reply), 0x0050);
    EXPECT_EQ(d.dialogue(5, "01\x80\xff\x01GS", reply), 0x0050);
    EXPECT_EQ(module.received(), "") << "nothing was sent";
}

TEST_F(DriverLine, MissingDeviceFailsToInitialiseAndLeavesTheLineOpened) {
    Driver d(*plain);
    ASSERT_EQ(d.open("COM6", 0, 0), 6);
    EXPECT_EQ(d.init(6, "9600", nullptr, nullptr), 0x1001);
    char reply[256];
    EXPECT_EQ(d.dialogue(6, "01GS", reply), 0x800B);
}

TEST_F(DriverLine, PortIsHeldUntilSuspended) {
    PtyPeer module(root->string() + "/ports", 5, xonModule);
    LoadedDriver otherCopy(LINKOR_LIBRARY, *root / "other");
    Driver a(*plain);
    Driver b(otherCopy);
    ASSERT_EQ(a.open("COM5", 0, 0), 5);
    ASSERT_EQ(a.init(5, "9600", nullptr, nullptr), 0);
    EXPECT_EQ(a.ports(out.data()), 0);
    EXPECT_STREQ(out.data(), "COM5 ") << "a line initialised here is listed";
    EXPECT_EQ(b.ports(out.data()), 0);
    EXPECT_STREQ(out.data(), "") << "held by another user";

    ASSERT_EQ(b.open("COM5", 0, 0), 5);
    EXPECT_EQ(b.init(5, "9600", nullptr, nullptr), 0x1001);
    ASSERT_EQ(a.suspend(5), 0);
    EXPECT_EQ(b.init(5, "9600", nullptr, nullptr), 0);
    char reply[256];
    EXPECT_EQ(b.dialogue(5, "01QS", reply), 0);
    EXPECT_EQ(a.resume(5), 0x1001);
    EXPECT_EQ(b.close(5), 0);
    EXPECT_EQ(a.resume(5), 0);
    EXPECT_EQ(a.dialogue(5, "01QS", reply), 0);
    EXPECT_STREQ(reply, "01QS 123");
}

class AuxiliaryDriver : public DriverLine {
  protected:
    void SetUp() override {
        withAux =
            std::make_unique<LoadedDriver>(LINKOR_LIBRARY, *root / "aux", STANDIN_SORNCOM_LIBRARY);
    }
    void TearDown() override {
        Driver(*withAux).close(7);
        withAux.reset();
    }
    std::unique_ptr<LoadedDriver> withAux;
};

TEST_F(AuxiliaryDriver, UnknownProtocolsGoToIt) {
    Driver d(*withAux);
    ASSERT_EQ(d.open("COM7", 0, 0), 7);
    EXPECT_EQ(d.init(7, "9600", "OTHERBUS", nullptr), 0x8002) << "its refusal becomes 0x8002";
    ASSERT_EQ(d.init(7, "9600", "FIELDBUS", nullptr), 0);
    char reply[256];
    EXPECT_EQ(d.dialogue(7, "01GS", reply), 0x2009) << "its status comes back unchanged";
    EXPECT_STREQ(reply, "aux 42: 01GS");
    EXPECT_EQ(d.suspend(7), 0x8021) << "a function it lacks";
}

TEST_F(AuxiliaryDriver, ListsAndTextsIncludeIt) {
    Driver d(*withAux);
    EXPECT_EQ(d.identity(out.data()), 0);
    EXPECT_STREQ(out.data(), "Dll Linkor - Version: 2.7.4 - Date: 10/06/2009\nAux driver 1.0");
    EXPECT_EQ(d.types(out.data()), 0);
    EXPECT_STREQ(out.data(), "DVRX MICROTRILO VRX23 VRX34 TRILO JBUS AUXMOTOR AUXIO");
    EXPECT_EQ(d.protocols(out.data(), nullptr), 0);
    EXPECT_STREQ(out.data(), "XON-XOFF.&.XON-EXTENDED JBUS-232 JBUS-485 FIELDBUS");
    EXPECT_EQ(d.message(out.data(), 0x7777), 0);
    EXPECT_STREQ(out.data(), "aux code 30583");
    EXPECT_EQ(d.language("EN"), 0);
}

TEST_F(DriverLine, WithoutTheAuxiliaryDriver) {
    Driver d(*plain);
    ASSERT_EQ(d.open("COM6", 0, 0), 6);
    EXPECT_EQ(d.init(6, "9600", "FIELDBUS", nullptr), 0x8002);
    EXPECT_EQ(d.message(out.data(), 0x7777), 1);
    EXPECT_EQ(d.language("EN"), 1);
    d.language("FR");
}

} // namespace
} // namespace linkor::e2e
