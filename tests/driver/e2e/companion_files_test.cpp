// The files beside the driver: its exchange log, start-up script and load record, and
// its messages, each through a private copy of the library.
#include "driver_api.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace linkor::e2e {
namespace {

namespace fs = std::filesystem;

std::string contentOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

/// Time stamps ("  hh:mm:ss:mmm") vary; the rest of a record must not.
std::string withoutTimes(const std::string& text) {
    const auto isStamp = [&text](size_t at) {
        static const char pattern[] = "  dd:dd:dd:ddd";
        for (size_t k = 0; k + 1 < sizeof pattern; ++k) {
            const char c = at + k < text.size() ? text[at + k] : '\0';
            if (pattern[k] == 'd' ? (c < '0' || c > '9') : c != pattern[k]) {
                return false;
            }
        }
        return true;
    };
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (isStamp(i)) {
            out += "  TIME";
            i += 13;
        } else {
            out += text[i];
        }
    }
    return out;
}

class CompanionFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("linkor-files-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir / "ports");
        setenv("LINKOR_PORTS", (dir / "ports").c_str(), 1);
    }
    void TearDown() override {
        if (driver) {
            Driver(*driver).close(5);
        }
        module.reset();
        driver.reset();
        fs::remove_all(dir);
    }
    /// Loads the library copy, after writing its start-up script when one is given.
    Driver load(const std::string& script = "") {
        fs::create_directories(dir / "lib");
        if (!script.empty()) {
            std::ofstream(dir / "lib" / "linkor.zel") << script;
        }
        driver = std::make_unique<LoadedDriver>(LINKOR_LIBRARY, dir / "lib");
        return Driver(*driver);
    }
    void startModule(PtyPeer::Handler handler = xonModule) {
        module = std::make_unique<PtyPeer>((dir / "ports").string(), 5, std::move(handler));
    }
    std::string log() const { return contentOf(dir / "lib" / "linkor.log"); }

    fs::path dir;
    std::unique_ptr<LoadedDriver> driver;
    std::unique_ptr<PtyPeer> module;
    std::array<char, 256> reply{};
};

TEST_F(CompanionFiles, EverythingLogged) {
    startModule();
    Driver d = load();
    ASSERT_EQ(d.open("COM5", 0, 0), 5);
    ASSERT_EQ(d.init(5, "9600", nullptr, nullptr), 0);
    ASSERT_EQ(d.dialogue(5, "/LOGALL/01GS", reply.data()), 0);
    ASSERT_EQ(d.dialogue(5, "01QS", reply.data()), 0);
    EXPECT_EQ(withoutTimes(log()), "\nLogging Dll Linkor - Version: 2.7.4 - Date: 10/06/2009"
                                   "\nCOM5  TIME\ncde: /LOGALL/01GS\n"
                                   "-> \\x0200401GSFB\\x03\n"
                                   "<- \\x06\\x13\\x1A\n"
                                   "\nCOM5  TIME\ncde: 01QS\n"
                                   "-> \\x0200401QS05\\x03\n"
                                   "<- \\x06\\x13\\x0200801QS 123BB\\x03\\x1A\n"
                                   "rep: 01QS 123\n");
}

TEST_F(CompanionFiles, ErrorsOnlyLogsFailedExchangesWhole) {
    startModule([](const std::string& received) {
        const std::string text = textOfFrame(received);
        if (text.empty()) {
            return PtyPeer::Answer{};
        }
        return PtyPeer::Answer{true, text == "02GS" ? "\x15\x13\x1a" : "\x06\x13\x1a"};
    });
    Driver d = load();
    ASSERT_EQ(d.open("COM5", 0, 0), 5);
    ASSERT_EQ(d.init(5, "9600", nullptr, nullptr), 0);
    ASSERT_EQ(d.dialogue(5, "/LOGERR/", reply.data()), 0);
    const std::string header = log();
    EXPECT_EQ(withoutTimes(header), "\nLogging Dll Linkor - Version: 2.7.4 - Date: 10/06/2009"
                                    "\nCOM5  TIME\ncde: /LOGERR/\n");
    ASSERT_EQ(d.dialogue(5, "01GS", reply.data()), 0);
    EXPECT_EQ(log(), header) << "a successful exchange leaves the file untouched";
    ASSERT_EQ(d.dialogue(5, "02GS", reply.data()), 0x2009);
    EXPECT_EQ(withoutTimes(log().substr(header.size())),
              "\nCOM5  TIME\ncde: 02GS\n"
              "-> \\x0200402GSFC\\x03\n"
              "<- \\x15\\x13\\x1A\n"
              "err: \\x2009 D\xe9"
              "faut: message refus\xe9 (NACK)! !!!!!!!!!!!!!!!!!!!!!!!\n");
}

