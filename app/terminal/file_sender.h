// Sending a command-file window to the modules, line by line, with a progress window that
// lets the user pause, continue, retry a line or stop. The sending runs in turns of the
// event loop, so that the program stays live between two lines.
#pragma once

#include <command_docs.h>
#include <contract/file_line_link.h>

#include <QByteArray>
#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QGroupBox;

namespace tamsel::shell {
class TPrompter;
}

namespace tamsel::terminal {

using contract::TFileLineLink;

/// Which lines of the window are sent (commands 1502, 1503, 1504).
enum class TSendScope { Global, Selection, FromCursor };

/// The lines [first, end) a scope covers in @p view.
struct TLineRange {
    int first = 0;
    int end = 0;
};
TLineRange linesOf(const QPlainTextEdit& view, TSendScope scope);

/// The progress window: gauge, state text, stop, pause, continue and retry, and the
/// message panel that shows what the last line brought back.
class TSendProgress final : public QDialog {
    Q_OBJECT
  public:
    static constexpr const char* kRunning = "Sending in progress . . .";
    static constexpr const char* kPaused = "Sending in pause ...";
    static constexpr const char* kErrorTitle = "Error module :";
    static constexpr const char* kReplyTitle = "From module :";
    static constexpr const char* kMessageTitle = "Message:";
    static constexpr const char* kCheckLine = "Check edit line then Continue";

    TSendProgress(int lines, QWidget* parent);

    QProgressBar* gauge() const { return m_gauge; }
    QPushButton* stopButton() const { return m_stop; }
    QPushButton* pauseButton() const { return m_pause; }
    QPushButton* continueButton() const { return m_continue; }
    QPushButton* retryButton() const { return m_retry; }
    QString stateText() const;
    bool panelOpen() const;
    QString panelTitle() const;
    QString panelText() const;

    void setPaused(bool paused);
    void setRetryable(bool on);
    void advance();
    void showPanel(const QString& title, const QString& text);

  signals:
    void stopPressed();
    void pausePressed();
    void continuePressed();
    void retryPressed();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

  private:
    QProgressBar* m_gauge = nullptr;
    QLabel* m_state = nullptr;
    QPushButton* m_stop = nullptr;
    QPushButton* m_pause = nullptr;
    QPushButton* m_continue = nullptr;
    QPushButton* m_retry = nullptr;
    QGroupBox* m_panel = nullptr;
    QLabel* m_panelTitle = nullptr;
    QLabel* m_panelText = nullptr;
};

/// The command-file send of the application. One send at a time.
class TCommandFileSender final : public QObject {
    Q_OBJECT
  public:
    /// A tone of @p hz for @p ms; by default the prompter's beep, the nearest a desktop has.
    using TTone = std::function<void(int hz, int ms)>;

    TCommandFileSender(TFileLineLink& link, shell::TPrompter& prompter, TTone tone = {});
    ~TCommandFileSender() override;

    /// Starts sending @p view; false when a send is already running or there is no view.
    bool start(shell::TCommandFileView* view, TSendScope scope);
    bool running() const { return m_running; }
    /// The progress window of the send running, null when none.
    TSendProgress* progress() const { return m_progress; }

    void stop();
    void pause();
    void resume();
    void retry();

  signals:
    void runningChanged(bool running);
    /// A send ended; @p stopped when the user stopped it or the window went away.
    void finished(bool stopped);

  private:
    enum class TPhase { WaitStop, Run };
    void turn();
    void sendLine(bool advance);
    void finish(bool stopped);

    TFileLineLink& m_link;
    shell::TPrompter& m_prompter;
    TTone m_tone;
    QTimer m_timer;
    QPointer<shell::TCommandFileView> m_view;
    QPointer<TSendProgress> m_progress;
    TLineRange m_range;
    int m_next = 0;
    int m_anchor = 0;
    int m_position = 0;
    bool m_running = false;
    TPhase m_phase = TPhase::WaitStop;
    int m_waitTurns = 0;
    bool m_paused = false;
    bool m_pollingResumed = false;
    bool m_stopRequested = false;
    bool m_retryRequested = false;
};

} // namespace tamsel::terminal
