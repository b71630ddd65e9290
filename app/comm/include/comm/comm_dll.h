/**
 * @file comm_dll.h
 * TKV_CommDLL: the one object of tamsel2 that reaches modules. It finds, loads and binds
 * the line driver, owns the working line, sends the windows' texts and requests, and runs
 * the poll thread that reads module data for the windows that asked for it.
 *
 * The application creates it once with its shell (TKV_CommShell: message delivery,
 * boxes, the file dialog) and routes the request codes that handles() names to request()
 * or to the members below. All members are meant for the user-interface thread; the poll thread
 * is the object's own.
 */
#pragma once

#include "comm/comm_records.h"
#include "comm/comm_shell.h"
#include "comm/driver_api.h"
#include "comm/driver_library.h"
#include "comm/line_guard.h"
#include "comm/poll_table.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace tkv {

class TKV_CommDLL {
  public:
    /// The driver's file name unless the user picks another file.
    static constexpr const char* kDriverFile = "liblinkor.so";
    /// Where the "localize" value is kept.
    static constexpr const char* kSettingsKey = "SOFTWARE\\Korvel\\LINKOR";
    static constexpr const char* kSettingsValue = "localize";

    /// Starts the poll thread; the poll table and the capability lists are empty.
    explicit TKV_CommDLL(TKV_CommShell& shell);
    /// Stops the poll thread, closes the lines and frees the driver.
    ~TKV_CommDLL();
    TKV_CommDLL(const TKV_CommDLL&) = delete;
    TKV_CommDLL& operator=(const TKV_CommDLL&) = delete;

    // ---- locating, examining and binding the driver -------------------------------------

    /// The driver file in the current directory.
    bool locateInCurrentDirectory();
    /**
     * @brief The driver file in the directory named by the "localize" setting.
     * @param reason out: kLocateFound, or why not (kLocateNoKey ... kLocateFileError).
     * @param fileMissing out: set with reason kLocateNoFile.
     */
    bool locateBySettings(TKV_SettingsStore& store, int32_t& reason, bool& fileMissing);
    /// Asks the user for the driver file; the current directory is kept.
    bool locateByAsking(TKV_WindowHandle owner);
    /// Loads the located file; usable only with GetTypesModulesKv, GetMessageErreurKv
    /// and DialogueKv. A file that does not load shows the "ExamineDLL" box.
    bool examine();
    /// Resolves the line functions and reads the capability lists.
    bool bind();

    std::string driverDirectory() const;
    std::string driverFile() const;

    // ---- capability lists (queries in capability_lists.h) -------------------------------

    const TagConfigDLL& config() const { return m_config; }

    // ---- the working line -----------------------------------------------------------------

    /// Closes, opens and initialises the working line and selects its target, from
    /// "target port protocol baud".
    bool connect(const char* setting);
    /// Sends a driver setting text (such as "/TRILO/") on the working line.
    bool sendSetting(const char* text);
    /// Closes the working line.
    bool close();
    /// Closes the working line and puts @p note in the trace (request 0x1407).
    void closeAndTrace(const std::string& note);
    int32_t lineHandle() const { return m_line.load(); }

    // ---- foreground exchanges ---------------------------------------------------------------

    /// Requests 0x103 and 0x106.
    bool sendFreeText(TagFreeText& record);
    /// A command-file line: mode 0 requests a polling stop, 2 starts polling, 1 sends.
    bool sendFileLine(const char* line, int32_t mode, std::string& result);
    /// Request 0x102.
    bool sendCodedCommand(TagCodedCommand& record);
    /// Request 0x105.
    bool writeRequest(TagRequest& request);
    /// A read request; quiet (as the poll thread runs it): no trace and no line guard.
    bool readRequest(TagRequest& request, bool quiet = false);

    // ---- information, values, notifications ------------------------------------------------

    /**
     * @brief Writes information @p which into @p buffer (255 bytes): kInfoIdentity,
     *        kInfoDriverPath, kInfoStatusMessage (of @p code; kCodeFromBuffer reads the code
     *        from the buffer), kInfoLastCommand, kInfoAbbreviation (of the name in the
     *        buffer); anything else gives an empty text.
     */
    void getInformation(int32_t which, char* buffer, int32_t code = 0);
    /// kValueCombinations, or the address of the capability lists for kValueConfigLists.
    std::intptr_t getValue(int32_t which) const;
    /// Where notes go (0 = nowhere); the message identifier is also used for kNoteCompleted.
    void setNotifyTarget(TKV_WindowHandle window, int32_t messageId);

