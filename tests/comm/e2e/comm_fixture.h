// A TKV_CommDLL bound to a private copy of the real driver, on a virtual line published
// as a COM port through LINKOR_PORTS.
#pragma once

#include "kvsim/virtual_line.h"
#include "test_shell.h"
#include <comm/comm_dll.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace commtest {

namespace fs = std::filesystem;

inline constexpr int kCom = 7;
inline constexpr const char* kPort = "COM7";
/// The notification window and message identifier the tests set.
inline constexpr tkv::TKV_WindowHandle kStatusBar = 900;
inline constexpr int32_t kMessage = 0xC123;

class CommLine : public ::testing::Test {
  protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void TearDown() override;

    /// The directory of this process's driver copy.
    static fs::path driverDir();
    static fs::path portsDir();
    static fs::path root();

    /// Creates the object and locates, examines and binds the driver (asserts inside).
    void bindDriver();
    /// Starts a line from the text of a line file, binds and connects with
    /// "<target> COM7 XON-XOFF 9600".
    void startLine(const std::string& lineText, const std::string& target = "TRILO");

    TestShell shell;
    std::unique_ptr<tkv::TKV_CommDLL> comm;
    std::unique_ptr<kvsim::VirtualLine> line;
};

} // namespace commtest
