// Kept apart: <asm/termbits.h> cannot share a translation unit with <termios.h>.
#include "posix/custom_speed.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace linkor {

bool setCustomSpeed(int fd, int baud) {
    struct termios2 settings {};
    if (ioctl(fd, TCGETS2, &settings) != 0) {
        return false;
    }
    settings.c_cflag &= ~static_cast<tcflag_t>(CBAUD | (CBAUD << IBSHIFT));
    settings.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    settings.c_ispeed = static_cast<speed_t>(baud);
    settings.c_ospeed = static_cast<speed_t>(baud);
    return ioctl(fd, TCSETS2, &settings) == 0;
}

} // namespace linkor
