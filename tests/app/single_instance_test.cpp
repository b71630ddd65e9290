// The single-instance rule between two real processes.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

namespace {

struct Copy {
    QProcess process;
    bool waitFor(const QByteArray& line, int ms = 20000) {
        QByteArray seen;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) {
            process.waitForReadyRead(100);
            seen += process.readAll();
            m_output += seen;
            if (m_output.contains(line)) {
                return true;
            }
            seen.clear();
        }
        return false;
    }
    QByteArray output() {
        process.waitForFinished(20000);
        m_output += process.readAll();
        return m_output;
    }
    ~Copy() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }

  private:
    QByteArray m_output;
};

class SingleInstanceTest : public ::testing::Test {
  protected:
    void start(Copy& copy, const QStringList& args) {
        copy.process.start(QStringLiteral(TAMSEL_PROBE), QStringList{dir.path()} + args);
        ASSERT_TRUE(copy.process.waitForStarted(10000));
    }
    QTemporaryDir dir;
};

const QByteArray kAlready = "asked:Warning|Tamsel2 is already running\\nYou can reactive by "
                            "OK\\nor quit by cancel";
/// The question put when a living copy holds the start-up but shows no window.
QByteArray recoveryQuestion(const QByteArray& who) {
    return "asked:warning|" + who +
           "\\nor has stopped answering\\nYou can start this copy by OK\\nor quit by cancel\n";
}

TEST_F(SingleInstanceTest, TheFirstCopyStartsWithoutAsking) {
    Copy only;
    start(only, {"check"});
    const QByteArray out = only.output();
    EXPECT_TRUE(out.contains("start=1")) << out.toStdString();
    EXPECT_FALSE(out.contains("asked:")) << out.toStdString();
}

TEST_F(SingleInstanceTest, ASecondCopyOffersToRaiseTheRunningWindowAndEnds) {
    Copy first;
    start(first, {"hold"});
    ASSERT_TRUE(first.waitFor("ready"));
    Copy second;
    start(second, {"check", "ok"});
    const QByteArray out = second.output();
    EXPECT_TRUE(out.contains(kAlready)) << out.toStdString();
    EXPECT_TRUE(out.contains("start=0")) << out.toStdString();
    EXPECT_TRUE(first.waitFor("raised"));
}

TEST_F(SingleInstanceTest, ACopyStillStartingMakesTheSecondAskAfterHalfASecond) {
    Copy first;
    start(first, {"starting"});
    ASSERT_TRUE(first.waitFor("ready"));
    Copy second;
    start(second, {"check", "cancel"});
    const QByteArray out = second.output();
    const QByteArray who = "Tamsel2 is already starting (process " +
                           QByteArray::number(first.process.processId()) + ")";
    EXPECT_TRUE(out.contains(recoveryQuestion(who))) << out.toStdString();
    EXPECT_TRUE(out.contains("start=0")) << out.toStdString();
    const auto after = out.mid(out.indexOf("after=") + 6).trimmed().toInt();
    EXPECT_GE(after, 500);
}

TEST_F(SingleInstanceTest, ACopyThatDiedDuringStartUpIsTakenOverWithoutAsking) {
    {
        Copy died;
        start(died, {"starting"});
        ASSERT_TRUE(died.waitFor("ready"));
        ::kill(static_cast<pid_t>(died.process.processId()), SIGKILL);
        died.process.waitForFinished(5000);
    }
    ASSERT_TRUE(QFile::exists(dir.filePath("Tamsel2.atom"))) << "the dead copy left its atom";
    for (int again = 0; again < 2; ++again) {
        Copy next;
        start(next, {"check", "cancel"});
        const QByteArray out = next.output();
        EXPECT_FALSE(out.contains("asked:")) << out.toStdString();
        EXPECT_TRUE(out.contains("start=1")) << out.toStdString();
    }
}

struct LeftAtom {
    const char* name;
    /// What the atom holds; "%self" stands for the number of a process that runs
    /// another program (the test itself), as after the system gave the number again.
    QByteArray content;
    bool asks;
};

class LeftAtomTest : public SingleInstanceTest, public ::testing::WithParamInterface<LeftAtom> {};

TEST_P(LeftAtomTest, AsksOnlyWhenTheHolderMayStillRun) {
    QByteArray content = GetParam().content;
    content.replace("%self", QByteArray::number(QCoreApplication::applicationPid()));
    {
        QFile atom(dir.filePath("Tamsel2.atom"));
        ASSERT_TRUE(atom.open(QIODevice::WriteOnly));
        atom.write(content);
    }
    Copy next;
    start(next, {"check", "cancel"});
    const QByteArray out = next.output();
    if (GetParam().asks) {
        EXPECT_TRUE(out.contains(recoveryQuestion("Tamsel2 is already starting")))
            << out.toStdString();
        EXPECT_TRUE(out.contains("start=0")) << out.toStdString();
    } else {
        EXPECT_FALSE(out.contains("asked:")) << out.toStdString();
        EXPECT_TRUE(out.contains("start=1")) << out.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Atoms, LeftAtomTest,
                         ::testing::Values(LeftAtom{"number_of_another_program", "%self\n", false},
                                           LeftAtom{"number_no_process_has", "2147483600\n", false},
                                           LeftAtom{"empty", "", true},
                                           LeftAtom{"not_a_number", "tamsel\n", true}),
                         [](const ::testing::TestParamInfo<LeftAtom>& param) {
                             return std::string(param.param.name);
                         });

} // namespace
