// The shell's backend over the real service objects: the driver binding `TKV_CommDLL`
// and the project `TKV_Project`. It is also their shell: it delivers the binding's notes
// and completions to the windows, shows their boxes through the prompter, answers the
// file question and reads the "localize" setting with QSettings.
#pragma once

#include "comm_file_line_link.h"

#include <comm/comm_dll.h>
#include <project/project.h>
#include <shell_backend.h>

#include <QHash>
#include <QObject>
#include <QPointer>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

namespace tamsel::shell {

class TPrompter;

/// The "localize" setting: the INI value in system scope, organisation "Korvel",
/// application "LINKOR", or in a given file.
class TQtSettingsStore final : public tkv::TKV_SettingsStore {
  public:
    /// @p file names the settings file; empty means the system-scope file.
    explicit TQtSettingsStore(QString file = {});
    tkv::TKV_Lookup read(const std::string& key, const std::string& name,
                         std::string& value) override;
    QString fileName() const;

  private:
    QString m_file;
};

class TLineBackend final : public QObject,
                           public TShellBackend,
                           public tkv::TKV_CommShell,
                           public project::ProjectHost,
                           public project::DriverCapabilities {
    Q_OBJECT
  public:
    explicit TLineBackend(TPrompter& prompter, QString settingsFile = {});
    ~TLineBackend() override;

    /// Where the binding's notes (0x5556, 0x5557) go, on the user-interface thread.
    void setNoteSink(std::function<void(int first, const QString& text)> sink);

    /// The handle under which a window registers poll entries; a window that implements
    /// contract::TModuleWindow then receives the poll thread's completions through
    /// pollCompleted (first parameter 0x7777, request kind).
    static tkv::TKV_WindowHandle handleOf(QObject* window);

    tkv::TKV_CommDLL& comm() { return *m_comm; }
    project::TKV_Project& project() { return m_project; }
    /// The command-file line link over the binding, for the command-file send.
    contract::TFileLineLink& fileLines() { return *m_fileLines; }

    // TShellBackend
    bool locateInCurrentDirectory() override;
    bool locateByRegistry(int& reason) override;
    bool locateByAsking(TPrompter& prompter, QWidget* owner) override;
    bool examine() override;
    bool bind() override;
    bool openProject(const QString& fileName, QString& problem) override;
    QString fileContentProblem(TStartupFile kind, const QString& fileName) override;
    bool projectLoaded() const override;
    bool saveProject() override;
    bool portListAvailable() override;
    QString lineText() override;
    QString portName() override;
    QStringList ports(int& current) override;
    void setPort(const QString& port) override;
    bool targetIsFirst() override;
    int moduleRecordCount() override;
    bool setupNumberZeroSet() override;
    QVector<TDeviceEntry> deviceEntries() override;
    QString connectText() override;
    bool connectLine(const QString& connectText) override;
    void rebuildAddressTable() override;
    QString nextAddressText(const QString& previous) override;
    bool sendSetting(const QString& text) override;
    void closeLine() override;
    void requestPollingStop() override;
    void startPolling() override;
    bool sendFreeText(const QString& text, QString& reply) override;
    QString driverIdentity() override;
    bool followUpdate(int value) override;
    bool route(std::uint16_t code, std::uint16_t hi, void* record) override;
    tkv::TKV_WindowHandle windowHandle(QObject* window) override { return handleOf(window); }

    // TKV_CommShell
    void post(tkv::TKV_WindowHandle window, int32_t messageId, int32_t first,
              const std::string& text) override;
    void send(tkv::TKV_WindowHandle window, int32_t messageId, int32_t first,
              int32_t kind) override;
    void showBox(const std::string& text, const std::string& title) override;
    bool askFile(tkv::TKV_WindowHandle owner, const std::string& title,
                 const std::string& filterName, const std::string& filterPattern,
                 const std::string& startDirectory, std::string& chosen) override;

    // ProjectHost
    const project::DriverCapabilities* driverCapabilities() override;
    void postNote(std::string_view note) override;
    void showBox(std::string_view text, std::string_view title) override;

    // DriverCapabilities
    std::vector<std::string> targets() const override;
    std::vector<std::string> ports() const override;
    std::vector<std::string> protocols(std::string_view target) const override;
    std::vector<std::string> bauds(std::string_view target,
                                   std::string_view protocol) const override;

  private:
    bool routeProject(std::uint16_t code, std::uint16_t hi, void* record);
    void runOnUiThread(const std::function<void()>& work);

    TPrompter& m_prompter;
    TQtSettingsStore m_settings;
    project::TKV_Project m_project;
    /// Set while the object goes: deliveries from other threads are given up. Before the
    /// communication object, whose poll thread reads it.
    std::atomic<bool> m_closing{false};
    static constexpr int kDeliveryStepMs = 20;
    std::unique_ptr<tkv::TKV_CommDLL> m_comm;
    std::unique_ptr<TCommFileLineLink> m_fileLines;
    std::function<void(int, const QString&)> m_noteSink;
    QPointer<QWidget> m_askOwner;
    TPrompter* m_askPrompter = nullptr;
};

} // namespace tamsel::shell
