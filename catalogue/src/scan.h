// A cursor over an identity text that reads the way the modules' identity
// replies were always taken apart (the conversions of scanf), without its
// undefined behaviour on overflow: numbers saturate at the int32 limits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace modtyp {

class Scanner {
  public:
    explicit Scanner(std::string_view text, std::size_t offset = 0) noexcept;

    // "%s": a run of non-blank characters after any blanks.
    std::optional<std::string_view> word() noexcept;
    // "%d": blanks, an optional sign, decimal digits.
    std::optional<std::int32_t> decimal() noexcept;
    // "%x": blanks, an optional sign, an optional "0x", hexadecimal digits.
    std::optional<std::int32_t> hexadecimal() noexcept;
    // A literal character, with no blanks skipped before it.
    bool literal(char c) noexcept;

  private:
    void skipBlanks() noexcept;
    std::optional<std::int32_t> number(int base) noexcept;

    std::string_view m_text;
    std::size_t m_pos;
};

} // namespace modtyp
