#pragma once
// The test side of a virtual line: opens the published port like a serial terminal does
// and exchanges raw bytes with plain POSIX calls. Frames are built here from the rules of
// the wire, not with the line's own code, so that a fault on either side shows.

#include "kvsim/virtual_line.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace simtest {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

inline constexpr std::uint8_t STX = 0x02, ETX = 0x03, ACK = 0x06, BEL = 0x07, LF = 0x0A, CR = 0x0D,
                              XOFF = 0x13, NAK = 0x15, CAN = 0x18, SUB = 0x1A;

/// Generous bound for anything the line has to do: the machine may be slow and loaded.
inline constexpr auto kAnswerTimeout = 5s;
/// Silence after which a module is taken to have said all it will say.
inline constexpr auto kQuiet = 300ms;

Bytes bytes(std::string_view text);
Bytes operator+(Bytes a, const Bytes& b);
/// STX, three-digit length, text, two-digit checksum (sum of the text's bytes), ETX.
Bytes kvFrame(std::string_view text);
/// Modbus CRC-16 (initial 0xFFFF, reflected polynomial 0xA001), appended low byte first.
Bytes withCrc(Bytes frame);
/// Bytes as "02 30 ..." for failure messages.
std::string hex(const Bytes& b);

class PtyClient {
  public:
    PtyClient(const std::filesystem::path& port, int baud);
    ~PtyClient();
    PtyClient(const PtyClient&) = delete;
    PtyClient& operator=(const PtyClient&) = delete;

    void setBaud(int baud);
    void send(const Bytes& b);
    /// Reads until @p done says the bytes so far are complete, or until the timeout.
    Bytes readUntil(const std::function<bool(const Bytes&)>& done,
                    std::chrono::milliseconds timeout = kAnswerTimeout);
    /// Reads until @p n bytes have come (or the timeout).
    Bytes readCount(std::size_t n, std::chrono::milliseconds timeout = kAnswerTimeout);
    /// Reads everything that comes until the line is quiet for @p quiet.
    Bytes readQuiet(std::chrono::milliseconds quiet = kQuiet,
                    std::chrono::milliseconds timeout = kAnswerTimeout);
    /// Sends, waits (generously) for the first @p atLeast bytes, then reads whatever else
    /// comes until the line is quiet. Pass 0 where silence is expected.
    Bytes exchange(const Bytes& request, std::size_t atLeast = 1);
    /// Sends @p request, then @p marker, and reads until @p markerAnswer has come; returns
    /// what came before it. The line answers in the order it hears, so whatever the request
    /// drew comes first: an empty result is proof of silence that needs no quiet window.
    Bytes answerBefore(const Bytes& request, const Bytes& marker, const Bytes& markerAnswer);
    /// Sends a framed command in the XON mode and reads up to the closing SUB.
    Bytes xon(std::string_view text);
    /// Reply text of an XON exchange (between STX and ETX, length and checksum removed);
    /// fails the test when the answer is not a well-formed reply.
    std::string xonReply(std::string_view text);
    void drain();

  private:
    int m_fd = -1;
};

/// A running virtual line on a fresh ports directory.
class LineFixture {
  public:
    explicit LineFixture(std::string_view lineText, int com = 5);
    ~LineFixture();
    kvsim::VirtualLine& line() { return *m_line; }
    std::filesystem::path port() const { return m_line->linkPath(); }
    std::filesystem::path portsDir() const { return m_dir; }

  private:
    std::filesystem::path m_dir;
    std::unique_ptr<kvsim::VirtualLine> m_line;
};

} // namespace simtest