    // ---- polling ---------------------------------------------------------------------------

    /// Request 0x5552; a full table drops the entry (false).
    bool addPollEntry(const TagPollEntry& entry);
    /// Request 0x5553. Mode 0 frees the entries and returns only when the poll thread no
    /// longer uses their records.
    void setModeByOwner(TKV_WindowHandle owner, int32_t mode);
    /// Request 0x5554. Withdrawing (mode 0) returns when no read of those entries is under way.
    void setModeByKind(int32_t kind, int32_t mode);
    void startPolling();
    /// Polling stops after the poll thread's current pass.
    void requestStop();
    bool pollingEnabled() const;
    /// A copy of a poll table entry, and the poll index (for the shell's and tests' eyes).
    TagPollEntry pollEntry(int index) const;
    int32_t pollIndex() const;

    // ---- line probes of the scan ---------------------------------------------------------------

    bool probeAsk(TagProbe& probe);   ///< 0xc000
    bool probeReset(TagProbe& probe); ///< 0xc001
    bool probeSend(TagProbe& probe);  ///< 0xc002

    // ---- the dispatcher's entry ---------------------------------------------------------------

    /// Whether request @p code is one of this object's (comm_dll_dispatch.cpp lists them).
    static bool handles(int32_t code);
    /**
     * @brief Runs request @p code with the record the request carries: 0x5553/0x5554
     *        take the mode from @p high; 0xb002 writes a `const TagConfigDLL*`, 0xb003 an
     *        int32_t; text requests take a 255-byte buffer.
     * @return the operation's truth value; false for a code that is not this object's.
     */
    bool request(int32_t code, int32_t high, void* record);

  private:
    struct Driver {
        drv::OpenKvFn open = nullptr;
        drv::InitKvFn init = nullptr;
        drv::DialogueKvFn dialogue = nullptr;
        drv::CloseKvFn close = nullptr;
    };

    /// One exchange on @p line under the wire lock; the reply is cut to fit 255 bytes.
    int32_t dialogue(int32_t line, const std::string& command, std::string& reply);
    /// As dialogue(), on the working line, remembering the texts as the last ones.
    int32_t exchange(const std::string& command, std::string& reply);
    int32_t sendSettingStatus(const std::string& text);
    std::string messageOf(int32_t status);
    void* lookUp(const char* name);
    void note(int32_t code, const std::string& text);
    void trace(const std::string& text) { note(kNoteTrace, text); }
    void diagnose(const std::string& text) { note(kNoteDiagnostic, text); }
    void noteWait(int steps);
    int32_t read(TagRequest& request, bool quiet);

    void closeProbe();
    bool openProbe(TagProbe& probe, bool checked);

    void pollLoop();
    void runNextEntry();
    bool stillOwned(int index, const TagPollEntry& chosen) const;

    TKV_CommShell& m_shell;
    TKV_LineGuard m_guard;

    std::atomic<int32_t> m_line{0};
    mutable std::mutex m_textMutex;
    std::string m_command; ///< the last text sent on the working line
    std::string m_reply;   ///< the last reply received on it
    char m_port[kNameSize] = "";
    char m_baud[kNameSize] = "";
    char m_protocol[kNameSize] = "";
    char m_target[kNameSize] = "";

    mutable std::mutex m_locationMutex;
    std::string m_directory;
    std::string m_file = kDriverFile;

    TagConfigDLL m_config;
    int32_t m_combinations = 0;

    mutable std::mutex m_tableMutex;
    std::condition_variable m_tableCv;
    TKV_PollTable m_table;
    const TagRequest* m_inUse = nullptr; ///< the record the poll thread is reading into

    std::atomic<TKV_WindowHandle> m_notifyWindow{0};
    std::atomic<int32_t> m_notifyMessage{0};

    // Written under the wire lock, read under it by both threads.
    TKV_DriverLibrary m_library;
    Driver m_driver;

    int32_t m_probeLine = 0;

    std::mutex m_quitMutex;
    std::condition_variable m_quitCv;
    bool m_quit = false;
    std::thread m_thread;
};

} // namespace tkv
