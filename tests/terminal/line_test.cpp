// The terminal, the command-file send and the example tool inside the real program: the
// application over the real driver, binding and project, and emulated modules on a
// pseudo-terminal.
#include "terminal_support.h"

#include <command_view.h>
#include <dialog_trilo.h>
#include <edit_style.h>
#include <file_sender.h>
#include <terminal_hooks.h>

#include <command_docs.h>
#include <line_backend.h>
#include <main_app.h>
#include <main_frame.h>
#include <tool_plugins.h>

#include <kvsim/virtual_line.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

#include <cstring>
#include <dlfcn.h>
#include <memory>

namespace tamsel::terminal::test {
namespace {

constexpr const char* kLine = "00 TRILO type=0x0205 serial=1001\n"
                              "03 DVRX type=0x6020 serial=1004 version=2.10\n";

QByteArray projectText() {
    return "; test project\n[CONFIGURATION]\nTarget = TRILO\nPortComm = COM1\n"
           "BaudRate = 9600\nProtocole = XON-XOFF\n"
           "Cnf00000  = 00 , 00517 ,_,_,_\nCnf00001  = 03 , 24608 ,_,_,_\n;\n"
           "[TM2_SETUP]\nSwMode = 0\nSwPn0 = 0\n;\n[LabelVariable]\n;\n[LAST_COMMAND]\n;\n";
}

struct TTone {
    int hz;
    int ms;
};

class LineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(work.isValid());
        ASSERT_TRUE(ports.isValid());
        qputenv("LINKOR_PORTS", ports.path().toLocal8Bit());
        line = std::make_unique<kvsim::VirtualLine>(kvsim::VirtualLine::fromText(kLine));
        line->start(ports.path().toStdString(), 1);
        previous = QDir::currentPath();
        QDir(work.path()).mkpath("template");
        QDir(work.path()).mkpath("tools");
        ASSERT_TRUE(QFile::link(QStringLiteral(TAMSEL_LINKOR_FILE), work.filePath("liblinkor.so")));
        ASSERT_TRUE(
            QFile::copy(QStringLiteral(TAMSEL_EXAMPLE_TOOL), work.filePath("tools/1450tools.so")));
        writeFile("tm2cmde.txt", "[TRILO]\nRV (identity and firmware version)\n"
                                 "QD\t(status)\n");
        writeFile("template/tamsel2.ktp", projectText());
        QDir::setCurrent(work.path());

