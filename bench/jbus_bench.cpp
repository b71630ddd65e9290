// A holding-register read through the driver against a libmodbus slave, beside a
// third-party master (mbpoll) reading the same register from the same slave.
#include "driver_api.h"
#include "modbus_slave.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kReads = 30;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

/// One mbpoll run reading holding register 101 (reference 100 counted from 0) once.
double mbpollRead(const std::string& device) {
    const std::string command = "mbpoll -m rtu -a 1 -0 -r 100 -c 1 -t 4 -b 19200 -P none -1 -q " +
                                device + " >/dev/null 2>&1";
    const auto t0 = Clock::now();
    const int status = std::system(command.c_str());
    const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    if (status != 0) {
        throw std::runtime_error("mbpoll failed");
    }
    return seconds;
}

/// The same program start without any exchange, to take it out of mbpoll's figure.
double mbpollStart() {
    const auto t0 = Clock::now();
    [[maybe_unused]] const int status = std::system("mbpoll -V >/dev/null 2>&1");
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

} // namespace

int main(int argc, char** argv) {
    const char* library = argc > 1 ? argv[1] : LINKOR_LIBRARY;
    jbus_peer::ModbusSlave slave; // publishes COM41 and sets LINKOR_PORTS
    if (!slave.ready()) {
        std::fprintf(stderr, "jbus bench: no slave\n");
        return 1;
    }
    slave.setReg(100, 0x2A);
    try {
        std::vector<double> driverTimes;
        {
            bench::DriverApi driver(library);
            const int line = jbus_peer::kPortNumber;
            if (driver.open(("COM" + std::to_string(line)).c_str(), 0, 0) != line ||
                driver.init(line, "19200", "JBUS-232", nullptr) != 0) {
                throw std::runtime_error("the JBUS line does not open");
            }
            char reply[256];
            for (int i = 0; i < kReads; ++i) {
                const auto t0 = Clock::now();
                if (driver.dialogue(line, "1R100", reply) != 0 || std::string(reply) != "1R,002A") {
                    throw std::runtime_error(std::string("unexpected answer ") + reply);
                }
                driverTimes.push_back(std::chrono::duration<double>(Clock::now() - t0).count());
            }
            driver.close(line);
        }
        std::vector<double> mbpollTimes;
        std::vector<double> startTimes;
        for (int i = 0; i < kReads; ++i) {
            mbpollTimes.push_back(mbpollRead(slave.linkPath()));
            startTimes.push_back(mbpollStart());
        }
        const double ours = median(driverTimes);
        const double theirs = std::max(median(mbpollTimes) - median(startTimes), 1e-6);
        std::printf("jbus read: driver %.1f ms, mbpoll %.1f ms (program start taken out) = "
                    "%.1f; the gap is the 100 ms of silence that ends a JBUS answer, where "
                    "mbpoll stops at the length the function code announces\n",
                    ours * 1e3, theirs * 1e3, ours / theirs);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "jbus bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
