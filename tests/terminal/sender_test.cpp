// The command-file send over a stand-in line: which lines go out and how, the polling
// handshake around them, and what the progress window shows.
#include "terminal_support.h"

#include <command_view.h>
#include <file_sender.h>
#include <find_replace.h>

#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>

#include <gtest/gtest.h>

#include <memory>

namespace tamsel::terminal::test {
namespace {

/// The driver binding's command-file line as the test decides it.
class TFakeLink final : public TFileLineLink {
  public:
    struct Call {
        int mode;
        QByteArray line;
    };
    QList<Call> calls;
    bool polling = true;
    /// Turns until a requested stop takes effect; -1 never.
    int stopAfterTurns = 2;
    std::function<bool(const QByteArray&, QByteArray&)> answer = [](const QByteArray& line,
                                                                    QByteArray& result) {
        result = line.startsWith('~') ? line : "ok";
        return true;
    };

    bool fileLine(const QByteArray& line, int mode, QByteArray& result) override {
        calls.append({mode, line});
        result.clear();
        if (mode == contract::kFileLineStopPolling) {
            m_stopping = polling;
            m_turns = 0;
            return true;
        }
        if (mode == contract::kFileLineStartPolling) {
            polling = true;
            m_stopping = false;
            return true;
        }
        // A send while the poll thread still runs would interleave with its exchanges.
        if (polling) {
            interleaved = true;
        }
        // As the binding cleans a file line: comments skipped, the rest trimmed.
        if (line.isEmpty() || line.startsWith('*') || line.startsWith(';')) {
            return true;
        }
        return answer(line, result);
    }
    bool pollingEnabled() override {
        if (m_stopping && stopAfterTurns >= 0 && ++m_turns >= stopAfterTurns) {
            polling = false;
            m_stopping = false;
        }
        return polling;
    }
    QList<QByteArray> sent() const {
        QList<QByteArray> out;
        for (const Call& c : calls) {
            if (c.mode == contract::kFileLineSend) {
                out << c.line;
            }
        }
        return out;
    }
    QList<int> modes() const {
        QList<int> out;
        for (const Call& c : calls) {
            out << c.mode;
        }
        return out;
    }
    bool interleaved = false;

  private:
    bool m_stopping = false;
    int m_turns = 0;
};

class SenderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sender = std::make_unique<TCommandFileSender>(link, prompter,
                                                      [this](int hz, int) { tones << hz; });
        view = std::make_unique<TCommandEditView>(*sender);
        view->show();
    }
    void TearDown() override {
        view.reset();
        sender.reset();
    }
    bool run(TSendScope scope = TSendScope::Global) {
        if (!sender->start(view.get(), scope)) {
            return false;
        }
        return waitFor([this] { return !sender->running(); });
    }
    void selectLines(int first, int last) {
        QTextCursor cursor(view->document()->findBlockByNumber(first));
        const QTextBlock end = view->document()->findBlockByNumber(last);
        cursor.setPosition(end.position() + end.length() - 1, QTextCursor::KeepAnchor);
        view->setTextCursor(cursor);
    }

    TFakeLink link;
    TRecordingPrompter prompter;
    QList<int> tones;
    std::unique_ptr<TCommandFileSender> sender;
    std::unique_ptr<TCommandEditView> view;
};

TEST_F(SenderTest, PollingStopsAndIsWaitedForBeforeTheFirstLineAndStartsAfterTheLast) {
    view->setPlainText("00RV\n00QD");
    link.stopAfterTurns = 5;
    ASSERT_TRUE(run());
    EXPECT_FALSE(link.interleaved);
    EXPECT_EQ(link.modes(), QList<int>({0, 1, 1, 2}));
    EXPECT_TRUE(link.polling);
}

TEST_F(SenderTest, APollThreadThatNeverStopsIsNotWaitedForForever) {
    view->setPlainText("00RV");
    link.stopAfterTurns = -1;
    ASSERT_TRUE(run());
    EXPECT_EQ(link.sent(), QList<QByteArray>({"00RV"}));
}

