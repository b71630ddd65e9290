#include "kv/kv_frame.h"

#include "kv/kv_bytes.h"
#include "kv/kv_types.h"
#include "linkor_status.h"

#include <cctype>
#include <cstdio>
#include <string>

namespace linkor::kv {

namespace {

constexpr size_t kAddressLength = 2;
constexpr size_t kRawReplyLetterIndex = 8;

bool isBlank(uint8_t c) {
    return c == kBlank;
}
bool asksReply(uint8_t c) {
    return c == 'Q' || c == 'q' || c == 'R' || c == 'r';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

uint8_t applyCase(uint8_t c, int letterCase) {
    if (!std::isalpha(c)) {
        return c;
    }
    switch (letterCase) {
    case kCaseLower:
        return static_cast<uint8_t>(std::tolower(c));
    case kCaseAsTyped:
        return c;
    default:
        return static_cast<uint8_t>(std::toupper(c));
    }
}

PreparedFrame rejected() {
    PreparedFrame frame;
    frame.status = LINKOR_COMMAND_REJECTED;
    return frame;
}

} // namespace

bool AllowedControls::contains(uint8_t byte) const {
    for (uint8_t value : values) {
        if (value == 0) {
            return false;
        }
        if (value == byte) {
            return true;
        }
    }
    return false;
}

void AllowedControls::assign(std::string_view text) {
    values.fill(0);
    size_t count = 0;
    size_t i = 0;
    while (i < text.size() && count < kCapacity) {
        while (i < text.size() && text[i] == ' ') {
            ++i;
        }
        if (i >= text.size()) {
            break;
        }
        int value = 0;
        size_t digits = 0;
        // Up to two hexadecimal digits an entry, either case.
        while (i < text.size() && text[i] != ' ' && digits < 2 &&
               std::isxdigit(static_cast<unsigned char>(text[i]))) {
            const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
            value = value * 16 + hexValue(c);
            ++i;
            ++digits;
        }
        while (i < text.size() && text[i] != ' ') {
            ++i;
        }
        if (value == 0) {
            break;
        }
        values[count++] = static_cast<uint8_t>(value);
    }
}

uint8_t checksumOf(const uint8_t* data, size_t size) {
    unsigned sum = 0;
    for (size_t i = 0; i < size; ++i) {
        sum += data[i];
    }
    return static_cast<uint8_t>(sum & 0xFF);
}

PreparedFrame prepareFrame(std::string_view command, int letterCase, int protocolCode,
                           const AllowedControls& allowed) {
    PreparedFrame frame;
    size_t i = 0;
    const auto at = [&](size_t k) -> uint8_t {
        return k < command.size() ? static_cast<uint8_t>(command[k]) : 0;
    };
    const uint8_t first = at(0);
    if (first >= '0' && first <= '6') {
        const uint8_t second = at(1);
        const uint8_t highest = first == '6' ? '3' : '9';
        if (second < '0' || second > highest) {
            return rejected();
        }
        frame.text.push_back(first);
        frame.text.push_back(second);
        i = kAddressLength;
    }
    bool wordStart = true;
    for (; i < command.size(); ++i) {
        uint8_t c = static_cast<uint8_t>(command[i]);
        if (c == ';' || c == kCr) {
            break; // the rest is a comment
        }
        if (c == kTab) {
            c = kBlank;
        } else if ((c < kBlank || c > 0x7F) && !allowed.contains(c)) {
            return rejected();
        }
        if (std::isalpha(c) && wordStart) {
            if (asksReply(c)) {
                frame.replyExpected = true;
            }
            wordStart = false;
        }
        if (c == ',') {
            wordStart = true;
        }
        frame.text.push_back(applyCase(c, letterCase));
    }
    bool onlyBlanks = true;
    for (uint8_t c : frame.text) {
        onlyBlanks = onlyBlanks && isBlank(c);
    }
    if (onlyBlanks) {
        frame.nothingToSend = true;
        return frame;
    }
    if (frame.text.size() > kMaxFramedText) {
        return rejected();
    }
    if (protocolCode == kProtocolConsole) {
        frame.bytes = frame.text;
        frame.bytes.push_back(kCr);
        return frame;
    }
    // Built as text first: the frame is STX, three length digits, the text, two
    // checksum digits and ETX.
    char head[8];
    char tail[8];
    std::snprintf(head, sizeof head, "%c%03u", kStx, static_cast<unsigned>(frame.text.size()));
    std::snprintf(tail, sizeof tail, "%02X%c",
                  static_cast<unsigned>(checksumOf(frame.text.data(), frame.text.size())), kEtx);
    std::string bytes(head);
    bytes.append(frame.text.begin(), frame.text.end());
    bytes += tail;
    frame.bytes.assign(bytes.begin(), bytes.end());
    return frame;
}

PreparedFrame prepareRaw(std::string_view command) {
    PreparedFrame frame;
    for (size_t i = 0; i < command.size(); ++i) {
        const char c = command[i];
        if (c == '%' && i + 1 < command.size() && command[i + 1] == '%') {
            frame.text.push_back('%');
            ++i;
            continue;
        }
        if (c == '%' && i + 2 < command.size() && hexValue(command[i + 1]) >= 0 &&
            hexValue(command[i + 2]) >= 0) {
            frame.text.push_back(
                static_cast<uint8_t>(hexValue(command[i + 1]) * 16 + hexValue(command[i + 2])));
            i += 2;
            continue;
        }
        frame.text.push_back(static_cast<uint8_t>(c));
    }
    if (frame.text.empty()) {
        frame.nothingToSend = true;
        return frame;
    }
    frame.replyExpected =
        frame.text.size() > kRawReplyLetterIndex && asksReply(frame.text[kRawReplyLetterIndex]);
    frame.bytes = frame.text;
    return frame;
}

} // namespace linkor::kv
