#include "comm/comm_dll.h"

#include "comm/capability_lists.h"
#include "comm/read_commands.h"
#include "comm/texts.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

namespace tkv {

namespace fs = std::filesystem;

namespace {

constexpr const char* kTackSetting = "/TACK 400/";
constexpr const char* kLanguage = "US";
constexpr const char* kCommunicationError = "erreur de communication";

/// Keeps the process's current directory across a call that may change it.
class CurrentDirectoryKept {
  public:
    CurrentDirectoryKept() {
        std::error_code ec;
        m_saved = fs::current_path(ec);
    }
    ~CurrentDirectoryKept() {
        std::error_code ec;
        if (!m_saved.empty()) {
            fs::current_path(m_saved, ec);
        }
    }
    CurrentDirectoryKept(const CurrentDirectoryKept&) = delete;
    CurrentDirectoryKept& operator=(const CurrentDirectoryKept&) = delete;

  private:
    fs::path m_saved;
};

} // namespace

TKV_CommDLL::TKV_CommDLL(TKV_CommShell& shell) : m_shell(shell) {
    m_thread = std::thread([this] { pollLoop(); });
}

TKV_CommDLL::~TKV_CommDLL() {
    {
        std::lock_guard<std::mutex> lock(m_quitMutex);
        m_quit = true;
    }
    m_quitCv.notify_all();
    m_thread.join();
    std::lock_guard<std::recursive_mutex> wire(m_guard.wire());
    closeProbe();
    if (m_driver.close != nullptr && m_line.load() != 0) {
        m_driver.close(m_line.load());
    }
    m_line.store(0);
    m_driver = Driver{};
    m_library.reset();
}

// ---- locating, examining, binding --------------------------------------------------------

bool TKV_CommDLL::locateInCurrentDirectory() {
    std::error_code ec;
    const fs::path here = fs::current_path(ec);
    if (ec) {
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(m_locationMutex);
        m_file = kDriverFile;
        m_directory = here.string();
    }
    const fs::path file = here / kDriverFile;
    return fs::exists(file, ec) && !fs::is_directory(file, ec);
}

bool TKV_CommDLL::locateBySettings(TKV_SettingsStore& store, int32_t& reason, bool& fileMissing) {
    reason = kLocateFound;
    fileMissing = false;
    std::string value;
    switch (store.read(kSettingsKey, kSettingsValue, value)) {
    case TKV_Lookup::NoKey:
        reason = kLocateNoKey;
        return false;
    case TKV_Lookup::NoValue:
        reason = kLocateNoValue;
        return false;
    case TKV_Lookup::Found:
        break;
    }
    char bounded[kTextSize];
    text::copy(bounded, value);
    const fs::path dir(bounded);
    std::error_code ec;
    const fs::file_status dirStatus = fs::status(dir, ec);
    if (dirStatus.type() == fs::file_type::not_found) {
        reason = kLocateNoPath;
        return false;
    }
    if (ec || !fs::is_directory(dirStatus)) {
        reason = kLocateFileError;
        return false;
    }
    const fs::file_status fileStatus = fs::status(dir / kDriverFile, ec);
    if (fileStatus.type() == fs::file_type::not_found) {
        reason = kLocateNoFile;
        fileMissing = true;
        return false;
    }
    if (ec || fs::is_directory(fileStatus)) {
        reason = kLocateFileError;
        return false;
    }
    std::lock_guard<std::mutex> lock(m_locationMutex);
    m_directory = dir.string();
    m_file = kDriverFile;
    return true;
}

bool TKV_CommDLL::locateByAsking(TKV_WindowHandle owner) {
    std::string chosen;
    bool ok = false;
    {
        CurrentDirectoryKept kept;
        ok = m_shell.askFile(owner, " localize the tm2 comm dll", "linkor dll file ", kDriverFile,
                             driverDirectory(), chosen);
    }
    if (!ok || chosen.empty()) {
        return false;
    }
    const fs::path path(chosen);
    std::lock_guard<std::mutex> lock(m_locationMutex);
    m_file = path.filename().string();
    m_directory = path.parent_path().string();
    return true;
}

std::string TKV_CommDLL::driverDirectory() const {
    std::lock_guard<std::mutex> lock(m_locationMutex);
    return m_directory;
}

std::string TKV_CommDLL::driverFile() const {
    std::lock_guard<std::mutex> lock(m_locationMutex);
    return m_file;
}

bool TKV_CommDLL::examine() {
    const std::string dir = driverDirectory();
    const std::string file = driverFile();
    int error = 0;
    std::string reason;
    TKV_DriverLibrary library;
    {
        // The driver looks for its companions relative to the current directory.
        CurrentDirectoryKept kept;
        std::error_code ec;
        fs::current_path(dir, ec);
        library = TKV_DriverLibrary::load(dir + "/" + file, error, reason);
    }
    if (!library.loaded()) {
        m_shell.showBox(text::format("ExamineDLL information :\nload : %04X\npath = %s\nfile = %s",
                                     static_cast<unsigned>(error), dir.c_str(), file.c_str()),
                        "Severe failure ");
        return false;
    }
    if (library.find(drv::kGetTypesModulesKv) == nullptr ||
        library.find(drv::kGetMessageErreurKv) == nullptr ||
        library.find(drv::kDialogueKv) == nullptr) {
        return false;
    }
    std::lock_guard<std::recursive_mutex> wire(m_guard.wire());
    m_driver = Driver{};
    m_library = std::move(library);
    return true;
}

bool TKV_CommDLL::bind() {
    std::lock_guard<std::recursive_mutex> wire(m_guard.wire());
    Driver d;
    d.close = m_library.function<drv::CloseKvFn>(drv::kCloseKv);
    d.open = m_library.function<drv::OpenKvFn>(drv::kOpenKv);
    d.init = m_library.function<drv::InitKvFn>(drv::kInitKv);
    d.dialogue = m_library.function<drv::DialogueKvFn>(drv::kDialogueKv);
    if (d.close == nullptr || d.open == nullptr || d.init == nullptr || d.dialogue == nullptr) {
        return false;
    }
    m_driver = d;
    TKV_ListFunctions lists;
    lists.ports = m_library.function<drv::ListFn>(drv::kGetPortsKv);
    lists.targets = m_library.function<drv::ListFn>(drv::kGetTypesModulesKv);
    lists.protocols = m_library.function<drv::ProtocolListFn>(drv::kGetProtocolesKv);
    lists.bauds = m_library.function<drv::BaudListFn>(drv::kGetVitessesKv);
    if (lists.ports == nullptr || lists.targets == nullptr || lists.protocols == nullptr ||
        lists.bauds == nullptr) {
        return false;
    }
    m_combinations = loadCapabilities(m_config, lists);
    return true;
}

void* TKV_CommDLL::lookUp(const char* name) {
    std::lock_guard<std::recursive_mutex> wire(m_guard.wire());
    return m_library.find(name);
}

// ---- the working line --------------------------------------------------------------------

int32_t TKV_CommDLL::dialogue(int32_t line, const std::string& command, std::string& reply) {
    std::lock_guard<std::recursive_mutex> wire(m_guard.wire());
    reply.clear();
    if (m_driver.dialogue == nullptr) {
        return LINKOR_NO_DRIVER;
    }
    std::vector<char> buffer(drv::kCallBufferSize, '\0');
    const int32_t status = m_driver.dialogue(line, command.c_str(), buffer.data());
    buffer.back() = '\0';
    // The records hold 255 bytes: a longer reply keeps its first 254 characters.
    reply.assign(buffer.data(), std::min<std::size_t>(std::strlen(buffer.data()), kTextSize - 1));
    return status;
}

int32_t TKV_CommDLL::exchange(const std::string& command, std::string& reply) {
    std::lock_guard<std::recursive_mutex> wire(m_guard.wire());
    {
        std::lock_guard<std::mutex> lock(m_textMutex);
        m_command = command.substr(0, kTextSize - 1);
    }
    const int32_t status = dialogue(m_line.load(), command, reply);
    std::lock_guard<std::mutex> lock(m_textMutex);
    m_reply = reply;
    return status;
}

int32_t TKV_CommDLL::sendSettingStatus(const std::string& text) {
    diagnose(text);
    std::string reply;
    const int32_t status = exchange(text, reply);
    if (status != kStatusOk) {
        diagnose(kCommunicationError);
    }
    return status;
}

bool TKV_CommDLL::sendSetting(const char* text) {
    return text != nullptr && sendSettingStatus(text) == kStatusOk;
}

bool TKV_CommDLL::connect(const char* setting) {
    if (setting == nullptr) {
        return false;
    }
    char target[kNameSize] = "";
    char port[kNameSize] = "";
    char protocol[kNameSize] = "";
    char baud[kNameSize] = "";
    if (std::sscanf(setting, "%29s %29s %29s %29s", target, port, protocol, baud) != 4) {
        return false;
    }
    text::copy(m_target, target);
    text::copy(m_port, port);
    text::copy(m_protocol, protocol);
    text::copy(m_baud, baud);
    {
        std::lock_guard<std::recursive_mutex> wire(m_guard.wire());
        if (m_driver.open == nullptr) {
            return false;
        }
        m_driver.close(m_line.load());
        m_line.store(0);
        const int32_t line = m_driver.open(port, 0, 0);
        if (line == 0) {
            return false;
        }
        m_line.store(line);
        if (m_driver.init(line, baud, protocol, nullptr) != kStatusOk) {
            return false;
        }
    }
    const std::string targetSetting = text::format("/%s/", target);
    if (const int32_t status = sendSettingStatus(targetSetting); status != kStatusOk) {
        m_shell.showBox(text::format("error %04X on dial target", static_cast<unsigned>(status)),
                        targetSetting);
        return false;
    }
    if (const int32_t status = sendSettingStatus(kTackSetting); status != kStatusOk) {
        m_shell.showBox(text::format("error %04X on dial tack", static_cast<unsigned>(status)),
                        kTackSetting);
        return false;
    }
    auto setLanguage = reinterpret_cast<drv::ConfigFn>(lookUp(drv::kSetConfigDrvKv));
    if (setLanguage == nullptr) {
        m_shell.showBox("erreur on setconfigdrvkv", "test");
        return false;
    }
    {
        std::lock_guard<std::recursive_mutex> wire(m_guard.wire());
        setLanguage(kLanguage);
    }
    return true;
}

bool TKV_CommDLL::close() {
    std::lock_guard<std::recursive_mutex> wire(m_guard.wire());
    if (m_driver.close != nullptr) {
        m_driver.close(m_line.load());
    }
    m_line.store(0);
    return true;
}

void TKV_CommDLL::closeAndTrace(const std::string& note) {
    close();
    trace(note);
}

// ---- information, values, notifications --------------------------------------------------

std::string TKV_CommDLL::messageOf(int32_t status) {
    std::lock_guard<std::recursive_mutex> wire(m_guard.wire());
    auto message = reinterpret_cast<drv::MessageFn>(m_library.find(drv::kGetMessageErreurKv));
    if (message == nullptr) {
        return {};
    }
    std::vector<char> buffer(drv::kCallBufferSize, '\0');
    message(buffer.data(), status);
    buffer.back() = '\0';
    return std::string(buffer.data()).substr(0, kTextSize - 1);
}

void TKV_CommDLL::getInformation(int32_t which, char* buffer, int32_t code) {
    if (buffer == nullptr) {
        return;
    }
    std::string out;
    switch (which) {
    case kInfoIdentity: {
        std::lock_guard<std::recursive_mutex> wire(m_guard.wire());
        auto identity = reinterpret_cast<drv::ListFn>(m_library.find(drv::kGetIdentityKv));
        if (identity != nullptr) {
            std::vector<char> b(drv::kCallBufferSize, '\0');
            identity(b.data());
            b.back() = '\0';
            out = b.data();
        }
        break;
    }
    case kInfoDriverPath:
        out = driverDirectory() + "/" + driverFile();
        break;
    case kInfoStatusMessage: {
        if (code == kCodeFromBuffer) {
            char given[kTextSize];
            text::copy(given, std::string_view(buffer, strnlen(buffer, kTextSize - 1)));
            code = 0;
            std::sscanf(given, "%d", &code);
        }
        out = messageOf(code);
        break;
    }
    case kInfoLastCommand: {
        std::lock_guard<std::mutex> lock(m_textMutex);
        out = m_command;
        break;
    }
    case kInfoAbbreviation:
        out = cmdset::abbreviation(std::string_view(buffer, strnlen(buffer, kTextSize - 1)));
        break;
    default:
        break;
    }
    text::copy(buffer, kTextSize, out);
}

std::intptr_t TKV_CommDLL::getValue(int32_t which) const {
    if (which == kValueCombinations) {
        return m_combinations;
    }
    if (which == kValueConfigLists) {
        return reinterpret_cast<std::intptr_t>(&m_config);
    }
    return 0;
}

void TKV_CommDLL::setNotifyTarget(TKV_WindowHandle window, int32_t messageId) {
    m_notifyWindow.store(window);
    m_notifyMessage.store(messageId);
}

void TKV_CommDLL::note(int32_t code, const std::string& text) {
    const TKV_WindowHandle window = m_notifyWindow.load();
    const int32_t message = m_notifyMessage.load();
    if (window != 0 && message != 0) {
        m_shell.post(window, message, code, text);
    }
}

void TKV_CommDLL::noteWait(int steps) {
    if (steps >= 1 && steps < TKV_LineGuard::kMaxWaitSteps) {
        diagnose(text::format("cpt = %d", steps));
    }
}

} // namespace tkv
