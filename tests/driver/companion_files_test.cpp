// Where the driver's companion files are: beside the library as always, and in the
// user's folders when the library's folder has none or cannot be written.
#include "base/companion_files.h"
#include "posix/port_map.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdlib.h>
#include <string>
#include <unistd.h>

namespace linkor {
namespace {

namespace fs = std::filesystem;

/// Sets an environment variable for one scope and puts the old value back.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, const std::string& value) : m_name(name) {
        if (const char* old = std::getenv(name); old != nullptr) {
            m_old = old;
            m_had = true;
        }
        if (value.empty()) {
            ::unsetenv(name);
        } else {
            ::setenv(name, value.c_str(), 1);
        }
    }
    ~ScopedVariable() {
        if (m_had) {
            ::setenv(m_name, m_old.c_str(), 1);
        } else {
            ::unsetenv(m_name);
        }
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

  private:
    const char* m_name;
    std::string m_old;
    bool m_had = false;
};

class CompanionLookup : public ::testing::Test {
  protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("linkor-companions-" + std::to_string(::getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "lib");
        library = (root / "lib").string() + "/";
    }
    void TearDown() override { fs::remove_all(root); }

    fs::path root;
    std::string library;
};

TEST_F(CompanionLookup, FilesTheUserSetsAreReadBesideTheLibraryFirstThenFromHisConfigFolder) {
    std::ofstream(library + "linkor.ports") << "COM1 = /dev/ttyS9\n";
    const struct {
        const char* name;
        Companion file;
        CompanionPlaces places;
        std::string expected;
    } cases[] = {
        {"a port map beside the library",
         Companion::PortMap,
         {library, false, "/home/u", "/cfg", "/st"},
         library + "linkor.ports"},
        {"no start-up script beside it: the config home's",
         Companion::StartupScript,
         {library, true, "/home/u", "/cfg", "/st"},
         "/cfg/tamsel2/linkor.zel"},
        {"no config home: the one under HOME",
         Companion::StartupScript,
         {library, true, "/home/u", "", "/st"},
         "/home/u/.config/tamsel2/linkor.zel"},
        {"a relative config home is ignored",
         Companion::StartupScript,
         {library, true, "/home/u/", "cfg", ""},
         "/home/u/.config/tamsel2/linkor.zel"},
        {"nobody's: beside the library",
         Companion::StartupScript,
         {library, true, "", "", ""},
         library + "linkor.zel"},
        {"library unknown",
         Companion::PortMap,
         {"", false, "/home/u", "", ""},
         "/home/u/.config/tamsel2/linkor.ports"},
        {"nothing known", Companion::PortMap, {"", false, "", "", ""}, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(companionPath(c.file, c.places), c.expected) << c.name;
    }
}

TEST_F(CompanionLookup, FilesTheDriverWritesGoBesideAWritableLibraryElseToTheStateFolder) {
    const struct {
        const char* name;
        Companion file;
        CompanionPlaces places;
        std::string expected;
    } cases[] = {
        {"log, writable library",
         Companion::Log,
         {library, true, "/home/u", "/cfg", "/st"},
         library + "linkor.log"},
        {"log, read-only library",
         Companion::Log,
         {library, false, "/home/u", "/cfg", "/st"},
         "/st/tamsel2/linkor.log"},
        {"log, no state home",
         Companion::Log,
         {library, false, "/home/u", "/cfg", ""},
         "/home/u/.local/state/tamsel2/linkor.log"},
        {"load record, read-only library",
         Companion::LoadRecord,
         {library, false, "/home/u", "", "/st/"},
         "/st/tamsel2/linkordll.id"},
        {"load record, writable library",
         Companion::LoadRecord,
         {library, true, "", "", ""},
         library + "linkordll.id"},
        // A log already beside a read-only library is not the user's to write.
        {"log, nowhere to write", Companion::Log, {library, false, "", "", ""}, ""},
    };
    std::ofstream(library + "linkor.log") << "old\n";
    for (const auto& c : cases) {
        EXPECT_EQ(companionPath(c.file, c.places), c.expected) << c.name;
    }
}

TEST_F(CompanionLookup, ThePlacesComeFromTheEnvironmentAndTheLibrarysFolder) {
    const ScopedVariable home("HOME", "/home/someone");
    const ScopedVariable config("XDG_CONFIG_HOME", (root / "cfg").string());
    const ScopedVariable state("XDG_STATE_HOME", "");
    const CompanionPlaces places = companionPlacesFor(library);
    EXPECT_EQ(places.libraryDir, library);
    EXPECT_TRUE(places.libraryDirWritable);
    EXPECT_EQ(places.home, "/home/someone");
    EXPECT_EQ(places.xdgConfigHome, (root / "cfg").string());
    EXPECT_EQ(places.xdgStateHome, "");
    EXPECT_FALSE(companionPlacesFor((root / "none/").string()).libraryDirWritable);
}

TEST_F(CompanionLookup, ThePortMapOfTheUserNamesTheDeviceWhenTheLibraryHasNone) {
    const ScopedVariable ports("LINKOR_PORTS", "");
    const ScopedVariable config("XDG_CONFIG_HOME", (root / "cfg").string());
    fs::create_directories(root / "cfg/tamsel2");
    std::ofstream(root / "cfg/tamsel2/linkor.ports") << "COM2 = /dev/serial/by-id/mine\n";
    EXPECT_EQ(devicePathOf(2, library), "/dev/serial/by-id/mine");
    EXPECT_EQ(devicePathOf(3, library), "/dev/ttyS2");
    // The library's own map comes first, and ports it does not name take the default.
    std::ofstream(library + "linkor.ports") << "COM3 = /dev/ttyUSB7\n";
    EXPECT_EQ(devicePathOf(3, library), "/dev/ttyUSB7");
    EXPECT_EQ(devicePathOf(2, library), "/dev/ttyS1");
}

TEST_F(CompanionLookup, TheUsersFolderIsMadeWhenTheFirstFileGoesThere) {
    const std::string path = (root / "state/tamsel2/linkor.log").string();
    EXPECT_TRUE(makeParentFolder(path));
    EXPECT_TRUE(fs::is_directory(root / "state/tamsel2"));
    std::ofstream(root / "file") << "x";
    EXPECT_FALSE(makeParentFolder((root / "file/tamsel2/linkor.log").string()));
}

} // namespace
} // namespace linkor
