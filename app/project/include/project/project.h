#pragma once
// The project: one ".ktp" file that remembers a line set-up and the modules on
// it, its in-memory model, and the glossary and variable lists that go with it.

#include "project/file_check.h"
#include "project/file_io.h"
#include "project/glossary.h"
#include "project/host.h"
#include "project/lists.h"
#include "project/sections.h"
#include "project/variable_files.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamsel::project {

/// The operation numbers of the request dispatcher (text n, value n, query n, set n).
namespace op {
inline constexpr int kTextLastCommand = 0;
inline constexpr int kTextPortList = 1;
inline constexpr int kTextBaudList = 2;
inline constexpr int kTextProtocolList = 5;
inline constexpr int kTextModuleRecord = 6;
inline constexpr int kTextLine = 7;
inline constexpr int kTextSetupModuleRecord = 9;
inline constexpr int kTextSetupSummary = 10;
inline constexpr int kTextSetupLabel = 11;
inline constexpr int kTextPort = 18;
inline constexpr int kTextConnect = 19;
inline constexpr int kTextDriverAddress = 20;
inline constexpr int kTextModuleTitle = 21;

inline constexpr int kValueLastCommandCount = 0;
inline constexpr int kValueSetupNumber = 10;
inline constexpr int kValueModuleRecordCount = 14;

inline constexpr int kQueryPortList = 1;
inline constexpr int kQueryDriverTarget = 4;
inline constexpr int kQuerySetupNumberSet = 9;
inline constexpr int kQuerySwModeZero = 12;
inline constexpr int kQueryAddressTable = 20;

inline constexpr int kSetLastCommand = 0;
inline constexpr int kSetModuleRecord = 6;
inline constexpr int kSetSetupNumbers = 10;
inline constexpr int kSetSetupLabel = 11;
inline constexpr int kSetLine = 13;
inline constexpr int kSetModuleRecordCount = 14;
inline constexpr int kSetPort = 15;
inline constexpr int kSetAddressTable = 20;
} // namespace op

/// The project's file names, relative to the directory current at start-up.
inline constexpr std::string_view kTemplateProject = "template/tamsel2.ktp";

struct IgnoredLine {
    int line = 0;             ///< 1-based line number in the file
    std::string_view section; ///< the section header the line stood in
    /// Set for a line that gave the port or the baud rate a value neither can be:
    /// the line setting then falls back on what it was, which the user must be told.
    std::string badValue;
    bool operator==(const IgnoredLine&) const = default;
};

struct LoadReport {
    bool opened = false;
    /// Why the file did not load, naming it (and the line when its content is at fault).
    std::string error;
    /// The line of the file that made it refused; 0 when it could not be read at all.
    int problemLine = 0;
    /// The ".bak" copy was replaced by this file, which loaded.
    bool backupWritten = false;
    bool glossaryPresent = false;
    /// The lines that failed their section's checks.
    std::vector<IgnoredLine> ignored;
};

enum class SaveStatus {
    NotModified, ///< nothing to write; the file was not touched
    Saved,
    NoProject, ///< no project is loaded
    Failed     ///< the file on disk is still the one that was there before
};

struct SaveReport {
    SaveStatus status = SaveStatus::NotModified;
    std::string error;
    bool ok() const { return status == SaveStatus::NotModified || status == SaveStatus::Saved; }
};

/**
 * @brief The project file and its model.
 *
 * The application creates one, opens the template into it at start-up and
 * other files later, and routes the windows' project requests to it.
 * Nothing here shows a window: boxes and notes go to the ProjectHost given
 * to open().
 *
 * The application's part, in order:
 *   - open(kTemplateProject, host) with a host whose driverCapabilities()
 *     answers from the driver binding's lists (bind the driver first);
 *   - connect with connectText(); after a successful connect,
 *     buildAddressTable() and send each driverAddressText() answer, starting
 *     from "first", as a driver setting until the answer is "last";
 *   - route text/value/query/set n, the list requests and the glossary;
 *   - save() when a loaded project is closed, and tell the user when the
 *     report is not ok(): the file on disk is then the one from before.
 */
class TKV_Project {
  public:
    explicit TKV_Project(FileSteps& steps = systemFileSteps());

    /**
     * @brief Opens a project file.
     *
     * The path is @p currentDirectory joined with @p fileName. The file must
     * be a project file (checkProjectText); then every section is read, a
     * line that fails its checks is skipped and the rest loads, and only then
     * is the file copied to its ".bak" name, so that the copy of the last good
     * project is never replaced by one that does not load. Afterwards the
     * host is asked for the driver's capability lists and the glossary's
     * presence is checked in @p currentDirectory, where the variable files
     * are looked for too.
     *
     * A file that cannot be read or is not a project clears the project path
     * (nothing is loaded and save() has no file to write), leaves the model
     * and the ".bak" copy as they were, and says why in the report.
     */
    LoadReport open(std::string_view fileName, ProjectHost& host,
                    const std::filesystem::path& currentDirectory);
    /// As above, with the process's current directory.
    LoadReport open(std::string_view fileName, ProjectHost& host);

    /**
     * @brief Writes the model back when it was modified: the file is copied
     * with its known sections rewritten from memory (the last-command section
     * only when that list changed) and every other line kept byte for byte,
     * through the ".tmp" file and an atomic rename. A section that the file
     * does not hold is not added.
     */
    SaveReport save();

