#include "posix/break_marks.h"

namespace linkor {

namespace {
constexpr uint8_t kMark = 0xFF;
}

BreakMarkFilter::Event BreakMarkFilter::feed(uint8_t raw, uint8_t& data) {
    switch (m_state) {
    case State::Plain:
        if (raw == kMark) {
            m_state = State::AfterFF;
            return Event::None;
        }
        data = raw;
        return Event::Data;
    case State::AfterFF:
        if (raw == kMark) {
            m_state = State::Plain;
            data = kMark;
            return Event::Data;
        }
        if (raw == 0x00) {
            m_state = State::AfterFF00;
            return Event::None;
        }
        // Not a mark the terminal layer writes; keep the byte rather than lose it.
        m_state = State::Plain;
        data = raw;
        return Event::Data;
    case State::AfterFF00:
        m_state = State::Plain;
        if (raw == 0x00) {
            return Event::Break;
        }
        // FF 00 x marks a byte received with a framing or parity fault.
        data = raw;
        return Event::Data;
    }
    return Event::None;
}

} // namespace linkor
