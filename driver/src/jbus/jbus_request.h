// JBUS frames: the request that a short command text stands for, the Modbus CRC-16,
// and the reply text that an answer turns back into.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace linkor::jbus {

constexpr uint8_t kReadRegisters = 0x03;
constexpr uint8_t kWriteRegisters = 0x10;

/// Reception stores at most this many answer bytes.
constexpr size_t kMaxAnswerBytes = 200;
/// Slave address, function code and the two CRC bytes: anything shorter is no answer.
constexpr size_t kMinAnswerBytes = 4;

/// The Modbus CRC-16: initial value 0xFFFF, reflected polynomial 0xA001.
uint16_t crc16(const uint8_t* data, size_t size);

struct Request {
    /// The whole frame, CRC included (low byte first).
    std::vector<uint8_t> bytes;
    /// The command was hexadecimal bytes, not a read or write text.
    bool raw = true;
    /// The answer's data bytes are shown as characters.
    bool textAnswer = false;

    uint8_t slave() const { return bytes.empty() ? 0 : bytes[0]; }
};

/// The request of a command text: "1R100", "1W100,002A", "R5" or raw hexadecimal.
/// Malformed texts still give a bounded frame: unreadable digits count as 0, and the
/// frame never grows past the 256 bytes of a Modbus RTU frame.
Request buildRequest(std::string_view command);

/// Whether a stored answer can be the slave's answer to `request`. A read answer must
/// carry the byte count of the registers asked and that many bytes (as far as reception
/// stores them): a line that echoes hands back the request itself, whose third byte is a
/// register address, not a count. Raw requests and exception answers are not judged.
bool answersRequest(const Request& request, const std::vector<uint8_t>& answer);

/// Turns a stored answer (at least kMinAnswerBytes) into the reply text. `status` is
/// the status of the exchange so far; the result is the status after the conversion
/// (a CRC failure is told in the text, so it ends as 0). The text never exceeds
/// `replyLimit` characters.
int32_t convertAnswer(const Request& request, const std::vector<uint8_t>& answer, int32_t status,
                      std::string& reply, size_t replyLimit);

} // namespace linkor::jbus