        backend = std::make_unique<shell::TLineBackend>(prompter, work.filePath("none.conf"));
        app = std::make_unique<shell::TMainApp>(*backend, prompter);
        hooks = std::make_unique<TTerminalHooks>(*app, prompter, backend->fileLines(),
                                                 [this](int hz, int ms) {
                                                     tones.append({hz, ms});
                                                     if (onTone) {
                                                         onTone(hz);
                                                     }
                                                 });
        app->setScreenFacts({96, 96, 1024, 768, 24});
        ASSERT_TRUE(app->start());
        ASSERT_NE(backend->comm().lineHandle(), 0);
    }
    void TearDown() override {
        hooks.reset();
        app.reset();
        backend.reset();
        QDir::setCurrent(previous);
        line->stop();
        qunsetenv("LINKOR_PORTS");
    }
    void writeFile(const char* name, const QByteArray& text) {
        QFile f(work.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }
    int heard(int address) const { return line->module(address)->commandsHeard; }

    TDialogTRILO* openTerminal() {
        app->command(shell::cmd::kDialog);
        QMdiSubWindow* sub = app->childWithId(shell::winid::kDialog);
        if (sub == nullptr) {
            return nullptr;
        }
        auto* terminal = qobject_cast<TDialogTRILO*>(sub->widget());
        if (terminal != nullptr) {
            waitFor([terminal] { return terminal->isVisible(); }, 5000);
        }
        return terminal;
    }
    void sendCommand(TDialogTRILO* terminal, const QString& command) {
        terminal->commandEdit()->setText(command);
        QTest::keyClick(terminal->commandEdit(), Qt::Key_Return);
    }
    /// A free text as another window would send it, for comparison.
    contract::TagFreeText direct(const char* text) {
        contract::TagFreeText r;
        std::strcpy(r.text, text);
        app->request(shell::req::kFreeText, 0, &r);
        return r;
    }

    TCommandEditView* newFile(const QString& text) {
        auto* view = qobject_cast<TCommandEditView*>(app->documents().newDocument());
        if (view != nullptr) {
            view->setPlainText(text);
        }
        return view;
    }
    void selectLines(TCommandEditView* view, int first, int last) {
        QTextCursor cursor(view->document()->findBlockByNumber(first));
        const QTextBlock end = view->document()->findBlockByNumber(last);
        cursor.setPosition(end.position() + end.length() - 1, QTextCursor::KeepAnchor);
        view->setTextCursor(cursor);
    }
    bool sendFinished() const { return !hooks->sender().running(); }

    QTemporaryDir work;
    QTemporaryDir ports;
    QString previous;
    std::unique_ptr<kvsim::VirtualLine> line;
    TRecordingPrompter prompter;
    std::unique_ptr<shell::TLineBackend> backend;
    std::unique_ptr<shell::TMainApp> app;
    std::unique_ptr<TTerminalHooks> hooks;
    QList<TTone> tones;
    std::function<void(int hz)> onTone;
};

// ---- the terminal ------------------------------------------------------------------------

TEST_F(LineTest, ACommandTypedReachesTheModuleAndItsReplyIsShown) {
    TDialogTRILO* terminal = openTerminal();
    ASSERT_NE(terminal, nullptr);
    EXPECT_EQ(terminal->windowTitle(), " Dialog TRILO");
    EXPECT_EQ(terminal->targets()->findText("JBUS"), -1);
    EXPECT_EQ(terminal->targets()->currentText(), "TRILO");
    const int before = heard(0);
    sendCommand(terminal, "00RV");
    EXPECT_EQ(heard(0), before + 1);
    const QString reply = terminal->replyEdit()->text();
    EXPECT_TRUE(reply.startsWith("00V ")) << reply.toStdString();
    EXPECT_EQ(reply, QString::fromLatin1(direct("00RV").reply));
    EXPECT_EQ(prompter.beeps, 0);
    EXPECT_EQ(terminal->addressLabel()->text(), " 00 ");
    // The project keeps it among the last commands; the history gives it back.
    ASSERT_EQ(backend->project().lastCommandCount(), 1);
    EXPECT_EQ(backend->project().lastCommand(0), "00RV");
    terminal->commandEdit()->clear();
    QTest::keyClick(terminal->commandEdit(), Qt::Key_Down);
    EXPECT_TRUE(terminal->commandEdit()->text().isEmpty());
    sendCommand(terminal, "03READ #POS");
    EXPECT_EQ(terminal->addressLabel()->text(), " 03 ");
    QTest::keyClick(terminal->commandEdit(), Qt::Key_Up);
    EXPECT_EQ(terminal->commandEdit()->text(), "00RV");
}

TEST_F(LineTest, AFailedCommandBeepsAndShowsTheDriversMessage) {
    TDialogTRILO* terminal = openTerminal();
    ASSERT_NE(terminal, nullptr);
    const contract::TagFreeText expected = direct("07RV");
    ASSERT_NE(expected.status, 0);
    sendCommand(terminal, "07RV");
    EXPECT_EQ(prompter.beeps, 1);
    EXPECT_EQ(terminal->replyEdit()->text(), QString::fromLatin1(expected.reply));
    EXPECT_FALSE(terminal->replyEdit()->text().isEmpty());
    EXPECT_EQ(terminal->commandEdit()->text(), "07RV");
    // The address display stays where the user had it.
    EXPECT_EQ(terminal->addressLabel()->text(), " 00 ");
}

TEST_F(LineTest, AGlossaryEntryWithACommentIsSentCleaned) {
    TDialogTRILO* terminal = openTerminal();
    ASSERT_NE(terminal, nullptr);
    terminal->openGlossary();
    ASSERT_EQ(terminal->list()->count(), 2);
    EXPECT_EQ(terminal->list()->itemText(1), "QD\t(status)");
    terminal->list()->hidePopup();
    terminal->closeList(1);
    EXPECT_EQ(terminal->commandEdit()->text(), "00QD\t(status)");
    const int before = heard(0);
    terminal->sendButton()->click();
    EXPECT_EQ(heard(0), before + 1);
    EXPECT_EQ(prompter.beeps, 0) << terminal->replyEdit()->text().toStdString();
    EXPECT_EQ(terminal->commandEdit()->text(), "00QD");
    EXPECT_TRUE(terminal->replyEdit()->text().startsWith("00D "))
        << terminal->replyEdit()->text().toStdString();
    EXPECT_EQ(backend->project().lastCommand(0), "00QD");
}

TEST_F(LineTest, TheSyntaxMacroAndAnUnknownMacroGoThroughTheBinding) {
    TDialogTRILO* terminal = openTerminal();
    ASSERT_NE(terminal, nullptr);
    sendCommand(terminal, "$syntaxe=");
    EXPECT_EQ(terminal->replyEdit()->text(), "Macro is done ");
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

// ---- the tools -----------------------------------------------------------------------------

TEST_F(LineTest, TheExampleToolOpensAndSendsThroughTheApplication) {
    TDialogTRILO* terminal = openTerminal();
    ASSERT_NE(terminal, nullptr);
    sendCommand(terminal, "$1450");
    EXPECT_TRUE(prompter.boxes.isEmpty()) << prompter.texts().join("|").toStdString();
    ASSERT_NE(hooks->tools().held(), nullptr);
    auto* tool = app->frame().findChild<QWidget*>("quickSendTool");
    ASSERT_NE(tool, nullptr);
    EXPECT_TRUE(tool->isVisible());
    EXPECT_EQ(tool->findChild<QLabel*>("toolDirectory")->text(),
              QDir::toNativeSeparators(work.path()));
    EXPECT_EQ(tool->findChild<QLabel*>("toolName")->text(), "1450");
    auto* command = tool->findChild<QLineEdit*>("toolCommand");
    command->setText("00RV");
    const int before = heard(0);
    tool->findChild<QPushButton*>("toolSend")->click();
    EXPECT_EQ(heard(0), before + 1);
    EXPECT_TRUE(tool->findChild<QLineEdit*>("toolReply")->text().startsWith("00V "));
    // A tool's free text is not one of the user's last commands.
    EXPECT_EQ(backend->project().lastCommandCount(), 0);
    // Nothing went to the modules for "$1450" itself.
    EXPECT_TRUE(terminal->replyEdit()->text().isEmpty());

    sendCommand(terminal, "$purge");
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].text, "tentative de purge de la dll (demapping)");
    EXPECT_TRUE(prompter.boxes[0].title.isEmpty());
    EXPECT_EQ(hooks->tools().held(), nullptr);
    EXPECT_EQ(app->frame().findChild<QWidget*>("quickSendTool"), nullptr);
    const QByteArray path = QFile::encodeName(work.filePath("tools/1450tools.so"));
    EXPECT_EQ(::dlopen(path.constData(), RTLD_NOW | RTLD_NOLOAD), nullptr);
}

