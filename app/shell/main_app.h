// The application object: the dispatcher of "KVTamsel_01" and of the frame's commands. It
// owns the frame, the recent files, the command-file documents and the parts that do the
// work (start-up, module windows, help mode); what each request or command does lives in
// those parts.
#pragma once

#include "app_request.h"
#include "selected_device.h"
#include "shell_backend.h"
#include "startup.h"
#include "window_registry.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QMdiSubWindow;

namespace tamsel::shell {

class TCommandDocs;
class THelp;
class THelpMode;
class TMainFrame;
class TModuleWindows;
class TPrompter;
class TRecentFiles;
class TSingleInstance;

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
    void setSingleInstance(TSingleInstance* guard);
    /// Replaces the screen read at start (a test of the display check).
    void setScreenFacts(const TScreenFacts& facts);
    /// Hands the terminal layer's tool loading (0xf000) and the error report (0x8080).
    void setToolHandler(std::function<void(void* record)> handler);
    void setErrorReportHandler(std::function<void(void* record)> handler);
    /// Where the status bar's Caps Lock and Num Lock indicators are read (the LED class
    /// directory of the kernel by default).
    void setLockKeyDirectory(const QString& directory) { m_ledDirectory = directory; }

    TMainFrame& frame() const { return *m_frame; }
    TCommandDocs& documents() const { return *m_docs; }
    TRecentFiles& recentFiles() const { return *m_recent; }
    THelp& help() const { return *m_help; }
    const TSelectedDevice& selectedDevice() const { return m_device; }
    const QString& programDirectory() const { return m_programDirectory; }
    /// Diagnostic notes (0x5557 and the shell's own), newest last.
    const QStringList& notes() const { return m_notes; }
    /// How many notes were made since the start; the oldest of them drop out of notes().
    long long notesMade() const { return m_notesMade; }
    /// The notes made after the first @p made, as far as notes() still holds them.
    QStringList notesSince(long long made) const;
    bool minimised() const { return m_minimised; }
    bool helpMode() const;
    bool startupSucceeded() const { return m_startup->succeeded(); }
    int dpi() const { return m_dpi; }

    /// Connect (request 0x1409 and the start-up): true when the working line is up.
    bool connectLine();
    /// Refills the device selector from the project; the device selected before stays
    /// selected when the project still has it, else the first entry is.
    void refillDeviceSelector();
    /// The device selection of command 9890.
    void selectDevice(int index);
    /// Recomputes the enable state of every command and runs the minimise watcher.
    void updateCommands();

  signals:
    /// The application may close now (Exit, or the frame agreed to close).
    void exitRequested();

  private:
    void dispatch(std::uint16_t code, std::uint16_t hi, void* record);
    void note(const QString& text);
    void unknownRequest(std::uint16_t code);
    void postCommand(int id);
    void dialogGeometry(TagDialogGeometry& geometry);
    void openWindow(int commandId);
    void openRow(const TWindowRow& row);
    void openPanel(int mode);
    void about();
    void emergencyStop();
    bool closeQuery();
    void activeChildChanged();
    void watchMinimise();

    TShellBackend& m_backend;
    TPrompter& m_prompter;
    std::unique_ptr<TMainFrame> m_frame;
    std::unique_ptr<TRecentFiles> m_recent;
    std::unique_ptr<TCommandDocs> m_docs;
    std::unique_ptr<THelp> m_help;
    std::unique_ptr<THelpMode> m_helpMode;
    TWindowRegistry m_registry;
    std::unique_ptr<TModuleWindows> m_windows;
    std::unique_ptr<TStartup> m_startup;
    std::function<void(void*)> m_toolHandler;
    std::function<void(void*)> m_errorReportHandler;
    TSelectedDevice m_device;
    bool m_deviceSelected = false;
    QString m_programDirectory;
    QString m_ledDirectory;
    QStringList m_notes;
    long long m_notesMade = 0;
    int m_dpi = 96;
    bool m_minimised = false;
};

} // namespace tamsel::shell
