// What the command-file send needs of the line: one command-file line operation and the
// polling state. The program's wiring implements it over the driver binding, so that the
// send never holds the binding itself.
#pragma once

#include <QByteArray>

namespace tamsel::contract {

class TFileLineLink {
  public:
    virtual ~TFileLineLink() = default;
    /// Mode kFileLineStopPolling asks polling to stop, kFileLineStartPolling starts it,
    /// kFileLineSend sends @p line; @p result receives the module's reply, a "~" line as it
    /// stands, or the driver's message (false then).
    virtual bool fileLine(const QByteArray& line, int mode, QByteArray& result) = 0;
    virtual bool pollingEnabled() = 0;
};

} // namespace tamsel::contract
