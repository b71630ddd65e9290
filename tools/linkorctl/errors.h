// The two ways a subcommand fails, each with its exit status.
#pragma once

#include <stdexcept>
#include <string>

namespace linkorctl {

inline constexpr int kExitOk = 0;
inline constexpr int kExitLine = 1;
inline constexpr int kExitUsage = 2;

/// The command line asks for something impossible; the user can fix it by typing again.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

/// The driver, the line or a module failed; the text says what and, where the driver
/// gave one, carries its message.
class LineError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

} // namespace linkorctl
