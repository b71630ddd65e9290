// Why a port cannot be held, entry by entry of a ports directory, and that the driver's
// own listing agrees with it.
#include "posix/port_check.h"
#include "posix/posix_port.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace linkor {
namespace {

namespace fs = std::filesystem;

class PortChecks : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("linkor-ports-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        ::setenv("LINKOR_PORTS", dir.c_str(), 1);
        master = UniqueFd(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
        ASSERT_TRUE(master.valid());
        ASSERT_EQ(::grantpt(master.get()), 0);
        ASSERT_EQ(::unlockpt(master.get()), 0);
        fs::create_symlink(::ptsname(master.get()), dir / "COM1");
    }
    void TearDown() override {
        ::unsetenv("LINKOR_PORTS");
        fs::remove_all(dir);
    }

    fs::path dir;
    UniqueFd master; ///< the far end of COM1, a pseudo-terminal
};

TEST_F(PortChecks, EachUnusableEntryHasItsReason) {
    struct Case {
        unsigned port;
        std::function<void(const fs::path&)> make;
        PortFault fault;
        std::string text; ///< {} stands for the entry's path
    };
    const Case cases[] = {
        {2, [](const fs::path& p) { std::ofstream(p) << "x"; }, PortFault::RegularFile,
         "{} is not a serial device but a regular file"},
        {3, [](const fs::path& p) { fs::create_symlink("/nonexistent/tty", p); },
         PortFault::Missing,
         "no such device: {} is a link to /nonexistent/tty, which does not exist"},
        {4, [](const fs::path& p) { fs::create_directory(p); }, PortFault::Directory,
         "{} is not a serial device but a directory"},
        {5, [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }, PortFault::Fifo,
         "{} is not a serial device but a FIFO"},
        {6, [](const fs::path&) {}, PortFault::Missing, "no such device: {} does not exist"},
        {7, [](const fs::path& p) { fs::create_symlink("/dev/null", p); }, PortFault::NotTerminal,
         "{} is not a serial device but another kind of character device"},
    };
    for (const Case& c : cases) {
        const fs::path path = dir / ("COM" + std::to_string(c.port));
        SCOPED_TRACE(path.string());
        c.make(path);
        const PortCheck check = checkPort(c.port, "");
        EXPECT_EQ(check.fault, c.fault);
        EXPECT_EQ(check.device, path.string());
        std::string text = c.text;
        text.replace(text.find("{}"), 2, path.string());
        EXPECT_EQ(describePortCheck(check), text);
        EXPECT_FALSE(probePort(c.port)) << "the driver must not list it";
    }
    EXPECT_EQ(checkPort(1, "").fault, PortFault::None);
    EXPECT_TRUE(probePort(1));
}

TEST_F(PortChecks, APortHeldByAnotherOpenIsBusyUntilGivenBack) {
    const std::string path = (dir / "COM1").string();
    PortCheck held;
    UniqueFd first = openExclusive(path, held);
    ASSERT_TRUE(first.valid()) << describePortCheck(held);
    // Within one process flock() of a second open description still conflicts.
    const PortCheck second = checkPort(1, "");
    EXPECT_EQ(second.fault, PortFault::Busy);
    EXPECT_EQ(describePortCheck(second), "busy: another program holds " + path);
    EXPECT_FALSE(probePort(1));
    releaseExclusive(first);
    EXPECT_EQ(checkPort(1, "").fault, PortFault::None);
}

TEST_F(PortChecks, APortsDirectoryThatIsMissingIsNamed) {
    for (const fs::path& ports : {dir / "missing", dir / "file"}) {
        SCOPED_TRACE(ports.string());
        if (ports.filename() == "file") {
            std::ofstream(ports) << "x";
        }
        ::setenv("LINKOR_PORTS", ports.c_str(), 1);
        const PortCheck check = checkPort(1, "");
        EXPECT_EQ(check.fault, PortFault::PortsDirMissing);
        EXPECT_EQ(describePortCheck(check),
                  "LINKOR_PORTS names " + ports.string() + ", which is no directory");
    }
}

TEST_F(PortChecks, PermissionDeniedWhenTheUserMayNotOpen) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root may open anything";
    }
    const fs::path locked = dir / "locked";
    fs::create_directory(locked);
    fs::create_symlink(::ptsname(master.get()), locked / "COM2");
    fs::permissions(locked, fs::perms::none);
    ::setenv("LINKOR_PORTS", locked.c_str(), 1);
    const PortCheck check = checkPort(2, "");
    fs::permissions(locked, fs::perms::owner_all);
    EXPECT_EQ(check.fault, PortFault::PermissionDenied);
}

} // namespace
} // namespace linkor
