#include "jbus/jbus_request.h"
#include "base/hex_digit.h"

#include "linkor_status.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace linkor::jbus {

namespace {

constexpr uint16_t kCrcInitial = 0xFFFF;
constexpr uint16_t kCrcPolynomial = 0xA001;

constexpr uint16_t kDefaultRegister = 1;
constexpr uint16_t kDefaultCount = 1;
constexpr size_t kLetterWindow = 4;
constexpr size_t kRegisterDigits = 4;
// Registers from 256 on are of the text class, like the two text registers below it.
constexpr unsigned kTextClassFrom = 256;
constexpr unsigned kTextClass = 0x40;
constexpr unsigned kSecondTextClass = 0x80;
constexpr unsigned kLongClassA = 0;
constexpr unsigned kLongClassB = 2;
constexpr uint16_t kLongCount = 2;
// A Modbus RTU frame is at most 256 bytes: 123 registers of data for a write, and
// 254 bytes before the CRC for a raw request.
constexpr size_t kMaxWriteBytes = 246;
constexpr size_t kMaxRawBytes = 254;
constexpr size_t kHexPairsShown = 100;
constexpr const char* kFailureMark = "XXXX";
// The four blanks after the text pad the last character or hexadecimal group.
constexpr size_t kPadding = 4;

/// The leading hexadecimal digits of a group, as a number; 0 when there are none.
unsigned hexPrefix(std::string_view group) {
    unsigned value = 0;
    for (const char c : group) {
        const int d = hexDigit(c);
        if (d < 0) {
            break;
        }
        value = value * 16 + static_cast<unsigned>(d);
    }
    return value;
}

/// Leading decimal digits from `pos` (at most `maxDigits`), saturated at 65535;
/// `pos` moves past them.
unsigned decimalAt(std::string_view text, size_t& pos, size_t maxDigits) {
    unsigned value = 0;
    for (size_t n = 0;
         n < maxDigits && pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]));
         ++n, ++pos) {
        value = std::min(value * 10 + static_cast<unsigned>(text[pos] - '0'), 0xFFFFu);
    }
    return value;
}

bool isLetter(char c) {
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper == 'R' || upper == 'W';
}

void appendWord(std::vector<uint8_t>& out, unsigned value) {
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
    out.push_back(static_cast<uint8_t>(value & 0xFF));
}

void appendCrc(std::vector<uint8_t>& frame) {
    const uint16_t crc = crc16(frame.data(), frame.size());
    frame.push_back(static_cast<uint8_t>(crc & 0xFF));
    frame.push_back(static_cast<uint8_t>(crc >> 8));
}

std::vector<uint8_t> rawBytes(std::string_view text) {
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < text.size() && bytes.size() < kMaxRawBytes; i += 2) {
        bytes.push_back(static_cast<uint8_t>(hexPrefix(text.substr(i, 2))));
    }
    return bytes;
}

/// The data bytes of a write, from the character after the ",".
std::vector<uint8_t> writeData(std::string_view padded, size_t from, size_t end, bool textClass) {
    std::vector<uint8_t> data;
    if (textClass) {
        for (size_t i = from; i < end && data.size() < kMaxWriteBytes; ++i) {
            data.push_back(static_cast<uint8_t>(padded[i]));
        }
        if (data.size() % 2 != 0) {
            data.push_back(static_cast<uint8_t>(padded[end])); // a blank of the padding
        }
        return data;
    }
    for (size_t i = from; i < end && data.size() < kMaxWriteBytes; i += 4) {
        appendWord(data, hexPrefix(padded.substr(i, 4)));
    }
    return data;
}

void appendHex(std::string& out, unsigned value, int digits) {
    char text[8];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    out += text;
}

} // namespace

uint16_t crc16(const uint8_t* data, size_t size) {
    uint16_t crc = kCrcInitial;
    for (size_t i = 0; i < size; ++i) {
        crc = static_cast<uint16_t>(crc ^ data[i]);
        for (int bit = 0; bit < 8; ++bit) {
            const bool carry = (crc & 1u) != 0;
            crc = static_cast<uint16_t>(crc >> 1);
            if (carry) {
                crc = static_cast<uint16_t>(crc ^ kCrcPolynomial);
            }
        }
    }
    return crc;
}

