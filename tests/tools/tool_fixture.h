// linkorctl against the virtual line: the program is run from a directory holding a copy
// of the driver (so that it finds it as tamsel2 does), with the line published as COM7.
#pragma once

#include "child_process.h"
#include "json_line.h"
#include "kvsim/virtual_line.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace toolstest {

namespace fs = std::filesystem;

inline constexpr int kCom = 7;
inline constexpr const char* kPort = "COM7";
inline constexpr const char* kXon = "XON-XOFF.&.XON-EXTENDED";

class ToolLine : public ::testing::Test {
  protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void TearDown() override;

    static fs::path root();
    /// Holds liblinkor.so; the program's working directory unless a test says otherwise.
    static fs::path driverDir();
    static fs::path portsDir();
    /// A configuration directory without Korvel/LINKOR.conf.
    static fs::path emptyConfigDir();

    /// Starts a shipped line file (sim/lines) as COM7.
    void startLine(const std::string& file);
    void startLineText(const std::string& text);

    ChildOptions options() const;
    Outcome run(const std::vector<std::string>& args) const;
    Outcome run(const std::vector<std::string>& args, const ChildOptions& o) const;

    /// The objects of a --json output, failing the test when a line is no object.
    static std::vector<JsonObject> objects(const Outcome& o);

    std::unique_ptr<kvsim::VirtualLine> line;
};

/// The program under test.
fs::path program();

/// "COM7 ... " line options for the demo line's XON modules.
std::vector<std::string> demoLine(std::vector<std::string> more = {});

} // namespace toolstest
