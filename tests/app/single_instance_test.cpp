// The single-instance rule between two real processes.
#include <QElapsedTimer>
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
const QByteArray kRecovery = "asked:warning|s'agit t'il d'une reprise aprés defaut\\n";

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
    EXPECT_TRUE(out.contains(kRecovery)) << out.toStdString();
    EXPECT_TRUE(out.contains("start=0")) << out.toStdString();
    const auto after = out.mid(out.indexOf("after=") + 6).trimmed().toInt();
    EXPECT_GE(after, 500);
}

TEST_F(SingleInstanceTest, ACopyThatDiedDuringStartUpLeavesTheChoiceToRecover) {
    {
        Copy died;
        start(died, {"starting"});
        ASSERT_TRUE(died.waitFor("ready"));
        ::kill(static_cast<pid_t>(died.process.processId()), SIGKILL);
        died.process.waitForFinished(5000);
    }
    Copy second;
    start(second, {"check", "ok"});
    const QByteArray out = second.output();
    EXPECT_TRUE(out.contains(kRecovery)) << out.toStdString();
    EXPECT_TRUE(out.contains("start=1")) << out.toStdString();
}

} // namespace
