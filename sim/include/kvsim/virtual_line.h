#pragma once
/// @file
/// The virtual line: emulated drive modules answering on a pseudo-terminal.
///
/// A VirtualLine owns a pseudo-terminal pair. The slave side is published as a symbolic
/// link `COMn` in a ports directory, so that the driver, a test or a serial terminal opens
/// it as it would open a real port. The modules run on a thread of their own, answer only
/// frames addressed to them and only while the line's speed (set by whoever holds the
/// slave) equals their own. Every byte of both directions is logged with a time stamp.

#include "kvsim/line_description.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kvsim {

/// Which way a byte travelled.
enum class Direction {
    ToModules,   ///< written by the client (driver, terminal) on the slave side
    FromModules, ///< sent by an emulated module
};

/// One byte of the traffic log.
struct LogEntry {
    std::chrono::steady_clock::time_point time;
    Direction direction;
    std::uint8_t byte;
};

/// What a module shows of itself; a copy taken under the line's lock.
struct ModuleSnapshot {
    ModuleSetup setup;  ///< current setting (address and baud follow change commands)
    long position = 0;  ///< steps
    double speed = 0.0; ///< steps per second, signed
    bool moving = false;
    bool power = false;
    std::uint32_t inputs = 0;  ///< active inputs, bit 0 = first
    std::uint32_t outputs = 0; ///< outputs switched on, bit 0 = first
    int errorCode = 0;
    std::map<std::string, long> parameters; ///< by the module's own parameter names
    std::map<std::string, long> variables;  ///< by variable name ("#05" style for numbered ones)
    std::map<int, std::uint16_t> registers; ///< JBUS holding registers
    std::string identity;                   ///< the identity reply text
    /// ACK bytes the client sent back after this module's replies (the acknowledgement a
    /// TRILO module waits for).
    int acknowledgements = 0;
    /// Frames and console lines this module took as its own (bad ones included).
    int commandsHeard = 0;
};

/// Callback receiving the traffic as it passes, one call per chunk and direction.
using TrafficSink = std::function<void(std::chrono::steady_clock::time_point, Direction,
                                       std::span<const std::uint8_t>)>;

/// Emulated multi-drop line of modules on a pseudo-terminal.
///
/// Thread safety: every public member may be called from any thread while the line runs.
class VirtualLine {
  public:
    /// Builds the line from a description (nothing is opened yet).
    explicit VirtualLine(LineDescription description);
    /// Reads a line file. @throws LineFileError.
    static VirtualLine fromFile(const std::filesystem::path& path);
    /// Parses the text of a line file. @throws LineFileError.
    static VirtualLine fromText(std::string_view text, const std::string& name = "<text>");

    VirtualLine(VirtualLine&&) noexcept;
    VirtualLine& operator=(VirtualLine&&) noexcept;
    VirtualLine(const VirtualLine&) = delete;
    VirtualLine& operator=(const VirtualLine&) = delete;
    /// Stops the line and removes its link.
    ~VirtualLine();

    /// Opens the pseudo-terminal, publishes `portsDir/COM<comNumber>` and starts the modules.
    /// A stale link of that name (pointing nowhere) is replaced; a live one is an error.
    /// @throws std::system_error or std::runtime_error when it cannot.
    void start(const std::filesystem::path& portsDir, int comNumber);
    /// Stops the modules' thread, removes the link and closes the pseudo-terminal.
    /// Safe to call twice.
    void stop();
    /// Whether start() succeeded and stop() has not been called.
    bool running() const;

    /// Path of the slave device (for example /dev/pts/7); empty before start().
    std::filesystem::path devicePath() const;
    /// Path of the published link (portsDir/COMn); empty before start().
    std::filesystem::path linkPath() const;
    /// Speed the client set on the line (from the terminal settings), 0 before start().
    int lineBaud() const;

    /// Delays each byte a module sends by its wire time (10 bits at the line's speed) and
    /// lets a module answer only after the command's own wire time.
    void setPacing(bool on);
    /// Receives the traffic as it passes (for a log file); set it before start().
    void setTrafficSink(TrafficSink sink);

    /// The modules as described, in line order.
    const LineDescription& description() const;
    /// A copy of the module at @p address in its command language's address space
    /// (KV and VRX modules share one, JBUS slaves have their own: pass jbus = true).
    std::optional<ModuleSnapshot> module(int address, bool jbus = false) const;
    /// A copy of the module at position @p index of the line (line order).
    std::optional<ModuleSnapshot> moduleAt(std::size_t index) const;

    /// Sets the fault of a module; false when there is no module at that address.
    bool setFault(int address, const FaultSetup& fault, bool jbus = false);
    /// Sets the active inputs of a module.
    bool setInputs(int address, std::uint32_t inputs, bool jbus = false);
    /// Sets a module's error code as if the module had met a fault itself.
    bool setErrorCode(int address, int code, bool jbus = false);

    /// A copy of the traffic log since start() or the last clearLog().
    std::vector<LogEntry> log() const;
    /// Empties the traffic log.
    void clearLog();

    /// A one-line summary per module, as kvsim prints it.
    std::vector<std::string> summary() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace kvsim
