// linkorctl doctor on a ports folder of pseudo-terminals and of things that are no serial
// device: each entry with why it can or cannot be used, and who holds a busy one.
#include "tool_fixture.h"

#include <common/unique_fd.h>

#include <fcntl.h>
#include <fstream>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace toolstest {
namespace {

using common::UniqueFd;

/// A pseudo-terminal whose slave is published in the ports folder.
struct Pty {
    UniqueFd master;
    std::string slave;
    explicit Pty() : master(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC)) {
        EXPECT_TRUE(master.valid());
        EXPECT_EQ(::grantpt(master.get()), 0);
        EXPECT_EQ(::unlockpt(master.get()), 0);
        slave = ::ptsname(master.get());
    }
};

class Doctor : public ToolLine {
  protected:
    void SetUp() override {
        fs::create_symlink(usable.slave, portsDir() / "COM1");
        std::ofstream(portsDir() / "COM2") << "not a device\n";
        fs::create_symlink(held.slave, portsDir() / "COM3");
        fs::create_symlink("/dev/serial/by-id/usb-unplugged-port0", portsDir() / "COM4");
        fs::create_symlink("/dev/null", portsDir() / "COM5");
        // Another program holding COM3 as the driver would: this test's process.
        heldOpen = UniqueFd(::open(held.slave.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
        ASSERT_TRUE(heldOpen.valid());
        ASSERT_EQ(::flock(heldOpen.get(), LOCK_EX | LOCK_NB), 0);
    }
    void TearDown() override {
        ToolLine::TearDown();
        for (const char* name : {"COM1", "COM2", "COM3", "COM4", "COM5"}) {
            std::error_code ec;
            fs::remove(portsDir() / name, ec);
        }
    }

    static std::string lineOf(const std::string& out, const std::string& start) {
        for (const std::string& l : linesOf(out)) {
            if (l.rfind(start, 0) == 0) {
                return l;
            }
        }
        return {};
    }

    Pty usable;
    Pty held;
    UniqueFd heldOpen;
};

TEST_F(Doctor, EachPortSaysWhetherItCanBeUsedAndWhy) {
    const Outcome out = run({"doctor"});
    ASSERT_EQ(out.exitCode, 0) << out.err;
    EXPECT_NE(out.out.find("ports: the folder " + portsDir().string() + " (LINKOR_PORTS)"),
              std::string::npos)
        << out.out;
    const std::string dir = portsDir().string() + "/";
    const struct {
        const char* port;
        std::string says;
    } cases[] = {
        {"COM1", "COM1  " + dir + "COM1 (LINKOR_PORTS): usable"},
        {"COM2", "is not a serial device but a regular file"},
        {"COM3", "busy: another program holds " + dir + "COM3"},
        {"COM4", "is a link to /dev/serial/by-id/usb-unplugged-port0, which does not exist"},
        {"COM5", "is not a serial device but another kind of character device"},
    };
    for (const auto& c : cases) {
        const std::string shown = lineOf(out.out, std::string(c.port) + "  ");
        EXPECT_NE(shown.find(c.says), std::string::npos) << c.port << ": " << shown;
    }
    // Who holds the busy one, as /proc tells it, and what to do for the unplugged adapter.
    EXPECT_NE(out.out.find("  open in " + std::to_string(::getpid()) + " ("), std::string::npos)
        << out.out;
    EXPECT_NE(out.out.find("ls -l /dev/serial/by-id/"), std::string::npos) << out.out;
    EXPECT_EQ(out.out.find("COM1 (LINKOR_PORTS): usable\n  open in"), std::string::npos) << out.out;
}

TEST_F(Doctor, JsonGivesOneObjectAPort) {
    const Outcome out = run({"doctor", "--json"});
    ASSERT_EQ(out.exitCode, 0) << out.err;
    std::map<std::string, JsonObject> byPort;
    for (const JsonObject& o : objects(out)) {
        if (o.at("port").kind == JsonValue::Kind::String) {
            byPort[o.at("port").text] = o;
        } else {
            // A device of the machine: no port leads to it while LINKOR_PORTS is set.
            EXPECT_NE(o.at("origin").text.find("LINKOR_PORTS"), std::string::npos);
        }
    }
    ASSERT_EQ(byPort.size(), 5U) << out.out;
    EXPECT_EQ(byPort["COM1"].at("usable").text, "true");
    EXPECT_EQ(byPort["COM1"].at("held_by").text, "");
    for (const char* port : {"COM2", "COM3", "COM4", "COM5"}) {
        EXPECT_EQ(byPort[port].at("usable").text, "false") << port;
    }
    EXPECT_EQ(byPort["COM3"].at("held_by").text.rfind(std::to_string(::getpid()) + " (", 0), 0U)
        << byPort["COM3"].at("held_by").text;
    // Once given back, the port is usable again.
    heldOpen.reset();
    const Outcome again = run({"doctor", "--json"});
    for (const JsonObject& o : objects(again)) {
        if (o.at("port").text == "COM3") {
            EXPECT_EQ(o.at("usable").text, "true");
            EXPECT_EQ(o.at("held_by").text, "");
        }
    }
}

TEST_F(Doctor, ARefusedDeviceNamesTheGroupThatGivesTheRight) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root may open any device";
    }
    ASSERT_EQ(::chmod(usable.slave.c_str(), 0), 0);
    const Outcome out = run({"doctor"});
    const std::string shown = lineOf(out.out, "COM1  ");
    EXPECT_NE(shown.find("permission denied"), std::string::npos) << out.out;
    EXPECT_NE(out.out.find("the group "), std::string::npos) << out.out;
}

TEST_F(Doctor, WithoutLinkorPortsThePortMapsPortsAreExamined) {
    // The driver's copy in driverDir() is found in the current directory, and its port map
    // beside it names the ports.
    std::ofstream(driverDir() / "linkor.ports")
        << "COM11 = " << usable.slave << "\nCOM12 = " << (root() / "gone").string() << "\n";
    ChildOptions o = options();
    o.environment["LINKOR_PORTS"] = "";
    const Outcome out = run({"doctor"}, o);
    fs::remove(driverDir() / "linkor.ports");
    ASSERT_EQ(out.exitCode, 0) << out.err;
    EXPECT_NE(out.out.find("driver: " + driverDir().string() +
                           "/liblinkor.so, the current "
                           "directory"),
              std::string::npos)
        << out.out;
    EXPECT_NE(out.out.find("port map: " + driverDir().string() + "/linkor.ports"),
              std::string::npos)
        << out.out;
    EXPECT_NE(lineOf(out.out, "COM11  ").find(usable.slave + " (port map): usable"),
              std::string::npos)
        << out.out;
    EXPECT_NE(lineOf(out.out, "COM12  ").find("does not exist"), std::string::npos) << out.out;
}

} // namespace
} // namespace toolstest
