#pragma once
// What the project asks of the rest of the program. The application implements
// ProjectHost; the driver binding (or a test) implements DriverCapabilities over
// the driver's capability lists, so that the project needs nothing of either.

#include <string>
#include <string_view>
#include <vector>

namespace tamsel::project {

/**
 * @brief The driver's capability lists as the project reads them.
 *
 * Names are those the driver lists ("COM1", "TRILO", "XON-XOFF", "9600"), in
 * the driver's order.
 */
class DriverCapabilities {
  public:
    virtual ~DriverCapabilities() = default;
    virtual std::vector<std::string> targets() const = 0;
    virtual std::vector<std::string> ports() const = 0;
    /// Protocols of one target; empty for a target the driver does not know.
    virtual std::vector<std::string> protocols(std::string_view target) const = 0;
    /// Baud rates valid for one target with one of its protocols; with an
    /// empty protocol, every baud rate of the target.
    virtual std::vector<std::string> bauds(std::string_view target,
                                           std::string_view protocol) const = 0;
};

/**
 * @brief The application's callback, given to the project when it is opened.
 */
class ProjectHost {
  public:
    virtual ~ProjectHost() = default;
    /**
     * @brief The driver's capability lists (request 0xb002), asked for after
     * each load; null while no driver is bound. The lists must stay valid
     * until the next load.
     */
    virtual const DriverCapabilities* driverCapabilities() = 0;
    /// A diagnostic note (0x5557); it has no visible effect.
    virtual void postNote(std::string_view note) = 0;
    /// A message box with an OK button.
    virtual void showBox(std::string_view text, std::string_view title) = 0;
};

} // namespace tamsel::project
