// The line driver as tamsel2 reaches it: located, examined and bound by the communication
// layer's TKV_CommDLL, with the message language the user chose.
#pragma once

#include "cli_shell.h"
#include <comm/comm_dll.h>
#include <comm/driver_library.h>

#include <memory>
#include <optional>
#include <string>

namespace linkorctl {

struct LineSetting;

struct GlobalOptions {
    bool json = false;
    bool verbose = false;
    std::optional<std::string> driverDir; ///< --driver: the only place looked at
    std::string language = "US";          ///< tamsel2 asks for English messages
};

class DriverSession {
  public:
    /**
     * @brief Finds the driver (the --driver directory, else the current directory, else the
     *        "localize" setting), loads and binds it and selects the message language.
     * @throws LineError when there is no usable driver; UsageError for an unknown language.
     */
    explicit DriverSession(const GlobalOptions& options);
    ~DriverSession();
    DriverSession(const DriverSession&) = delete;
    DriverSession& operator=(const DriverSession&) = delete;

    tkv::TKV_CommDLL& comm() { return *m_comm; }
    const tkv::TagConfigDLL& config() const { return m_comm->config(); }
    /// The folder of the driver library, with its '/': where its port map is looked for.
    std::string driverDirectory() const { return m_comm->driverDirectory() + "/"; }
    CliShell& shell() { return m_shell; }

    /// The driver's text of a status code, in the chosen language.
    std::string message(int32_t code);
    /// "<message> (status 0xNNNN)": what a failure line shows.
    std::string failure(int32_t code);
    std::string identity();

    /**
     * @brief Opens and initialises the working line and selects its target.
     * @throws LineError with what is known of the cause.
     */
    void connect(const LineSetting& setting);
    /// Sets up the working line once more, as connect() does, after its port went away;
    /// false while the port is not there (nothing is told then).
    bool reopen(const LineSetting& setting);

    /// Why @p port cannot be used, looked at as the driver opens it: "port COM6 is busy:
    /// ..." or "port COM6 cannot be opened: <reason>", then the ports the driver can use.
    std::string portFailure(const std::string& port);

    /**
     * @brief The driver's status of opening and initialising a line of @p setting on a
     *        line of this session's own, closed again at once.
     *
     * The binding keeps only "failed"; asking once more gives the status itself, such as
     * a failing line of the start-up script (which runs again up to that line).
     */
    int32_t initialisationStatus(const LineSetting& setting);

    /**
     * @brief Throws the failure of a line whose opening or initialisation failed, when
     *        the driver's status says that no other setting would do better: the port
     *        cannot be opened, or the start-up script fails.
     */
    void throwIfHopeless(const LineSetting& setting);

  private:
    void locate(const GlobalOptions& options);
    void selectLanguage();

    CliShell m_shell;
    std::unique_ptr<tkv::TKV_CommDLL> m_comm;
    /// The bound library once more (the same loaded image), for the language selection
    /// that TKV_CommDLL only makes inside connect().
    tkv::TKV_DriverLibrary m_again;
    std::string m_language;
};

} // namespace linkorctl
