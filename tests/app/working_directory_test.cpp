// Where the program works: its own folder when it is started in one, otherwise a per-user
// folder filled from the installed files; never a file of the user's replaced.
#include "working_directory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <stdlib.h>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace tamsel::workdir;

std::string readAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

bool anyProblemSays(const TChoice& choice, const std::string& words) {
    for (const std::string& p : choice.problems) {
        if (p.find(words) != std::string::npos) {
            return true;
        }
    }
    return false;
}

/// A scratch tree: an installed share folder and tools folder, a current directory
/// without the program's files, and a home.
class WorkingDirectory : public ::testing::Test {
  protected:
    void SetUp() override {
        char dir[] = "/tmp/tamsel2-workdir-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        root = dir;
        installed = {root / "usr/share/tamsel2", root / "usr/lib/tamsel2/tools",
                     root / "usr/lib/tamsel2/liblinkor.so"};
        writeFile(installed.share / "tm2cmde.txt", "glossary\n");
        writeFile(installed.share / "template/tamsel2.ktp", "template project\n");
        writeFile(installed.share / "datafile/DVRX.t2v", "variables\n");
        writeFile(installed.share / "help/Tamsel2.html", "<html></html>\n");
        writeFile(installed.tools / "1450tools.so", "tool\n");
        writeFile(installed.driver, "driver\n");
        current = root / "somewhere";
        fs::create_directories(current);
        home = root / "home";
        fs::create_directories(home);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(root, ec);
    }

    fs::path root;
    TInstalledFiles installed;
    fs::path current;
    fs::path home;
};

