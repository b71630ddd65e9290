// Loading and saving project files: every section, the lines the program does
// not own kept byte for byte, and no save that can lose a project.

#include "fixture.h"
#include "project/project.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>

namespace {

using namespace tamsel::project;
using namespace project_test;

class ProjectFile : public ::testing::Test {
  protected:
    /// Copies a fixture into the scratch directory and opens it there.
    LoadReport openCopy(std::string_view fixtureName, std::string_view as = "p.ktp") {
        writeBytes(dir / as, readBytes(fixture(fixtureName)));
        return project.open(as, host, dir.path());
    }
    ScratchDir dir;
    FakeCapabilities capabilities;
    RecordingHost host;
    TKV_Project project;
};

TEST_F(ProjectFile, LoadsEverySection) {
    host.capabilities = &capabilities;
    const LoadReport report = openCopy("full.ktp");
    ASSERT_TRUE(report.opened) << report.error;
    EXPECT_TRUE(report.ignored.empty());
    EXPECT_EQ(project.path(), dir / "p.ktp");
    EXPECT_EQ(project.directory(), dir.path());
    EXPECT_FALSE(project.modified());
    EXPECT_EQ(host.capabilityRequests, 1);

    EXPECT_EQ(project.lastCommandCount(), 2);
    EXPECT_EQ(project.lastCommand(1), "05PR \xb5");
    const auto& cnf = project.configuration();
    EXPECT_EQ(cnf.targetList(), "TRILO,MICROTRILO,VRX17");
    EXPECT_EQ(cnf.port(), "COM2");
    EXPECT_EQ(cnf.recordCount(), 3);
    EXPECT_EQ(*cnf.recordAt(1), (ModuleRecord{3, 4098, "axis \xe9", "mm", 1, "S1", 3}));
    EXPECT_EQ(project.setupSummary(), "0 7 -1 -1 -1");
    EXPECT_EQ(project.setupLabel(5), "1 2 3");
    EXPECT_EQ(project.labels().label(1, 2), "pos");
}

TEST_F(ProjectFile, BackupHoldsTheFileAsItWasBeforeLoading) {
    const LoadReport report = openCopy("full.ktp");
    ASSERT_TRUE(report.opened);
    EXPECT_TRUE(report.backupWritten);
    EXPECT_EQ(readBytes(dir / "p.bak"), readBytes(fixture("full.ktp")));
}

TEST_F(ProjectFile, BackupNameNeverEqualsTheProjectName) {
    for (const char* name : {"UPPER.KTP", "noextension", "double.ktp.ktp"}) {
        writeBytes(dir / name, readBytes(fixture("no_setup.ktp")));
        ASSERT_TRUE(project.open(name, host, dir.path()).opened) << name;
        EXPECT_EQ(readBytes(dir / name), readBytes(fixture("no_setup.ktp"))) << name;
    }
    EXPECT_TRUE(fs::exists(dir / "UPPER.bak"));
    EXPECT_TRUE(fs::exists(dir / "noextension.bak"));
    EXPECT_TRUE(fs::exists(dir / "double.ktp.bak"));
}

TEST_F(ProjectFile, UnmodifiedProjectIsNotWritten) {
    ASSERT_TRUE(openCopy("full.ktp").opened);
    struct stat before {};
    ASSERT_EQ(::stat((dir / "p.ktp").c_str(), &before), 0);
    EXPECT_EQ(project.save().status, SaveStatus::NotModified);
    struct stat after {};
    ASSERT_EQ(::stat((dir / "p.ktp").c_str(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino);
    EXPECT_FALSE(fs::exists(dir / "p.tmp"));
}

TEST_F(ProjectFile, ModifiedButEqualProjectSavesByteIdentical) {
    for (const char* name : {"full.ktp", "full_crlf.ktp"}) {
        ASSERT_TRUE(openCopy(name).opened);
        ASSERT_TRUE(project.setPort("COM2"));
        ASSERT_TRUE(project.setSetupNumbers("0 7 -1 -1 -1"));
        ASSERT_TRUE(project.modified());
        const SaveReport saved = project.save();
        ASSERT_EQ(saved.status, SaveStatus::Saved) << saved.error;
        EXPECT_FALSE(project.modified());
        EXPECT_EQ(readBytes(dir / "p.ktp"), readBytes(fixture(name))) << name;
        EXPECT_FALSE(fs::exists(dir / "p.tmp"));
    }
}

TEST_F(ProjectFile, SaveRewritesKnownSectionsAndKeepsEveryOtherLine) {
    ASSERT_TRUE(openCopy("full.ktp").opened);
    ASSERT_TRUE(project.setPort("COM3"));
    ASSERT_TRUE(project.setModuleRecord("007"));
    ASSERT_TRUE(project.setModuleRecord("20,21,512,new,unit,3,SN9"));
    ASSERT_TRUE(project.addLastCommand("21QD"));
    ASSERT_TRUE(project.setSetupLabel(21, "4 5"));
    ASSERT_TRUE(project.storeLabels(20, {{3, "temp"}}));
    ASSERT_EQ(project.save().status, SaveStatus::Saved);

    const std::string expected = "Tamsel2 project kept by hand\n"
                                 "* a comment before the first section, caf\xe9 \x80\n"
                                 "[PROPERTY]\n"
                                 "Author = somebody\n"
                                 "anything at all = kept as it stands\n"
                                 ";\n"
                                 "[LAST_COMMAND]\n"
                                 "\"03RV\"\n"
                                 "\"05PR \xb5\"\n"
                                 "\"21QD\"\n"
                                 ";\n"
                                 "[CONFIGURATION]\n"
                                 "TargetListe = TRILO,MICROTRILO,VRX17\n"
                                 "PortListe = COM1,COM2,COM3\n"
                                 "Target = TRILO\n"
                                 "PortComm = COM3\n"
                                 "BaudRate = 9600\n"
                                 "Protocole = XON-XOFF\n"
                                 "Cnf00001  = 03 , 04098 ,axis \xe9,mm,S1\n"
                                 "Cnf00009  = 12 , 20480 ,pump,_,_\n"
                                 "Cnf00020  = 21 , 00512 ,new,unit,SN9\n"
                                 ";\n"
                                 "[MY_TOOL]\n"
                                 "key=value ; with a semicolon\n"
                                 "\ttabbed line \xff\n"
                                 "\n"
                                 "[TM2_SETUP]\n"
                                 "SwMode = 0\n"
                                 "SwPn0 = 7\n"
                                 "SwPn1 = -1\n"
                                 "SwPn2 = -1\n"
                                 "SwPn3 = -1\n"
                                 "SwV1 = -1:\n"
                                 "SwV2 = -1:\n"
                                 "SwV3 = -1:\n"
                                 "SwV4 = 21:4 5\n"
                                 "SwV5 = 05:1 2 3\n"
                                 ";\n"
                                 "[LabelVariable]\n"
                                 "01=01:speed,02:pos\n"
                                 "20=03:temp\n"
                                 ";\n"
                                 "[TRAILER]\n"
                                 "last line without a line end";
    EXPECT_EQ(readBytes(dir / "p.ktp"), expected);

    TKV_Project again;
    const LoadReport report = again.open("p.ktp", host, dir.path());
    ASSERT_TRUE(report.opened);
    EXPECT_TRUE(report.ignored.empty());
    EXPECT_EQ(again.port(), "COM3");
    EXPECT_EQ(again.configuration().recordAt(7), nullptr);
    EXPECT_EQ(*again.configuration().recordAt(20),
              (ModuleRecord{21, 512, "new", "unit", 20, "SN9", 3}));
    EXPECT_EQ(again.lastCommand(2), "21QD");
    EXPECT_EQ(again.setupLabel(21), "4 5");
    EXPECT_EQ(again.labels().label(20, 3), "temp");
}

TEST_F(ProjectFile, RewrittenSectionsUseTheFilesLineEnd) {
    ASSERT_TRUE(openCopy("full_crlf.ktp").opened);
    ASSERT_TRUE(project.setPort("COM3"));
    ASSERT_EQ(project.save().status, SaveStatus::Saved);
    std::string expected = readBytes(fixture("full_crlf.ktp"));
    const std::string from = "PortComm = COM2\r\n";
    expected.replace(expected.find(from), from.size(), "PortComm = COM3\r\n");
    EXPECT_EQ(readBytes(dir / "p.ktp"), expected);
}

TEST_F(ProjectFile, RecordSevenIsWrittenWithItsNumbersInFixedWidths) {
    writeBytes(dir / "p.ktp", "[CONFIGURATION]\nCnf00007 = 5,257,_,_,_\n;\n");
    ASSERT_TRUE(project.open("p.ktp", host, dir.path()).opened);
    ASSERT_NE(project.configuration().recordAt(7), nullptr);
    ASSERT_TRUE(project.setPort("COM1"));
    ASSERT_EQ(project.save().status, SaveStatus::Saved);
    EXPECT_EQ(readBytes(dir / "p.ktp"), "[CONFIGURATION]\n"
                                        "Target = TRILO\nPortComm = COM1\nBaudRate = 9600\n"
                                        "Protocole = XON-XOFF\n"
                                        "Cnf00007  = 05 , 00257 ,_,_,_\n;\n");
}

TEST_F(ProjectFile, LastCommandSectionIsCopiedUntilItsListChanges) {
    writeBytes(dir / "p.ktp", "[LAST_COMMAND]\n* kept while the list stands\n\"03RV\"\n;\n"
                              "[CONFIGURATION]\n;\n");
    ASSERT_TRUE(project.open("p.ktp", host, dir.path()).opened);
    ASSERT_TRUE(project.setPort("COM4"));
    ASSERT_EQ(project.save().status, SaveStatus::Saved);
    const std::string configuration = "[CONFIGURATION]\nTarget = TRILO\nPortComm = COM4\n"
                                      "BaudRate = 9600\nProtocole = XON-XOFF\n;\n";
    EXPECT_EQ(readBytes(dir / "p.ktp"),
              "[LAST_COMMAND]\n* kept while the list stands\n\"03RV\"\n;\n" + configuration);
    ASSERT_TRUE(project.addLastCommand("03QD"));
    ASSERT_EQ(project.save().status, SaveStatus::Saved);
    EXPECT_EQ(readBytes(dir / "p.ktp"), "[LAST_COMMAND]\n\"03RV\"\n\"03QD\"\n;\n" + configuration);
    EXPECT_FALSE(project.lastCommands().modified());
}

TEST_F(ProjectFile, MissingSectionIsNotAdded) {
    ASSERT_TRUE(openCopy("no_setup.ktp").opened);
    ASSERT_TRUE(project.setSetupNumbers("1 2 3 4 5"));
    ASSERT_TRUE(project.setSetupLabel(3, "1"));
    ASSERT_TRUE(project.addLastCommand("01RV"));
    ASSERT_EQ(project.save().status, SaveStatus::Saved);
    EXPECT_EQ(readBytes(dir / "p.ktp"), readBytes(fixture("no_setup.ktp")));
}

TEST_F(ProjectFile, FileWithoutSectionsIsNoProjectAndIsKept) {
    // Without its line setting the file would start the program on defaults as if
    // nothing were wrong.
    const std::string bytes = "just some text\nwith no section = at all\n";
    writeBytes(dir / "p.ktp", bytes);
    const LoadReport report = project.open("p.ktp", host, dir.path());
    EXPECT_FALSE(report.opened);
    EXPECT_EQ(report.problemLine, 2);
    EXPECT_FALSE(fs::exists(dir / "p.bak"));
    EXPECT_EQ(readBytes(dir / "p.ktp"), bytes);
}

TEST_F(ProjectFile, LongLinesAndMarkedHeadersKeepTheirPlace) {
    // A header is found anywhere in its line; a line over 200 characters is
    // never a header, so it cannot end or start a section.
    const std::string longLine = "[CONFIGURATION]" + std::string(250, '-');
    const std::string bytes = "[TOOL]\n" + std::string(300, 'x') + "\n" + longLine + "\n" +
                              "[CONFIGURATION] ; the line setting\nPortComm = COM2\n;\n";
    writeBytes(dir / "p.ktp", bytes);
    const LoadReport report = project.open("p.ktp", host, dir.path());
    ASSERT_TRUE(report.opened);
    EXPECT_TRUE(report.ignored.empty());
    EXPECT_EQ(project.port(), "COM2");
    ASSERT_TRUE(project.setPort("COM3"));
    ASSERT_EQ(project.save().status, SaveStatus::Saved);
    EXPECT_EQ(readBytes(dir / "p.ktp"),
              "[TOOL]\n" + std::string(300, 'x') + "\n" + longLine + "\n" +
                  "[CONFIGURATION] ; the line setting\nTarget = TRILO\nPortComm = COM3\n"
                  "BaudRate = 9600\nProtocole = XON-XOFF\n;\n");
}

TEST_F(ProjectFile, SecondCopyOfASectionCannotOverrideTheSavedModel) {
    writeBytes(dir / "p.ktp", "[CONFIGURATION]\nPortComm = COM2\n;\n[X]\nx\n"
                              "[CONFIGURATION]\nPortComm = COM3\nCnf00004 = 4,257,_,_,_\n;\n");
    ASSERT_TRUE(project.open("p.ktp", host, dir.path()).opened);
    EXPECT_EQ(project.port(), "COM3");
    EXPECT_EQ(project.moduleRecordCount(), 1);
    ASSERT_TRUE(project.setPort("COM1"));
    ASSERT_EQ(project.save().status, SaveStatus::Saved);
    TKV_Project again;
    ASSERT_TRUE(again.open("p.ktp", host, dir.path()).opened);
    EXPECT_EQ(again.port(), "COM1");
    EXPECT_EQ(again.moduleRecordCount(), 1);
    EXPECT_EQ(readBytes(dir / "p.ktp"),
              "[CONFIGURATION]\nTarget = TRILO\nPortComm = COM1\nBaudRate = 9600\n"
              "Protocole = XON-XOFF\nCnf00004  = 04 , 00257 ,_,_,_\n;\n[X]\nx\n"
              "[CONFIGURATION]\n;\n");
}

TEST_F(ProjectFile, BadLinesAreIgnoredOneByOne) {
    const LoadReport report = openCopy("bad_lines.ktp");
    ASSERT_TRUE(report.opened);
    std::vector<int> lines;
    for (const auto& ignored : report.ignored) {
        lines.push_back(ignored.line);
    }
    EXPECT_EQ(lines, (std::vector<int>{3, 5, 6, 8, 9, 10, 11, 12, 15, 17, 18, 21, 23, 26}));
    EXPECT_EQ(report.ignored.front().section, kConfigurationHeader);
    EXPECT_EQ(report.ignored.back().section, kLastCommandHeader);
    EXPECT_EQ(project.port(), "COM2");
    EXPECT_EQ(project.configuration().target(), "TRILO");
    EXPECT_EQ(project.moduleRecordCount(), 1);
    EXPECT_EQ(project.configuration().recordAt(3)->address, 3);
    EXPECT_EQ(project.setupSummary(), "0 0 4 -1 -1");
    EXPECT_EQ(project.labels().slotText(3), "01:ok");
    EXPECT_EQ(project.lastCommand(0), "03RV");
}

TEST_F(ProjectFile, GarbageLinesLoadWithoutHarm) {
    // Bytes of every kind inside the sections, in a file that still is a project: its
    // last section is closed, so only lines can be at fault.
    std::string garbage;
    uint32_t seed = 12345;
    for (int i = 0; i < 20000; ++i) {
        seed = seed * 1103515245u + 12345u;
        garbage += static_cast<char>(seed >> 16);
        if (i % 97 == 0) {
            garbage += "\n[CONFIGURATION]\nCnf000";
        }
        if (i % 89 == 0) {
            garbage += "\n[LabelVariable]\n0";
        }
    }
    garbage += "\n;\n";
    writeBytes(dir / "p.ktp", garbage);
    const LoadReport report = project.open("p.ktp", host, dir.path());
    ASSERT_TRUE(report.opened) << report.error;
    EXPECT_FALSE(report.ignored.empty());
    ASSERT_TRUE(project.setPort("COM1"));
    ASSERT_EQ(project.save().status, SaveStatus::Saved);
    TKV_Project again;
    EXPECT_TRUE(again.open("p.ktp", host, dir.path()).opened);
    EXPECT_EQ(again.port(), "COM1");
}

TEST_F(ProjectFile, FailedOpenClearsTheProjectPath) {
    const std::string original = readBytes(fixture("full.ktp"));
    fs::create_directories(dir / "folder.ktp");
    ASSERT_EQ(::mkfifo((dir / "pipe.ktp").c_str(), 0600), 0);
    for (const char* name : {"missing.ktp", "folder.ktp", "pipe.ktp", "/dev/zero"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(openCopy("full.ktp").opened);
        ASSERT_TRUE(project.setPort("COM3"));
        const LoadReport failed = project.open(name, host, dir.path());
        EXPECT_FALSE(failed.opened);
        EXPECT_FALSE(failed.error.empty());
        EXPECT_EQ(failed.problemLine, 0) << "the file could not be read at all";
        EXPECT_FALSE(project.loaded());
        EXPECT_TRUE(project.path().empty());
        // The project that was loaded can no longer be written over by mistake.
        EXPECT_EQ(project.save().status, SaveStatus::NoProject);
        EXPECT_EQ(readBytes(dir / "p.ktp"), original);
        EXPECT_EQ(readBytes(dir / "p.bak"), original);
    }
}

TEST_F(ProjectFile, OversizedFileIsNotAProject) {
    // 16 MiB is the most the program reads as a project file.
    writeBytes(dir / "big.ktp", std::string((16u << 20) + 1, '\n'));
    const LoadReport report = project.open("big.ktp", host, dir.path());
    EXPECT_FALSE(report.opened);
    EXPECT_FALSE(fs::exists(dir / "big.bak"));
}

TEST_F(ProjectFile, NothingToSaveBeforeAProjectIsOpened) {
    TKV_Project empty;
    ASSERT_TRUE(empty.setPort("COM2"));
    EXPECT_EQ(empty.save().status, SaveStatus::NoProject);
    EXPECT_FALSE(empty.loaded());
}

TEST_F(ProjectFile, SaveFailsWhenTheFileHasGone) {
    ASSERT_TRUE(openCopy("full.ktp").opened);
    ASSERT_TRUE(project.setPort("COM3"));
    fs::remove(dir / "p.ktp");
    const SaveReport report = project.save();
    EXPECT_EQ(report.status, SaveStatus::Failed);
    EXPECT_FALSE(report.error.empty());
    EXPECT_TRUE(project.modified());
}

TEST_F(ProjectFile, SaveKeepsPermissionsAndSymbolicLinks) {
    writeBytes(dir / "real.ktp", readBytes(fixture("full.ktp")));
    ::chmod((dir / "real.ktp").c_str(), 0640);
    fs::create_symlink(dir / "real.ktp", dir / "link.ktp");
    ASSERT_TRUE(project.open("link.ktp", host, dir.path()).opened);
    ASSERT_TRUE(project.setPort("COM3"));
    ASSERT_EQ(project.save().status, SaveStatus::Saved);
    EXPECT_TRUE(fs::is_symlink(dir / "link.ktp"));
    EXPECT_NE(readBytes(dir / "real.ktp").find("PortComm = COM3\n"), std::string::npos);
    struct stat st {};
    ASSERT_EQ(::stat((dir / "real.ktp").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

/// Fails one step of a save, once it has been reached.
class FailingSteps : public FileSteps {
  public:
    enum class Step { Write, Sync, Rename };
    explicit FailingSteps(Step step) : m_step(step) {}
    ssize_t write(int fd, const void* data, std::size_t size) override {
        if (m_step == Step::Write && armed) {
            // Half the bytes reach the file, then the disk is full.
            if (!m_halfDone && size > 1) {
                m_halfDone = true;
                return FileSteps::write(fd, data, size / 2);
            }
            errno = ENOSPC;
            return -1;
        }
        return FileSteps::write(fd, data, size);
    }
    int sync(int fd) override {
        if (m_step == Step::Sync && armed) {
            errno = EIO;
            return -1;
        }
        return FileSteps::sync(fd);
    }
    int rename(const char* from, const char* to) override {
        if (m_step == Step::Rename && armed) {
            // The program stops here: the temporary file is complete, the
            // project not yet replaced.
            tempAtFailure = readBytes(from);
            errno = EIO;
            return -1;
        }
        return FileSteps::rename(from, to);
    }
    bool armed = false;
    std::string tempAtFailure;

  private:
    Step m_step;
    bool m_halfDone = false;
};

class InterruptedSave : public ::testing::TestWithParam<FailingSteps::Step> {};

TEST_P(InterruptedSave, LeavesTheProjectIntact) {
    ScratchDir dir;
    RecordingHost host;
    FailingSteps steps(GetParam());
    TKV_Project project(steps);
    const std::string original = readBytes(fixture("full.ktp"));
    writeBytes(dir / "p.ktp", original);
    ASSERT_TRUE(project.open("p.ktp", host, dir.path()).opened);
    ASSERT_TRUE(project.setPort("COM3"));
    steps.armed = true;
    const SaveReport failed = project.save();
    EXPECT_EQ(failed.status, SaveStatus::Failed);
    EXPECT_FALSE(failed.error.empty());
    EXPECT_EQ(readBytes(dir / "p.ktp"), original);
    EXPECT_FALSE(fs::exists(dir / "p.tmp"));
    EXPECT_TRUE(project.modified()) << "the change is still to be saved";
    if (GetParam() == FailingSteps::Step::Rename) {
        EXPECT_NE(steps.tempAtFailure.find("PortComm = COM3"), std::string::npos);
    }
    steps.armed = false;
    ASSERT_EQ(project.save().status, SaveStatus::Saved);
    EXPECT_NE(readBytes(dir / "p.ktp").find("PortComm = COM3"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(AtEachStep, InterruptedSave,
                         ::testing::Values(FailingSteps::Step::Write, FailingSteps::Step::Sync,
                                           FailingSteps::Step::Rename));

class InterruptedBackup : public ::testing::TestWithParam<FailingSteps::Step> {};

TEST_P(InterruptedBackup, LeavesTheOldCopyWhole) {
    ScratchDir dir;
    RecordingHost host;
    FailingSteps steps(GetParam());
    TKV_Project project(steps);
    const std::string old = readBytes(fixture("no_setup.ktp"));
    const std::string now = readBytes(fixture("full.ktp"));
    writeBytes(dir / "p.bak", old);
    writeBytes(dir / "p.ktp", now);
    steps.armed = true;
    const LoadReport report = project.open("p.ktp", host, dir.path());
    EXPECT_TRUE(report.opened) << "the project itself is sound";
    EXPECT_FALSE(report.backupWritten);
    EXPECT_EQ(readBytes(dir / "p.bak"), old);
    EXPECT_FALSE(fs::exists(dir / "p.bak.tmp"));
    steps.armed = false;
    ASSERT_TRUE(project.open("p.ktp", host, dir.path()).backupWritten);
    EXPECT_EQ(readBytes(dir / "p.bak"), now);
}

INSTANTIATE_TEST_SUITE_P(AtEachStep, InterruptedBackup,
                         ::testing::Values(FailingSteps::Step::Write, FailingSteps::Step::Sync,
                                           FailingSteps::Step::Rename));

TEST_F(ProjectFile, StaleTemporaryFileDoesNotDisturbASave) {
    ASSERT_TRUE(openCopy("full.ktp").opened);
    writeBytes(dir / "p.tmp", "left over by a crash\n");
    ASSERT_TRUE(project.setPort("COM3"));
    ASSERT_EQ(project.save().status, SaveStatus::Saved);
    EXPECT_FALSE(fs::exists(dir / "p.tmp"));
    EXPECT_EQ(readBytes(dir / "p.ktp").find("left over"), std::string::npos);
}

TEST_F(ProjectFile, OpenUsesTheCurrentDirectoryByDefault) {
    writeBytes(dir / "p.ktp", readBytes(fixture("no_setup.ktp")));
    const fs::path before = fs::current_path();
    fs::current_path(dir.path());
    const LoadReport report = project.open("p.ktp", host);
    fs::current_path(before);
    ASSERT_TRUE(report.opened);
    EXPECT_EQ(project.path(), fs::path(dir.path()) / "p.ktp");
    EXPECT_EQ(project.port(), "COM1");
}

} // namespace
