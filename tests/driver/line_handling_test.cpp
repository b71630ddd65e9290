// How a serial device is driven, from what it answered: drain, direction and latency for
// the devices engineers plug in, and the bit-time arithmetic behind the waits.
#include "posix/device_answers.h"
#include "posix/line_handling.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <unistd.h>

namespace linkor {
namespace {

using std::chrono::microseconds;

struct HandlingCase {
    const char* name;
    DeviceAnswers answers;
    DrainMethod drain;
    DirectionControl direction;
    bool setLowLatency;
    bool slowLatencyTimer;
};

void PrintTo(const HandlingCase& c, std::ostream* os) {
    *os << c.name;
}

DeviceAnswers answers(bool lsr, bool rs485, bool serialInfo, bool lowLatency, int timerMs) {
    DeviceAnswers a;
    a.lineStatus = lsr;
    a.rs485 = rs485;
    a.serialInfo = serialInfo;
    a.lowLatency = lowLatency;
    a.latencyTimerMs = timerMs;
    return a;
}

DeviceAnswers pseudoTerminal() {
    DeviceAnswers a;
    a.pseudoTerminal = true;
    return a;
}

class Handling : public ::testing::TestWithParam<HandlingCase> {};

TEST_P(Handling, FollowsWhatTheDeviceAnswered) {
    const HandlingCase& c = GetParam();
    const LineHandling h = decideHandling(c.answers);
    EXPECT_EQ(h.drain, c.drain);
    EXPECT_EQ(h.direction, c.direction);
    EXPECT_EQ(h.setLowLatency, c.setLowLatency);
    EXPECT_EQ(h.slowLatencyTimer, c.slowLatencyTimer);
}

using D = DrainMethod;
using R = DirectionControl;
INSTANTIATE_TEST_SUITE_P(
    Devices, Handling,
    ::testing::Values(
        HandlingCase{"PseudoTerminal", pseudoTerminal(), D::None, R::Driver, false, false},
        HandlingCase{"UartWithFifo", answers(true, false, true, false, -1), D::TransmitterEmpty,
                     R::Driver, true, false},
        HandlingCase{"UartWithRs485", answers(true, true, true, false, -1), D::TransmitterEmpty,
                     R::Kernel, true, false},
        HandlingCase{"UartAlreadyLowLatency", answers(true, false, true, true, -1),
                     D::TransmitterEmpty, R::Driver, false, false},
        HandlingCase{"UsbAdapterDefaultTimer", answers(false, false, true, false, 16),
                     D::KernelDrain, R::Driver, true, true},
        HandlingCase{"UsbAdapterTimerAtTheLimit", answers(false, false, true, false, 2),
                     D::KernelDrain, R::Driver, true, false},
        HandlingCase{"UsbAdapterTimerJustAbove", answers(false, false, true, false, 3),
                     D::KernelDrain, R::Driver, true, true},
        HandlingCase{"UsbAdapterWithRs485", answers(false, true, true, false, 1), D::KernelDrain,
                     R::Kernel, true, false},
        HandlingCase{"EveryCallRefused", answers(false, false, false, false, -1), D::KernelDrain,
                     R::Driver, false, false}),
    [](const ::testing::TestParamInfo<HandlingCase>& i) { return std::string(i.param.name); });

TEST(WireArithmetic, TimesAreRoundedUpAndNeverDivideByZero) {
    const struct {
        std::size_t characters;
        int baud;
        long long wireUs;
    } cases[] = {
        {1, 9600, 1042},   // 1041.67 us
        {11, 115200, 955}, // 954.86 us
        {8, 300, 266667},  // a JBUS request at the slowest speed
        {0, 9600, 0},      //
        {1, 0, 10000000},  // no speed: taken as 1 baud, never a division by zero
        {3, 1000000, 30},  // exact
    };
    for (const auto& c : cases) {
        EXPECT_EQ(wireTime(c.characters, c.baud).count(), c.wireUs)
            << c.characters << " at " << c.baud;
    }
    // A drain may take the frame and a full FIFO ahead of it, and the margin.
    EXPECT_EQ(drainBound(10, 9600), wireTime(10 + kLargestTransmitFifo, 9600) + kDrainMargin);
    EXPECT_GT(drainBound(0, 115200), microseconds(0));
}

TEST(WireArithmetic, TheKernelsRtsDelayIsNeverShorterThanTheDriversOwn) {
    const struct {
        int baud;
        int ms;
    } cases[] = {{9600, 3}, {115200, 1}, {300, 84}, {25000, 1}, {24999, 2}, {0, 25000}};
    for (const auto& c : cases) {
        EXPECT_EQ(rs485DelayAfterSendMs(c.baud), c.ms) << c.baud;
        if (c.baud > 0) {
            EXPECT_GE(c.ms * 1000LL * c.baud, kRtsOffBits * 1000000LL) << c.baud;
        }
    }
}

TEST(WireArithmetic, DescriptionsNameWhatIsDone) {
    LineHandling h;
    h.drain = DrainMethod::TransmitterEmpty;
    h.direction = DirectionControl::Kernel;
    h.setLowLatency = true;
    EXPECT_EQ(describeHandling(h), "RS-485 direction by the kernel; end of frame from the UART's "
                                   "transmitter-empty flag; low latency asked");
    h = decideHandling(pseudoTerminal());
    EXPECT_EQ(describeHandling(h), "RTS switched by the driver; pseudo-terminal, nothing to drain");
    const std::string advice = latencyTimerAdvice("ttyUSB0", 16);
    EXPECT_NE(advice.find("up to 16 ms"), std::string::npos) << advice;
    EXPECT_NE(advice.find("/sys/bus/usb-serial/devices/ttyUSB0/latency_timer"), std::string::npos)
        << advice;
    EXPECT_NE(advice.find("ATTR{latency_timer}=\"1\""), std::string::npos) << advice;
}

class SysfsTree : public ::testing::Test {
  protected:
    void SetUp() override {
        char dir[] = "/tmp/linkor-sysfs-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        root = dir;
    }
    void TearDown() override { std::filesystem::remove_all(root); }
    void timer(const std::string& device, const std::string& text) {
        const std::filesystem::path d = root / "class/tty" / device / "device";
        std::filesystem::create_directories(d);
        std::ofstream(d / "latency_timer") << text;
    }
    std::filesystem::path root;
};

TEST_F(SysfsTree, TheLatencyTimerIsReadWhereTheAdapterHasOne) {
    timer("ttyUSB0", "16\n");
    timer("ttyUSB1", "1");
    timer("ttyUSB2", "garbage");
    timer("ttyUSB3", "-4");
    EXPECT_EQ(latencyTimerOf("ttyUSB0", root), 16);
    EXPECT_EQ(latencyTimerOf("ttyUSB1", root), 1);
    EXPECT_EQ(latencyTimerOf("ttyUSB2", root), -1);
    EXPECT_EQ(latencyTimerOf("ttyUSB3", root), -1);
    EXPECT_EQ(latencyTimerOf("ttyS0", root), -1);
    // A name that would climb out of the tree is no device name.
    EXPECT_EQ(latencyTimerOf("../../ttyUSB0", root), -1);
    EXPECT_EQ(latencyTimerOf("", root), -1);
}

TEST(DeviceAnswersOf, APseudoTerminalIsKnownAndNothingElseIsAsked) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const int slave = open(ptsname(master), O_RDWR | O_NOCTTY);
    ASSERT_GE(slave, 0);
    const DeviceAnswers a = askDevice(slave);
    EXPECT_TRUE(a.pseudoTerminal);
    EXPECT_FALSE(a.serialInfo);
    EXPECT_EQ(deviceNameOf(slave).rfind("pts/", 0), 0u) << deviceNameOf(slave);
    close(slave);
    close(master);
    // A descriptor that is no terminal at all is no pseudo-terminal either.
    const int null = open("/dev/null", O_RDWR);
    ASSERT_GE(null, 0);
    EXPECT_FALSE(askDevice(null).pseudoTerminal);
    EXPECT_EQ(deviceNameOf(null), "null");
    close(null);
}

} // namespace
} // namespace linkor
