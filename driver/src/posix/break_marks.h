// With PARMRK set (and IGNBRK, BRKINT, ISTRIP clear) the terminal layer marks a BREAK
// in the input as FF 00 00 and doubles a literal FF. This filter turns such a stream
// back into data bytes and break events.
#pragma once

#include <cstdint>

namespace linkor {

class BreakMarkFilter {
  public:
    enum class Event { None, Data, Break };

    /// Feeds one raw byte; tells whether it completed a data byte or a break.
    Event feed(uint8_t raw, uint8_t& data);
    void reset() { m_state = State::Plain; }

  private:
    enum class State { Plain, AfterFF, AfterFF00 };
    State m_state = State::Plain;
};

} // namespace linkor
