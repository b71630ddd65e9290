// What the shell needs from the two long-lived service objects, the driver binding and
// the project. The application talks to them only through this face, which the program
// implements over `TKV_CommDLL` and `TKV_Project`.
#pragma once

#include <contract/records.h>

#include <QString>
#include <QStringList>
#include <QVector>

#include <cstdint>

class QObject;
class QWidget;

namespace tamsel::shell {

class TPrompter;

/// One entry of the device selector: its text "@%02d=...", the module type code and the
/// module's address.
struct TDeviceEntry {
    QString text;
    std::int32_t typeCode = 0;
    std::int32_t address = 0;
};

/// The two files the start-up checks before anything else.
enum class TStartupFile { Glossary, Project };

class TShellBackend {
  public:
    virtual ~TShellBackend() = default;

    // Driver: locate, examine, bind.
    virtual bool locateInCurrentDirectory() = 0;
    /// @p reason receives the registry reason code on failure.
    virtual bool locateByRegistry(int& reason) = 0;
    /// Asks the user for the driver file through @p prompter; false when he cancels.
    virtual bool locateByAsking(TPrompter& prompter, QWidget* owner) = 0;
    virtual bool examine() = 0;
    virtual bool bind() = 0;

    // Project.
    /// Opens a project; on failure @p problem names the file and says why (the line
    /// of a file that is not a project).
    virtual bool openProject(const QString& fileName, QString& problem) = 0;
    /**
     * @brief Why a file that the start-up needs (the glossary or the template project)
     * is not that file, judged from its content: "not valid at line N (...)"; empty
     * when it is sound. The file exists and can be read when this is asked.
     */
    virtual QString fileContentProblem(TStartupFile kind, const QString& fileName) = 0;
    virtual bool projectLoaded() const = 0;
    /// Writes a loaded, changed project back; false when that failed.
    virtual bool saveProject() = 0;
    virtual bool portListAvailable() = 0;
    /// Text 7: "%s at %s bauds " of the working line.
    virtual QString lineText() = 0;
    /// Text 18.
    virtual QString portName() = 0;
    /// List filling with selector 1; @p current receives the index of the project's port.
    virtual QStringList ports(int& current) = 0;
    /// Set 15.
    virtual void setPort(const QString& port) = 0;
    /// Query 4 with 0: the project's target is the driver's first target.
    virtual bool targetIsFirst() = 0;
    /// Value 14.
    virtual int moduleRecordCount() = 0;
    /// Query 9 with 0: set-up number 0 is set.
    virtual bool setupNumberZeroSet() = 0;
    /// List filling with selector 0x303.
    virtual QVector<TDeviceEntry> deviceEntries() = 0;

    // Working line.
    /// Text 19, the connect text.
    virtual QString connectText() = 0;
    virtual bool connectLine(const QString& connectText) = 0;
    /// Set 20.
    virtual void rebuildAddressTable() = 0;
    /// Text 20: the next driver address text after @p previous ("first" to begin).
    virtual QString nextAddressText(const QString& previous) = 0;
    virtual bool sendSetting(const QString& text) = 0;
    virtual void closeLine() = 0;
    virtual void requestPollingStop() = 0;
    virtual void startPolling() = 0;
    /// Sends a free text in mode 1 on the working line; the reply or the driver's message.
    virtual bool sendFreeText(const QString& text, QString& reply) = 0;
    virtual QString driverIdentity() = 0;
    /// The project's `SwPn0` update with @p value; true when it was done.
    virtual bool followUpdate(int value) = 0;

    /// The handle of @p window for the poll table: the one its completions are sent to.
    virtual contract::TKV_WindowHandle windowHandle(QObject* window) {
        return reinterpret_cast<contract::TKV_WindowHandle>(window);
    }

    /// Runs a request that belongs to the project or the driver binding; false when the
    /// code is not theirs.
    virtual bool route(std::uint16_t code, std::uint16_t hi, void* record) = 0;
};

} // namespace tamsel::shell
