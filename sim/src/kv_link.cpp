#include "kv_link.h"

#include "control_bytes.h"
#include "text_util.h"

#include <cstdio>

namespace kvsim {

namespace {
// A frame longer than this is noise: the module drops it and waits for the next STX.
constexpr std::size_t kMaxFrameBytes = 600;
constexpr std::size_t kLengthDigits = 3;
constexpr std::size_t kChecksumDigits = 2;
// Length of the reply a module with the long-reply fault sends.
constexpr std::size_t kLongReplyChars = 240;
// Printable bytes that no mode gives a meaning to.
constexpr char kGarbage[] = "#%&*?@~=";

void append(std::vector<std::uint8_t>& out, std::string_view s) {
    out.insert(out.end(), s.begin(), s.end());
}
} // namespace

void KvReceiver::setProtocol(Protocol protocol) {
    m_protocol = protocol;
    m_inFrame = false;
    m_buffer.clear();
}

std::optional<KvFrame> KvReceiver::feed(std::uint8_t byte) {
    return m_protocol == Protocol::Console ? feedConsole(byte) : feedFramed(byte);
}

std::optional<KvFrame> KvReceiver::feedFramed(std::uint8_t byte) {
    if (byte == ctl::kStx) {
        // A new STX always starts over: a frame cut short by the sender is abandoned.
        m_inFrame = true;
        m_buffer.clear();
        return std::nullopt;
    }
    if (!m_inFrame) {
        // Between frames: the TRILO acknowledgement of our last reply, echoes, noise.
        return std::nullopt;
    }
    if (byte != ctl::kEtx) {
        m_buffer.push_back(static_cast<char>(byte));
        if (m_buffer.size() > kMaxFrameBytes) {
            m_inFrame = false;
            m_buffer.clear();
        }
        return std::nullopt;
    }
    m_inFrame = false;
    KvFrame frame;
    const std::string body = std::move(m_buffer);
    m_buffer.clear();
    if (body.size() < kLengthDigits + kChecksumDigits) {
        frame.text = body.size() > kLengthDigits ? body.substr(kLengthDigits) : std::string{};
        return frame;
    }
    frame.text = body.substr(kLengthDigits, body.size() - kLengthDigits - kChecksumDigits);
    const auto length = text::toLong(std::string_view(body).substr(0, kLengthDigits));
    const auto sum = text::toHex(std::string_view(body).substr(body.size() - kChecksumDigits));
    frame.valid =
        length && body[0] != '+' &&
        static_cast<std::size_t>(*length) == body.size() - kLengthDigits - kChecksumDigits;
    frame.valid = frame.valid && sum && *sum == kvChecksum(frame.text);
    return frame;
}

std::optional<KvFrame> KvReceiver::feedConsole(std::uint8_t byte) {
    if (byte == ctl::kCr) {
        KvFrame frame{true, std::move(m_buffer)};
        m_buffer.clear();
        if (text::trim(frame.text).empty()) {
            return std::nullopt;
        }
        return frame;
    }
    if (byte == ctl::kStx || byte == ctl::kEtx) {
        // Framed traffic for other modules of the line: not a console line.
        m_buffer.clear();
        return std::nullopt;
    }
    if (byte < ctl::kBlank || byte >= 0x7F) {
        return std::nullopt;
    }
    m_buffer.push_back(static_cast<char>(byte));
    if (m_buffer.size() > kMaxFrameBytes) {
        m_buffer.clear();
    }
    return std::nullopt;
}

std::uint8_t kvChecksum(std::string_view text) {
    unsigned sum = 0;
    for (char c : text) {
        sum += static_cast<unsigned char>(c);
    }
    return static_cast<std::uint8_t>(sum & 0xFFU);
}

std::vector<std::uint8_t> kvFrame(std::string_view text, int lengthDelta, int checksumDelta) {
    std::vector<std::uint8_t> out;
    out.push_back(ctl::kStx);
    char head[8];
    std::snprintf(head, sizeof head, "%03d", static_cast<int>(text.size()) + lengthDelta);
    append(out, head);
    append(out, text);
    char tail[4];
    std::snprintf(tail, sizeof tail, "%02X",
                  static_cast<unsigned>((kvChecksum(text) + checksumDelta) & 0xFF));
    append(out, tail);
    out.push_back(ctl::kEtx);
    return out;
}

std::vector<std::uint8_t> encodeKvAnswer(Protocol protocol, const Answer& answer,
                                         const std::string& echo, FaultKind fault,
                                         int garbageBytes) {
    using K = Answer::Kind;
    std::vector<std::uint8_t> out;
    if (fault == FaultKind::Silent) {
        return out;
    }
    if (fault == FaultKind::Garbage) {
        for (int i = 0; i < garbageBytes; ++i) {
            out.push_back(static_cast<std::uint8_t>(kGarbage[i % (sizeof kGarbage - 1)]));
        }
    }
    std::string text = answer.text;
    if (fault == FaultKind::LongReply && answer.kind == K::Reply) {
        text.append(kLongReplyChars, 'L');
    }
    const int lengthDelta = fault == FaultKind::BadLength ? 1 : 0;
    const int checksumDelta = fault == FaultKind::BadChecksum ? 1 : 0;

    if (protocol == Protocol::Console) {
        append(out, echo);
        out.push_back(ctl::kCr);
        out.push_back(ctl::kBlank);
        if (fault == FaultKind::Nak || answer.kind == K::Rejected) {
            append(out, ":?");
        } else if (fault == FaultKind::Can || answer.kind == K::NotExecuted) {
            append(out, ":!");
        } else if (answer.kind == K::Reply) {
            append(out, text);
        }
        out.push_back(ctl::kCr);
        out.push_back(ctl::kLf);
        out.push_back(ctl::kPrompt);
        return out;
    }

    const bool xon = protocol == Protocol::Xon;
    if (fault == FaultKind::Nak || answer.kind == K::Rejected ||
        (!xon && answer.kind == K::NotExecuted)) {
        // The ACK-NAK mode has no "not executed": the module refuses the command.
        out.push_back(ctl::kNak);
        if (xon) {
            out.push_back(ctl::kXoff);
            out.push_back(ctl::kSub);
        }
        return out;
    }
    if (fault == FaultKind::Can) {
        if (!xon) {
            // The ACK-NAK mode has no way to say "not executed" but to refuse.
            out.push_back(ctl::kNak);
            return out;
        }
        out.push_back(ctl::kCan);
        if (xon) {
            out.push_back(ctl::kSub);
        }
        return out;
    }
    out.push_back(fault == FaultKind::Bel ? ctl::kBel : ctl::kAck);
    if (xon) {
        out.push_back(answer.kind == K::NotExecuted ? ctl::kCan : ctl::kXoff);
    }
    if (answer.kind == K::Reply) {
        const auto frame = kvFrame(text, lengthDelta, checksumDelta);
        out.insert(out.end(), frame.begin(), frame.end());
    }
    if (xon) {
        out.push_back(ctl::kSub);
    }
    return out;
}

} // namespace kvsim
