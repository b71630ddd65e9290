// The Caps Lock and Num Lock states for the status bar, read from the keyboard LEDs that
// the kernel lists (entries "<device>::capslock" and "<device>::numlock" with a
// "brightness" file). A machine without them, or a directory that cannot be read, leaves
// a state unknown; nothing fails.
#pragma once

#include <QString>

#include <optional>

namespace tamsel::shell {

struct TLockKeys {
    std::optional<bool> caps;
    std::optional<bool> num;
    bool operator==(const TLockKeys&) const = default;
};

/// The kernel's LED class directory.
inline constexpr const char* kLedDirectory = "/sys/class/leds";

/// The lock states in @p ledDirectory: on when any keyboard's LED is lit.
TLockKeys readLockKeys(const QString& ledDirectory = QString::fromLatin1(kLedDirectory));

} // namespace tamsel::shell