TEST_F(SenderTest, TheScopesChooseTheirLines) {
    const QString text = "L0\nL1\nL2\nL3\nL4";
    const struct {
        TSendScope scope;
        int anchorLine;
        int anchorColumn;
        int caretLine;
        int caretColumn;
        QList<QByteArray> lines;
    } cases[] = {
        {TSendScope::Global, 2, 1, 2, 1, {"L0", "L1", "L2", "L3", "L4"}},
        {TSendScope::FromCursor, 3, 1, 3, 1, {"L3", "L4"}},
        {TSendScope::FromCursor, 0, 0, 0, 0, {"L0", "L1", "L2", "L3", "L4"}},
        {TSendScope::Selection, 1, 1, 3, 1, {"L1", "L2", "L3"}},
        // Selected backwards: the same lines.
        {TSendScope::Selection, 3, 1, 1, 0, {"L1", "L2", "L3"}},
        // Whole lines selected end at the start of the next one, which is not sent.
        {TSendScope::Selection, 1, 0, 3, 0, {"L1", "L2"}},
        // No selection: the caret's line.
        {TSendScope::Selection, 2, 1, 2, 1, {"L2"}},
    };
    for (const auto& c : cases) {
        view->setPlainText(text);
        QTextCursor cursor(view->document());
        const auto at = [this](int line, int column) {
            return view->document()->findBlockByNumber(line).position() + column;
        };
        cursor.setPosition(at(c.anchorLine, c.anchorColumn));
        cursor.setPosition(at(c.caretLine, c.caretColumn), QTextCursor::KeepAnchor);
        view->setTextCursor(cursor);
        link.calls.clear();
        ASSERT_TRUE(run(c.scope));
        EXPECT_EQ(link.sent(), c.lines) << static_cast<int>(c.scope) << " " << c.anchorLine;
        EXPECT_EQ(view->textCursor().anchor(), at(c.anchorLine, c.anchorColumn));
        EXPECT_EQ(view->textCursor().position(), at(c.caretLine, c.caretColumn));
    }
}

TEST_F(SenderTest, LongLinesAreCutAndBinaryBytesGoAsTheyAre) {
    QTemporaryDir dir;
    const QString path = dir.filePath("binary.CMD");
    QByteArray content = "00RV\x01\xe9\x7f" + QByteArray(1, '\x80') + "\n";
    content += "00" + QByteArray(300, 'X') + "\n";
    content += "00WH 1000";
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    ASSERT_TRUE(view->load(path));
    ASSERT_TRUE(run());
    const QList<QByteArray> sent = link.sent();
    ASSERT_EQ(sent.size(), 3);
    EXPECT_EQ(sent[0], QByteArray("00RV\x01\xe9\x7f") + QByteArray(1, '\x80'));
    EXPECT_EQ(sent[1], "00" + QByteArray(148, 'X'));
    EXPECT_EQ(sent[2], "00WH 1000");
}

TEST_F(SenderTest, ALineHoldingANulByteIsRefusedWithItsNumberAndNothingOfItGoes) {
    QTemporaryDir dir;
    const QString path = dir.filePath("nul.CMD");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("00RV\n01GA", 9) + QByteArray(1, '\0') + " 5000\n00QD");
    }
    ASSERT_TRUE(view->load(path));
    ASSERT_TRUE(sender->start(view.get(), TSendScope::Global));
    TSendProgress* progress = sender->progress();
    ASSERT_TRUE(waitFor([progress] { return progress->stateText() == "Sending in pause ..."; }));
    EXPECT_EQ(progress->panelTitle(), "Error module :");
    EXPECT_EQ(progress->panelText(), "Line 2: the line holds a NUL byte: not sent");
    EXPECT_EQ(link.sent(), QList<QByteArray>({"00RV"}));
    progress->continueButton()->click();
    ASSERT_TRUE(waitFor([this] { return !sender->running(); }));
    EXPECT_EQ(link.sent(), QList<QByteArray>({"00RV", "00QD"}));
}

