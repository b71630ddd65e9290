#pragma once
// The module's side of the KV link: recognising frames (framed modes) or lines (console
// mode) in the byte stream, and putting an answer on the wire the way the mode wants it.

#include "kvsim/line_description.h"
#include "module.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kvsim {

/// A complete frame or console line as the module received it.
struct KvFrame {
    bool valid = false; ///< length and check value agree
    std::string text;   ///< the command text (for an invalid frame: what could be read of it)
};

class KvReceiver {
  public:
    explicit KvReceiver(Protocol protocol) : m_protocol(protocol) {}
    void setProtocol(Protocol protocol);
    /// Feeds one byte; returns a frame when this byte completes one.
    std::optional<KvFrame> feed(std::uint8_t byte);
    /// Between frames (framed modes) or at the start of a line (console mode).
    bool idle() const { return !m_inFrame && m_buffer.empty(); }

  private:
    std::optional<KvFrame> feedFramed(std::uint8_t byte);
    std::optional<KvFrame> feedConsole(std::uint8_t byte);

    Protocol m_protocol;
    bool m_inFrame = false;
    std::string m_buffer;
};

/// Check value of a framed text: the sum of its bytes modulo 256.
std::uint8_t kvChecksum(std::string_view text);
/// STX, three-digit length, text, two-digit upper-case hexadecimal check value, ETX.
/// @p lengthDelta and @p checksumDelta falsify the frame for the fault options.
std::vector<std::uint8_t> kvFrame(std::string_view text, int lengthDelta = 0,
                                  int checksumDelta = 0);

/// Encodes what a module sends for @p answer in @p protocol under @p fault.
/// @p echo is the console line as received (console mode only).
std::vector<std::uint8_t> encodeKvAnswer(Protocol protocol, const Answer& answer,
                                         const std::string& echo, FaultKind fault,
                                         int garbageBytes);

} // namespace kvsim
