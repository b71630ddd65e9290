// The application object: owns the service objects (through the backend), the main frame,
// the recent-files list and the command-file documents; runs the start-up sequence; routes
// every request of "KVTamsel_01"; opens the module windows by identifier.
#pragma once

#include "app_request.h"
#include "shell_backend.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class QMdiSubWindow;
class QWidget;

namespace tamsel::shell {

class TCommandDocs;
class THelp;
class TInitBox;
class TMainFrame;
class TPrompter;
class TRecentFiles;
class TSingleInstance;

/// The module windows the shell opens; their layers register how to build them.
enum class TWindowKind {
    Configuration,
    Dialog,
    Parameters,
    DirectMotion,
    SpecificMode,
    Panel,
    PanelVrx,
    Vrx17Control,
    V234Control,
    Variables,
};

/// What a module window is built with.
struct TWindowContext {
    TRequestSink* app = nullptr;
    std::int32_t address = 0;
    std::int32_t typeCode = 0;
    int familyMask = 0;
    int dpi = 96;
};

/// Builds the window's widget; the shell puts it into an MDI child. A window that wants
/// the shell's orders (0x2001 refresh, 0x2006 update) gives itself a slot
/// `void shellCommand(int)`.
using TWindowFactory = std::function<QWidget*(const TWindowContext&)>;

/// The screen properties the start-up checks.
struct TScreenFacts {
    double dpiX = 96;
    double dpiY = 96;
    int width = 0;
    int height = 0;
    int depth = 0;
};

/// Whether the screen suits the program's fixed layouts.
bool displayPasses(const TScreenFacts& screen);

/// The selected device of the tool bar.
struct TSelectedDevice {
    std::int32_t address = 0;
    std::int32_t typeCode = 0;
    QString name;
    QString target;
    bool trilo = false;
    bool dvrx = false;
    bool microTrilo = false;
    bool vrx23 = false;
    bool vrx34 = false;
    bool vrx17 = false;
    int familyMask = 0;
};

class TMainApp final : public QObject, public TRequestSink {
    Q_OBJECT
  public:
    TMainApp(TShellBackend& backend, TPrompter& prompter, QObject* parent = nullptr);
    ~TMainApp() override;

    /// The dispatcher. From another thread the call is carried to the user-interface
    /// thread and returns when it has run there.
    std::int32_t request(std::uint16_t code, std::uint16_t hi, void* record) override;

    /// Instance start: runs the initialization window modally; true when the start-up
    /// sequence succeeded. On failure the Exit command has been posted.
    bool start();

    /// Runs one command of the frame.
    void command(int id);

    void registerWindow(TWindowKind kind, TWindowFactory factory);
    bool hasWindow(TWindowKind kind) const;
    /// The MDI child stamped with @p identifier, or null.
    QMdiSubWindow* childWithId(int identifier) const;

    /// The single-instance guard whose atom the start-up deletes and whose window is
    /// published when the main window shows.
    void setSingleInstance(TSingleInstance* guard) { m_instance = guard; }
    /// Replaces the screen read at start (a test of the display check).
    void setScreenFacts(const TScreenFacts& facts) { m_screen = facts; }
    /// Hands the terminal layer's tool loading (0xf000) and the error report (0x8080).
    void setToolHandler(std::function<void(void* record)> handler);
    void setErrorReportHandler(std::function<void(void* record)> handler);

    TMainFrame& frame() const { return *m_frame; }
    TCommandDocs& documents() const { return *m_docs; }
    TRecentFiles& recentFiles() const { return *m_recent; }
    THelp& help() const { return *m_help; }
    const TSelectedDevice& selectedDevice() const { return m_device; }
    const QString& programDirectory() const { return m_programDirectory; }
    /// Diagnostic notes (0x5557 and the shell's own), newest last.
    const QStringList& notes() const { return m_notes; }
    bool minimised() const { return m_minimised; }
    bool helpMode() const { return m_helpMode; }
    bool startupSucceeded() const { return m_startupOk; }
    int dpi() const { return m_dpi; }

    /// Connect (request 0x1409 and the start-up): true when the working line is up.
    bool connectLine();
    /// Refills the device selector from the project and selects its first entry.
    void refillDeviceSelector();
    /// The device selection of command 9890.
    void selectDevice(int index);
    /// Recomputes the enable state of every command and runs the minimise watcher.
    void updateCommands();

  signals:
    /// The application may close now (Exit, or the frame agreed to close).
    void exitRequested();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    /// Which of the start-up's files is missing, unreadable or not valid, and why;
    /// empty when the file is sound.
    QString startupFileProblem(TStartupFile kind, const QString& name);
    void dispatch(std::uint16_t code, std::uint16_t hi, void* record);
    void note(const QString& text);
    void unknownRequest(std::uint16_t code);
    void runStartup(TInitBox* box);
    bool startupSteps();
    void post(int code, int number = 0, const QString& text = {}, const QStringList& list = {},
              int current = -1, QString* out = nullptr);
    std::int32_t postAndAsk(int code, const QString& text = {}, const QStringList& list = {},
                            int current = -1, QString* out = nullptr);
    void step(int number);
    void pumpFor(int ms);
    void postCommand(int id);
    void catalogue(TagCatalogueQuery& query);
    void dialogGeometry(TagDialogGeometry& geometry);
    void openWindow(int id);
    void openKind(TWindowKind kind, int identifier);
    void openPanel(int mode);
    void sendToModuleWindows(int commandId, bool minimise);
    void enterHelpMode(bool on);
    void helpRequest(const TagHelpInfo& info);
    void about();
    void emergencyStop();
    bool closeQuery();
    void activeChildChanged();

    TShellBackend& m_backend;
    TPrompter& m_prompter;
    std::unique_ptr<TMainFrame> m_frame;
    std::unique_ptr<TRecentFiles> m_recent;
    std::unique_ptr<TCommandDocs> m_docs;
    std::unique_ptr<THelp> m_help;
    TSingleInstance* m_instance = nullptr;
    QPointer<TInitBox> m_initBox;
    std::optional<TScreenFacts> m_screen;
    std::function<void(void*)> m_toolHandler;
    std::function<void(void*)> m_errorReportHandler;
    QHash<int, TWindowFactory> m_factories;
    QPointer<QMdiSubWindow> m_specificMode;
    QPointer<QMdiSubWindow> m_variables;
    TSelectedDevice m_device;
    QString m_programDirectory;
    QStringList m_notes;
    int m_dpi = 96;
    bool m_answerArrived = false;
    std::int32_t m_answer = 0;
    bool m_startupOk = false;
    bool m_minimised = false;
    bool m_helpMode = false;
    bool m_closing = false;
};

} // namespace tamsel::shell
