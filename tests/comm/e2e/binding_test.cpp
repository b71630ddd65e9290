// Locating, examining and binding the real driver; its lists, information and the
// working line.
#include "comm_fixture.h"
#include <comm/capability_lists.h>
#include <comm/texts.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <unistd.h>

namespace commtest {
namespace {

using namespace tkv;

class Binding : public CommLine {};

/// Runs a body with another current directory, and comes back.
template <typename F> void inDirectory(const fs::path& dir, F body) {
    const fs::path saved = fs::current_path();
    fs::current_path(dir);
    body();
    fs::current_path(saved);
}

TEST_F(Binding, LocateInTheCurrentDirectory) {
    TKV_CommDLL c(shell);
    inDirectory(driverDir(), [&] { EXPECT_TRUE(c.locateInCurrentDirectory()); });
    EXPECT_EQ(c.driverDirectory(), driverDir().string());
    EXPECT_EQ(c.driverFile(), "liblinkor.so");
    inDirectory(portsDir(), [&] { EXPECT_FALSE(c.locateInCurrentDirectory()); });
    fs::create_directories(root() / "odd" / "liblinkor.so");
    // A directory of that name is no driver.
    inDirectory(root() / "odd", [&] { EXPECT_FALSE(c.locateInCurrentDirectory()); });
}

TEST_F(Binding, LocateByTheSettingWithEveryReason) {
    TKV_CommDLL c(shell);
    fs::create_directories(root() / "empty");
    std::ofstream(root() / "plainfile") << "x";
    struct Case {
        bool hasKey;
        const char* value; ///< nullptr: no value
        bool found;
        int32_t reason;
        bool missing;
    };
    const std::string dir = driverDir().string();
    const std::string empty = (root() / "empty").string();
    const std::string nowhere = (root() / "nowhere").string();
    const std::string file = (root() / "plainfile").string();
    const Case cases[] = {
        {false, nullptr, false, kLocateNoKey, false},
        {true, nullptr, false, kLocateNoValue, false},
        {true, nowhere.c_str(), false, kLocateNoPath, false},
        {true, empty.c_str(), false, kLocateNoFile, true},
        {true, file.c_str(), false, kLocateFileError, false},
        {true, dir.c_str(), true, kLocateFound, false},
    };
    for (const Case& k : cases) {
        MemoryStore store;
        store.hasKey = k.hasKey;
        if (k.value != nullptr) {
            store.values["localize"] = k.value;
        }
        int32_t reason = -1;
        bool missing = !k.missing;
        EXPECT_EQ(c.locateBySettings(store, reason, missing), k.found) << k.reason;
        EXPECT_EQ(reason, k.reason);
        EXPECT_EQ(missing, k.missing) << k.reason;
        EXPECT_EQ(store.askedKey, "SOFTWARE\\Korvel\\LINKOR");
        EXPECT_EQ(store.askedName, "localize");
    }
    EXPECT_EQ(c.driverDirectory(), dir);
}

TEST_F(Binding, LocateByAskingKeepsTheChoiceAndTheCurrentDirectory) {
    TKV_CommDLL c(shell);
    const fs::path before = fs::current_path();
    shell.fileAnswer = (driverDir() / "liblinkor.so").string();
    EXPECT_TRUE(c.locateByAsking(31));
    EXPECT_EQ(c.driverDirectory(), driverDir().string());
    EXPECT_EQ(c.driverFile(), "liblinkor.so");
    EXPECT_EQ(shell.askedOwner, 31);
    ASSERT_EQ(shell.asked.size(), 4U);
    EXPECT_EQ(shell.asked[0], " localize the tm2 comm dll");
    EXPECT_EQ(shell.asked[1], "linkor dll file ");
    EXPECT_EQ(fs::current_path(), before);
    shell.fileAnswer.clear();
    EXPECT_FALSE(c.locateByAsking(31));
    EXPECT_EQ(c.driverDirectory(), driverDir().string()) << "cancel keeps the old choice";
    ASSERT_TRUE(c.examine());
    EXPECT_TRUE(c.bind());
}

TEST_F(Binding, ExamineRefusesWhatIsNoDriver) {
    fs::create_directories(root() / "fake");
    std::ofstream(root() / "fake" / "liblinkor.so") << "not a library";
    fs::create_directories(root() / "other");
    fs::copy_file(MODTYP_LIBRARY, root() / "other" / "liblinkor.so",
                  fs::copy_options::overwrite_existing);
    TKV_CommDLL c(shell);
    const fs::path before = fs::current_path();
    MemoryStore store;
    int32_t reason = 0;
    bool missing = false;

    store.values["localize"] = (root() / "fake").string();
    ASSERT_TRUE(c.locateBySettings(store, reason, missing));
    EXPECT_FALSE(c.examine());
    ASSERT_EQ(shell.boxes().size(), 1U);
    EXPECT_EQ(shell.boxes()[0].second, "Severe failure ");
    EXPECT_EQ(shell.boxes()[0].first, "ExamineDLL information :\nload : 0008\npath = " +
                                          (root() / "fake").string() + "\nfile = liblinkor.so");
    EXPECT_EQ(fs::current_path(), before);

    store.values["localize"] = (root() / "other").string();
    ASSERT_TRUE(c.locateBySettings(store, reason, missing));
    EXPECT_FALSE(c.examine()) << "a library without the driver's functions";
    EXPECT_EQ(shell.boxes().size(), 1U) << "no box for that";
    EXPECT_FALSE(c.bind());
    EXPECT_FALSE(c.connect("TRILO COM7 XON-XOFF 9600"));
}

TEST_F(Binding, CapabilityListsOfTheDriver) {
    bindDriver();
    const TagConfigDLL& cfg = comm->config();
    EXPECT_EQ(cfg.targets, "DVRX MICROTRILO VRX23 VRX34 TRILO JBUS");
    const int trilo = caps::targetIndex(cfg, "TRILO");
    ASSERT_GE(trilo, 0);
    EXPECT_EQ(cfg.perTarget[static_cast<std::size_t>(trilo)].protocols,
              "XON-XOFF.&.XON-EXTENDED ACK-NAK CONSOLE.&.TERMINAL");
    EXPECT_GT(caps::baudCount(cfg, trilo), 0);
    const int ackNak = caps::protocolIndex(cfg, trilo, "ACK-NAK");
    ASSERT_GE(ackNak, 0);
    std::string valid;
    for (int i = 0; i < caps::validBaudCount(cfg, trilo, ackNak); ++i) {
        valid += caps::validBaud(cfg, trilo, ackNak, i) + " ";
    }
    EXPECT_EQ(valid, "4800 9600 19200 38400 115200 ");
    const int vrx23 = caps::targetIndex(cfg, "VRX23");
    EXPECT_EQ(cfg.perTarget[static_cast<std::size_t>(vrx23)].bauds, "9600 19200 38400");
    const int jbus = caps::targetIndex(cfg, "JBUS");
    EXPECT_EQ(caps::protocolCount(cfg, jbus), 2);
    EXPECT_EQ(caps::validBaudCount(cfg, jbus, 1), 11);

    int32_t total = 0;
    for (int t = 0; t < caps::targetCount(cfg); ++t) {
        for (int p = 0; p < caps::protocolCount(cfg, t); ++p) {
            total += caps::validBaudCount(cfg, t, p);
        }
    }
    EXPECT_GT(total, 0);
    EXPECT_EQ(comm->getValue(kValueCombinations), total);
    int32_t out = -1;
    EXPECT_TRUE(comm->request(req::kCombinationCount, 0, &out));
    EXPECT_EQ(out, total);
    const TagConfigDLL* lists = nullptr;
    EXPECT_TRUE(comm->request(req::kCapabilityLists, 0, &lists));
    EXPECT_EQ(lists, &cfg);
    EXPECT_EQ(comm->getValue(kValueConfigLists), reinterpret_cast<std::intptr_t>(&cfg));
    EXPECT_EQ(comm->getValue(3), 0);
}

TEST_F(Binding, InformationOfTheDriver) {
    bindDriver();
    char buffer[kTextSize];
    EXPECT_TRUE(comm->request(req::kDriverIdentity, 0, buffer));
    EXPECT_TRUE(text::startsWith(buffer, "Dll Linkor - Version: 2.7.4")) << buffer;
    comm->getInformation(kInfoDriverPath, buffer);
    EXPECT_EQ(std::string(buffer), (driverDir() / "liblinkor.so").string());

    char expected[4096] = {};
    comm->getInformation(kInfoStatusMessage, buffer, 0x3002);
    EXPECT_GT(std::strlen(buffer), 0U);
    std::strcpy(expected, buffer);
    text::copy(buffer, "12290"); // 0x3002
    EXPECT_TRUE(comm->request(req::kStatusMessage, 0, buffer));
    EXPECT_STREQ(buffer, expected);

    text::copy(buffer, "CPU_TEMPERATURE");
    comm->getInformation(kInfoAbbreviation, buffer);
    EXPECT_STREQ(buffer, "CTE");
    comm->getInformation(4, buffer);
    EXPECT_STREQ(buffer, "");
}

TEST_F(Binding, ConnectSelectsTheTargetAndSpeaksEnglish) {
    startLine("03 TRILO type=0x0205");
    EXPECT_EQ(comm->lineHandle(), kCom);
    EXPECT_EQ(line->lineBaud(), 9600);
    char buffer[kTextSize];
    const char* const english = "Default: reception timeout!";
    comm->getInformation(kInfoStatusMessage, buffer, 0x3002);
    EXPECT_STREQ(buffer, english);
    comm->close();
    EXPECT_EQ(comm->lineHandle(), 0);
    ASSERT_TRUE(comm->connect("TRILO COM7 XON-XOFF 9600"));
    comm->getInformation(kInfoStatusMessage, buffer, 0x3002);
    EXPECT_STREQ(buffer, english);
    const auto diagnostics = shell.notesOf(kNoteDiagnostic);
    EXPECT_NE(std::find(diagnostics.begin(), diagnostics.end(), "/TRILO/"), diagnostics.end());
    EXPECT_NE(std::find(diagnostics.begin(), diagnostics.end(), "/TACK 400/"), diagnostics.end());
    EXPECT_TRUE(shell.boxes().empty());
}

TEST_F(Binding, ConnectFailures) {
    startLine("03 TRILO type=0x0205");
    EXPECT_FALSE(comm->connect("TRILO COM9 XON-XOFF 9600")) << "no such port";
    EXPECT_TRUE(shell.boxes().empty()) << "open and initialise fail silently";
    EXPECT_FALSE(comm->connect("TRILO COM7 XON-XOFF 1234")) << "no such baud rate";
    EXPECT_TRUE(shell.boxes().empty());
    EXPECT_FALSE(comm->connect("TRILO COM7"));

    EXPECT_FALSE(comm->connect("FOO COM7 XON-XOFF 9600"));
    ASSERT_EQ(shell.boxes().size(), 1U);
    EXPECT_EQ(shell.boxes()[0].first, "error 8023 on dial target");
    EXPECT_EQ(shell.boxes()[0].second, "/FOO/");
    const auto diagnostics = shell.notesOf(kNoteDiagnostic);
    EXPECT_NE(std::find(diagnostics.begin(), diagnostics.end(), "erreur de communication"),
              diagnostics.end());
    ASSERT_TRUE(comm->connect("TRILO COM7 XON-XOFF 9600")) << "a later connect works again";
}

TEST_F(Binding, SendSettingAndClose) {
    startLine("03 TRILO type=0x0205");
    EXPECT_TRUE(comm->sendSetting("/TRILO/"));
    EXPECT_FALSE(comm->sendSetting("/NOSUCHWORD/"));
    char buffer[kTextSize];
    comm->getInformation(kInfoLastCommand, buffer);
    EXPECT_STREQ(buffer, "/NOSUCHWORD/");
    EXPECT_TRUE(comm->request(req::kCloseLine, 0, nullptr));
    EXPECT_EQ(comm->lineHandle(), 0);
    const auto traces = shell.notesOf(kNoteTrace);
    ASSERT_FALSE(traces.empty());
    EXPECT_EQ(traces.back(), "Not in normal use");
    EXPECT_FALSE(comm->sendSetting("/TRILO/")) << "no line";
    EXPECT_FALSE(comm->request(0x9999, 0, buffer));
}

TEST(DriverFile, WhatIsNoLoadableLibraryIsToldBeforeTheLoaderMapsIt) {
    const fs::path dir = fs::temp_directory_path() / ("driver-file-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const auto size = fs::file_size(LINKOR_LIBRARY);
    struct Case {
        const char* name;
        std::function<void(const fs::path&)> make;
        const char* reason; ///< the start of checkFile's answer; empty for a good file
    };
    const auto copy = [](const fs::path& p) {
        fs::copy_file(LINKOR_LIBRARY, p, fs::copy_options::overwrite_existing);
    };
    const Case cases[] = {
        {"whole", copy, ""},
        // Cut anywhere past its headers, the loader would touch pages past the end.
        {"half",
         [&](const fs::path& p) {
             copy(p);
             fs::resize_file(p, size / 2);
         },
         "the file is cut short: its headers need "},
        {"one byte short",
         [&](const fs::path& p) {
             copy(p);
             fs::resize_file(p, size - 1);
         },
         "the file is cut short: its headers need "},
        {"header only",
         [&](const fs::path& p) {
             copy(p);
             fs::resize_file(p, 64);
         },
         "the file is cut short: its headers need "},
        {"ELF magic only",
         [&](const fs::path& p) {
             copy(p);
             fs::resize_file(p, 20);
         },
         "the file is cut short: its headers need 64 bytes, it has 20"},
        {"text", [](const fs::path& p) { std::ofstream(p) << "not a library"; },
         "it is not a shared library (no ELF header)"},
        {"empty", [](const fs::path& p) { std::ofstream(p).flush(); },
         "it is not a shared library (no ELF header)"},
        {"directory", [](const fs::path& p) { fs::create_directory(p); },
         "it is not a regular file"},
        {"missing", [](const fs::path&) {}, "No such file or directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path path = dir / c.name;
        c.make(path);
        const std::string why = TKV_DriverLibrary::checkFile(path.string());
        EXPECT_EQ(why.rfind(c.reason, 0), 0U) << why;
        EXPECT_EQ(why.empty(), *c.reason == '\0') << why;
        int error = 0;
        std::string reason;
        const TKV_DriverLibrary library = TKV_DriverLibrary::load(path.string(), error, reason);
        EXPECT_EQ(library.loaded(), why.empty());
        if (!why.empty()) {
            EXPECT_EQ(reason, why);
            EXPECT_EQ(error, std::string(c.name) == "missing" ? ENOENT : ENOEXEC);
        }
    }
    fs::remove_all(dir);
}

} // namespace
} // namespace commtest