    bool loaded() const { return !m_path.empty(); }
    bool modified() const { return m_modified; }
    const std::filesystem::path& path() const { return m_path; }
    const std::filesystem::path& directory() const { return m_directory; }

    const TKV_LastCommand& lastCommands() const { return m_model.lastCommand; }
    const TKV_GestCnfMod& configuration() const { return m_model.configuration; }
    const TKV_SetupBlock& setup() const { return m_model.setup; }
    const TLabel& labels() const { return m_model.label; }
    const TLink_TargetAdr& addressTable() const { return m_link; }
    const TVariableCache& variableCache() const { return m_variables; }

    // ------------------------------------------------------------- texts
    std::string lastCommand(int i) const;           ///< text 0
    std::string portList() const;                   ///< text 1
    std::string baudList() const;                   ///< text 2
    std::string protocolList() const;               ///< text 5
    std::string moduleRecordText(int i) const;      ///< text 6
    std::string lineText() const;                   ///< text 7
    std::string setupModuleRecordText(int n) const; ///< text 9
    std::string setupSummary() const;               ///< text 10
    std::string setupLabel(int n) const;            ///< text 11
    std::string port() const;                       ///< text 18
    std::string connectText() const;                ///< text 19
    /// text 20: @p previous is "first" on the first call, then the last answer.
    std::string driverAddressText(std::string_view previous);
    std::string moduleTitle(int address) const; ///< text 21

    // ------------------------------------------------------------- values and queries
    int32_t lastCommandCount() const;       ///< value 0
    int32_t setupNumber(int k) const;       ///< value 10
    int32_t moduleRecordCount() const;      ///< value 14
    bool hasPortList() const;               ///< query 1
    bool isProjectTarget(int i) const;      ///< query 4: driver target i is the project's
    bool isSetupNumberSet(int k) const;     ///< query 9
    bool isSwModeZero() const;              ///< query 12
    bool isAddressTableInitialised() const; ///< query 20

    // ------------------------------------------------------------- changes
    // Each returns true when the model took the change; a refused change
    // leaves the model and the modified flag as they were.
    bool addLastCommand(std::string_view command);     ///< set 0
    bool setModuleRecord(std::string_view record);     ///< set 6
    bool setSetupNumbers(std::string_view numbers);    ///< set 10
    bool setSetupLabel(int n, std::string_view label); ///< set 11
    bool setLine(std::string_view line);               ///< set 13
    bool setModuleRecordCount(int32_t count);          ///< set 14
    bool setPort(std::string_view port);               ///< set 15
    void buildAddressTable();                          ///< set 20
    bool updateSwPn0(int32_t value);                   ///< the SwPn0 update (request 0x1413)
    /// Module-record operation of request 0x0308: erases the labels of record n.
    bool eraseLabels(int32_t position);
    /// Module-record update of request 0x0502: the labels of record n.
    bool storeLabels(int32_t position, const std::vector<VariableLabel>& labels);

    // ------------------------------------------------------------- by number
    /// text n; nullopt for a number the table does not have.
    std::optional<std::string> text(int n, int argument = 0, std::string_view in = {});
    std::optional<int32_t> value(int n, int argument = 0) const;
    std::optional<bool> query(int n, int argument = 0) const;
    /// set n; nullopt for a number the table does not have.
    std::optional<bool> set(int n, int argument = 0, std::string_view in = {});

    // ------------------------------------------------------------- lists
    /**
     * @brief List filling by selector (requests 0x0302-0x0307).
     * @param argument the record position for selector 7, the module type
     *        code for selector 0x302; selector 0x70000 + n names record n.
     */
    ListFill fillList(int32_t selector, int32_t argument = 0);
    /// The list requests 0x2300-0x2303 (and 0x2312, 0x2313 without selection).
    ListFill targetChoices(bool selectProjectValue) const;
    ListFill portChoices(bool selectProjectValue) const;
    ListFill protocolChoices(std::string_view target, bool selectProjectValue) const;
    ListFill baudChoices(std::string_view target, std::string_view protocol,
                         bool selectProjectValue) const;
    /// The glossary commands of a target (request 0x2320).
    std::vector<std::string> glossary(std::string_view target);
    /// "none" and the variables of a module type (selector 0x302).
    ListFill variableList(int32_t typeCode);
    /// The variable names of the record at a table position (selector 7).
    ListFill variableNames(int32_t position) const;

  private:
    struct Model {
        TKV_LastCommand lastCommand;
        TKV_GestCnfMod configuration;
        TKV_SetupBlock setup;
        TLabel label;
    };
    static void readSections(std::string_view bytes, Model& model,
                             std::vector<IgnoredLine>& ignored);
    std::string render(std::string_view bytes) const;
    std::string recordText(const ModuleRecord* record) const;
    std::vector<std::string> driverTargets() const;
    void note(std::string_view text) const;
    bool changed(bool accepted);

    FileSteps& m_steps;
    bool m_modified = false;
    std::filesystem::path m_directory;
    std::filesystem::path m_path;
    ProjectHost* m_host = nullptr;
    const DriverCapabilities* m_capabilities = nullptr;
    Model m_model;
    TGlossary m_glossary;
    TLink_TargetAdr m_link;
    TVariableCache m_variables;
};

} // namespace tamsel::project
