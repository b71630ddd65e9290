// A libmodbus RTU slave serving holding registers on a pseudo-terminal, for the tests
// and the benchmarks that need a Modbus peer this project did not write.
#pragma once

#include <modbus/modbus.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace jbus_peer {

constexpr int kSlaveId = 1;
constexpr int kRegisters = 400;
constexpr int kPortNumber = 41;
// The driver ends a reception after 100 ms of silence; a slave thread that is late on
// a busy machine is covered by retries rather than by luck.
constexpr const char* kRetries = "/REPETE 3/";

/// A libmodbus RTU slave on a pseudo-terminal, named COM41 in a ports directory of its
/// own.
class ModbusSlave {
  public:
    /// The link of the terminal side, for a master that opens a device path.
    const std::string& linkPath() const { return m_link; }

    ModbusSlave() {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
            return;
        }
        char path[PATH_MAX];
        if (ptsname_r(m_master, path, sizeof path) != 0) {
            return;
        }
        // Held open for the whole test: when the last descriptor of the terminal side
        // closes, the line hangs up.
        m_held = ::open(path, O_RDWR | O_NOCTTY);
        char dir[] = "/tmp/jbus-peer-XXXXXX";
        if (m_held < 0 || mkdtemp(dir) == nullptr) {
            return;
        }
        m_dir = dir;
        m_link = m_dir + "/COM" + std::to_string(kPortNumber);
        if (symlink(path, m_link.c_str()) != 0) {
            return;
        }
        setenv("LINKOR_PORTS", m_dir.c_str(), 1);

        // No modbus_connect: the context works on the descriptor it is given, and the
        // terminal settings stay the driver's.
        m_ctx = modbus_new_rtu("/dev/null", 19200, 'N', 8, 1);
        m_map = modbus_mapping_new(0, 0, kRegisters, 0);
        if (m_ctx == nullptr || m_map == nullptr || modbus_set_slave(m_ctx, kSlaveId) != 0 ||
            modbus_set_socket(m_ctx, m_master) != 0) {
            return;
        }
        m_thread = std::thread([this] { serve(); });
        m_ready = true;
    }

    ~ModbusSlave() {
        m_stop = true;
        if (m_thread.joinable()) {
            m_thread.join();
        }
        if (m_map != nullptr) {
            modbus_mapping_free(m_map);
        }
        if (m_ctx != nullptr) {
            modbus_free(m_ctx);
        }
        unsetenv("LINKOR_PORTS");
        if (!m_link.empty()) {
            unlink(m_link.c_str());
        }
        if (!m_dir.empty()) {
            rmdir(m_dir.c_str());
        }
        if (m_held >= 0) {
            close(m_held);
        }
        if (m_master >= 0) {
            close(m_master);
        }
    }
    ModbusSlave(const ModbusSlave&) = delete;
    ModbusSlave& operator=(const ModbusSlave&) = delete;

    bool ready() const { return m_ready; }
    int served() const { return m_served.load(); }
    /// Every request served so far, its bytes without the CRC as "01 03 00 64 ...".
    std::vector<std::string> requests() {
        std::lock_guard lock(m_mutex);
        return m_requests;
    }

    uint16_t reg(int index) {
        std::lock_guard lock(m_mutex);
        return m_map->tab_registers[index];
    }
    void setReg(int index, uint16_t value) {
        std::lock_guard lock(m_mutex);
        m_map->tab_registers[index] = value;
    }

  private:
    void serve() {
        uint8_t query[MODBUS_RTU_MAX_ADU_LENGTH];
        while (!m_stop) {
            pollfd p{m_master, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0 || (p.revents & POLLIN) == 0) {
                if ((p.revents & (POLLHUP | POLLERR)) != 0) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
                }
                continue;
            }
            const int length = modbus_receive(m_ctx, query);
            if (length > 0) {
                std::lock_guard lock(m_mutex);
                modbus_reply(m_ctx, query, length, m_map);
                ++m_served;
                std::string request;
                for (int i = 0; i + 2 < length; ++i) {
                    char byte[4];
                    std::snprintf(byte, sizeof byte, i == 0 ? "%02X" : " %02X", query[i]);
                    request += byte;
                }
                m_requests.push_back(request);
            }
        }
    }

    int m_master = -1;
    int m_held = -1;
    std::string m_dir;
    std::string m_link;
    modbus_t* m_ctx = nullptr;
    modbus_mapping_t* m_map = nullptr;
    std::mutex m_mutex;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_served{0};
    std::vector<std::string> m_requests;
    bool m_ready = false;
};

} // namespace jbus_peer
