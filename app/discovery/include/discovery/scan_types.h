// The records a line scan fills: one per module address, and the addresses in the order they
// answered. Plain C++: the worker that runs a scan and the window that shows it share these.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace tamsel::discovery {

inline constexpr int kAddressCount = 64;
inline constexpr int kLastAddress = kAddressCount - 1;

/// What a scan learnt of one address.
enum class ScanState : int32_t {
    Nothing = 0,  ///< not asked, or asked by a scan that keeps no silence
    Answered = 1, ///< the identity request got a reply
    Silent = 2,   ///< asked by a Checking scan and no reply
};

/// Indexes into the window's working lists, as the scan record packs them.
struct LineIndexes {
    int protocol = 0;
    int baud = 0;
    int port = 0;
    int target = 0;
};

/// Bits 0-7 protocol, 8-15 baud rate, 16-23 port, 24-31 target.
int32_t packSetting(const LineIndexes& i);
LineIndexes unpackSetting(int32_t packed);

struct ScanRecord {
    ScanState state = ScanState::Nothing;
    bool hit = false;    ///< this record holds the configuration that reached the module
    int32_t setting = 0; ///< packed LineIndexes of the configuration that reached it
    std::string reply;   ///< the module's answer to the identity request
};

/// The addresses in the order the scan met them. The worker appends; the window reads the
/// entries one at a time, never past what it has been told exists.
class FoundList {
  public:
    void clear();
    void append(int address);
    int size() const;
    /// The address at @p index (below size()).
    int at(int index) const;
    std::vector<int> all() const;

  private:
    mutable std::mutex m_mutex;
    std::vector<int> m_addresses;
};

/// What one scan leaves behind: a record per address and the found list.
struct ScanTable {
    std::array<ScanRecord, kAddressCount> records{};
    FoundList found;

    /// Clears every record and the found list, as a scan does as it starts.
    void clear();
};

/// One try of one configuration at one address.
struct ProbeTry {
    std::string target;
    std::string port;
    std::string protocol;
    std::string baud;
    int address = 0;
    bool openFirst = false;  ///< the line is opened (and initialised) for this try
    bool closeAfter = false; ///< and closed after it

    bool operator==(const ProbeTry&) const = default;
};

} // namespace tamsel::discovery
