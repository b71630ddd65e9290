// Turning a command text into the bytes that go on the wire.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace linkor::kv {

enum LetterCase : int {
    kCaseDefault = 0, // upper case
    kCaseLower = 1,
    kCaseUpper = 2,
    kCaseAsTyped = 3,
};

/// Control characters that a command may carry; the list ends at its first 0.
struct AllowedControls {
    static constexpr size_t kCapacity = 50;
    std::array<uint8_t, kCapacity> values{};
    bool contains(uint8_t byte) const;
    /// Clears the list, then reads blank-separated hexadecimal entries from `text`.
    void assign(std::string_view text);
};

/// The longest command text whose length the three-digit frame field can carry.
constexpr size_t kMaxFramedText = 999;

struct PreparedFrame {
    int32_t status = 0;         ///< 0, or 0x0050 when the command is rejected
    bool nothingToSend = false; ///< the command held only blanks
    bool replyExpected = false;
    std::vector<uint8_t> text;  ///< the command text as prepared (no framing)
    std::vector<uint8_t> bytes; ///< the frame as sent
};

/// Prepares a framed command (XON, ACK-NAK) or a console-mode line.
PreparedFrame prepareFrame(std::string_view command, int letterCase, int protocolCode,
                           const AllowedControls& allowed);

/// Prepares a raw command: "%%" is one "%", "%" and two upper-case hex digits a byte.
PreparedFrame prepareRaw(std::string_view command);

/// Sum of the bytes modulo 256.
uint8_t checksumOf(const uint8_t* data, size_t size);

} // namespace linkor::kv
