#include "file_sender.h"

#include "terminal_codes.h"

#include <command_docs.h>
#include <contract/record_codes.h>
#include <cp1252.h>
#include <project/command_file.h>
#include <prompter.h>

#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTextBlock>
#include <QVBoxLayout>

#include <algorithm>
#include <string>
#include <utility>

namespace tamsel::terminal {

namespace {

constexpr int kTurnMs = 0;
constexpr int kWaitTurnMs = 10;
// The poll thread stops after its current pass, one pass every 300 ms; a thread that
// does not stop within this is not waited for longer: the wire lock still keeps the two
// exchanges apart.
constexpr int kWaitStopTurns = 300;
constexpr int kErrorHz = 800;
constexpr int kErrorMs = 200;
constexpr int kReplyHz = 400;
constexpr int kReplyMs = 100;

} // namespace

// ---- lines ---------------------------------------------------------------------------------

TLineRange linesOf(const QPlainTextEdit& view, TSendScope scope) {
    const QTextDocument* document = view.document();
    const QTextCursor cursor = view.textCursor();
    const int count = document->blockCount();
    switch (scope) {
    case TSendScope::Global:
        return {0, count};
    case TSendScope::FromCursor:
        return {cursor.block().blockNumber(), count};
    case TSendScope::Selection: {
        const QTextBlock first = document->findBlock(cursor.selectionStart());
        const QTextBlock last = document->findBlock(cursor.selectionEnd());
        int end = last.blockNumber() + 1;
        // A selection of whole lines ends at the start of the next line, which the user
        // did not choose.
        if (cursor.hasSelection() && cursor.selectionEnd() == last.position() &&
            last.blockNumber() > first.blockNumber()) {
            --end;
        }
        return {first.blockNumber(), end};
    }
    }
    return {0, 0};
}

// ---- the progress window --------------------------------------------------------------------

TSendProgress::TSendProgress(int lines, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("sendProgress"));
    setWindowTitle(QStringLiteral("Tamsel2 command file"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    m_state = new QLabel(QString::fromLatin1(kRunning), this);
    m_state->setObjectName(QStringLiteral("state"));
    layout->addWidget(m_state);
    m_gauge = new QProgressBar(this);
    m_gauge->setObjectName(QStringLiteral("gauge"));
    m_gauge->setRange(0, std::max(lines, 1));
    m_gauge->setValue(0);
    layout->addWidget(m_gauge);
    auto* buttons = new QHBoxLayout;
    m_stop = new QPushButton(QStringLiteral("Stop"), this);
    m_stop->setObjectName(QStringLiteral("stop"));
    m_pause = new QPushButton(QStringLiteral("Pause"), this);
    m_pause->setObjectName(QStringLiteral("pause"));
    m_continue = new QPushButton(QStringLiteral("Continue"), this);
    m_continue->setObjectName(QStringLiteral("continue"));
    m_retry = new QPushButton(QStringLiteral("Retry"), this);
    m_retry->setObjectName(QStringLiteral("retry"));
    for (QPushButton* b : {m_stop, m_pause, m_continue, m_retry}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    m_panel = new QGroupBox(this);
    m_panel->setObjectName(QStringLiteral("panel"));
    auto* panelLayout = new QVBoxLayout(m_panel);
    m_panelTitle = new QLabel(m_panel);
    m_panelTitle->setObjectName(QStringLiteral("panelTitle"));
    m_panelText = new QLabel(m_panel);
    m_panelText->setObjectName(QStringLiteral("panelText"));
    m_panelText->setTextFormat(Qt::PlainText);
    m_panelText->setWordWrap(true);
    m_panelText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    panelLayout->addWidget(m_panelTitle);
    panelLayout->addWidget(m_panelText);
    m_panel->hide();
    layout->addWidget(m_panel);
    setPaused(false);
    setRetryable(false);

    connect(m_stop, &QPushButton::clicked, this, &TSendProgress::stopPressed);
    connect(m_pause, &QPushButton::clicked, this, &TSendProgress::pausePressed);
    connect(m_continue, &QPushButton::clicked, this, &TSendProgress::continuePressed);
    connect(m_retry, &QPushButton::clicked, this, &TSendProgress::retryPressed);
}

QString TSendProgress::stateText() const {
    return m_state->text();
}

bool TSendProgress::panelOpen() const {
    return !m_panel->isHidden();
}

QString TSendProgress::panelTitle() const {
    return m_panelTitle->text();
}

QString TSendProgress::panelText() const {
    return m_panelText->text();
}

void TSendProgress::setPaused(bool paused) {
    m_state->setText(QString::fromLatin1(paused ? kPaused : kRunning));
    m_pause->setEnabled(!paused);
    m_continue->setEnabled(paused);
}

void TSendProgress::setRetryable(bool on) {
    m_retry->setEnabled(on);
}

void TSendProgress::advance() {
    m_gauge->setValue(std::min(m_gauge->value() + 1, m_gauge->maximum()));
}

void TSendProgress::showPanel(const QString& title, const QString& text) {
    m_panelTitle->setText(title);
    m_panelText->setText(text);
    m_panel->show();
}

void TSendProgress::closeEvent(QCloseEvent* event) {
    // Closing the window is the stop button; the sender closes it when it is done.
    event->ignore();
    emit stopPressed();
}

void TSendProgress::reject() {
    emit stopPressed();
}

// ---- the sender --------------------------------------------------------------------------------

TCommandFileSender::TCommandFileSender(TFileLineLink& link, shell::TPrompter& prompter, TTone tone)
    : m_link(link), m_prompter(prompter), m_tone(std::move(tone)) {
    if (!m_tone) {
        m_tone = [this](int, int) { m_prompter.beep(); };
    }
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &TCommandFileSender::turn);
}

TCommandFileSender::~TCommandFileSender() {
    if (running()) {
        m_timer.stop();
        QByteArray none;
        m_link.fileLine({}, contract::kFileLineStartPolling, none);
        if (m_view != nullptr) {
            m_view->setSending(false);
        }
        delete m_progress.data();
    }
}

bool TCommandFileSender::start(shell::TCommandFileView* view, TSendScope scope) {
    if (running() || view == nullptr) {
        return false;
    }
    m_running = true;
    m_view = view;
    m_range = linesOf(*view, scope);
    m_next = m_range.first;
    const QTextCursor cursor = view->textCursor();
    m_anchor = cursor.anchor();
    m_position = cursor.position();
    m_paused = false;
    m_pollingResumed = false;
    m_stopRequested = false;
    m_retryRequested = false;
    view->setSending(true);

    QByteArray none;
    m_link.fileLine({}, contract::kFileLineStopPolling, none);
    m_phase = TPhase::WaitStop;
    m_waitTurns = 0;

    m_progress = new TSendProgress(m_range.end - m_range.first, view->window());
    connect(m_progress, &TSendProgress::stopPressed, this, &TCommandFileSender::stop);
    connect(m_progress, &TSendProgress::pausePressed, this, &TCommandFileSender::pause);
    connect(m_progress, &TSendProgress::continuePressed, this, &TCommandFileSender::resume);
    connect(m_progress, &TSendProgress::retryPressed, this, &TCommandFileSender::retry);
    m_progress->show();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = m_progress->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        m_progress->move(frame.topLeft());
    }
    emit runningChanged(true);
    m_timer.start(kWaitTurnMs);
    return true;
}

void TCommandFileSender::stop() {
    if (running()) {
        m_stopRequested = true;
        m_timer.start(kTurnMs);
    }
}

void TCommandFileSender::pause() {
    if (running() && !m_paused) {
        m_paused = true;
        m_progress->setPaused(true);
        m_timer.start(kTurnMs);
    }
}

void TCommandFileSender::resume() {
    if (running() && m_paused) {
        m_paused = false;
        m_progress->setPaused(false);
        m_timer.start(kTurnMs);
    }
}

void TCommandFileSender::retry() {
    if (running() && m_next > m_range.first) {
        m_retryRequested = true;
        if (!m_paused) {
            m_timer.start(kTurnMs);
        }
    }
}

void TCommandFileSender::turn() {
    if (m_view == nullptr) {
        shell::TBox box;
        box.title = QStringLiteral("tm2 will be bug");
        box.text = QStringLiteral("no more view");
        m_prompter.ask(m_progress, box);
        finish(true);
        return;
    }
    // The progress window goes with its parent window.
    if (m_stopRequested || m_progress == nullptr) {
        finish(true);
        return;
    }
    QByteArray none;
    if (m_paused) {
        // The modules' windows read again while the user thinks.
        if (!m_pollingResumed) {
            m_link.fileLine({}, contract::kFileLineStartPolling, none);
            m_pollingResumed = true;
        }
        return;
    }
    if (m_pollingResumed) {
        m_pollingResumed = false;
        m_link.fileLine({}, contract::kFileLineStopPolling, none);
        m_phase = TPhase::WaitStop;
        m_waitTurns = 0;
    }
    if (m_phase == TPhase::WaitStop) {
        if (m_link.pollingEnabled() && ++m_waitTurns < kWaitStopTurns) {
            m_timer.start(kWaitTurnMs);
            return;
        }
        m_phase = TPhase::Run;
    }
    bool advance = true;
    if (m_retryRequested) {
        m_retryRequested = false;
        m_next = std::max(m_range.first, m_next - 1);
        advance = false;
    }
    if (m_next >= m_range.end) {
        finish(false);
        return;
    }
    sendLine(advance);
    if (m_next >= m_range.end && !m_paused) {
        finish(false);
        return;
    }
    if (!m_paused) {
        m_timer.start(kTurnMs);
    }
}

void TCommandFileSender::sendLine(bool advance) {
    const QTextBlock block = m_view->document()->findBlockByNumber(m_next);
    QTextCursor select(block);
    select.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    m_view->setTextCursor(select);
    m_view->ensureCursorVisible();
    if (advance) {
        m_progress->advance();
    }
    const QByteArray line = shell::toCp1252(block.text()).left(kFileLineLimit);
    ++m_next;
    m_progress->setRetryable(true);
    // The driver takes a command as a C string: a line holding a NUL byte would put on the
    // wire only what comes before it, another command than the one shown.
    const project::CommandFileLine checked =
        project::commandFileLine(std::string_view(line.constData(), size_t(line.size())));
    if (checked.kind == project::CommandFileLine::Kind::Refuse) {
        m_progress->showPanel(
            QString::fromLatin1(TSendProgress::kErrorTitle),
            tr("Line %1: %2: not sent")
                .arg(m_next)
                .arg(QString::fromLatin1(checked.note.data(), qsizetype(checked.note.size()))));
        m_tone(kErrorHz, kErrorMs);
        pause();
        return;
    }
    QByteArray result;
    const bool ok = m_link.fileLine(line, contract::kFileLineSend, result);
    if (m_progress == nullptr) {
        return;
    }
    const QString text = shell::fromCp1252(result);
    if (!ok) {
        m_progress->showPanel(QString::fromLatin1(TSendProgress::kErrorTitle), text);
        m_tone(kErrorHz, kErrorMs);
    } else if (result.startsWith('#')) {
        // The file asks the user to look at the line: the send waits for "Continue".
        m_progress->showPanel(QString::fromLatin1(TSendProgress::kMessageTitle),
                              text + QLatin1Char('\n') +
                                  QString::fromLatin1(TSendProgress::kCheckLine));
        m_tone(kReplyHz, kReplyMs);
        pause();
    } else if (!result.isEmpty()) {
        m_progress->showPanel(QString::fromLatin1(TSendProgress::kReplyTitle), text);
        m_tone(kReplyHz, kReplyMs);
    }
}

void TCommandFileSender::finish(bool stopped) {
    m_timer.stop();
    QByteArray none;
    m_link.fileLine({}, contract::kFileLineStartPolling, none);
    if (m_view != nullptr) {
        if (!stopped) {
            // The user may have edited the text while the send was paused.
            const int last = m_view->document()->characterCount() - 1;
            QTextCursor restore(m_view->document());
            restore.setPosition(std::min(m_anchor, last));
            restore.setPosition(std::min(m_position, last), QTextCursor::KeepAnchor);
            m_view->setTextCursor(restore);
            m_view->ensureCursorVisible();
        }
        m_view->setSending(false);
    }
    m_view = nullptr;
    m_running = false;
    if (m_progress != nullptr) {
        m_progress->hide();
        m_progress->deleteLater();
        m_progress = nullptr;
    }
    emit runningChanged(false);
    emit finished(stopped);
}

} // namespace tamsel::terminal
