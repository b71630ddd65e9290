#include "interrupt.h"

#include <atomic>
#include <csignal>
#include <thread>

namespace linkorctl {

namespace {

constexpr auto kStep = std::chrono::milliseconds(20);

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void onInterrupt(int) {
    g_interrupted = 1;
}

} // namespace

void catchInterrupts() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool interrupted() {
    return g_interrupted != 0;
}

bool pause(std::chrono::milliseconds d) {
    const auto end = std::chrono::steady_clock::now() + d;
    while (!interrupted()) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= end) {
            return true;
        }
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(kStep, end - now));
    }
    return false;
}

} // namespace linkorctl
