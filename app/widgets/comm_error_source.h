/**
 * @file comm_error_source.h
 * Where the communication error report gets its data. The shell implements it for the
 * window that failed; every operation is one request of the dispatcher, named below, so
 * an implementation is a few lines per operation over request codes.
 */
#pragma once

#include <QApplication>
#include <QString>

#include <cstdint>

namespace tamsel::widgets {

/// The requests behind the operations of TCommErrorSource.
namespace errorreq {
/// Asked of the failing window: its error data and title.
inline constexpr std::uint16_t kErrorData = 0x8081;
/// Asked of the shell: the last command text.
inline constexpr std::uint16_t kLastCommand = 0x8082;
/// Asked of the shell: the driver's message for the code written in the buffer.
inline constexpr std::uint16_t kStatusMessage = 0x8083;
/// Asked of the shell: a free text sent as it stands, with its reply.
inline constexpr std::uint16_t kRawExchange = 0x0106;
/// Asked of the shell: a catalogue query (operation 12 looks a command up).
inline constexpr std::uint16_t kCatalogue = 0x5558;
} // namespace errorreq

/// What failed, as the failing window reports it.
namespace failed {
inline constexpr std::int32_t kWrite = 1; ///< a write or a direct command
inline constexpr std::int32_t kRead = 2;
} // namespace failed

/// Catalogue command numbers the report asks for.
namespace errorcmd {
inline constexpr std::int32_t kReadError = 6;
inline constexpr std::int32_t kClearError = 7;
} // namespace errorcmd

/// Longest title the failing window gives.
inline constexpr int kErrorTitleSize = 50;

/// The error data of the failing window: five words, then its title.
struct TagCommErrorData {
    std::int32_t operation = failed::kRead; ///< failed::kWrite or failed::kRead
    std::int32_t kind = 0;                  ///< request kind, or the command index
    std::int32_t status = 0;                ///< the driver status
    std::int32_t address = 0;               ///< module address
    std::int32_t typeCode = 0;              ///< module type code
    QString title;
};

/// A raw exchange: the driver status (0 = success) and the module's reply.
struct TagRawReply {
    std::int32_t status = 0;
    QString reply;
};

class TCommErrorSource {
  public:
    virtual ~TCommErrorSource() = default;

    /// errorreq::kErrorData to the failing window.
    virtual TagCommErrorData errorData() = 0;
    /// errorreq::kLastCommand.
    virtual QString lastCommand() = 0;
    /// errorreq::kStatusMessage, with a buffer holding @p codeText ("%d " of a status).
    virtual QString statusMessage(const QString& codeText) = 0;
    /// errorreq::kCatalogue, operation 12 (`FindCmde`) with the type code and the command
    /// number as its purpose, and an empty argument.
    virtual QString findCommand(std::int32_t typeCode, std::int32_t number) = 0;
    /// errorreq::kRawExchange with @p text, sent as typed.
    virtual TagRawReply rawExchange(const QString& text) = 0;
    /// The exclamation sound after the module's report is shown.
    virtual void exclamationBeep() { QApplication::beep(); }
};

} // namespace tamsel::widgets
