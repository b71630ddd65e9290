// VRX23 and VRX34 modules take fixed frames of seven bytes written as fourteen
// hexadecimal digits (address, function code, five data bytes) instead of the free text
// of the other KV modules. Callers still write two-letter mnemonics; this turns one such
// command into the frames that carry it. It is pure: the line's multi-step reads keep
// their progress in a FrameState that the exchange hands back at every step.
#pragma once

#include "kv/kv_frame.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace linkor::vrx {

/// Which of the two module families a command goes to; it picks the scale table.
enum class Model : int { Vrx23 = 0, Vrx34 = 1 };

struct Scales {
    int s1;
    int s2;
    int s3;
};
Scales scalesOf(Model model);

/// Half of an integer, rounded up when it is odd: the modules' rounding of every
/// converted quantity.
int64_t halve(int64_t x);

/// The maximum current until a VRX34 tells its own.
constexpr unsigned kDefaultMaxCurrent = 0xFF;

enum class Step : int {
    Idle = 0,
    MaxCurrent = 1,     ///< the maximum current of a VRX34 is being read
    IdentityFirst = 2,  ///< identity memory 0x2900-0x293C
    IdentitySecond = 3, ///< identity memory 0x2A00-0x2A3C (VRX34 only)
};

/// What the frame path of a line keeps from one translation step to the next.
struct FrameState {
    unsigned maxCurrent = kDefaultMaxCurrent;
    Step step = Step::Idle;
    unsigned memoryAddress = 0;
};

struct Translation {
    enum class Kind {
        Rejected,   ///< 0x0050, nothing is sent
        Nothing,    ///< blanks only: nothing is sent, no error
        SingleByte, ///< sent as one byte, no answer awaited
        PlainText,  ///< sent as text in the KV framing, its reply given back unchanged
        Frames,     ///< one or two frame texts
    };
    Kind kind = Kind::Rejected;
    uint8_t singleByte = 0;
    /// Frame texts of fourteen hex digits (or the plain text); the second may be empty.
    std::array<std::string, 2> frames;
    /// The module answers the frame with data (its function code is a read).
    std::array<bool, 2> reads{};
    /// The reply labels are written in lower case (a read written "q…" or "r…").
    bool lowerCaseReply = false;
    /// 3 when the mnemonic's second letter is lower case, else 1.
    int unitFactor = 1;
};

/// Translates one command (without its settings block) for a module of `model`.
/// `letterCase` is the line's CASTE setting; `allowed` the control characters that a
/// plain-text command may carry. Multi-step reads advance `state`.
Translation translate(std::string_view command, int letterCase, Model model, FrameState& state,
                      const kv::AllowedControls& allowed);

/// A field of hexadecimal digits (either case) of a frame or an answer; nullopt when
/// it is empty, longer than eight digits or holds anything else.
std::optional<uint32_t> hexField(std::string_view field);

/// A frame text in the KV framing (STX, "%03d" length, text, checksum, ETX).
kv::PreparedFrame framed(std::string_view text, bool replyExpected);

} // namespace linkor::vrx