TEST_F(LineTest, AMissingToolShowsTheBox) {
    TDialogTRILO* terminal = openTerminal();
    ASSERT_NE(terminal, nullptr);
    sendCommand(terminal, "$nothere");
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].text, "This tool is not localized");
    EXPECT_EQ(prompter.boxes[0].title, "contact QZ");
    EXPECT_EQ(hooks->tools().held(), nullptr);
    EXPECT_EQ(terminal->commandEdit()->text(), "$nothere");
}

// ---- command files ----------------------------------------------------------------------------

TEST_F(LineTest, AWholeFileIsSentLineByLineAndTheSelectionComesBack) {
    TCommandEditView* view = newFile("* identity and status of module 00\n"
                                     "00RV\n"
                                     "; a comment line\n"
                                     "~ power the motor now\n"
                                     "00QD ; status\n"
                                     "\n");
    ASSERT_NE(view, nullptr);
    QTextCursor caret(view->document()->findBlockByNumber(2));
    caret.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor, 3);
    view->setTextCursor(caret);
    const int anchor = caret.anchor();
    const int position = caret.position();
    const int before = heard(0);
    view->sendAction(shell::cmd::kSendGlobal)->trigger();
    EXPECT_TRUE(view->sending());
    EXPECT_FALSE(view->sendAction(shell::cmd::kSendGlobal)->isEnabled());
    TSendProgress* progress = hooks->sender().progress();
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->gauge()->maximum(), 7);
    EXPECT_EQ(progress->stateText(), "Sending in progress . . .");
    QPointer<TSendProgress> window = progress;
    int lastGauge = 0;
    QString lastPanel;
    QObject::connect(progress->gauge(), &QProgressBar::valueChanged,
                     [&lastGauge](int v) { lastGauge = v; });
    ASSERT_TRUE(waitFor([this] { return sendFinished(); }));
    EXPECT_EQ(lastGauge, 7);
    EXPECT_EQ(heard(0), before + 2);
    // A reply, the operator's line and a reply: three short beeps, no error.
    ASSERT_EQ(tones.size(), 3);
    for (const TTone& t : tones) {
        EXPECT_EQ(t.hz, 400);
        EXPECT_EQ(t.ms, 100);
    }
    EXPECT_FALSE(view->sending());
    EXPECT_TRUE(view->sendAction(shell::cmd::kSendGlobal)->isEnabled());
    EXPECT_EQ(view->textCursor().anchor(), anchor);
    EXPECT_EQ(view->textCursor().position(), position);
    EXPECT_TRUE(waitFor([&window] { return window == nullptr; }, 5000));
    // Polling runs again after the send.
    EXPECT_TRUE(backend->comm().pollingEnabled());
}

