#include "kv_line/trilo.h"

#include "base/driver_state.h"
#include "base/exchange_log.h"
#include "kv/kv_bytes.h"
#include "kv/kv_reception.h"
#include "kv_line/vrx_exchange.h"
#include "linkor_status.h"
#include "posix/busy_wait.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

namespace linkor {

namespace {

using namespace std::chrono_literals;

constexpr auto kPreSendWait = 100us;
constexpr int kAckBits = 15;
constexpr auto kAckRtsOnWait = 150us;
constexpr int kDefaultReplyTimeoutMs = 6000;
constexpr int kAutoTimeoutNumerator = 1500000;
constexpr int kAutoTimeoutMinMs = 20;
constexpr int kAutoTimeoutMaxMs = 312;
constexpr size_t kLogLineLimit = 250;
constexpr int kWriteMultiplierSlow = 100;
constexpr int kWriteMultiplierFast = 10;
constexpr int kSlowBaud = 4800;
constexpr int kWriteConstantMs = 2000;
constexpr int kMaxAddressBits = 6;
constexpr uint8_t kProbeBase = 0xC0;
constexpr uint8_t kProbeSearchBit = 0x40;
constexpr uint8_t kAddressMask = 0x3F;
constexpr auto kBreakPoll = 1ms;
constexpr auto kTransmitWait = 100ms;

int writeMultiplierFor(int baud) {
    return baud < kSlowBaud ? kWriteMultiplierSlow : kWriteMultiplierFast;
}

void sleepMs(int ms) {
    if (ms > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
}

} // namespace

TTrilo::TTrilo(std::string portName, std::unique_ptr<Port> port)
    : m_portName(std::move(portName)), m_port(std::move(port)),
      m_framePath(std::make_unique<vrx::FramePath>(*this)) {
    std::strcpy(m_breakResult.data(), "00");
}

TTrilo::~TTrilo() {
    close();
}

PortSettings TTrilo::portSettings() const {
    PortSettings s;
    s.baud = m_baud;
    s.writePerByteMs = writeMultiplierFor(m_baud);
    s.writeConstantMs = kWriteConstantMs;
    s.reportBreaks = true;
    return s;
}

int32_t TTrilo::initialise(int baud, int code) {
    m_baud = baud;
    m_settings = KvSettings{};
    m_settings.protocol = code;
    return m_port->open(m_portName, portSettings());
}

int32_t TTrilo::suspend() {
    stopBreak();
    m_port->close();
    return LINKOR_OK;
}

int32_t TTrilo::resume() {
    if (m_port->isOpen()) {
        return LINKOR_OK;
    }
    return m_port->open(m_portName, portSettings());
}

void TTrilo::close() {
    stopBreak();
    m_port->close();
}

int32_t TTrilo::changeBaud(int baud) {
    const int32_t status = m_port->changeSpeed(baud, writeMultiplierFor(baud));
    if (status == LINKOR_OK) {
        m_baud = baud;
    }
    return status;
}

int32_t TTrilo::setPriority(const char* name) {
    const auto priority = exchangePriorityOf(name);
    if (!priority) {
        return LINKOR_BAD_PRIORITY;
    }
    m_settings.priority = *priority;
    return LINKOR_OK;
}

int32_t TTrilo::setSyntax(const char* text) {
    if (text == nullptr) {
        return LINKOR_OK;
    }
    size_t consumed = 0;
    if (text[0] == '/') {
        const int32_t status = applySettingsBlock(text, consumed);
        if (status != LINKOR_OK) {
            return status;
        }
    }
    const char* rest = text + consumed;
    const bool framePath =
        m_settings.lineType == kv::kTypeVrx23 || m_settings.lineType == kv::kTypeVrx34;
    (framePath ? m_settings.allowedFramePath : m_settings.allowed).assign(rest);
    return LINKOR_OK;
}

int TTrilo::typeFor(const char* text) const {
    if (text[0] >= '0' && text[0] <= '7' && text[1] >= '0' && text[1] <= '9') {
        const int address = (text[0] - '0') * 10 + (text[1] - '0');
        if (address < kTypedAddresses &&
            m_settings.addressTypes[static_cast<size_t>(address)] != 0) {
            return m_settings.addressTypes[static_cast<size_t>(address)];
        }
    }
    return m_settings.lineType;
}

std::chrono::milliseconds TTrilo::initialTimeout() const {
    if (m_settings.waitAckMs != 0) {
        return std::chrono::milliseconds(m_settings.waitAckMs);
    }
    const int automatic = kAutoTimeoutNumerator / std::max(m_baud, 1);
    return std::chrono::milliseconds(std::clamp(automatic, kAutoTimeoutMinMs, kAutoTimeoutMaxMs));
}

std::chrono::milliseconds TTrilo::replyTimeout() const {
    int ms = kDefaultReplyTimeoutMs;
    if (m_settings.waitAllReplyMs != 0) {
        ms = m_settings.waitAllReplyMs;
    }
    if (m_settings.waitReplyMs != 0) {
        ms = m_settings.waitReplyMs;
    }
    return std::chrono::milliseconds(ms);
}

int32_t TTrilo::dialogue(const char* command, char* reply) {
    reply[0] = '\0';
    const char* text = command;
    int32_t status = LINKOR_OK;
    if (text[0] == '/') {
        size_t consumed = 0;
        status = applySettingsBlock(text, consumed);
        text += consumed;
    }
    m_sentLine.clear();
    m_receivedLine.clear();
    // The record names the whole text, block included; the block may have just set
    // the mode it is written in.
    ExchangeRecord record(m_portName, m_settings.logMode, ByteEscape::Controls);
    ExchangeRecord* const outer = std::exchange(m_record, &record);
    record.start(command);
    if (status == LINKOR_OK && text[0] != '\0') {
        status = exchange(text, reply);
    }
    record.finish(reply, status, driverState().language);
    m_record = outer;
    return status;
}

int32_t TTrilo::exchange(const char* text, char* reply) {
    const int type = typeFor(text);
    const std::string_view command(text);
    int32_t status = LINKOR_OK;
    if (type == kv::kTypeVrx23 || type == kv::kTypeVrx34) {
        status = m_framePath->exchange(command, type, reply);
        m_settings.waitReplyMs = 0;
        return status;
    }
    for (int i = 0; i <= m_settings.retries; ++i) {
        reply[0] = '\0';
        const kv::PreparedFrame frame =
            m_settings.raw ? kv::prepareRaw(command)
                           : kv::prepareFrame(command, m_settings.letterCase, m_settings.protocol,
                                              m_settings.allowed);
        if (frame.status != LINKOR_OK) {
            status = frame.status;
            break;
        }
        if (frame.nothingToSend) {
            status = LINKOR_OK;
            break;
        }
        status = attempt(frame, type, reply);
        if (status == LINKOR_OK || status == LINKOR_NOT_EXECUTED) {
            break;
        }
    }
    m_settings.waitReplyMs = 0;
    return status;
}

int32_t TTrilo::attempt(const kv::PreparedFrame& frame, int type, char* reply) {
    m_port->purge();
    PriorityScope priority(m_settings.priority);
    int32_t status = sendFrame(frame.bytes);
    m_record->sent(m_sentLine);
    if (status != LINKOR_OK) {
        return status;
    }
    kv::Reception reception(
        m_settings.protocol, frame.replyExpected, m_settings.repair,
        m_settings.protocol == kv::kProtocolConsole ? frame.text : std::vector<uint8_t>{}, reply);
    m_receivedLine.clear();
    m_acknowledged = false;
    while (!reception.ended()) {
        const auto timeout =
            reception.wait() == kv::Reception::Wait::Initial ? initialTimeout() : replyTimeout();
        const ReadResult r = m_port->readByte(timeout);
        if (r.outcome == ReadOutcome::Failed) {
            m_port->clearErrors();
            reception.readFailed();
        } else if (r.outcome == ReadOutcome::TimedOut) {
            reception.readTimedOut();
        } else {
            appendReceived(r.byte);
            reception.feed(r.byte);
        }
    }
    if (reception.moduleStatus() != 0) {
        m_moduleStatus = reception.moduleStatus();
    }
    status = reception.status();
    if (reception.checkPending()) {
        if (type == kv::kTypeTrilo) {
            acknowledgeReply();
        }
        const int32_t check = kv::checkFramedReply(reply);
        if (status == LINKOR_OK) {
            status = check;
        }
    }
    m_record->received(m_receivedLine, m_acknowledged);
    if (status == LINKOR_OK && m_settings.protocol == kv::kProtocolAckNak && !frame.replyExpected) {
        sleepMs(m_settings.tackMs);
    }
    return status;
}

int32_t TTrilo::sendFrame(const std::vector<uint8_t>& bytes) {
    spinFor(kPreSendWait);
    m_port->setRts(true);
    int32_t status = LINKOR_OK;
    size_t written = 0;
    // Everything but the last byte first, then the last alone: the RTS timing counts
    // from the moment the last byte is queued.
    if (bytes.size() > 1) {
        if (!m_port->write(bytes.data(), bytes.size() - 1, written)) {
            m_port->clearErrors();
            status = LINKOR_SEND_FAILED;
        } else if (written != bytes.size() - 1) {
            status = LINKOR_SEND_SHORT;
        }
    }
    if (status == LINKOR_OK && !bytes.empty()) {
        if (!m_port->write(&bytes.back(), 1, written)) {
            m_port->clearErrors();
            status = LINKOR_SEND_FAILED;
        } else if (written != 1) {
            status = LINKOR_SEND_SHORT;
        }
    }
    // The RTS delay counts from the last bit on the wire, not from the kernel taking the
    // bytes: a UART's FIFO may still be sending when the write returns.
    m_port->waitSent(bytes.size());
    if (m_settings.waitRtsOffMs != 0) {
        sleepMs(m_settings.waitRtsOffMs);
    } else {
        spinFor(bitTimes(kRtsOffBits, m_baud));
    }
    m_port->setRts(false);
    m_sentLine.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(
                                                         std::min(bytes.size(), kLogLineLimit)));
    return status;
}

void TTrilo::acknowledgeReply() {
    if (m_settings.waitRtsOnMs != 0) {
        sleepMs(m_settings.waitRtsOnMs);
    } else {
        spinFor(kAckRtsOnWait);
    }
    // RTS stays raised: the next transmission raises it again and drops it at its end.
    m_port->setRts(true);
    m_port->transmitPriority(kv::kAck);
    spinFor(bitTimes(kAckBits, m_baud));
    m_acknowledged = true;
}

void TTrilo::appendReceived(uint8_t byte) {
    if (m_receivedLine.size() < kLogLineLimit) {
        m_receivedLine.push_back(static_cast<char>(byte));
    }
}

void TTrilo::initBreak(BreakNotify notify, char** result, std::chrono::microseconds wait) {
    m_notify = notify;
    m_breakWait = wait;
    if (result != nullptr) {
        *result = m_breakResult.data();
    }
}

void TTrilo::startBreak(int count, int bits) {
    if (m_discoveryRunning.load()) {
        return;
    }
    if (m_worker.joinable()) {
        m_worker.join(); // a finished discovery of earlier
    }
    m_addressBits = std::clamp(bits, 0, kMaxAddressBits);
    m_modulesToFind = m_addressBits == 0 ? 0 : std::max(count, 0);
    m_port->purge();
    m_port->transmitPriority(kv::kEsc);
    m_stopRequested = false;
    m_discoveryRunning = true;
    m_worker = std::thread([this] { runDiscovery(); });
}

void TTrilo::stopBreak() {
    m_stopRequested = true;
    if (m_worker.joinable()) {
        m_worker.join();
    }
    m_discoveryRunning = false;
}

void TTrilo::runDiscovery() {
    PriorityScope priority(m_settings.priority);
    std::strcpy(m_breakResult.data(), "00");
    size_t length = 2;
    for (;;) {
        if (m_stopRequested.load()) {
            m_port->clearErrors();
            m_discoveryRunning = false;
            return;
        }
        if (m_port->waitBreak(kBreakPoll)) {
            break;
        }
    }
    int found = 0;
    int toFind = m_modulesToFind;
    uint8_t probe = kProbeBase;
    int bitIndex = 0;
    while (toFind > 0 && bitIndex < m_addressBits && !m_stopRequested.load()) {
        const auto bit = static_cast<uint8_t>(1u << bitIndex);
        probe = static_cast<uint8_t>(probe | bit);
        m_port->transmitPriority(probe);
        m_port->waitTransmitted(kTransmitWait);
        if (!m_port->waitBreak(m_breakWait)) {
            probe = static_cast<uint8_t>(probe & ~bit);
        }
        if (bitIndex + 1 < m_addressBits) {
            ++bitIndex;
            continue;
        }
        // Every bit is known: tell that module it has been found.
        m_port->transmitPriority(static_cast<uint8_t>(probe & ~kProbeSearchBit));
        if (length + 3 < m_breakResult.size()) {
            std::snprintf(m_breakResult.data() + length, m_breakResult.size() - length, " %02u",
                          static_cast<unsigned>(probe & kAddressMask));
            length += 3;
        }
        ++found;
        --toFind;
        m_port->waitTransmitted(kTransmitWait);
        if (toFind == 0 || !m_port->waitBreak(m_breakWait)) {
            break;
        }
        probe = kProbeBase;
        bitIndex = 0;
    }
    if (found > 0) {
        char count[3];
        std::snprintf(count, sizeof count, "%02d", std::min(found, 99));
        m_breakResult[0] = count[0];
        m_breakResult[1] = count[1];
    }
    if (m_notify != nullptr && !m_stopRequested.load()) {
        m_notify();
    }
    m_port->clearErrors();
    m_discoveryRunning = false;
}

} // namespace linkor
