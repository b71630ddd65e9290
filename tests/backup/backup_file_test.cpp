// The backup file: what the writer puts down the reader takes back unchanged, and every
// line the reader cannot take as it stands gives a message and reaches no module.
#include "backup/backup_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace tamsel::backup {
namespace {

constexpr int32_t kTriloV40 = 0x0205;
constexpr int32_t kVrx17 = 0x5000;

LinePicture demoPicture() {
    LinePicture p;
    p.line = "TRILO COM7 XON-XOFF.&.XON-EXTENDED 9600";
    p.written = "2026-12-10T22:00:00Z";
    p.firstAddress = 0;
    p.lastAddress = 3;
    ModuleRecord a;
    a.address = 0;
    a.answered = true;
    a.typeCode = kTriloV40;
    a.typeName = "KB01 v40";
    a.serial = "1001";
    a.target = "TRILO";
    a.settings = {
        {"parameters.max_speed", 1200}, {"parameters.start_speed", 40}, {"variable.05", -7}};
    ModuleRecord silent;
    silent.address = 1;
    ModuleRecord b;
    b.address = 2;
    b.answered = true;
    b.typeCode = kVrx17;
    b.typeName = "VRX17";
    b.settings = {{"motion.torque_ratio", 80}, {"motion.negative_end", -1000000}};
    b.unread = {"motion.low_speed"};
    p.modules = {a, silent, b};
    return p;
}

void expectSame(const LinePicture& a, const LinePicture& b) {
    EXPECT_EQ(a.version, b.version);
    EXPECT_EQ(a.line, b.line);
    EXPECT_EQ(a.written, b.written);
    EXPECT_EQ(a.firstAddress, b.firstAddress);
    EXPECT_EQ(a.lastAddress, b.lastAddress);
    ASSERT_EQ(a.modules.size(), b.modules.size());
    for (std::size_t i = 0; i < a.modules.size(); ++i) {
        const ModuleRecord& x = a.modules[i];
        const ModuleRecord& y = b.modules[i];
        EXPECT_EQ(x.address, y.address);
        EXPECT_EQ(x.answered, y.answered);
        EXPECT_EQ(x.typeCode, y.typeCode);
        EXPECT_EQ(x.typeName, y.typeName);
        EXPECT_EQ(x.serial, y.serial);
        EXPECT_EQ(x.target, y.target);
        EXPECT_EQ(x.settings, y.settings);
        EXPECT_EQ(x.unread, y.unread);
        EXPECT_EQ(x.complete, y.complete);
    }
}

TEST(BackupFile, WhatIsWrittenReadsBackTheSameWithoutMessages) {
    const LinePicture p = demoPicture();
    const std::string text = writePicture(p);
    const LoadResult r = readPicture(text);
    ASSERT_TRUE(r.usable);
    EXPECT_TRUE(r.messages.empty()) << r.messages.front().text;
    expectSame(p, r.picture);
    // Diff-friendly: the same picture gives the same text, one setting a line.
    EXPECT_EQ(writePicture(r.picture), text);
    EXPECT_NE(text.find("\n[module 00]\n"), std::string::npos);
    EXPECT_NE(text.find("\nparameters.max_speed = 1200\n"), std::string::npos);
    EXPECT_NE(text.find("\nserial = 1001\n"), std::string::npos);
    EXPECT_EQ(text.rfind("# ", 0), 0U);
}

/// A whole file around the lines of module 00 (a KB01 v40).
std::string fileWith(const std::string& moduleLines) {
    return "format = 1\nline = TRILO COM7 XON 9600\naddresses = 00-03\n\n[module 00]\n"
           "answered = yes\ncode = 0x0205\ntype = KB01 v40\nserial = 1001\n" +
           moduleLines + "\nend\n";
}

TEST(BackupFile, BadLinesGiveAMessageEachAndAreLeftOut) {
    struct Case {
        const char* name;
        std::string text;
        int messageLine; ///< the line of the one message
        const char* says;
        SettingValues settings; ///< of module 00 after reading
    };
    const Case cases[] = {
        {"unknown key",
         fileWith("parameters.max_speed = 900\nspeed_of_light = 3\n"),
         11,
         "unknown setting",
         {{"parameters.max_speed", 900}}},
        {"a key of another family",
         fileWith("motion.torque_ratio = 50\n"),
         10,
         "unknown setting",
         {}},
        {"above its range", fileWith("parameters.max_speed = 20001\n"), 10, "outside", {}},
        {"below its range", fileWith("parameters.ramp_time = 0\n"), 10, "outside", {}},
        {"a variable number out of range",
         fileWith("variable.256 = 1\n"),
         10,
         "unknown setting",
         {}},
        {"no number", fileWith("parameters.start_speed = fast\n"), 10, "no number", {}},
        {"given twice",
         fileWith("parameters.start_speed = 40\nparameters.start_speed = 41\n"),
         11,
         "twice",
         {{"parameters.start_speed", 40}}},
        {"no key and value", fileWith("parameters.start_speed 40\n"), 10, "key = value", {}},
        {"unknown header key",
         "format = 1\ncolour = blue\n\n[module 00]\nanswered = no\nend\n",
         2,
         "unknown key",
         {}},
    };
    for (const Case& c : cases) {
        const LoadResult r = readPicture(c.text);
        ASSERT_TRUE(r.usable) << c.name;
        ASSERT_EQ(r.messages.size(), 1U) << c.name;
        EXPECT_EQ(r.messages[0].line, c.messageLine) << c.name << ": " << r.messages[0].text;
        EXPECT_NE(r.messages[0].text.find(c.says), std::string::npos)
            << c.name << ": " << r.messages[0].text;
        const ModuleRecord* m = r.picture.module(0);
        ASSERT_NE(m, nullptr) << c.name;
        EXPECT_EQ(m->settings, c.settings) << c.name;
    }
}

TEST(BackupFile, ASecondSectionOfAModuleIsIgnored) {
    const std::string text =
        fileWith("parameters.max_speed = 900\n\n[module 00]\nanswered = yes\ncode = 0x0205\n"
                 "parameters.max_speed = 100\n");
    const LoadResult r = readPicture(text);
    ASSERT_TRUE(r.usable);
    ASSERT_EQ(r.messages.size(), 1U);
    EXPECT_NE(r.messages[0].text.find("second section"), std::string::npos) << r.messages[0].text;
    ASSERT_EQ(r.picture.modules.size(), 1U);
    EXPECT_EQ(r.picture.modules[0].settings, (SettingValues{{"parameters.max_speed", 900}}));
}

TEST(BackupFile, AFileCutShortMarksTheModuleItEndsIn) {
    const std::string whole = writePicture(demoPicture());
    // Cut inside a number of module 02: "80" reads as 8, which is why the section is not
    // trusted.
    const std::string cut = whole.substr(0, whole.find("motion.torque_ratio = 80") + 23);
    const LoadResult r = readPicture(cut);
    ASSERT_TRUE(r.usable);
    ASSERT_EQ(r.messages.size(), 1U);
    EXPECT_NE(r.messages[0].text.find("cut short"), std::string::npos) << r.messages[0].text;
    EXPECT_NE(r.messages[0].text.find("module 02"), std::string::npos) << r.messages[0].text;
    ASSERT_EQ(r.picture.modules.size(), 3U);
    EXPECT_TRUE(r.picture.modules[0].complete);
    EXPECT_FALSE(r.picture.modules[2].complete);
}

TEST(BackupFile, TheVersionLineDecidesWhetherTheFileIsRead) {
    struct Case {
        std::string text;
        bool usable;
        const char* says; ///< the first message, "" for none
    };
    const Case cases[] = {
        {"format = 1\n\n[module 01]\nanswered = no\n\nend\n", true, ""},
        // Comments and blank lines may come before it.
        {"# a note\n\nformat = 1\nend\n", true, ""},
        {"format = 2\n[module 01]\nanswered = no\nend\n", false, "newer"},
        {"format = 0\nend\n", false, "no version"},
        {"[module 01]\nanswered = no\nend\n", false, "not the format line"},
        {"", false, "no format line"},
    };
    for (const Case& c : cases) {
        const LoadResult r = readPicture(c.text);
        EXPECT_EQ(r.usable, c.usable) << c.text;
        if (std::string(c.says).empty()) {
            EXPECT_TRUE(r.messages.empty()) << c.text << r.messages.front().text;
        } else {
            ASSERT_FALSE(r.messages.empty()) << c.text;
            EXPECT_NE(r.messages[0].text.find(c.says), std::string::npos) << r.messages[0].text;
        }
        if (!c.usable) {
            EXPECT_TRUE(r.picture.modules.empty()) << c.text;
        }
    }
}

TEST(BackupFile, SavingReplacesTheFileWhole) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("backup-file-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto file = dir / "line.backup";
    {
        std::ofstream old(file);
        old << "the old file, much longer than the new one will be......................\n";
    }
    ASSERT_EQ(saveAtomically(file, "format = 1\nend\n"), "");
    const LoadResult r = loadPicture(file);
    EXPECT_TRUE(r.usable);
    EXPECT_TRUE(r.messages.empty());
    // No temporary file is left beside it.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir)) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);
    EXPECT_NE(saveAtomically(dir / "no-such-dir" / "x.backup", "format = 1\n"), "");
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace tamsel::backup