TEST_F(SenderTest, TheGaugeCountsLinesAndTheStateFollowsThePause) {
    view->setPlainText("00RV\n00QD\n00RV");
    int pausedAt = -1;
    link.answer = [&](const QByteArray&, QByteArray& result) {
        result = "ok";
        if (pausedAt < 0) {
            pausedAt = static_cast<int>(link.sent().size());
            sender->pause();
        }
        return true;
    };
    ASSERT_TRUE(sender->start(view.get(), TSendScope::Global));
    TSendProgress* progress = sender->progress();
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->gauge()->maximum(), 3);
    EXPECT_EQ(progress->stateText(), "Sending in progress . . .");
    ASSERT_TRUE(waitFor([progress] { return progress->stateText() == "Sending in pause ..."; }));
    ASSERT_TRUE(waitFor([this] { return link.polling; }));
    EXPECT_EQ(progress->gauge()->value(), 1);
    EXPECT_EQ(link.sent().size(), 1);
    // Paused: polling started once, nothing sent however long the user waits.
    for (int i = 0; i < 20; ++i) {
        settle();
    }
    EXPECT_EQ(link.modes(), QList<int>({0, 1, 2}));
    progress->continueButton()->click();
    ASSERT_TRUE(waitFor([this] { return !sender->running(); }));
    EXPECT_EQ(link.modes(), QList<int>({0, 1, 2, 0, 1, 1, 2}));
    EXPECT_FALSE(link.interleaved);
}

TEST_F(SenderTest, AHashResultAsksTheUserToCheckTheLineAndWaits) {
    view->setPlainText("00RV\n00QD");
    link.answer = [](const QByteArray& line, QByteArray& result) {
        result = line == "00RV" ? "#13 parameter missing" : "ok";
        return true;
    };
    ASSERT_TRUE(sender->start(view.get(), TSendScope::Global));
    TSendProgress* progress = sender->progress();
    ASSERT_TRUE(waitFor([progress] { return progress->stateText() == "Sending in pause ..."; }));
    EXPECT_EQ(progress->panelTitle(), "Message:");
    EXPECT_EQ(progress->panelText(), "#13 parameter missing\nCheck edit line then Continue");
    EXPECT_EQ(link.sent().size(), 1);
    progress->continueButton()->click();
    ASSERT_TRUE(waitFor([this] { return !sender->running(); }));
    EXPECT_EQ(link.sent(), QList<QByteArray>({"00RV", "00QD"}));
}

TEST_F(SenderTest, RetryStepsOneLineBackWithoutMovingTheGauge) {
    view->setPlainText("00RV\n05RV\n00QD");
    bool failing = true;
    link.answer = [&](const QByteArray& line, QByteArray& result) {
        if (line == "05RV" && failing) {
            result = "Time out de reception";
            sender->pause();
            return false;
        }
        result = "ok";
        return true;
    };
    ASSERT_TRUE(sender->start(view.get(), TSendScope::Global));
    TSendProgress* progress = sender->progress();
    EXPECT_FALSE(progress->retryButton()->isEnabled());
    ASSERT_TRUE(waitFor([progress] { return progress->stateText() == "Sending in pause ..."; }));
    EXPECT_TRUE(progress->panelOpen());
    EXPECT_EQ(progress->panelTitle(), "Error module :");
    EXPECT_EQ(progress->panelText(), "Time out de reception");
    EXPECT_EQ(tones, QList<int>({400, 800}));
    EXPECT_EQ(progress->gauge()->value(), 2);
    EXPECT_TRUE(progress->retryButton()->isEnabled());
    failing = false;
    int gaugeAfterRetry = -1;
    QObject::connect(progress->gauge(), &QProgressBar::valueChanged,
                     [&gaugeAfterRetry](int v) { gaugeAfterRetry = v; });
    progress->retryButton()->click();
    progress->continueButton()->click();
    ASSERT_TRUE(waitFor([this] { return !sender->running(); }));
    EXPECT_EQ(link.sent(), QList<QByteArray>({"00RV", "05RV", "05RV", "00QD"}));
    EXPECT_EQ(gaugeAfterRetry, 3);
}

TEST_F(SenderTest, ClosingTheProgressWindowStops) {
    view->setPlainText("00RV\n00QD\n00RV");
    link.answer = [this](const QByteArray&, QByteArray& result) {
        result = "ok";
        sender->progress()->close();
        return true;
    };
    bool stopped = false;
    QObject::connect(sender.get(), &TCommandFileSender::finished,
                     [&stopped](bool s) { stopped = s; });
    ASSERT_TRUE(run());
    EXPECT_TRUE(stopped);
    EXPECT_EQ(link.sent().size(), 1);
    EXPECT_EQ(link.modes().last(), 2);
}

