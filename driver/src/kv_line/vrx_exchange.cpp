#include "kv_line/vrx_exchange.h"

#include "base/exchange_log.h"
#include "frame/vrx_reply.h"
#include "kv/kv_reception.h"
#include "kv/kv_types.h"
#include "kv_line/trilo.h"
#include "linkor_status.h"
#include "posix/thread_priority.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace linkor::vrx {

namespace {

Model modelOf(int type) {
    return type == kv::kTypeVrx34 ? Model::Vrx34 : Model::Vrx23;
}

void store(const std::string& text, char* reply) {
    const size_t length = std::min(text.size(), kv::kMaxReplyLength);
    std::memcpy(reply, text.data(), length);
    reply[length] = '\0';
}

} // namespace

int32_t FramePath::exchange(std::string_view command, int type, char* reply) {
    int32_t status = LINKOR_OK;
    for (int i = 0; i <= m_line.settings().retries; ++i) {
        reply[0] = '\0';
        status = attempt(command, type, reply);
        if (status == LINKOR_OK || status == LINKOR_COMMAND_REJECTED ||
            status == LINKOR_NOT_EXECUTED) {
            break;
        }
    }
    return status;
}

int32_t FramePath::attempt(std::string_view command, int type, char* reply) {
    const KvSettings& settings = m_line.settings();
    const Model model = modelOf(type);
    // A multi-step read starts over with every attempt.
    m_state.step = Step::Idle;
    m_state.memoryAddress = 0;
    Translation t =
        translate(command, settings.letterCase, model, m_state, settings.allowedFramePath);
    switch (t.kind) {
    case Translation::Kind::Rejected:
        return LINKOR_COMMAND_REJECTED;
    case Translation::Kind::Nothing:
        return LINKOR_OK;
    case Translation::Kind::SingleByte:
        return sendByte(t.singleByte);
    default:
        break;
    }
    // The first answer, and the second, which also gathers an identity read's text.
    std::array<std::string, 2> answers;
    for (;;) {
        for (size_t i = 0; i < t.frames.size(); ++i) {
            if (t.frames[i].empty()) {
                continue;
            }
            const int32_t status = sendFrame(t.frames[i], t.reads[i], type, answers[i]);
            if (status != LINKOR_OK) {
                return status;
            }
        }
        if (m_state.step == Step::Idle) {
            break;
        }
        if (!continueRead(m_state, answers[0], answers[1])) {
            m_state.step = Step::Idle;
            return LINKOR_REPLY_UNCONVERTIBLE;
        }
        t = translate(command, settings.letterCase, model, m_state, settings.allowedFramePath);
        if (t.kind != Translation::Kind::Frames) {
            return LINKOR_COMMAND_REJECTED;
        }
    }
    ReplyContext context;
    context.plainText = t.kind == Translation::Kind::PlainText;
    context.lowerCaseReply = t.lowerCaseReply;
    context.unitFactor = t.unitFactor;
    context.model = model;
    context.maxCurrent = m_state.maxCurrent;
    std::string text;
    const int32_t status = convertReply(answers[0], answers[1], context, text);
    store(text, reply);
    return status;
}

int32_t FramePath::sendByte(uint8_t byte) {
    m_line.m_port->purge();
    PriorityScope priority(m_line.settings().priority);
    const int32_t status = m_line.sendFrame({byte});
    m_line.m_record->sent(m_line.m_sentLine);
    return status;
}

int32_t FramePath::sendFrame(const std::string& text, bool read, int type, std::string& answer) {
    const kv::PreparedFrame frame = framed(text, read);
    std::array<char, kv::kMaxReplyLength + 1> received{};
    const int32_t status = m_line.attempt(frame, type, received.data());
    answer.assign(received.data());
    return status;
}

} // namespace linkor::vrx
