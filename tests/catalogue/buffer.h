// A caller's buffer of a fixed size with guard bytes behind it, to show that
// the catalogue writes nothing past the sizes it promises.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>

template <std::size_t Size> class GuardedBuffer {
  public:
    static constexpr char kGuard = '\x5A';
    static constexpr std::size_t kGuardSize = 64;

    GuardedBuffer() { m_bytes.fill(kGuard); }
    explicit GuardedBuffer(const std::string& initial) : GuardedBuffer() {
        std::copy_n(initial.c_str(), std::min(initial.size() + 1, Size), m_bytes.data());
    }

    char* data() { return m_bytes.data(); }
    std::string text() const {
        const auto end = std::find(m_bytes.begin(), m_bytes.begin() + Size, '\0');
        return {m_bytes.begin(), end};
    }
    bool terminated() const {
        return std::find(m_bytes.begin(), m_bytes.begin() + Size, '\0') != m_bytes.begin() + Size;
    }
    bool guardIntact() const {
        return std::all_of(m_bytes.begin() + Size, m_bytes.end(),
                           [](char c) { return c == kGuard; });
    }

  private:
    std::array<char, Size + kGuardSize> m_bytes;
};

// The catalogue's documented output sizes.
inline constexpr std::size_t kNameSize = 12;
inline constexpr std::size_t kSerialSize = 16;
inline constexpr std::size_t kVariableNameSize = 16;
inline constexpr std::size_t kInfoSize = 29;
inline constexpr std::size_t kCommandSize = 255;
