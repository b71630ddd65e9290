// The frame path of a KV line: a command for a VRX23 or VRX34 module is translated
// into frames, each sent in the KV framing and received with the line's own reception,
// and the answers are converted back into the caller's reply. The attempts and their
// stop conditions are those of every framed exchange of the line.
#pragma once

#include "frame/vrx_translate.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace linkor {

class TTrilo;

namespace vrx {

class FramePath {
  public:
    explicit FramePath(TTrilo& line) : m_line(line) {}

    /// Runs one command for a module of KV type `type` (VRX23 or VRX34) and stores its
    /// reply; `reply` holds kv::kMaxReplyLength + 1 bytes.
    int32_t exchange(std::string_view command, int type, char* reply);

    const FrameState& state() const { return m_state; }

  private:
    int32_t attempt(std::string_view command, int type, char* reply);
    int32_t sendByte(uint8_t byte);
    int32_t sendFrame(const std::string& text, bool read, int type, std::string& answer);

    TTrilo& m_line;
    FrameState m_state;
};

} // namespace vrx
} // namespace linkor