TEST_F(SenderTest, AViewThatGoesAwayEndsTheSendWithTheBox) {
    view->setPlainText("00RV\n00QD\n00RV");
    link.answer = [this](const QByteArray&, QByteArray& result) {
        result = "ok";
        view.reset();
        return true;
    };
    ASSERT_TRUE(sender->start(view.get(), TSendScope::Global));
    ASSERT_TRUE(waitFor([this] { return !sender->running(); }));
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].text, "no more view");
    EXPECT_EQ(prompter.boxes[0].title, "tm2 will be bug");
    EXPECT_EQ(link.sent().size(), 1);
    EXPECT_TRUE(link.polling);
}

TEST_F(SenderTest, OneSendAtATime) {
    view->setPlainText("00RV\n00QD");
    TCommandEditView other(*sender);
    other.setPlainText("00RV");
    ASSERT_TRUE(sender->start(view.get(), TSendScope::Global));
    EXPECT_TRUE(view->sending());
    for (int id : {1502, 1503, 1504}) {
        EXPECT_FALSE(other.sendAction(id)->isEnabled()) << id;
    }
    EXPECT_FALSE(sender->start(&other, TSendScope::Global));
    EXPECT_FALSE(other.sending());
    ASSERT_TRUE(waitFor([this] { return !sender->running(); }));
    EXPECT_TRUE(other.sendAction(1502)->isEnabled());
    EXPECT_FALSE(view->sending());
}

TEST_F(SenderTest, TheSendMenuHoldsItsThreeCommands) {
    QMenu* send = view->sendMenu();
    EXPECT_EQ(send->title(), "Se&nd");
    QStringList texts;
    for (QAction* a : send->actions()) {
        texts << a->text();
    }
    EXPECT_EQ(texts, QStringList({"&Global", "&Selected text", "&From cursor line"}));
    EXPECT_EQ(view->sendAction(1502)->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F10));
    const QList<QMenu*> merged = view->mergedMenus();
    ASSERT_EQ(merged.size(), 3);
    EXPECT_EQ(merged[0]->title(), "&Edit");
    EXPECT_EQ(merged[1]->title(), "&Search");
    EXPECT_EQ(merged[2], send);
}

} // namespace
} // namespace tamsel::terminal::test

namespace tamsel::terminal::test {
namespace {

TEST_F(SenderTest, TheSearchMenuFindsAndReplacesInTheFile) {
    view->setPlainText("00WH 100\n00WL 100\n00RV\n");
    EXPECT_TRUE(view->canRun(shell::cmd::kEditFind));
    EXPECT_FALSE(view->canRun(shell::cmd::kEditFindNext));
    EXPECT_TRUE(view->runCommand(shell::cmd::kEditFind));
    TFindDialog* find = view->findDialog();
    EXPECT_TRUE(find->isVisible());
    find->setFindText("100");
    EXPECT_TRUE(view->canRun(shell::cmd::kEditFindNext));
    EXPECT_TRUE(view->runCommand(shell::cmd::kEditFindNext));
    EXPECT_EQ(view->textCursor().blockNumber(), 0);
    EXPECT_TRUE(view->runCommand(shell::cmd::kEditFindNext));
    EXPECT_EQ(view->textCursor().blockNumber(), 1);
    // The search wraps to the start once.
    EXPECT_TRUE(view->runCommand(shell::cmd::kEditFindNext));
    EXPECT_EQ(view->textCursor().blockNumber(), 0);
    find->setReplaceText("250");
    EXPECT_TRUE(find->replaceNext());
    EXPECT_EQ(view->toPlainText(), "00WH 250\n00WL 100\n00RV\n");
    EXPECT_EQ(find->replaceAll(), 1);
    EXPECT_EQ(view->toPlainText(), "00WH 250\n00WL 250\n00RV\n");
    // One undo takes the whole replacement back.
    view->undo();
    EXPECT_EQ(view->toPlainText(), "00WH 250\n00WL 100\n00RV\n");
    find->setFindText("QD");
    EXPECT_FALSE(view->runCommand(shell::cmd::kEditFindNext));
}

} // namespace
} // namespace tamsel::terminal::test
