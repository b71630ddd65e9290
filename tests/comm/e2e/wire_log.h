// The virtual line's byte log read back as exchanges: the command frames the program
// sent, and the end of each module answer.
#pragma once

#include "kvsim/virtual_line.h"

#include <cstdint>
#include <string>
#include <vector>

namespace commtest {

inline constexpr std::uint8_t kStx = 0x02;
inline constexpr std::uint8_t kEtx = 0x03;
/// Last byte of every answer of a module in the XON mode.
inline constexpr std::uint8_t kEndOfAnswer = 0x1A;

/// One event of the wire, in the order the line saw it.
struct WireEvent {
    enum class What { Command, AnswerEnd, Stray } what;
    std::string text; ///< the command text (framing removed) for a command
};

/// Reads the log: frames from the program (STX, length, text, checksum, ETX) and the ends
/// of the modules' answers. A frame that starts inside another one is "Stray".
inline std::vector<WireEvent> wireEvents(const std::vector<kvsim::LogEntry>& log) {
    std::vector<WireEvent> out;
    bool inFrame = false;
    std::string frame;
    for (const kvsim::LogEntry& e : log) {
        if (e.direction == kvsim::Direction::FromModules) {
            if (inFrame) {
                out.push_back({WireEvent::What::Stray, "answer inside a command frame"});
            }
            if (e.byte == kEndOfAnswer) {
                out.push_back({WireEvent::What::AnswerEnd, {}});
            }
            continue;
        }
        if (e.byte == kStx) {
            if (inFrame) {
                out.push_back({WireEvent::What::Stray, "frame inside a frame: " + frame});
            }
            inFrame = true;
            frame.clear();
        } else if (e.byte == kEtx && inFrame) {
            inFrame = false;
            // three length digits, the text, two checksum digits
            const std::string text =
                frame.size() >= 5 ? frame.substr(3, frame.size() - 5) : std::string();
            out.push_back({WireEvent::What::Command, text});
        } else if (inFrame) {
            frame += static_cast<char>(e.byte);
        }
    }
    return out;
}

/// The command texts of the log, in order.
inline std::vector<std::string> commandsOf(const std::vector<kvsim::LogEntry>& log) {
    std::vector<std::string> out;
    for (const WireEvent& e : wireEvents(log)) {
        if (e.what == WireEvent::What::Command) {
            out.push_back(e.text);
        }
    }
    return out;
}

} // namespace commtest
