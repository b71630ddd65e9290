#pragma once
// An emulated module: its setting, its state, and the bytes it hears and sends.

#include "axis.h"
#include "kvsim/line_description.h"
#include "kvsim/virtual_line.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kvsim {

/// Bytes a module puts on the line in answer to what it heard.
struct Transmission {
    std::vector<std::uint8_t> bytes;
    int slowMs = 0;
    /// Answer to a command meant for every module: only one module of the line may send it.
    bool shared = false;
    int address = 0;
};

/// What the command language makes of one command text.
struct Answer {
    enum class Kind {
        Reply,       ///< executed, text to send back
        Done,        ///< executed, nothing to send back
        NotExecuted, ///< understood but refused (bad value, not possible now)
        Rejected,    ///< not understood
    };
    Kind kind = Kind::Done;
    std::string text;

    static Answer reply(std::string t) { return {Kind::Reply, std::move(t)}; }
    static Answer done() { return {Kind::Done, {}}; }
    static Answer notExecuted() { return {Kind::NotExecuted, {}}; }
    static Answer rejected() { return {Kind::Rejected, {}}; }
};

/// State every family keeps.
struct ModuleCore {
    explicit ModuleCore(const ModuleSetup& s) : setup(s), power(s.power), inputs(s.inputs) {}
    ModuleSetup setup;
    Axis axis;
    bool power = true;
    std::uint32_t inputs = 0;
    std::uint32_t outputs = 0;
    int errorCode = 0;
    int function = 0; ///< running stored function, 0 = none
    int stage = 0;
    std::map<std::string, long> params;
    std::map<std::string, long> variables;
    std::map<int, std::uint16_t> registers;
    std::string identity;
    int acknowledgements = 0;
    int commandsHeard = 0;
};

/// Error codes a module reports through its error-report commands.
namespace errc {
inline constexpr int kNone = 0;
inline constexpr int kUnknownCommand = 0x10;
inline constexpr int kBadValue = 0x11;
inline constexpr int kPowerOff = 0x20;
} // namespace errc

class Module {
  public:
    explicit Module(const ModuleSetup& setup) : m_core(setup) {}
    virtual ~Module() = default;
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    const ModuleSetup& setup() const { return m_core.setup; }
    ModuleCore& core() { return m_core; }
    const ModuleCore& core() const { return m_core; }
    bool isJbus() const { return m_core.setup.family == Family::Jbus; }

    /// Bytes heard at the module's own speed.
    virtual void receive(std::span<const std::uint8_t> bytes, Clock::time_point now,
                         std::vector<Transmission>& out) = 0;
    /// Bytes heard at another speed: a real receiver sees only framing errors.
    virtual void receiveOffSpeed(std::span<const std::uint8_t> bytes,
                                 std::vector<Transmission>& out);
    /// When the module wants to be called back without new bytes (end-of-frame silence).
    virtual std::optional<Clock::time_point> deadline() const { return std::nullopt; }
    virtual void expire(Clock::time_point /*now*/, std::vector<Transmission>& /*out*/) {}

    /// Fills what the module shows of itself.
    virtual void snapshot(ModuleSnapshot& snap, Clock::time_point now);
    /// Wire address text used to tell modules of one line apart ("07" or "0A").
    virtual std::string wireAddress() const;

    void setFault(const FaultSetup& fault) { m_core.setup.fault = fault; }

  protected:
    /// The fault in force for this exchange (consumes one count).
    FaultKind takeFault();

  private:
    ModuleCore m_core;
};

/// Builds the module of a line description entry.
std::unique_ptr<Module> makeModule(const ModuleSetup& setup);

} // namespace kvsim
