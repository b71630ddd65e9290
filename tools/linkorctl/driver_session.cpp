#include "driver_session.h"

#include "errors.h"
#include "line_setting.h"
#include "posix/port_check.h"
#include "posix/port_map.h"
#include "settings_file.h"
#include <comm/driver_api.h>
#include <comm/texts.h>

#include <filesystem>

namespace linkorctl {

namespace fs = std::filesystem;

namespace {

const char* locateReason(int32_t reason) {
    switch (reason) {
    case tkv::kLocateNoKey:
        return "the settings file does not exist";
    case tkv::kLocateNoValue:
        return "the settings file has no \"localize\" value";
    case tkv::kLocateNoPath:
        return "its directory does not exist";
    case tkv::kLocateNoFile:
        return "its directory holds no liblinkor.so";
    default:
        return "it names no usable directory";
    }
}

} // namespace

DriverSession::DriverSession(const GlobalOptions& options)
    : m_shell(options.verbose), m_comm(std::make_unique<tkv::TKV_CommDLL>(m_shell)),
      m_language(options.language) {
    // Notes reach the shell only with a target; the shell shows them only when verbose.
    m_comm->setNotifyTarget(1, 1);
    locate(options);
    if (!m_comm->examine()) {
        const std::string path = m_comm->driverDirectory() + "/" + m_comm->driverFile();
        // The binding's box gives only a number: the file is looked at once more for why.
        const std::string why = tkv::TKV_DriverLibrary::checkFile(path);
        if (!why.empty()) {
            throw LineError("the driver " + path + " is not a usable driver: " + why);
        }
        throw LineError("the driver " + path +
                        " could not be loaded, or lacks the driver's "
                        "functions");
    }
    if (!m_comm->bind()) {
        throw LineError("the driver " + m_comm->driverDirectory() + "/" + m_comm->driverFile() +
                        " lacks some of the line functions");
    }
    int error = 0;
    std::string reason;
    m_again = tkv::TKV_DriverLibrary::load(m_comm->driverDirectory() + "/" + m_comm->driverFile(),
                                           error, reason);
    selectLanguage();
}

DriverSession::~DriverSession() {
    // The line is closed and the driver freed before the extra hold on it goes.
    m_comm.reset();
}

void DriverSession::locate(const GlobalOptions& options) {
    int32_t reason = tkv::kLocateFound;
    bool missing = false;
    if (options.driverDir) {
        std::error_code ec;
        const fs::path dir = fs::absolute(*options.driverDir, ec);
        GivenDirectory given(ec ? *options.driverDir : dir.string());
        if (!m_comm->locateBySettings(given, reason, missing)) {
            const char* why = reason == tkv::kLocateNoPath   ? "no such directory"
                              : reason == tkv::kLocateNoFile ? "it holds no liblinkor.so"
                                                             : "not a directory with a driver file";
            throw LineError("no line driver in '" + *options.driverDir + "' (" + why +
                            "); give the directory of liblinkor.so with --driver DIR");
        }
        return;
    }
    if (m_comm->locateInCurrentDirectory()) {
        return;
    }
    const fs::path file = settingsFilePath();
    SettingsFile settings(file);
    if (!m_comm->locateBySettings(settings, reason, missing)) {
        throw LineError("the line driver liblinkor.so is not in the current directory, and the "
                        "\"localize\" setting of " +
                        file.string() + " does not lead to it (" + locateReason(reason) +
                        "); run linkorctl from the driver's directory or give --driver DIR");
    }
}

void DriverSession::selectLanguage() {
    auto set = m_again.function<tkv::drv::ConfigFn>(tkv::drv::kSetConfigDrvKv);
    if (set == nullptr) {
        return;
    }
    if (set(m_language.c_str()) == LINKOR_BAD_LANGUAGE) {
        throw UsageError("the driver knows no language '" + m_language +
                         "'; use FR (FRANCE, FRANCAIS, FRENCH) or EN (ENGLISH, ENGLAND, "
                         "ANGLAIS, UK, US)");
    }
}

std::string DriverSession::message(int32_t code) {
    char buffer[tkv::kTextSize] = "";
    m_comm->getInformation(tkv::kInfoStatusMessage, buffer, code);
    return std::string(tkv::text::view(buffer));
}

std::string DriverSession::failure(int32_t code) {
    return message(code) + tkv::text::format(" (status 0x%04X)", static_cast<unsigned>(code));
}

std::string DriverSession::identity() {
    char buffer[tkv::kTextSize] = "";
    m_comm->getInformation(tkv::kInfoIdentity, buffer);
    return std::string(tkv::text::view(buffer));
}

bool DriverSession::reopen(const LineSetting& setting) {
    const std::string text = setting.text();
    const bool ok = m_comm->connect(text.c_str());
    selectLanguage();
    return ok;
}

void DriverSession::connect(const LineSetting& setting) {
    const std::size_t boxesBefore = m_shell.boxes().size();
    const std::string text = setting.text();
    const bool ok = m_comm->connect(text.c_str());
    // connect() leaves the driver speaking English; the user's choice comes back.
    selectLanguage();
    if (ok) {
        return;
    }
    if (m_shell.boxes().size() > boxesBefore) {
        throw LineError("the line \"" + text + "\" could not be set up");
    }
    if (tkv::text::indexOf(config().ports, setting.port) < 0) {
        throw LineError(portFailure(setting.port) +
                        " (ports come from LINKOR_PORTS or the port map linkor.ports)");
    }
    // The working line stays open after a failed initialisation; it would hold the port.
    m_comm->close();
    throwIfHopeless(setting);
    throw LineError("the line \"" + text + "\" could not be opened and initialised");
}

std::string DriverSession::portFailure(const std::string& port) {
    const std::string& usable = config().ports;
    const std::string tail =
        "; the driver can use " + (usable.empty() ? std::string("no port") : usable);
    const auto number = linkor::portNumberOf(port.c_str());
    linkor::PortCheck check;
    if (number && *number != 0) {
        check = linkor::checkPort(*number, m_comm->driverDirectory() + "/");
    } else {
        check.fault = linkor::PortFault::NoDevice;
    }
    switch (check.fault) {
    case linkor::PortFault::None:
        // It opens now: it was held a moment ago, or its line cannot be opened.
        return "port " + port + " cannot be opened" + tail;
    case linkor::PortFault::Busy:
        return "port " + port + " is " + linkor::describePortCheck(check) + tail;
    default:
        return "port " + port + " cannot be opened: " + linkor::describePortCheck(check) + tail;
    }
}

int32_t DriverSession::initialisationStatus(const LineSetting& setting) {
    const auto openLine = m_again.function<tkv::drv::OpenKvFn>(tkv::drv::kOpenKv);
    const auto initLine = m_again.function<tkv::drv::InitKvFn>(tkv::drv::kInitKv);
    const auto closeLine = m_again.function<tkv::drv::CloseKvFn>(tkv::drv::kCloseKv);
    if (openLine == nullptr || initLine == nullptr || closeLine == nullptr) {
        return LINKOR_NO_DRIVER;
    }
    const int32_t line = openLine(setting.port.c_str(), 0, 0);
    if (line == 0) {
        return LINKOR_PORT_OPEN;
    }
    const int32_t status = initLine(line, setting.baud.c_str(), setting.protocol.c_str(), nullptr);
    closeLine(line);
    return status;
}

void DriverSession::throwIfHopeless(const LineSetting& setting) {
    const int32_t status = initialisationStatus(setting);
    if (status == LINKOR_PORT_OPEN) {
        throw LineError(portFailure(setting.port));
    }
    if (status == LINKOR_SCRIPT_FAILED) {
        throw LineError(
            "the line \"" + setting.text() +
            "\" could not be initialised: its start-up script failed: " + failure(status));
    }
}

} // namespace linkorctl
