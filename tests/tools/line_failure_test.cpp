// Why a line cannot be had, told so that the user need not guess: a port that is busy or
// no serial device, a start-up script whose line fails, a driver file that is no driver.
#include "tool_fixture.h"

#include <fcntl.h>
#include <fstream>
#include <functional>
#include <random>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace toolstest {
namespace {

class LineFailure : public ToolLine {
  protected:
    void TearDown() override {
        ToolLine::TearDown();
        std::error_code ec;
        for (const fs::path& p : made) {
            fs::remove_all(p, ec);
        }
    }

    /// A port entry of this test, removed at its end.
    fs::path entry(const std::string& port) {
        made.push_back(portsDir() / port);
        return made.back();
    }

    /// A directory holding a copy of the driver and whatever the test adds.
    fs::path driverCopy(const std::string& name) {
        const fs::path dir = root() / name;
        fs::create_directories(dir);
        fs::copy_file(LINKOR_LIBRARY, dir / "liblinkor.so", fs::copy_options::overwrite_existing);
        made.push_back(dir);
        return dir;
    }

    std::vector<fs::path> made;
};

TEST_F(LineFailure, EachUnusablePortEntryIsToldWithItsReason) {
    struct Case {
        const char* port;
        std::function<void(const fs::path&)> make;
        std::string reason; ///< after "cannot be opened: "; {} stands for the entry's path
    };
    const Case cases[] = {
        {"COM11", [](const fs::path& p) { std::ofstream(p) << "not a port"; },
         "{} is not a serial device but a regular file"},
        {"COM12", [](const fs::path& p) { fs::create_symlink("/dev/pts/nonexistent-9999", p); },
         "no such device: {} is a link to /dev/pts/nonexistent-9999, which does not exist"},
        {"COM13", [](const fs::path& p) { fs::create_directory(p); },
         "{} is not a serial device but a directory"},
        {"COM14", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); },
         "{} is not a serial device but a FIFO"},
        {"COM15", [](const fs::path&) {}, "no such device: {} does not exist"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.port);
        const fs::path path = entry(c.port);
        c.make(path);
        std::string reason = c.reason;
        reason.replace(reason.find("{}"), 2, path.string());
        const Outcome out = run({"send", "--port", c.port, "00RV"});
        EXPECT_EQ(out.exitCode, 1);
        EXPECT_EQ(out.err, "linkorctl: port " + std::string(c.port) +
                               " cannot be opened: " + reason +
                               "; the driver can use no port (ports come from "
                               "LINKOR_PORTS or the port map linkor.ports)\n");
        const Outcome scan = run({"scan", "--auto", "--port", c.port});
        EXPECT_EQ(scan.exitCode, 1);
        EXPECT_EQ(scan.err, "linkorctl: port " + std::string(c.port) +
                                " cannot be opened: " + reason + "; the driver can use no port\n");
    }
}

TEST_F(LineFailure, APortsDirectoryThatDoesNotExistIsNamed) {
    ChildOptions o = options();
    const fs::path missing = root() / "no-such-ports";
    o.environment["LINKOR_PORTS"] = missing.string();
    const Outcome out = run({"send", "--port", "COM3", "00RV"}, o);
    EXPECT_EQ(out.exitCode, 1);
    EXPECT_NE(out.err.find("port COM3 cannot be opened: LINKOR_PORTS names " + missing.string() +
                           ", which is no directory"),
              std::string::npos)
        << out.err;
}

TEST_F(LineFailure, APortHeldByAnotherProgramIsBusy) {
    startLine("demo.line");
    const fs::path port = portsDir() / kPort;
    // Held as the driver holds a port, as a second copy of it would find it.
    const int fd = ::open(port.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    ASSERT_EQ(::ioctl(fd, TIOCEXCL), 0);
    const std::string busy = "port COM7 is busy: another program holds " + port.string();
    const Outcome send = run({"send", "--port", kPort, "00RV"});
    EXPECT_EQ(send.exitCode, 1);
    EXPECT_EQ(send.err.rfind("linkorctl: " + busy + "; the driver can use", 0), 0U) << send.err;
    const Outcome scan = run({"scan", "--auto", "--port", kPort});
    EXPECT_EQ(scan.exitCode, 1);
    EXPECT_EQ(scan.err.rfind("linkorctl: " + busy + "; the driver can use", 0), 0U) << scan.err;
    ::ioctl(fd, TIOCNXCL);
    ::close(fd);
    // Given back, the same port works.
    const Outcome again = run({"send", "--port", kPort, "--baud", "9600", "00RV"});
    EXPECT_EQ(again.exitCode, 0) << again.err;
}

TEST_F(LineFailure, AFailingLineOfTheStartUpScriptIsNamed) {
    startLine("demo.line");
    const fs::path dir = driverCopy("scripted");
    std::ofstream(dir / "linkor.zel") << "; set-up of the rig\n/TACK 400/\n/NO-SUCH-SETTING/\n";
    ChildOptions o = options();
    o.workingDirectory = dir;
    const std::string where =
        "(" + (dir / "linkor.zel").string() + ", line 3: \"/NO-SUCH-SETTING/\", status 0x";
    const Outcome send = run({"send", "--port", kPort, "--baud", "9600", "00RV"}, o);
    EXPECT_EQ(send.exitCode, 1);
    EXPECT_NE(send.err.find("could not be initialised: its start-up script failed: Default: "
                            "command or prefix not available in scriptfile! " +
                            where),
              std::string::npos)
        << send.err;
    EXPECT_NE(send.err.find("(status 0x8024)\n"), std::string::npos) << send.err;

    const Outcome scan = run({"scan", "--auto", "--port", kPort}, o);
    EXPECT_EQ(scan.exitCode, 1);
    EXPECT_NE(scan.err.find("its start-up script failed"), std::string::npos) << scan.err;
    EXPECT_NE(scan.err.find(where), std::string::npos) << scan.err;
    EXPECT_EQ(scan.err.find("check the cable"), std::string::npos) << scan.err;
}

TEST_F(LineFailure, ADriverFileThatIsNoDriverIsToldPlainly) {
    const auto size = fs::file_size(LINKOR_LIBRARY);
    struct Case {
        const char* name;
        std::function<void(const fs::path&)> make;
        const char* reason;
    };
    const Case cases[] = {
        // Loading a cut file used to end the program with SIGBUS inside the loader.
        {"truncated", [size](const fs::path& p) { fs::resize_file(p, size / 2); },
         "is not a usable driver: the file is cut short: its headers need "},
        {"random",
         [size](const fs::path& p) {
             std::mt19937 random(7);
             std::string bytes(size, '\0');
             for (char& b : bytes) {
                 b = static_cast<char>(random());
             }
             std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
         },
         "is not a usable driver: it is not a shared library (no ELF header)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path dir = driverCopy(c.name);
        c.make(dir / "liblinkor.so");
        const Outcome out = run({"--driver", dir.string(), "identity"});
        EXPECT_EQ(out.exitCode, 1) << "it must end as a failure, not be killed";
        // The binding's own box comes first, as tamsel2 shows it.
        EXPECT_NE(out.err.find("ExamineDLL information :"), std::string::npos) << out.err;
        EXPECT_NE(out.err.find("linkorctl: the driver " + (dir / "liblinkor.so").string() + " " +
                               c.reason),
                  std::string::npos)
            << out.err;
    }
}

} // namespace
} // namespace toolstest