TEST_F(WorkingDirectory, TheUserFolderFollowsXdgDataHomeElseHome) {
    const struct {
        const char* name;
        std::string home;
        std::string dataHome;
        fs::path expected;
    } cases[] = {
        {"data home wins", "/h/u", "/d/share", "/d/share/tamsel2"},
        {"home's default", "/h/u", "", "/h/u/.local/share/tamsel2"},
        {"a relative data home is ignored", "/h/u", "rel/share", "/h/u/.local/share/tamsel2"},
        {"neither", "", "", fs::path()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(userDirectory(TEnvironment{c.home, c.dataHome}), c.expected) << c.name;
    }
}

TEST_F(WorkingDirectory, ItStaysWhereItIsStartedInAFolderWithItsFilesOrWithoutAnInstallation) {
    const fs::path ownFolder = root / "build/bin";
    writeFile(ownFolder / "tm2cmde.txt", "g");
    writeFile(ownFolder / "template/tamsel2.ktp", "t");
    const fs::path halfFolder = root / "half";
    writeFile(halfFolder / "tm2cmde.txt", "g");
    const struct {
        const char* name;
        fs::path current;
        TInstalledFiles installed;
        TPlace place;
        fs::path directory;
    } cases[] = {
        {"its own folder", ownFolder, installed, TPlace::Current, ownFolder},
        {"no installation", current,
         TInstalledFiles{root / "nothing", root / "none", root / "none.so"}, TPlace::Current,
         current},
        {"no installation known", current, TInstalledFiles{}, TPlace::Current, current},
        {"a folder with only the glossary", halfFolder, installed, TPlace::User,
         home / ".local/share/tamsel2"},
    };
    for (const auto& c : cases) {
        const TChoice choice = chooseWorkingDirectory(c.current, c.installed, {home.string(), ""});
        EXPECT_EQ(choice.place, c.place) << c.name;
        EXPECT_EQ(choice.directory, c.directory) << c.name;
        EXPECT_TRUE(choice.problems.empty()) << c.name << ": " << choice.problems.front();
    }
    EXPECT_FALSE(fs::exists(ownFolder / "datafile"));
}

TEST_F(WorkingDirectory, AFirstStartFillsTheUserFolderFromTheInstalledFiles) {
    const fs::path dataHome = root / "data";
    const TChoice choice = chooseWorkingDirectory(current, installed, {"", dataHome.string()});
    const fs::path user = dataHome / "tamsel2";
    ASSERT_EQ(choice.place, TPlace::User);
    EXPECT_EQ(choice.directory, user);
    EXPECT_TRUE(choice.problems.empty());
    EXPECT_EQ(readAll(user / "tm2cmde.txt"), "glossary\n");
    EXPECT_EQ(readAll(user / "template/tamsel2.ktp"), "template project\n");
    EXPECT_EQ(readAll(user / "datafile/DVRX.t2v"), "variables\n");
    // Help and tools belong to the installation: they are reached, not copied.
    EXPECT_EQ(fs::read_symlink(user / "help"), installed.share / "help");
    EXPECT_EQ(fs::read_symlink(user / "tools"), installed.tools);
    // So is the driver, found in the working folder by the start-up without a question.
    EXPECT_EQ(fs::read_symlink(user / "liblinkor.so"), installed.driver);
    EXPECT_EQ(readAll(user / "help/Tamsel2.html"), "<html></html>\n");
    EXPECT_FALSE(fs::exists(user / "template/tamsel2.ktp.part"));
    // The current directory is left alone.
    EXPECT_TRUE(fs::is_empty(current));
}

TEST_F(WorkingDirectory, NamesInUtf8BecomeTheWindows1252NamesTheProgramLooksFor) {
    const struct {
        const char* name;
        std::string installed;
        std::string working;
    } cases[] = {
        {"micro sign", "\xC2\xB5Trilo.t2v", "\xB5Trilo.t2v"},
        {"euro sign, in the code page's high bytes", "\xE2\x82\xAC.t2v", "\x80.t2v"},
        {"a character the code page lacks", "\xE4\xB8\xAD.t2v", "\xE4\xB8\xAD.t2v"},
        {"no UTF-8", "\xB5Vrx.t2v", "\xB5Vrx.t2v"},
        {"cut short", "Vrx\xC2", "Vrx\xC2"},
        {"plain", "DVRX34.t2v", "DVRX34.t2v"},
    };
    for (const auto& c : cases) {
        writeFile(installed.share / "datafile" / c.installed, c.name);
    }
    const TChoice choice = chooseWorkingDirectory(current, installed, {home.string(), ""});
    ASSERT_EQ(choice.place, TPlace::User);
    for (const auto& c : cases) {
        EXPECT_EQ(readAll(choice.directory / "datafile" / c.working), c.name) << c.name;
    }
}

TEST_F(WorkingDirectory, WhatTheUserFolderHoldsIsNeverReplaced) {
    const fs::path user = home / ".local/share/tamsel2";
    const struct {
        const char* name;
        std::function<void()> prepare;
        fs::path file;
        std::string expected;
    } cases[] = {
        {"an edited glossary", [&] { writeFile(user / "tm2cmde.txt", "mine"); },
         user / "tm2cmde.txt", "mine"},
        {"an edited template, glossary missing",
         [&] { writeFile(user / "template/tamsel2.ktp", "my project"); },
         user / "template/tamsel2.ktp", "my project"},
        {"a half-copied template: the missing glossary comes",
         [&] { writeFile(user / "template/tamsel2.ktp", "my project"); }, user / "tm2cmde.txt",
         "glossary\n"},
        {"a copy cut short is done again",
         [&] { writeFile(user / "datafile/DVRX.t2v.part", "vari"); }, user / "datafile/DVRX.t2v",
         "variables\n"},
        {"a help folder of the user's", [&] { writeFile(user / "help/Tamsel2.html", "my help"); },
         user / "help/Tamsel2.html", "my help"},
    };
    for (const auto& c : cases) {
        fs::remove_all(user);
        c.prepare();
        const TChoice choice = chooseWorkingDirectory(current, installed, {home.string(), ""});
        EXPECT_EQ(choice.place, TPlace::User) << c.name;
        EXPECT_EQ(readAll(c.file), c.expected) << c.name;
        EXPECT_TRUE(choice.problems.empty()) << c.name;
        EXPECT_FALSE(fs::exists(user / "datafile/DVRX.t2v.part")) << c.name;
    }
}

TEST_F(WorkingDirectory, AFolderThatCannotBeMadeReadyLeavesTheInstalledFilesToWorkIn) {
    const fs::path user = home / ".local/share/tamsel2";
    const struct {
        const char* name;
        std::function<void()> prepare;
        TEnvironment env;
        std::string said;
        fs::path keptFile; ///< a file of the user's in the way, which must stay as it was
    } cases[] = {
        // Not even root may create a folder there.
        {"uncreatable", [] {}, {"", "/proc/self/no-such-place"}, "could not be created", {}},
        {"a file in the folder's place",
         [&] { writeFile(user, "x"); },
         {home.string(), ""},
         "could not be created",
         user},
        {"a file in the template's place",
         [&] { writeFile(user / "template", "x"); },
         {home.string(), ""},
         "in the way",
         user / "template"},
        {"no home at all", [] {}, {"", ""}, "neither HOME nor XDG_DATA_HOME", {}},
    };
    for (const auto& c : cases) {
        fs::remove_all(home / ".local");
        c.prepare();
        const TChoice choice = chooseWorkingDirectory(current, installed, c.env);
        EXPECT_EQ(choice.place, TPlace::Installed) << c.name;
        EXPECT_EQ(choice.directory, installed.share) << c.name;
        EXPECT_TRUE(anyProblemSays(choice, c.said)) << c.name;
        EXPECT_TRUE(anyProblemSays(choice, installed.share.string())) << c.name;
        if (!c.keptFile.empty()) {
            EXPECT_EQ(readAll(c.keptFile), "x") << c.name;
        }
    }
}

TEST_F(WorkingDirectory, TheEnvironmentIsReadFromHomeAndXdgDataHome) {
    // The variables are the process's: each goes back to what it was.
    struct Saved {
        const char* name;
        std::optional<std::string> value;
    } saved[] = {{"HOME", {}}, {"XDG_DATA_HOME", {}}};
    for (Saved& v : saved) {
        if (const char* value = std::getenv(v.name); value != nullptr) {
            v.value = value;
        }
    }
    setenv("HOME", home.c_str(), 1);
    unsetenv("XDG_DATA_HOME");
    const TChoice choice = chooseWorkingDirectory(current, installed, currentEnvironment());
    EXPECT_EQ(choice.directory, home / ".local/share/tamsel2");
    setenv("XDG_DATA_HOME", (root / "xdg").c_str(), 1);
    EXPECT_EQ(userDirectory(currentEnvironment()), root / "xdg/tamsel2");
    for (const Saved& v : saved) {
        if (v.value) {
            setenv(v.name, v.value->c_str(), 1);
        } else {
            unsetenv(v.name);
        }
    }
}

TEST(InstalledFiles, LieBesideTheProgramsFolder) {
    const TInstalledFiles files = installedBeside("/opt/x/usr/bin");
    EXPECT_EQ(files.share, fs::path("/opt/x/usr/share/tamsel2"));
    EXPECT_EQ(files.tools, fs::path("/opt/x/usr/lib/tamsel2/tools"));
    EXPECT_EQ(files.driver, fs::path("/opt/x/usr/lib/tamsel2/liblinkor.so"));
}

} // namespace
