/**
 * @file tool_plugin_api.h
 * The interface of a tamsel2 tool plug-in, for tool makers.
 *
 * A tool is a shared library "<name>.so" in the folder "tools" below the program
 * directory (the directory tamsel2 was started in). The user starts it from the command
 * terminal by typing "$<name>"; "$purge" unloads the tool held. tamsel2 holds one tool
 * library at a time; a tool loaded again while held stays loaded until the program ends.
 *
 * The library exports one C function:
 *
 *     extern "C" void CreateDLLWindow(QWidget* mainWindow, TagToolRequest* request);
 *
 * called on the user-interface thread once the library is loaded, with the program's
 * main window and the terminal's tool record. It opens whatever window the tool
 * provides and returns; its return value, if any, is not used. A tool window should be a
 * child or a top-level window owned by @c mainWindow, so that it goes with the program.
 * Windows created during the call are closed by "$purge" before the library is unloaded.
 *
 * A tool reaches the application as every window of tamsel2 does: with a request code, a
 * small argument and a record, through tamselToolRequest() below. Request 0xf001 copies
 * the program directory into a 255-byte buffer; request 0x0106 sends a free text
 * (TagToolFreeText) on the working line without keeping it among the last commands;
 * every other request of the application is open to a tool as well.
 *
 * The tool and tamsel2 must be built with the same Qt 6 libraries; the records below
 * are plain data and stay as they are.
 */
#pragma once

#include <QVariant>
#include <QWidget>

#include <cstdint>

extern "C" {

/// The tool record of the terminal. The name field holds 40 bytes; the owner and the
/// pointers passed to the entry point are pointer-sized.
struct TagToolRequest {
    /// The tool's name as typed after "$", at most 39 characters and a NUL.
    char name[40];
    /// The terminal's command edit (the owner of the request).
    QWidget* owner;
    /// 1 when the library was loaded, 0 when it was not; set by the application.
    std::uint8_t loaded;
};

/// The record of requests 0x0103 and 0x0106.
struct TagToolFreeText {
    std::int32_t mode;    ///< 1 as typed, 2 cut at "(" and trimmed first
    char text[255];       ///< in: the command, "%02d" address first
    char reply[255];      ///< out: the module's reply, or the driver's message
    std::int32_t address; ///< out: the address read from the command, -1 for none
    std::int32_t status;  ///< out: 0 success, else the driver's status
};

/// The entry point a tool exports.
using TToolEntryPoint = void (*)(QWidget* mainWindow, TagToolRequest* request);

/// How the application takes a tool's request: @p first carries the request code in its
/// low 16 bits and the argument in its high 16 bits, as the message "KVTamsel_01" does.
using TToolRequestFn = std::int32_t (*)(void* context, std::uint32_t first, void* record);
}

/// Put before the entry point's definition so that the library exports it.
#define TAMSEL_TOOL_EXPORT extern "C" __attribute__((visibility("default")))

/// Names of the main window's properties that carry the request function and its context.
inline constexpr const char* kToolRequestProperty = "KVTamsel_01";
inline constexpr const char* kToolContextProperty = "KVTamsel_01.context";

/// Sends the application request @p code with argument @p hi and @p record; false when
/// @p mainWindow is not tamsel2's main window. The result is in the record when it returns.
inline bool tamselToolRequest(QWidget* mainWindow, std::uint16_t code, std::uint16_t hi,
                              void* record) {
    if (mainWindow == nullptr) {
        return false;
    }
    const auto fn = mainWindow->property(kToolRequestProperty).value<quintptr>();
    const auto context = mainWindow->property(kToolContextProperty).value<quintptr>();
    if (fn == 0) {
        return false;
    }
    const auto send = reinterpret_cast<TToolRequestFn>(fn);
    send(reinterpret_cast<void*>(context), static_cast<std::uint32_t>(hi) << 16 | code, record);
    return true;
}
