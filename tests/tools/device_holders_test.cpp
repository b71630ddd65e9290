// Who holds a device, read from a made-up /proc, and which serial devices a /dev has.
#include "device_holders.h"

#include <common/unique_fd.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <stdlib.h>
#include <unistd.h>

namespace linkorctl {
namespace {

namespace fs = std::filesystem;

class DeviceHolders : public ::testing::Test {
  protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("linkorctl-holders-" + std::to_string(::getpid()));
        fs::remove_all(root);
        fs::create_directories(root);
        master = common::UniqueFd(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
        ASSERT_TRUE(master.valid());
        ASSERT_EQ(::grantpt(master.get()), 0);
        ASSERT_EQ(::unlockpt(master.get()), 0);
        slave = ::ptsname(master.get());
    }
    void TearDown() override { fs::remove_all(root); }

    /// A process of the made-up /proc with its command name and open files.
    void process(int pid, const std::string& name, const std::vector<std::string>& open) {
        const fs::path dir = root / "proc" / std::to_string(pid);
        fs::create_directories(dir / "fd");
        std::ofstream(dir / "comm") << name << "\n";
        int fd = 3;
        for (const std::string& file : open) {
            fs::create_symlink(file, dir / "fd" / std::to_string(fd++));
        }
    }

    fs::path root;
    common::UniqueFd master;
    std::string slave;
};

TEST_F(DeviceHolders, TheProcessesWithTheDeviceOpenAndWhatToDoAboutKnownTakers) {
    process(4242, "ModemManager", {"/dev/null", slave});
    process(77, "picocom", {slave});
    process(4343, "brltty", {"/dev/null"});
    fs::create_directories(root / "proc/self");
    process(::getpid(), "me", {slave}); // this process never counts
    const std::vector<DeviceHolder> holders = holdersOf(slave, (root / "proc").string());
    ASSERT_EQ(holders.size(), 2U);
    EXPECT_EQ(holders[0].pid, 77);
    EXPECT_EQ(holders[0].name, "picocom");
    EXPECT_EQ(holders[1].pid, 4242);
    EXPECT_EQ(holders[1].name, "ModemManager");

    const struct {
        const char* name;
        std::vector<DeviceHolder> holders;
        std::vector<std::string> says;
    } cases[] = {
        {"ModemManager", {{1, "picocom"}, {2, "ModemManager"}}, {"ID_MM_DEVICE_IGNORE"}},
        {"brltty", {{3, "brltty"}}, {"apt-get remove brltty"}},
        {"both", {{3, "brltty"}, {2, "ModemManager"}}, {"ModemManager", "brltty"}},
        {"an ordinary program", {{1, "picocom"}}, {}},
    };
    for (const auto& c : cases) {
        const std::string advice = holderAdvice(c.holders);
        for (const std::string& word : c.says) {
            EXPECT_NE(advice.find(word), std::string::npos) << c.name << ": " << advice;
        }
        EXPECT_EQ(advice.empty(), c.says.empty()) << c.name << ": " << advice;
    }
}

TEST_F(DeviceHolders, SerialDevicesOfEachKindInNumberOrder) {
    const fs::path dev = root / "dev";
    fs::create_directories(dev);
    for (const char* name : {"ttyS10", "ttyS2", "ttyUSB0", "ttyACM1", "ttySX", "ttyS", "tty0",
                             "ttyUSB1234567", "console"}) {
        std::ofstream(dev / name) << "";
    }
    const std::vector<std::string> expected = {(dev / "ttyS2").string(), (dev / "ttyS10").string(),
                                               (dev / "ttyUSB0").string(),
                                               (dev / "ttyACM1").string()};
    EXPECT_EQ(serialDevices(dev.string()), expected);
}

} // namespace
} // namespace linkorctl