TEST_F(CompanionFiles, NoLogNeverOpensTheFile) {
    startModule();
    Driver d = load();
    ASSERT_EQ(d.open("COM5", 0, 0), 5);
    ASSERT_EQ(d.init(5, "9600", nullptr, nullptr), 0);
    ASSERT_EQ(d.dialogue(5, "01GS", reply.data()), 0);
    EXPECT_FALSE(fs::exists(dir / "lib" / "linkor.log"));
    ASSERT_EQ(d.dialogue(5, "/LOGALL/", reply.data()), 0);
    ASSERT_EQ(d.dialogue(5, "/NOLOG/01GS", reply.data()), 0);
    EXPECT_EQ(withoutTimes(log()), "\nLogging Dll Linkor - Version: 2.7.4 - Date: 10/06/2009"
                                   "\nCOM5  TIME\ncde: /LOGALL/\n"
                                   "\nLogging Dll Linkor - Version: 2.7.4 - Date: 10/06/2009"
                                   "\nCOM5  TIME\ncde: /NOLOG/\n");
}

TEST_F(CompanionFiles, StartupScriptRunsOnEveryInitialisation) {
    startModule();
    Driver d = load("; rig set-up\n/TACK 400/\nCOM5: 01GS\nCOM6: 02GS\n");
    ASSERT_EQ(d.open("COM5", 0, 0), 5);
    ASSERT_EQ(d.init(5, "9600", nullptr, "03GS"), 0);
    EXPECT_EQ(module->received(), std::string("\x02"
                                              "00403GSFD\x03") +
                                      "\x02"
                                      "00401GSFB\x03");
    d.close(5);
    ASSERT_EQ(d.open("COM5", 0, 0), 5);
    ASSERT_EQ(d.init(5, "9600", nullptr, nullptr), 0);
    EXPECT_EQ(module->received().size(), 3 * 11u)
        << "the script again, without the initial command";
}

TEST_F(CompanionFiles, FailingScriptLineFailsTheInitialisation) {
    startModule();
    Driver d = load("01GS\n/FOO/\n02GS\n");
    ASSERT_EQ(d.open("COM5", 0, 0), 5);
    EXPECT_EQ(d.init(5, "9600", nullptr, nullptr), 0x8024);
    EXPECT_EQ(module->received(), "\x02"
                                  "00401GSFB\x03")
        << "nothing after the failing line";
    EXPECT_EQ(d.dialogue(5, "01GS", reply.data()), 0) << "the line stays initialised";
}

TEST_F(CompanionFiles, LoadRecord) {
    load();
    EXPECT_EQ(withoutTimes(contentOf(dir / "lib" / "linkordll.id")),
              "\nDll Linkor - Version: 2.7.4 - Date: 10/06/2009  TIME");
}

TEST_F(CompanionFiles, MessagesInBothLanguages) {
    Driver d = load();
    std::array<char, 256> out{};
    EXPECT_EQ(d.message(out.data(), 0x2008), 0);
    EXPECT_STREQ(out.data(), "D\xe9"
                             "faut: absence d'acquittement du message (ACK)!");
    EXPECT_EQ(d.language("english"), 0x8006);
    d.language("EN");
    EXPECT_EQ(d.message(out.data(), 0x2008), 0);
    EXPECT_STREQ(out.data(), "Default: message accept missing (ACK)!");
    d.language("FR");
    EXPECT_NE(d.message(out.data(), 0x1234), 0);
    EXPECT_STREQ(out.data(), "Type d'erreur non r\xe9"
                             "pertori\xe9!");
}

} // namespace
} // namespace linkor::e2e
