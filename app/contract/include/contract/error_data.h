// What a module window tells the communication error report about its last failure
// (0x8081), and the record that asks the shell for the report (0x8080).
#pragma once

#include <cstdint>

class QWidget;

namespace tamsel::contract {

// What failed.
inline constexpr std::int32_t kFailedWrite = 1; ///< a write or a direct command
inline constexpr std::int32_t kFailedRead = 2;

/// Longest title a window gives the report, terminator included.
inline constexpr int kErrorTitleSize = 50;

/// The answer to 0x8081: five words, then the window's title.
struct TagErrorData {
    std::int32_t operation = kFailedRead;
    std::int32_t kind = 0; ///< request kind, or the command index of a direct command
    std::int32_t status = 0;
    std::int32_t address = 0;
    std::int32_t typeCode = 0;
    char title[kErrorTitleSize] = "";
};

/// The face a window shows the report; the shell asks it through 0x8081.
class TErrorDataSource {
  public:
    virtual ~TErrorDataSource() = default;
    virtual void errorData(TagErrorData& data) = 0;
};

/// Record of 0x8080: the window whose exchange failed. It implements TErrorDataSource.
struct TagErrorReport {
    QWidget* window = nullptr;
};

} // namespace tamsel::contract
