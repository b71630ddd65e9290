#include "kv/kv_reception.h"
#include "base/hex_digit.h"

#include "kv/kv_bytes.h"
#include "kv/kv_frame.h"
#include "kv/kv_types.h"
#include "linkor_status.h"

#include <cstring>

namespace linkor::kv {

namespace {

constexpr size_t kLengthDigits = 3;
constexpr size_t kChecksumDigits = 2;

} // namespace

Reception::Reception(int protocolCode, bool replyExpected, bool repair,
                     std::vector<uint8_t> sentText, char* reply)
    : m_protocol(protocolCode), m_replyExpected(replyExpected), m_repair(repair),
      m_sent(std::move(sentText)), m_reply(reply),
      m_state(protocolCode == kProtocolConsole ? State::EchoFirst : State::AwaitAck) {
    terminate();
}

void Reception::store(uint8_t byte) {
    m_reply[m_length++] = static_cast<char>(byte);
    terminate();
}

void Reception::readFailed() {
    setIfNone(LINKOR_RECEIVE_FAILED);
    end();
}

void Reception::readTimedOut() {
    setIfNone(LINKOR_RECEIVE_TIMEOUT);
    end();
}

bool Reception::feed(uint8_t byte) {
    switch (m_state) {
    case State::AwaitAck:
        if (m_protocol == kProtocolAckNak) {
            feedAckNakAwaitAck(byte);
        } else {
            feedXonAwaitAck(byte);
        }
        break;
    case State::AwaitXoff:
        feedAwaitXoff(byte);
        break;
    case State::AwaitReplyOrEnd:
        feedAwaitReplyOrEnd(byte);
        break;
    case State::ReplyText:
        feedReplyText(byte);
        break;
    case State::AwaitStx:
        if (byte != kStx) {
            setStatus(LINKOR_RECEIVE_FAILED); // the byte itself is dropped
        }
        m_length = 0;
        terminate();
        go(State::ReplyText);
        break;
    case State::Ended:
        break;
    default:
        feedConsole(byte);
        break;
    }
    return ended();
}

void Reception::feedAckNakAwaitAck(uint8_t byte) {
    switch (byte) {
    case kBel:
        setStatus(LINKOR_ANSWER_BEL);
        [[fallthrough]];
    case kAck:
        if (m_replyExpected) {
            goReply(State::AwaitStx);
        } else {
            end();
        }
        return;
    case kNak:
        setStatus(LINKOR_ANSWER_NAK);
        end();
        return;
    default:
        if (skip()) {
            setStatus(LINKOR_ACK_MISSING);
            end();
        }
    }
}

void Reception::feedXonAwaitAck(uint8_t byte) {
    switch (byte) {
    case kAck:
        goReply(State::AwaitXoff);
        return;
    case kBel:
        setStatus(LINKOR_ANSWER_BEL);
        goReply(State::AwaitXoff);
        return;
    case kNak:
        setIfNone(LINKOR_ANSWER_NAK);
        goReply(State::AwaitXoff);
        return;
    case kCan:
        setStatus(LINKOR_NOT_EXECUTED);
        [[fallthrough]];
    case kXoff:
        if (!m_repair) {
            setIfNone(LINKOR_ACK_MISSING);
        }
        goReply(State::AwaitReplyOrEnd);
        return;
    case kEtb:
        setStatus(LINKOR_NOT_EXECUTED);
        end();
        return;
    case kSub:
        setIfNone(LINKOR_ACK_MISSING);
        end();
        return;
    default:
        if ((byte & kStatusBit) != 0) {
            m_moduleStatus = byte;
            goReply(State::AwaitReplyOrEnd);
        } else if (skip()) {
            setStatus(LINKOR_ACK_MISSING);
            end();
        }
    }
}

void Reception::feedAwaitXoff(uint8_t byte) {
    switch (byte) {
    case kXoff:
        go(State::AwaitReplyOrEnd);
        return;
    case kCan:
        setIfNone(LINKOR_NOT_EXECUTED);
        go(State::AwaitReplyOrEnd);
        return;
    case kEtb:
        setIfNone(LINKOR_NOT_EXECUTED);
        end();
        return;
    case kSub:
        setIfNone(LINKOR_XOFF_MISSING);
        end();
        return;
    default:
        if ((byte & kStatusBit) != 0) {
            m_moduleStatus = byte;
        } else {
            setIfNone(LINKOR_XOFF_MISSING);
        }
        go(State::AwaitReplyOrEnd);
    }
}

void Reception::feedAwaitReplyOrEnd(uint8_t byte) {
    switch (byte) {
    case kStx:
        m_replySeen = true;
        m_length = 0;
        terminate();
        go(State::ReplyText);
        return;
    case kEtb:
        setIfNone(LINKOR_NOT_EXECUTED);
        end();
        return;
    case kSub:
        if (m_replySeen) {
            endCheck();
        } else {
            end();
        }
        return;
    default:
        m_replySeen = true;
        setIfNone(LINKOR_XON_MISSING);
        if (skip()) {
            end();
        }
    }
}

void Reception::feedReplyText(uint8_t byte) {
    if (byte == kEtx) {
        if (m_protocol == kProtocolAckNak) {
            endCheck();
        } else {
            go(State::AwaitReplyOrEnd);
        }
        return;
    }
    if (m_protocol == kProtocolXon && (byte == kEtb || byte == kSub)) {
        setIfNone(LINKOR_RECEIVE_FAILED);
        end();
        return;
    }
    if (byte == kNul) {
        setIfNone(LINKOR_REPLY_NUL);
        return;
    }
    if (m_length >= kMaxReplyLength) {
        setIfNone(LINKOR_RECEIVE_FAILED);
        end();
        return;
    }
    store(byte);
}

void Reception::feedConsole(uint8_t byte) {
    // The echo covers the command text; the carriage return that ends the frame is not
    // compared.
    switch (m_state) {
    case State::EchoFirst:
        if (byte == kBlank) {
            goReply(State::ConsoleReply);
        } else if (!m_sent.empty() && byte == m_sent[0]) {
            m_echoIndex = 1;
            go(m_echoIndex >= m_sent.size() ? State::AfterEcho : State::EchoRest);
        } else {
            setStatus(LINKOR_ACK_MISSING);
            end();
        }
        return;
    case State::EchoRest:
        if (m_echoIndex < m_sent.size() && byte == m_sent[m_echoIndex]) {
            if (++m_echoIndex >= m_sent.size()) {
                go(State::AfterEcho);
            }
        } else {
            setStatus(LINKOR_RECEIVE_FAILED);
            end();
        }
        return;
    case State::AfterEcho:
        if (byte == kCr) {
            return;
        }
        if (byte == kBlank) {
            goReply(State::ConsoleReply);
        } else {
            setStatus(LINKOR_ACK_MISSING);
            end();
        }
        return;
    case State::ConsoleReply:
        if (byte == kNul) {
            setStatus(LINKOR_RECEIVE_FAILED);
            end();
        } else if (byte == kCr) {
            go(State::AwaitLf);
        } else if (byte == ':' && m_length == 0) {
            go(State::AfterColon);
        } else if (byte == '>') {
            end();
        } else if (m_length >= kMaxReplyLength) {
            end();
        } else {
            store(byte);
        }
        return;
    case State::AfterColon:
        if (byte == '!') {
            setStatus(LINKOR_NOT_EXECUTED);
            go(State::AwaitCr);
        } else if (byte == '?') {
            setStatus(LINKOR_ACK_MISSING);
            go(State::AwaitCr);
        } else {
            setStatus(LINKOR_RECEIVE_TIMEOUT);
            end();
        }
        return;
    case State::AwaitCr:
        if (byte == kCr) {
            go(State::AwaitLf);
        } else {
            end();
        }
        return;
    case State::AwaitLf:
        if (byte == kLf) {
            go(State::AwaitLast);
        } else {
            end();
        }
        return;
    case State::AwaitLast:
        end();
        return;
    default:
        return;
    }
}

int32_t checkFramedReply(char* reply) {
    const size_t length = std::strlen(reply);
    if (length == 0) {
        return LINKOR_OK;
    }
    size_t declared = 0;
    for (size_t i = 0; i < kLengthDigits && i < length; ++i) {
        if (reply[i] < '0' || reply[i] > '9') {
            break;
        }
        declared = declared * 10 + static_cast<size_t>(reply[i] - '0');
    }
    if (length != declared + kLengthDigits + kChecksumDigits) {
        return LINKOR_REPLY_LENGTH;
    }
    const char* text = reply + kLengthDigits;
    const int high = hexDigit(text[declared]);
    const int low = hexDigit(text[declared + 1]);
    const uint8_t sum = checksumOf(reinterpret_cast<const uint8_t*>(text), declared);
    std::memmove(reply, text, declared);
    reply[declared] = '\0';
    if (high < 0 || low < 0 || static_cast<uint8_t>(high * 16 + low) != sum) {
        return LINKOR_REPLY_CHECKSUM;
    }
    return LINKOR_OK;
}

} // namespace linkor::kv
