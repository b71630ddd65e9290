// The six buttons that act on a module at once (reset, the two stops, power on and off,
// clear position): their captions, their coded commands and the exchange itself. Any panel
// that offers these buttons sends them through this, so they behave the same everywhere.
#pragma once

#include <contract/request_sink.h>

#include <array>
#include <cstdint>
#include <string>

namespace tamsel::windows::motion {

enum class TImmediate { Reset, QuickStop, DecelStop, PowerOn, PowerOff, ClearPosition };
inline constexpr std::array<TImmediate, 6> kImmediates = {
    TImmediate::Reset,   TImmediate::QuickStop, TImmediate::DecelStop,
    TImmediate::PowerOn, TImmediate::PowerOff,  TImmediate::ClearPosition};

/// The coded-command index the button sends.
std::int32_t commandIndexOf(TImmediate which);
/// The button's caption, with its mnemonic.
const char* captionOf(TImmediate which);

/// Sends coded commands to one module, under the sender's dialog number.
class TCodedCommands final {
  public:
    TCodedCommands(contract::TRequestSink& app, std::uint16_t dialogId, std::int32_t address);

    /// Sends @p index with @p argument; the status of the exchange (0 = done). For the
    /// speed-limit query the reply's token comes back in @p reply.
    std::int32_t send(std::int32_t index, const std::string& argument = {},
                      std::string* reply = nullptr);
    std::int32_t send(TImmediate which) { return send(commandIndexOf(which)); }

    std::int32_t address() const { return m_address; }

  private:
    contract::TRequestSink& m_app;
    std::uint16_t m_dialogId;
    std::int32_t m_address;
};

} // namespace tamsel::windows::motion
