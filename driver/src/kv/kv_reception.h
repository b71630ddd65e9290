// The reception state machine of one attempt, fed one byte at a time. It is pure: the
// caller reads the port with the time-out it asks for and feeds what arrives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace linkor::kv {

/// The longest reply text the machine stores.
constexpr size_t kMaxReplyLength = 200;
/// Unexpected bytes passed over before the reception gives up.
constexpr int kMaxSkipped = 200;

class Reception {
  public:
    enum class Wait { Initial, Reply };

    /// `reply` receives the text as it arrives, NUL-terminated after every byte; it must
    /// hold kMaxReplyLength + 1 bytes. `sentText` is the command text sent (console echo).
    Reception(int protocolCode, bool replyExpected, bool repair, std::vector<uint8_t> sentText,
              char* reply);

    /// Feeds one byte; true when the reception has ended.
    bool feed(uint8_t byte);
    /// The read failed or timed out: the reception ends.
    void readFailed();
    void readTimedOut();

    bool ended() const { return m_state == State::Ended; }
    Wait wait() const { return m_wait; }
    int32_t status() const { return m_status; }
    /// The framed reply must be acknowledged and checked (XON and ACK-NAK modes).
    bool checkPending() const { return m_checkPending; }
    /// The last module status byte seen (bit 7 set), or 0.
    uint8_t moduleStatus() const { return m_moduleStatus; }
    size_t replyLength() const { return m_length; }

  private:
    enum class State {
        AwaitAck,
        AwaitXoff,
        AwaitReplyOrEnd,
        ReplyText,
        AwaitStx,
        EchoFirst,
        EchoRest,
        AfterEcho,
        ConsoleReply,
        AfterColon,
        AwaitCr,
        AwaitLf,
        AwaitLast,
        Ended
    };

    void setStatus(int32_t status) { m_status = status; }
    void setIfNone(int32_t status) {
        if (m_status == 0) {
            m_status = status;
        }
    }
    void end() { m_state = State::Ended; }
    void endCheck() {
        m_checkPending = true;
        end();
    }
    void go(State state) { m_state = state; }
    void goReply(State state) {
        m_state = state;
        m_wait = Wait::Reply;
    }
    /// Passes over an unexpected byte; true when too many have been.
    bool skip() { return ++m_skipped > kMaxSkipped; }
    void store(uint8_t byte);
    void terminate() { m_reply[m_length] = '\0'; }

    void feedAckNakAwaitAck(uint8_t byte);
    void feedXonAwaitAck(uint8_t byte);
    void feedAwaitXoff(uint8_t byte);
    void feedAwaitReplyOrEnd(uint8_t byte);
    void feedReplyText(uint8_t byte);
    void feedConsole(uint8_t byte);

    int m_protocol;
    bool m_replyExpected;
    bool m_repair;
    std::vector<uint8_t> m_sent;
    char* m_reply;
    size_t m_length = 0;
    size_t m_echoIndex = 0;
    State m_state;
    Wait m_wait = Wait::Initial;
    int32_t m_status = 0;
    int m_skipped = 0;
    bool m_replySeen = false;
    bool m_checkPending = false;
    uint8_t m_moduleStatus = 0;
};

/// Checks a framed reply ("LLL" text "CC") in place: the reply becomes the text alone.
/// Returns the status to set if none is set yet (0, 0x3004 or 0x3008).
int32_t checkFramedReply(char* reply);

} // namespace linkor::kv
