// Speeds that termios has no B-constant for (7200 baud) are set through termios2.
#pragma once

namespace linkor {

/// Sets both directions of the open terminal `fd` to `baud`; false on failure.
bool setCustomSpeed(int fd, int baud);

} // namespace linkor
