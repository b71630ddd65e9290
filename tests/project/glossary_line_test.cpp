// The shipped glossary against the virtual line: the project's address table
// set-up texts go to the driver as the application sends them after a connect,
// then every glossary command of each target goes to a module of that target,
// cleaned as the terminal sends a glossary entry, and must be carried out.

#include "fixture.h"
#include "kvsim/virtual_line.h"
#include "linkor.h"
#include "modtyp.h"
#include "project/project.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <dlfcn.h>

namespace {

using namespace tamsel::project;
using namespace project_test;

constexpr int kLine = 9;

/// The driver as the program loads it.
class Driver {
  public:
    explicit Driver(const fs::path& library) {
        m_handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (m_handle != nullptr) {
            open = reinterpret_cast<decltype(open)>(::dlsym(m_handle, "OpenKv"));
            init = reinterpret_cast<decltype(init)>(::dlsym(m_handle, "InitKv"));
            dialogue = reinterpret_cast<decltype(dialogue)>(::dlsym(m_handle, "DialogueKv"));
            close = reinterpret_cast<decltype(close)>(::dlsym(m_handle, "CloseKv"));
        }
    }
    ~Driver() {
        if (m_handle != nullptr) {
            ::dlclose(m_handle);
        }
    }
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;
    bool loaded() const { return open && init && dialogue && close; }

    decltype(&::OpenKv) open = nullptr;
    decltype(&::InitKv) init = nullptr;
    decltype(&::DialogueKv) dialogue = nullptr;
    decltype(&::CloseKv) close = nullptr;

  private:
    void* m_handle = nullptr;
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

TEST(GlossaryOnTheLine, EveryCommandIsCarriedOutByAModuleOfItsTarget) {
    ScratchDir dir;
    fs::create_directories(dir / "ports");
    ::setenv("LINKOR_PORTS", (dir / "ports").c_str(), 1);
    fs::create_directories(dir / "driver");
    fs::copy_file(LINKOR_LIBRARY, dir / "driver" / "liblinkor.so");
    Driver driver(dir / "driver" / "liblinkor.so");
    ASSERT_TRUE(driver.loaded());

    kvsim::VirtualLine line(kvsim::parseLineText(
        "01 TRILO\n02 MICROTRILO\n03 VRX17\n04 DVRX\n05 VRX23\n06 VRX34\n", "glossary"));
    line.start(dir / "ports", kLine);

    fs::copy_file(shipped(kGlossaryFileName), dir / kGlossaryFileName);
    writeBytes(dir / "p.ktp", "[CONFIGURATION]\n"
                              "Cnf00001 = 1,512,_,_,_\n"
                              "Cnf00002 = 2,4098,_,_,_\n"
                              "Cnf00003 = 3,20480,_,_,_\n"
                              "Cnf00004 = 4,24608,_,_,_\n"
                              "Cnf00005 = 5,12289,_,_,_\n"
                              "Cnf00006 = 6,16385,_,_,_\n;\n");
    RecordingHost host;
    TKV_Project project;
    ASSERT_TRUE(project.open("p.ktp", host, dir.path()).opened);

    ASSERT_EQ(driver.open(("COM" + std::to_string(kLine)).c_str(), 0, 0), kLine);
    ASSERT_EQ(driver.init(kLine, "9600", "XON-XOFF", nullptr), 0);
    std::array<char, 256> reply{};
    ASSERT_EQ(driver.dialogue(kLine, "/TRILO/", reply.data()), 0);
    project.buildAddressTable();
    int settings = 0;
    for (std::string text = project.driverAddressText("first"); text != "last";
         text = project.driverAddressText(text)) {
        EXPECT_EQ(driver.dialogue(kLine, text.c_str(), reply.data()), 0) << text;
        ++settings;
    }
    EXPECT_EQ(settings, 6);

    struct Family {
        int address;
        const char* powerOn;
        const char* stop;
    };
    for (const Family& f :
         {Family{1, "GM", "GS"}, Family{2, "GM", "GS"}, Family{3, "POWER ON", "HALT"},
          Family{4, "POWER ON", "HALT"}, Family{5, "gm", "gs"}, Family{6, "gm", "gs"}}) {
        const ModuleRecord* record = project.configuration().recordWithAddress(f.address);
        ASSERT_NE(record, nullptr);
        char target[32] = {};
        ::GetTargetName(record->typeCode, target);
        const auto commands = project.glossary(target);
        ASSERT_FALSE(commands.empty()) << target;
        char address[4];
        std::snprintf(address, sizeof address, "%02d", f.address);
        for (const auto& command : commands) {
            // Each command meets a module that is powered and at rest.
            ASSERT_EQ(
                driver.dialogue(kLine, (address + std::string(f.powerOn)).c_str(), reply.data()),
                0);
            ASSERT_EQ(driver.dialogue(kLine, (address + std::string(f.stop)).c_str(), reply.data()),
                      0);
            const std::string sent = sendable(address, command);
            EXPECT_EQ(driver.dialogue(kLine, sent.c_str(), reply.data()), 0)
                << target << ": " << sent << " -> " << reply.data();
        }
    }
    driver.close(kLine);
    line.stop();
}

} // namespace
