#include "tool_fixture.h"

#include <unistd.h>

namespace toolstest {

namespace {
fs::path* g_root = nullptr;
} // namespace

fs::path program() {
    return LINKORCTL_PROGRAM;
}

std::vector<std::string> demoLine(std::vector<std::string> more) {
    std::vector<std::string> out{"--port", kPort, "--baud", "9600"};
    out.insert(out.end(), more.begin(), more.end());
    return out;
}

void ToolLine::SetUpTestSuite() {
    g_root = new fs::path(fs::temp_directory_path() / ("tools-" + std::to_string(::getpid())));
    fs::create_directories(*g_root / "ports");
    fs::create_directories(*g_root / "driver");
    fs::create_directories(*g_root / "config");
    fs::copy_file(LINKOR_LIBRARY, *g_root / "driver" / "liblinkor.so",
                  fs::copy_options::overwrite_existing);
}

void ToolLine::TearDownTestSuite() {
    std::error_code ec;
    fs::remove_all(*g_root, ec);
    delete g_root;
    g_root = nullptr;
}

void ToolLine::TearDown() {
    if (line) {
        line->stop();
    }
}

fs::path ToolLine::root() {
    return *g_root;
}

fs::path ToolLine::driverDir() {
    return *g_root / "driver";
}

fs::path ToolLine::portsDir() {
    return *g_root / "ports";
}

fs::path ToolLine::emptyConfigDir() {
    return *g_root / "config";
}

void ToolLine::startLine(const std::string& file) {
    line = std::make_unique<kvsim::VirtualLine>(
        kvsim::VirtualLine::fromFile(fs::path(KVSIM_LINES_DIR) / file));
    line->start(portsDir(), kCom);
}

void ToolLine::startLineText(const std::string& text) {
    line = std::make_unique<kvsim::VirtualLine>(kvsim::VirtualLine::fromText(text, "tools test"));
    line->start(portsDir(), kCom);
}

ChildOptions ToolLine::options() const {
    ChildOptions o;
    o.workingDirectory = driverDir();
    o.environment["LINKOR_PORTS"] = portsDir().string();
    // The machine's own settings must not lead the program to another driver.
    o.environment["XDG_CONFIG_DIRS"] = emptyConfigDir().string();
    return o;
}

Outcome ToolLine::run(const std::vector<std::string>& args) const {
    return run(args, options());
}

Outcome ToolLine::run(const std::vector<std::string>& args, const ChildOptions& o) const {
    Outcome out = runProgram(program(), args, o);
    EXPECT_FALSE(out.timedOut) << "linkorctl did not end in time";
    return out;
}

std::vector<JsonObject> ToolLine::objects(const Outcome& o) {
    auto parsed = parseJsonLines(o.out);
    EXPECT_TRUE(parsed.has_value()) << "not one JSON object a line:\n" << o.out;
    return parsed.value_or(std::vector<JsonObject>{});
}

} // namespace toolstest
