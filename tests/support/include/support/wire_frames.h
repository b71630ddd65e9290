// Frames as a module writes them, built here from the rules of the wire alone, so that a
// fault in the driver's or the virtual line's own framing cannot hide in the expectation.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace support {

inline constexpr char kStx = '\x02';
inline constexpr char kEtx = '\x03';
/// Bytes of a frame around its text: STX, three length digits, two checksum digits, ETX.
inline constexpr std::size_t kFrameOverhead = 7;

/// Sum of the text's bytes, modulo 256: the checksum of a KV frame.
inline unsigned kvChecksum(std::string_view text) {
    unsigned sum = 0;
    for (const char c : text) {
        sum += static_cast<unsigned char>(c);
    }
    return sum % 256U;
}

/// "STX lll text cc ETX": three-digit length, the text, two hexadecimal checksum digits.
inline std::string kvFrame(std::string_view text) {
    char head[8];
    char tail[4];
    std::snprintf(head, sizeof head, "%03zu", text.size());
    std::snprintf(tail, sizeof tail, "%02X", kvChecksum(text));
    std::string frame(1, kStx);
    frame += head;
    frame += text;
    frame += tail;
    frame += kEtx;
    return frame;
}

/// The text of the last frame that @p bytes end with, or empty when they end no well-formed
/// frame (length field and checksum checked).
inline std::string textOfKvFrame(const std::string& bytes) {
    const std::size_t start = bytes.rfind(kStx);
    if (start == std::string::npos || bytes.size() < start + kFrameOverhead ||
        bytes.back() != kEtx) {
        return {};
    }
    const std::string body = bytes.substr(start + 1, bytes.size() - start - 2);
    const std::size_t length = std::strtoul(body.substr(0, 3).c_str(), nullptr, 10);
    if (body.size() != length + kFrameOverhead - 2) {
        return {};
    }
    const std::string text = body.substr(3, length);
    if (std::strtoul(body.substr(3 + length).c_str(), nullptr, 16) != kvChecksum(text)) {
        return {};
    }
    return text;
}

/// Modbus CRC-16: initial 0xFFFF, reflected polynomial 0xA001.
inline std::uint16_t modbusCrc(const std::vector<std::uint8_t>& bytes) {
    std::uint16_t crc = 0xFFFF;
    for (const std::uint8_t b : bytes) {
        crc ^= b;
        for (int i = 0; i < 8; ++i) {
            crc = (crc & 1U) != 0 ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001U)
                                  : static_cast<std::uint16_t>(crc >> 1);
        }
    }
    return crc;
}

/// @p frame with its Modbus CRC appended, low byte first.
inline std::vector<std::uint8_t> withCrc(std::vector<std::uint8_t> frame) {
    const std::uint16_t crc = modbusCrc(frame);
    frame.push_back(static_cast<std::uint8_t>(crc & 0xFFU));
    frame.push_back(static_cast<std::uint8_t>(crc >> 8));
    return frame;
}

} // namespace support
