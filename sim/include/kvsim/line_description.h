#pragma once
/// @file
/// The description of a virtual line: which modules hang on it and how each one is set up.
/// It is read from a line file (format in sim/README.md) or built in code by a test.

#include <cstdint>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kvsim {

/// Module family as the module itself knows it; decides its command language.
enum class Family { Trilo, MicroTrilo, Vrx17, Dvrx, Vrx23, Vrx34, Jbus };

/// How a module frames its answers on the wire.
enum class Protocol { Xon, AckNak, Console, Jbus232, Jbus485 };

/// A misbehaviour a module can be told to show instead of its normal answer.
enum class FaultKind {
    None,
    Nak,         ///< refuses every frame with NAK
    Bel,         ///< acknowledges with BEL instead of ACK, then answers
    Can,         ///< reports "not executed" (CAN) without executing
    BadChecksum, ///< reply frame (or CRC) carries a wrong check value
    BadLength,   ///< reply frame carries a wrong length field (JBUS: answer cut to 3 bytes)
    Silent,      ///< deaf: neither executes nor answers
    Garbage,     ///< sends garbage bytes in front of the normal answer
    LongReply,   ///< answers with a reply text of more than 200 characters
};

/// Fault settings of one module.
struct FaultSetup {
    FaultKind kind = FaultKind::None;
    /// Number of exchanges the fault still applies to; negative means every exchange.
    int count = -1;
    /// Number of garbage bytes for FaultKind::Garbage.
    int garbageBytes = 8;
    /// Delay between two bytes the module sends, in milliseconds (0 = none).
    int slowMs = 0;
};

/// One module of the line, as described by one line of a line file.
struct ModuleSetup {
    int address = 0; ///< KV 0-63, VRX23/VRX34 0x00-0x7F (their wire digits), JBUS 1-247
    Family family = Family::Trilo;
    std::uint16_t typeCode = 0; ///< 16-bit module type code the identity reply decodes to
    Protocol protocol = Protocol::Xon;
    int baud = 9600;
    int version = 105; ///< firmware version, 100 x major + minor
    long serial = 1;   ///< serial number carried by the identity text where the type has one
    FaultSetup fault;
    std::uint32_t inputs = 0;               ///< input lines that are active (bit 0 = first input)
    bool power = true;                      ///< motor power at start
    bool noiseOffSpeed = false;             ///< answers noise to bytes heard at another speed
    double currentFactor = 2.0;             ///< amperes per 100 % of current
    std::map<int, std::uint16_t> registers; ///< JBUS holding registers set at start
    int sourceLine = 0;                     ///< line number in the line file, 0 when built in code
};

/// The whole line.
struct LineDescription {
    std::string name; ///< file name or a caller's label, used in messages
    std::vector<ModuleSetup> modules;
};

/// A line file that cannot be used. what() names the file, the line and the fault.
class LineFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

/// Parses the text of a line file; @p name is used in error messages.
/// @throws LineFileError on the first line that is wrong.
LineDescription parseLineText(std::string_view text, const std::string& name = "<text>");

/// Reads and parses a line file. @throws LineFileError when it is missing or wrong.
LineDescription readLineFile(const std::filesystem::path& path);

/// Name of a family as written in line files ("TRILO", "MICROTRILO", ...).
std::string_view familyName(Family family);

/// Name of a protocol as written in line files ("xon", "acknak", ...).
std::string_view protocolName(Protocol protocol);

/// Name of a fault as written in line files ("nak", "bel", ...).
std::string_view faultName(FaultKind kind);

/// Protocols a module of the family can be set to.
bool protocolAllowed(Family family, Protocol protocol);

/// Baud rates a module of the family can be set to.
bool baudAllowed(Family family, int baud);

/// Default type code of a family (the one a line file gets without "type=").
std::uint16_t defaultTypeCode(Family family);

/// Whether a type code names a model of the family (its high byte is one of the family's).
bool typeCodeBelongsTo(std::uint16_t code, Family family);

} // namespace kvsim
