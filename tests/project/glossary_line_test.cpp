// The shipped glossary against the virtual line: the project's address table
// set-up texts go to the driver as the application sends them after a connect,
// then every glossary command of each target goes to a module of that target,
// cleaned as the terminal sends a glossary entry, and must be carried out.

#include "fixture.h"
#include "kvsim/virtual_line.h"
#include "linkor.h"
#include "modtyp.h"
#include "project/project.h"

#include <common/loaded_library.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace tamsel::project;
using namespace project_test;

constexpr int kLine = 9;

/// The driver as the program loads it.
struct Driver {
    explicit Driver(const fs::path& path)
        : library(path.string()), open(library.function<linkor::fn::OpenKv>("OpenKv")),
          init(library.function<linkor::fn::InitKv>("InitKv")),
          dialogue(library.function<linkor::fn::DialogueKv>("DialogueKv")),
          close(library.function<linkor::fn::CloseKv>("CloseKv")) {}
    bool loaded() const { return open && init && dialogue && close; }

    common::LoadedLibrary library; ///< first: the functions below live in it
    linkor::fn::OpenKv open;
    linkor::fn::InitKv init;
    linkor::fn::DialogueKv dialogue;
    linkor::fn::CloseKv close;
};

/// A glossary entry as the terminal sends it: the comment cut off, and a
/// value that the module takes in place of each "..nnn".
std::string sendable(std::string_view address, std::string command) {
    command = command.substr(0, command.find('('));
    while (!command.empty() && command.back() == ' ') {
        command.pop_back();
    }
    // Speeds of the frame modules must stay within what their periods can express.
    const bool frameSpeed = command.rfind("gf", 0) == 0 || command.rfind("gt", 0) == 0 ||
                            command.rfind("wx", 0) == 0 || command.rfind("wl", 0) == 0;
    for (auto at = command.find("..nnn"); at != std::string::npos; at = command.find("..nnn")) {
        command.replace(at, 5, frameSpeed ? "100" : "1");
    }
    return std::string(address) + command;
}

/// One family's modules, and the commands that bring one to power and rest.
struct Family {
    int address;
    const char* powerOn;
    const char* stop;
};

void PrintTo(const Family& f, std::ostream* os) {
    *os << "address " << f.address;
}

/// The line of every target, the project with its address table, the driver connected.
class GlossaryOnTheLine : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(dir / "ports");
        ::setenv("LINKOR_PORTS", (dir / "ports").c_str(), 1);
        fs::create_directories(dir / "driver");
        fs::copy_file(LINKOR_LIBRARY, dir / "driver" / "liblinkor.so");
        driver = std::make_unique<Driver>(dir / "driver" / "liblinkor.so");
        ASSERT_TRUE(driver->loaded());

        line.start(dir / "ports", kLine);

        fs::copy_file(shipped(kGlossaryFileName), dir / kGlossaryFileName);
        writeBytes(dir / "p.ktp", "[CONFIGURATION]\n"
                                  "Cnf00001 = 1,512,_,_,_\n"
                                  "Cnf00002 = 2,4098,_,_,_\n"
                                  "Cnf00003 = 3,20480,_,_,_\n"
                                  "Cnf00004 = 4,24608,_,_,_\n"
                                  "Cnf00005 = 5,12289,_,_,_\n"
                                  "Cnf00006 = 6,16385,_,_,_\n;\n");
        ASSERT_TRUE(project.open("p.ktp", host, dir.path()).opened);

        ASSERT_EQ(driver->open(("COM" + std::to_string(kLine)).c_str(), 0, 0), kLine);
        ASSERT_EQ(driver->init(kLine, "9600", "XON-XOFF", nullptr), 0);
        ASSERT_EQ(driver->dialogue(kLine, "/TRILO/", reply.data()), 0);
        project.buildAddressTable();
        for (std::string text = project.driverAddressText("first"); text != "last";
             text = project.driverAddressText(text)) {
            settingsStatus.emplace_back(text, driver->dialogue(kLine, text.c_str(), reply.data()));
        }
    }
    void TearDown() override {
        if (driver != nullptr && driver->loaded()) {
            driver->close(kLine);
        }
        line.stop();
        ::unsetenv("LINKOR_PORTS");
    }

    ScratchDir dir;
    std::unique_ptr<Driver> driver;
    kvsim::VirtualLine line{kvsim::parseLineText(
        "01 TRILO\n02 MICROTRILO\n03 VRX17\n04 DVRX\n05 VRX23\n06 VRX34\n", "glossary")};
    RecordingHost host;
    TKV_Project project;
    std::array<char, 256> reply{};
    /// Each set-up text of the address table and the driver's status for it.
    std::vector<std::pair<std::string, int32_t>> settingsStatus;
};

TEST_F(GlossaryOnTheLine, TheAddressTableSetsUpEveryModule) {
    EXPECT_EQ(settingsStatus.size(), 6U);
    for (const auto& [text, status] : settingsStatus) {
        EXPECT_EQ(status, 0) << text;
    }
}

class GlossaryOfATarget : public GlossaryOnTheLine, public ::testing::WithParamInterface<Family> {};

TEST_P(GlossaryOfATarget, EveryCommandIsCarriedOutByAModuleOfItsTarget) {
    const Family& f = GetParam();
    const ModuleRecord* record = project.configuration().recordWithAddress(f.address);
    ASSERT_NE(record, nullptr);
    char target[32] = {};
    ::GetTargetName(record->typeCode, target);
    const auto commands = project.glossary(target);
    ASSERT_FALSE(commands.empty()) << target;
    char address[4];
    std::snprintf(address, sizeof address, "%02d", f.address);
    for (const auto& command : commands) {
        const std::string sent = sendable(address, command);
        SCOPED_TRACE(std::string(target) + ": " + sent);
        // Each command meets a module that is powered and at rest.
        EXPECT_EQ(driver->dialogue(kLine, (address + std::string(f.powerOn)).c_str(), reply.data()),
                  0);
        EXPECT_EQ(driver->dialogue(kLine, (address + std::string(f.stop)).c_str(), reply.data()),
                  0);
        EXPECT_EQ(driver->dialogue(kLine, sent.c_str(), reply.data()), 0) << reply.data();
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, GlossaryOfATarget,
                         ::testing::Values(Family{1, "GM", "GS"}, Family{2, "GM", "GS"},
                                           Family{3, "POWER ON", "HALT"},
                                           Family{4, "POWER ON", "HALT"}, Family{5, "gm", "gs"},
                                           Family{6, "gm", "gs"}));

} // namespace