TEST_F(LineTest, TheMessagePanelShowsWhatEachLineBroughtBack) {
    TCommandEditView* view = newFile("00RV\n~ check the brake\n07RV\n");
    ASSERT_NE(view, nullptr);
    QStringList panels;
    onTone = [this, &panels](int) {
        if (TSendProgress* p = hooks->sender().progress()) {
            panels << p->panelTitle() + "|" + p->panelText();
        }
    };
    const contract::TagFreeText failed = direct("07RV");
    ASSERT_NE(failed.status, 0);
    const contract::TagFreeText identity = direct("00RV");
    view->sendAction(shell::cmd::kSendGlobal)->trigger();
    ASSERT_TRUE(waitFor([this] { return sendFinished(); }));
    ASSERT_EQ(panels.size(), 3);
    EXPECT_EQ(panels[0], QStringLiteral("From module :|") + identity.reply);
    EXPECT_EQ(panels[1], "From module :|~ check the brake");
    EXPECT_EQ(panels[2], QStringLiteral("Error module :|") + failed.reply);
    ASSERT_EQ(tones.size(), 3);
    EXPECT_EQ(tones[2].hz, 800);
    EXPECT_EQ(tones[2].ms, 200);
}

TEST_F(LineTest, ASelectionOfCommentsSendsNothing) {
    TCommandEditView* view = newFile("00RV\n* first note\n; second note\n\n* third note\n00QD\n");
    ASSERT_NE(view, nullptr);
    selectLines(view, 1, 4);
    const QTextCursor chosen = view->textCursor();
    const int before = heard(0);
    view->sendAction(shell::cmd::kSendSelection)->trigger();
    ASSERT_NE(hooks->sender().progress(), nullptr);
    EXPECT_EQ(hooks->sender().progress()->gauge()->maximum(), 4);
    ASSERT_TRUE(waitFor([this] { return sendFinished(); }));
    EXPECT_EQ(heard(0), before);
    EXPECT_TRUE(tones.isEmpty());
    EXPECT_EQ(view->textCursor().selectionStart(), chosen.selectionStart());
    EXPECT_EQ(view->textCursor().selectionEnd(), chosen.selectionEnd());
}