Request buildRequest(std::string_view command) {
    const size_t n = command.size();
    std::string padded(command);
    padded.append(kPadding, ' ');

    Request request;
    size_t letter = n;
    for (size_t i = 0; i < std::min(n, kLetterWindow); ++i) {
        if (isLetter(command[i])) {
            letter = i;
            break;
        }
    }
    if (letter == n) {
        request.bytes = rawBytes(command);
        appendCrc(request.bytes);
        return request;
    }
    request.raw = false;

    unsigned slave = 0;
    if (letter > 0) {
        size_t pos = 0;
        while (pos < letter && command[pos] == ' ') {
            ++pos;
        }
        slave = decimalAt(command, pos, n);
    }
    uint8_t function = kReadRegisters;
    unsigned reg = kDefaultRegister;
    unsigned count = kDefaultCount;
    std::vector<uint8_t> data;
    bool write = false;

    if (letter + 1 < n) {
        size_t pos = letter + 1;
        reg = decimalAt(command, pos, kRegisterDigits);
        const bool hasData = pos < n && command[pos] == ',';
        const size_t dataFrom = pos + 1;
        const unsigned regClass = reg >= kTextClassFrom ? kTextClass : reg;
        const bool textClass = regClass == kTextClass || regClass == kSecondTextClass;
        if (std::toupper(static_cast<unsigned char>(command[letter])) == 'W') {
            write = true;
            function = kWriteRegisters;
            if (hasData) {
                data = writeData(padded, dataFrom, n, textClass);
            }
            count = static_cast<unsigned>(data.size() / 2);
        } else if (regClass == kLongClassA || regClass == kLongClassB) {
            count = kLongCount;
        } else if (textClass) {
            request.textAnswer = true;
            if (hasData) {
                size_t countPos = dataFrom;
                count = decimalAt(command, countPos, n);
            }
        }
    }

    request.bytes.push_back(static_cast<uint8_t>(slave & 0xFF));
    request.bytes.push_back(function);
    appendWord(request.bytes, reg);
    appendWord(request.bytes, count);
    if (write) {
        request.bytes.push_back(static_cast<uint8_t>(data.size()));
        request.bytes.insert(request.bytes.end(), data.begin(), data.end());
    }
    appendCrc(request.bytes);
    return request;
}

bool answersRequest(const Request& request, const std::vector<uint8_t>& answer) {
    constexpr size_t kCountAt = 4;    // register count of a read request, high byte first
    constexpr size_t kReadHeader = 3; // slave, function, byte count
    constexpr size_t kCrcBytes = 2;
    if (request.raw || request.bytes.size() < kCountAt + 2 || answer.size() < kReadHeader ||
        request.bytes[1] != kReadRegisters || answer[1] != kReadRegisters) {
        return true;
    }
    const size_t registers =
        static_cast<size_t>(request.bytes[kCountAt] << 8 | request.bytes[kCountAt + 1]);
    if (answer[2] != registers * 2) {
        return false;
    }
    const size_t whole = kReadHeader + answer[2] + kCrcBytes;
    return answer.size() >= std::min(whole, kMaxAnswerBytes);
}

int32_t convertAnswer(const Request& request, const std::vector<uint8_t>& answer, int32_t status,
                      std::string& reply, size_t replyLimit) {
    reply.clear();
    if (answer.size() < kMinAnswerBytes) {
        return status;
    }
    const size_t payload = answer.size() - 2;
    if (status == LINKOR_OK) {
        const uint16_t crc = crc16(answer.data(), payload);
        if (answer[payload] != (crc & 0xFF) || answer[payload + 1] != (crc >> 8)) {
            status = LINKOR_REPLY_CHECKSUM;
        }
    }
    if (!request.raw && status == LINKOR_OK) {
        reply = std::to_string(answer[0]);
        switch (answer[1]) {
        case kReadRegisters: {
            reply += 'R';
            // The byte count is believed only as far as bytes were stored.
            const size_t dataBytes = payload >= 3 ? std::min<size_t>(answer[2], payload - 3) : 0;
            if (dataBytes > 0) {
                reply += ',';
                const uint8_t* data = answer.data() + 3;
                if (request.textAnswer) {
                    const size_t room = replyLimit > reply.size() ? replyLimit - reply.size() : 0;
                    reply.append(reinterpret_cast<const char*>(data), std::min(dataBytes, room));
                } else {
                    for (size_t i = 0; i + 1 < dataBytes && reply.size() + 4 <= replyLimit;
                         i += 2) {
                        appendHex(reply, static_cast<unsigned>(data[i] << 8 | data[i + 1]), 4);
                    }
                }
            }
            break;
        }
        case kWriteRegisters:
            reply += 'W';
            if (payload >= 4) {
                reply += std::to_string(answer[2] << 8 | answer[3]);
            }
            break;
        default:
            reply += 'X';
            break;
        }
    } else {
        for (size_t i = 0; i < std::min(answer.size(), kHexPairsShown); ++i) {
            appendHex(reply, answer[i], 2);
        }
        if (status != LINKOR_OK) {
            reply += kFailureMark;
            status = LINKOR_OK;
        }
    }
    if (reply.size() > replyLimit) {
        reply.resize(replyLimit);
    }
    return status;
}

} // namespace linkor::jbus
