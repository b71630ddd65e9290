/**
 * @file comm_shell.h
 * What the communication object needs from the program around it: message delivery to
 * windows, message boxes, the file dialog, and the store of the "localize" setting.
 * The shell implements these; tests implement them without a window.
 */
#pragma once

#include "comm/comm_records.h"

#include <cstdint>
#include <string>

namespace tkv {

/// The shell's side of the communication object. Every member may be called from the
/// user-interface thread and from the poll thread.
class TKV_CommShell {
  public:
    virtual ~TKV_CommShell() = default;

    /**
     * @brief Posts a note (first parameter kNoteTrace or kNoteDiagnostic) to the
     *        notification window. Must not wait for the user-interface thread: it is
     *        called while the line is held.
     */
    virtual void post(TKV_WindowHandle window, int32_t messageId, int32_t first,
                      const std::string& text) = 0;

    /**
     * @brief Sends kNoteCompleted with a request kind to a poll entry's owner and returns
     *        when the owner has handled it (on the user-interface thread). The line is not
     *        held during the call. A handle that no longer names a window is ignored.
     */
    virtual void send(TKV_WindowHandle window, int32_t messageId, int32_t first, int32_t kind) = 0;

    /// Shows a message box with one OK button and waits for it.
    virtual void showBox(const std::string& text, const std::string& title) = 0;

    /**
     * @brief Asks the user for a file with an open-file dialog.
     * @param chosen out: the full path of the chosen file.
     * @return false when the user cancelled.
     */
    virtual bool askFile(TKV_WindowHandle owner, const std::string& title,
                         const std::string& filterName, const std::string& filterPattern,
                         const std::string& startDirectory, std::string& chosen) = 0;
};

/// How a lookup in the settings store went.
enum class TKV_Lookup {
    Found,
    NoKey,   ///< the key (the settings file) could not be opened
    NoValue, ///< the key has no such value
};

/// The machine-wide settings where the driver's directory is kept (QSettings in the shell).
class TKV_SettingsStore {
  public:
    virtual ~TKV_SettingsStore() = default;
    /// Reads value @p name under @p key.
    virtual TKV_Lookup read(const std::string& key, const std::string& name,
                            std::string& value) = 0;
};

} // namespace tkv
