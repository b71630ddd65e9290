#include "comm_fixture.h"

#include <cstdlib>
#include <unistd.h>

namespace commtest {

namespace {
fs::path* g_root = nullptr;
} // namespace

void CommLine::SetUpTestSuite() {
    g_root = new fs::path(fs::temp_directory_path() / ("comm-e2e-" + std::to_string(::getpid())));
    fs::create_directories(*g_root / "ports");
    fs::create_directories(*g_root / "driver");
    fs::copy_file(LINKOR_LIBRARY, *g_root / "driver" / tkv::TKV_CommDLL::kDriverFile,
                  fs::copy_options::overwrite_existing);
    setenv("LINKOR_PORTS", (*g_root / "ports").c_str(), 1);
}

void CommLine::TearDownTestSuite() {
    std::error_code ec;
    fs::remove_all(*g_root, ec);
    delete g_root;
    g_root = nullptr;
}

void CommLine::TearDown() {
    comm.reset();
    if (line) {
        line->stop();
    }
}

fs::path CommLine::root() {
    return *g_root;
}

fs::path CommLine::driverDir() {
    return *g_root / "driver";
}

fs::path CommLine::portsDir() {
    return *g_root / "ports";
}

void CommLine::bindDriver() {
    comm = std::make_unique<tkv::TKV_CommDLL>(shell);
    comm->setNotifyTarget(kStatusBar, kMessage);
    MemoryStore store;
    store.values[tkv::TKV_CommDLL::kSettingsValue] = driverDir().string();
    int32_t reason = -1;
    bool missing = true;
    ASSERT_TRUE(comm->locateBySettings(store, reason, missing));
    ASSERT_TRUE(comm->examine());
    ASSERT_TRUE(comm->bind());
}

void CommLine::startLine(const std::string& lineText, const std::string& target) {
    line = std::make_unique<kvsim::VirtualLine>(kvsim::parseLineText(lineText, "comm test line"));
    line->start(portsDir(), kCom);
    bindDriver();
    if (HasFatalFailure()) {
        return;
    }
    const std::string setting = target + " " + kPort + " XON-XOFF 9600";
    ASSERT_TRUE(comm->connect(setting.c_str())) << setting;
    line->clearLog();
    shell.clear();
}

} // namespace commtest
