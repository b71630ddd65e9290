// A user's project file of any content: read, changed, saved, and read back. What the
// first reading held must come back the same from the saved file.
#include "project/host.h"
#include "project/project.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace tamsel::project;

class Capabilities : public DriverCapabilities {
  public:
    std::vector<std::string> targets() const override { return {"TRILO", "VRX17", "JBUS"}; }
    std::vector<std::string> ports() const override { return {"COM1", "COM3"}; }
    std::vector<std::string> protocols(std::string_view) const override {
        return {"XON-XOFF.&.XON-EXTENDED", "ACK-NAK"};
    }
    std::vector<std::string> bauds(std::string_view, std::string_view) const override {
        return {"9600", "19200"};
    }
};

class Host : public ProjectHost {
  public:
    const DriverCapabilities* driverCapabilities() override { return &m_caps; }
    void postNote(std::string_view) override {}
    void showBox(std::string_view, std::string_view) override {}

  private:
    Capabilities m_caps;
};

std::string commandsOf(TKV_Project& p) {
    std::string out;
    for (int i = 0; i < p.lastCommandCount(); ++i) {
        out += "cmd " + p.lastCommand(i) + "\n";
    }
    return out;
}

/// Everything else of the model the project tells through its texts and values.
std::string describe(TKV_Project& p) {
    std::string out;
    for (int i = 0; i < p.moduleRecordCount(); ++i) {
        out += "rec " + p.moduleRecordText(i) + "\n";
    }
    out += "line " + p.lineText() + "\nport " + p.port() + "\nsetup " + p.setupSummary() + "\n";
    for (int n = 0; n < 10; ++n) {
        out += "label " + p.setupLabel(n) + "\n";
    }
    return out;
}

const fs::path& workDirectory() {
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("project-fuzz-" + std::to_string(getpid()));
        fs::create_directories(d);
        return d;
    }();
    return dir;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fs::path& dir = workDirectory();
    const fs::path file = dir / "fuzz.ktp";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    Host host;
    TKV_Project first;
    if (!first.open("fuzz.ktp", host, dir).opened) {
        return 0;
    }
    const std::string commandsRead = commandsOf(first);
    first.addLastCommand("01GS"); // a change, so that the save rewrites the sections
    const SaveReport saved = first.save();
    if (!saved.ok()) {
        return 0;
    }
    TKV_Project second;
    if (!second.open("fuzz.ktp", host, dir).opened) {
        __builtin_trap(); // the saved project cannot be read back
    }
    if (describe(first) != describe(second)) {
        __builtin_trap(); // the save lost or changed what was read
    }
    // A file without the last-command section keeps none: sections are never added.
    const std::string commandsBack = commandsOf(second);
    if (commandsBack != commandsOf(first) && commandsBack != commandsRead) {
        __builtin_trap();
    }
    return 0;
}
