#include "jbus/jbus_line.h"

#include "base/driver_state.h"
#include "base/exchange_log.h"
#include "base/word_lists.h"
#include "linkor_status.h"
#include "posix/busy_wait.h"

#include <cstring>
#include <strings.h>
#include <thread>

namespace linkor::jbus {

namespace {

using namespace std::chrono_literals;

constexpr const char* kProtocolNames[] = {"JBUS-232", "JBUS-485"};
constexpr size_t kMinimumPrefix = 3;
constexpr auto kPreSendWait = 100us;
constexpr int kWritePerByteMs = 10;
constexpr int kWriteConstantMs = 1000;

} // namespace

std::optional<int> protocolCodeOf(const char* name, bool caseSensitive) {
    if (name == nullptr) {
        return std::nullopt;
    }
    const size_t length = std::strlen(name);
    if (length < kMinimumPrefix) {
        return std::nullopt;
    }
    for (int code = 0; code < static_cast<int>(std::size(kProtocolNames)); ++code) {
        const char* full = kProtocolNames[code];
        if (length > std::strlen(full)) {
            continue;
        }
        const int differs =
            caseSensitive ? std::strncmp(name, full, length) : strncasecmp(name, full, length);
        if (differs == 0) {
            return code;
        }
    }
    return std::nullopt;
}

TJbus::TJbus(std::string portName, std::unique_ptr<Port> port)
    : m_portName(std::move(portName)), m_port(std::move(port)) {}

TJbus::~TJbus() {
    close();
}

PortSettings TJbus::portSettings() const {
    PortSettings s;
    s.baud = m_baud;
    s.rtsDisabled = true;
    s.writePerByteMs = kWritePerByteMs;
    s.writeConstantMs = kWriteConstantMs;
    // Binary frames: every byte value is data, and no break is ever looked for.
    s.reportBreaks = false;
    return s;
}

int32_t TJbus::initialise(int baud, int code) {
    m_baud = baud;
    m_settings = JbusSettings{};
    m_settings.protocol = code;
    return m_port->open(m_portName, portSettings());
}

int32_t TJbus::suspend() {
    m_port->close();
    return LINKOR_OK;
}

int32_t TJbus::resume() {
    if (m_port->isOpen()) {
        return LINKOR_OK;
    }
    return m_port->open(m_portName, portSettings());
}

void TJbus::close() {
    m_port->close();
}

int32_t TJbus::changeBaud(int baud) {
    // The write time-out stays as the line was opened with: it does not follow the speed.
    const int32_t status = m_port->changeSpeed(baud, kWritePerByteMs);
    if (status == LINKOR_OK) {
        m_baud = baud;
    }
    return status;
}

int32_t TJbus::setPriority(const char* name) {
    const auto priority = exchangePriorityOf(name);
    if (!priority) {
        return LINKOR_BAD_PRIORITY;
    }
    m_settings.priority = *priority;
    return LINKOR_OK;
}

int32_t TJbus::dialogue(const char* command, char* reply) {
    if (reply != nullptr) {
        reply[0] = '\0';
    }
    const char* text = command;
    int32_t status = LINKOR_OK;
    if (text[0] == '/') {
        size_t consumed = 0;
        status = applySettingsBlock(text, consumed);
        text += consumed;
    }
    ExchangeRecord record(m_portName, m_settings.logMode, ByteEscape::All);
    record.start(command);
    std::string replyText;
    if (status == LINKOR_OK && text[0] != '\0') {
        status = exchange(text, reply != nullptr, replyText, record);
    }
    if (reply != nullptr) {
        copyOut(reply, replyText, kReplyBufferSize);
    }
    record.finish(replyText, status, driverState().jbusLanguage);
    return status;
}

int32_t TJbus::exchange(std::string_view text, bool wantReply, std::string& reply,
                        ExchangeRecord& record) {
    int32_t status = LINKOR_OK;
    // Counted wide: REPETE may be as large as an int holds.
    for (long long i = 0; i <= static_cast<long long>(m_settings.retries); ++i) {
        const Request request = buildRequest(text);
        std::vector<uint8_t> answer;
        status = attempt(request, answer, record);
        if (!answer.empty()) {
            if (wantReply) {
                status = convertAnswer(request, answer, status, reply, kReplyBufferSize - 1);
            }
            break;
        }
    }
    return status;
}

int32_t TJbus::attempt(const Request& request, std::vector<uint8_t>& answer,
                       ExchangeRecord& record) {
    m_port->purge();
    PriorityScope priority(m_settings.priority);
    size_t written = 0;
    int32_t status = send(request.bytes, written);
    record.sent(request.bytes);
    if (status != LINKOR_OK) {
        return status;
    }
    if (m_settings.protocol == kProtocol485) {
        status = dropEcho(written);
        if (status != LINKOR_OK) {
            return status;
        }
    }
    std::vector<uint8_t> stored;
    std::vector<uint8_t> seen;
    bool failed = false;
    bool echoDropped = false;
    size_t dropped = 0;
    // Bytes before the slave address are noise of the line; their number is bounded
    // too, so that a line that never falls silent still ends the reception.
    while (stored.size() < kMaxAnswerBytes && dropped < kMaxAnswerBytes) {
        const ReadResult r = m_port->readByte(kByteTimeout);
        if (r.outcome == ReadOutcome::TimedOut) {
            break;
        }
        if (r.outcome == ReadOutcome::Failed) {
            m_port->clearErrors();
            failed = true;
            break;
        }
        seen.push_back(r.byte);
        if (stored.empty() && r.byte != request.slave()) {
            ++dropped;
            continue;
        }
        stored.push_back(r.byte);
        // A two-wire line hands the request back before any answer: the whole request,
        // byte for byte, is the line's echo and not the slave's answer.
        if (!echoDropped && stored == request.bytes) {
            echoDropped = true;
            stored.clear();
        }
    }
    priority.restore();
    record.received(seen);
    if (stored.size() < kMinAnswerBytes) {
        return LINKOR_RECEIVE_TIMEOUT;
    }
    if (failed) {
        return LINKOR_RECEIVE_FAILED;
    }
    if (!answersRequest(request, stored)) {
        return LINKOR_REPLY_LENGTH;
    }
    answer = std::move(stored);
    return LINKOR_OK;
}

int32_t TJbus::dropEcho(size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const ReadResult r = m_port->readByte(kByteTimeout);
        if (r.outcome == ReadOutcome::Failed) {
            m_port->clearErrors();
            return LINKOR_SEND_FAILED;
        }
        if (r.outcome == ReadOutcome::TimedOut) {
            return LINKOR_SEND_SHORT;
        }
    }
    return LINKOR_OK;
}

