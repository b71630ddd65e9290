#include "posix/device_setup.h"

#include <sys/ioctl.h>

namespace linkor {

LineHandling DeviceSetup::apply(int fd, const LineHandling& wanted, int baud) {
    LineHandling in = wanted;
    if (wanted.direction == DirectionControl::Kernel) {
        serial_rs485 before{};
        bool set = false;
        if (ioctl(fd, TIOCGRS485, &before) == 0) {
            serial_rs485 now = before;
            // RTS high while sending and low after it, as the driver itself would switch it.
            // Whether the receiver hears the line while sending is the wiring's business
            // (a two-wire JBUS line reads its own echo): that flag stays as it was.
            now.flags |= SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND;
            now.flags &= ~static_cast<decltype(now.flags)>(SER_RS485_RTS_AFTER_SEND);
            now.delay_rts_before_send = 0;
            now.delay_rts_after_send =
                static_cast<decltype(now.delay_rts_after_send)>(rs485DelayAfterSendMs(baud));
            set = ioctl(fd, TIOCSRS485, &now) == 0;
            if (set) {
                m_rs485Before = before;
                m_rs485Now = now;
                m_rs485Changed = true;
            }
        }
        if (!set) {
            in.direction = DirectionControl::Driver;
        }
    }
    if (wanted.setLowLatency) {
        serial_struct info{};
        bool set = false;
        if (ioctl(fd, TIOCGSERIAL, &info) == 0) {
            info.flags |= ASYNC_LOW_LATENCY;
            set = ioctl(fd, TIOCSSERIAL, &info) == 0;
        }
        m_lowLatencyChanged = set;
        in.setLowLatency = set;
    }
    return in;
}

void DeviceSetup::speedChanged(int fd, int baud) {
    if (!m_rs485Changed) {
        return;
    }
    m_rs485Now.delay_rts_after_send =
        static_cast<decltype(m_rs485Now.delay_rts_after_send)>(rs485DelayAfterSendMs(baud));
    [[maybe_unused]] const int rc = ioctl(fd, TIOCSRS485, &m_rs485Now);
}

void DeviceSetup::restore(int fd) {
    if (m_rs485Changed) {
        [[maybe_unused]] const int rc = ioctl(fd, TIOCSRS485, &m_rs485Before);
        m_rs485Changed = false;
    }
    if (m_lowLatencyChanged) {
        serial_struct info{};
        if (ioctl(fd, TIOCGSERIAL, &info) == 0) {
            info.flags &= ~ASYNC_LOW_LATENCY;
            [[maybe_unused]] const int rc = ioctl(fd, TIOCSSERIAL, &info);
        }
        m_lowLatencyChanged = false;
    }
}

} // namespace linkor