TEST_F(LineTest, FromTheCursorLineSendsTheRestOfTheFile) {
    TCommandEditView* view = newFile("00RV\n00QD\n00RV\n");
    ASSERT_NE(view, nullptr);
    view->setTextCursor(QTextCursor(view->document()->findBlockByNumber(1)));
    const int before = heard(0);
    view->sendAction(shell::cmd::kSendFromCaret)->trigger();
    ASSERT_TRUE(waitFor([this] { return sendFinished(); }));
    EXPECT_EQ(heard(0), before + 2);
}

TEST_F(LineTest, AModuleThatStopsAnsweringIsReportedAndTheLineRetried) {
    TCommandEditView* view = newFile("00RV\n00QD\n00QD\n00RV\n");
    ASSERT_NE(view, nullptr);
    // After the first reply the module falls silent; at the first failure the user pauses.
    onTone = [this](int hz) {
        if (hz == 400 && tones.size() == 1) {
            line->setFault(0, {kvsim::FaultKind::Silent, -1});
        } else if (hz == 800) {
            hooks->sender().pause();
        }
    };
    view->sendAction(shell::cmd::kSendGlobal)->trigger();
    TSendProgress* progress = hooks->sender().progress();
    ASSERT_NE(progress, nullptr);
    ASSERT_TRUE(waitFor([progress] { return progress->stateText() == "Sending in pause ..."; }));
    EXPECT_TRUE(progress->panelOpen());
    EXPECT_EQ(progress->panelTitle(), "Error module :");
    EXPECT_FALSE(progress->panelText().isEmpty());
    EXPECT_EQ(progress->gauge()->value(), 2);
    EXPECT_TRUE(progress->continueButton()->isEnabled());
    EXPECT_FALSE(progress->pauseButton()->isEnabled());
    // While paused the modules' windows read again.
    EXPECT_TRUE(waitFor([this] { return backend->comm().pollingEnabled(); }));
    // Neither the file nor its window may close while it is being sent.
    auto* sub = qobject_cast<QMdiSubWindow*>(view->parentWidget());
    ASSERT_NE(sub, nullptr);
    EXPECT_FALSE(sub->close());
    EXPECT_TRUE(prompter.texts().contains("can't close if sending pending !!"));

    // The module answers again; the failed line is sent once more and the file goes on.
    line->setFault(0, {kvsim::FaultKind::None, -1});
    const int before = heard(0);
    progress->retryButton()->click();
    progress->continueButton()->click();
    ASSERT_TRUE(waitFor([this] { return sendFinished(); }));
    EXPECT_EQ(heard(0), before + 3);
    ASSERT_EQ(tones.size(), 5);
    EXPECT_EQ(tones[1].hz, 800);
    EXPECT_EQ(tones[2].hz, 400);
    EXPECT_EQ(tones[4].hz, 400);
}

TEST_F(LineTest, StopEndsTheSendAndLeavesTheLastLineSelected) {
    TCommandEditView* view = newFile("00RV\n05RV\n00QD\n00RV\n");
    ASSERT_NE(view, nullptr);
    onTone = [this](int hz) {
        if (hz == 800) {
            hooks->sender().pause();
        }
    };
    view->sendAction(shell::cmd::kSendGlobal)->trigger();
    TSendProgress* progress = hooks->sender().progress();
    ASSERT_NE(progress, nullptr);
    ASSERT_TRUE(waitFor([progress] { return progress->stateText() == "Sending in pause ..."; }));
    const int before = heard(0);
    progress->stopButton()->click();
    ASSERT_TRUE(waitFor([this] { return sendFinished(); }));
    EXPECT_EQ(heard(0), before);
    EXPECT_EQ(view->textCursor().selectedText(), "05RV");
    EXPECT_FALSE(view->sending());
    EXPECT_TRUE(backend->comm().pollingEnabled());
}

} // namespace
} // namespace tamsel::terminal::test