int32_t TJbus::send(const std::vector<uint8_t>& bytes, size_t& written) {
    written = 0;
    spinFor(kPreSendWait);
    m_port->setRts(true);
    int32_t status = LINKOR_OK;
    size_t part = 0;
    // Everything but the last byte first, then the last alone: the RTS timing counts
    // from the moment the last byte is queued.
    if (bytes.size() > 1) {
        if (!m_port->write(bytes.data(), bytes.size() - 1, part)) {
            m_port->clearErrors();
            status = LINKOR_SEND_FAILED;
        } else if (part != bytes.size() - 1) {
            status = LINKOR_SEND_SHORT;
        }
        written += part;
    }
    if (status == LINKOR_OK && !bytes.empty()) {
        if (!m_port->write(&bytes.back(), 1, part)) {
            m_port->clearErrors();
            status = LINKOR_SEND_FAILED;
        } else if (part != 1) {
            status = LINKOR_SEND_SHORT;
        }
        written += part;
    }
    // The RTS delay counts from the last bit on the wire, not from the kernel taking the
    // bytes: a UART's FIFO may still be sending when the write returns.
    m_port->waitSent(written);
    if (m_settings.waitRtsOffMs != 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(m_settings.waitRtsOffMs));
    } else {
        spinFor(bitTimes(kRtsOffBits, m_baud));
    }
    m_port->setRts(false);
    return status;
}

} // namespace linkor::jbus
