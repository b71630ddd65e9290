#pragma once
// Helpers of the project tests: a scratch directory per test, a host that
// records what the project asks of the application, and driver lists.

#include "project/host.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace project_test {

namespace fs = std::filesystem;

inline std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void writeBytes(const fs::path& path, std::string_view bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

/// The fixture files kept beside the tests.
inline fs::path fixture(std::string_view name) {
    return fs::path(PROJECT_FIXTURES) / name;
}

/// The program's shipped files.
inline fs::path shipped(std::string_view name) {
    return fs::path(PROJECT_SHIPPED) / name;
}

/// A directory of its own for each test, removed afterwards.
class ScratchDir {
  public:
    ScratchDir() {
        static std::atomic<int> counter{0};
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = info ? std::string(info->test_suite_name()) + "." + info->name()
                                : std::string("project");
        for (char& c : name) {
            if (c == '/') {
                c = '_';
            }
        }
        m_path = fs::temp_directory_path() / ("tamsel-project-" + std::to_string(::getpid()) + "-" +
                                              std::to_string(counter++) + "-" + name);
        fs::remove_all(m_path);
        fs::create_directories(m_path);
    }
    ~ScratchDir() {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const fs::path& path() const { return m_path; }
    fs::path operator/(std::string_view name) const { return m_path / name; }

  private:
    fs::path m_path;
};

/// Driver capability lists given by hand.
class FakeCapabilities : public tamsel::project::DriverCapabilities {
  public:
    std::vector<std::string> targetNames{"TRILO", "JBUS", "VRX17"};
    std::vector<std::string> portNames{"COM1", "COM3"};
    std::map<std::string, std::vector<std::string>> protocolsOf{
        {"TRILO", {"XON-XOFF", "ACK-NAK"}}, {"VRX17", {"CONSOLE"}}, {"JBUS", {"RTU"}}};
    std::map<std::string, std::vector<std::string>> baudsOf{{"TRILO:XON-XOFF", {"9600", "19200"}},
                                                            {"TRILO:ACK-NAK", {"4800"}},
                                                            {"TRILO:", {"4800", "9600", "19200"}},
                                                            {"VRX17:CONSOLE", {"38400"}}};

    std::vector<std::string> targets() const override { return targetNames; }
    std::vector<std::string> ports() const override { return portNames; }
    std::vector<std::string> protocols(std::string_view target) const override {
        const auto it = protocolsOf.find(std::string(target));
        return it == protocolsOf.end() ? std::vector<std::string>{} : it->second;
    }
    std::vector<std::string> bauds(std::string_view target,
                                   std::string_view protocol) const override {
        const auto it = baudsOf.find(std::string(target) + ":" + std::string(protocol));
        return it == baudsOf.end() ? std::vector<std::string>{} : it->second;
    }
};

/// Records the notes and boxes; hands out the capability lists it holds.
class RecordingHost : public tamsel::project::ProjectHost {
  public:
    const tamsel::project::DriverCapabilities* capabilities = nullptr;
    int capabilityRequests = 0;
    std::vector<std::string> notes;
    std::vector<std::pair<std::string, std::string>> boxes;

    const tamsel::project::DriverCapabilities* driverCapabilities() override {
        ++capabilityRequests;
        return capabilities;
    }
    void postNote(std::string_view note) override { notes.emplace_back(note); }
    void showBox(std::string_view text, std::string_view title) override {
        boxes.emplace_back(text, title);
    }
};

} // namespace project_test
