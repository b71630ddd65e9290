#include "posix/line_handling.h"

namespace linkor {

LineHandling decideHandling(const DeviceAnswers& answers) {
    LineHandling h;
    if (answers.pseudoTerminal) {
        // Nothing of a UART is behind a pseudo-terminal: no FIFO, no RTS, no latency timer.
        return h;
    }
    h.drain = answers.lineStatus ? DrainMethod::TransmitterEmpty : DrainMethod::KernelDrain;
    h.direction = answers.rs485 ? DirectionControl::Kernel : DirectionControl::Driver;
    h.setLowLatency = answers.serialInfo && !answers.lowLatency;
    h.slowLatencyTimer = answers.latencyTimerMs > kLatencyTimerAdviceMs;
    return h;
}

std::chrono::microseconds wireTime(std::size_t characters, int baud) {
    const long long b = baud > 0 ? baud : 1;
    const long long bits = static_cast<long long>(characters) * kBitsPerCharacter;
    // Rounded up: a wait shorter than the wire time would end before the last bit.
    return std::chrono::microseconds((bits * 1000000LL + b - 1) / b);
}

std::chrono::microseconds drainBound(std::size_t characters, int baud) {
    return wireTime(characters + kLargestTransmitFifo, baud) + kDrainMargin;
}

int rs485DelayAfterSendMs(int baud) {
    const long long b = baud > 0 ? baud : 1;
    return static_cast<int>((kRtsOffBits * 1000LL + b - 1) / b);
}

std::string describeHandling(const LineHandling& h) {
    std::string text;
    switch (h.direction) {
    case DirectionControl::Driver:
        text = "RTS switched by the driver";
        break;
    case DirectionControl::Kernel:
        text = "RS-485 direction by the kernel";
        break;
    }
    switch (h.drain) {
    case DrainMethod::None:
        text += "; pseudo-terminal, nothing to drain";
        break;
    case DrainMethod::TransmitterEmpty:
        text += "; end of frame from the UART's transmitter-empty flag";
        break;
    case DrainMethod::KernelDrain:
        text += "; end of frame from the kernel's drain";
        break;
    }
    if (h.setLowLatency) {
        text += "; low latency asked";
    }
    return text;
}

std::string latencyTimerAdvice(const std::string& deviceName, int latencyTimerMs) {
    return deviceName + " holds received bytes up to " + std::to_string(latencyTimerMs) +
           " ms (its latency timer); set 1 ms with: echo 1 | sudo tee "
           "/sys/bus/usb-serial/devices/" +
           deviceName +
           "/latency_timer, or for good with the udev rule\n"
           "  ACTION==\"add\", SUBSYSTEM==\"usb-serial\", DRIVER==\"ftdi_sio\", "
           "ATTR{latency_timer}=\"1\"\n"
           "in /etc/udev/rules.d/99-serial-latency.rules";
}

} // namespace linkor
