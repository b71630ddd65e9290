/**
 * @file module_line.h
 * What a backup, a comparison and a restore need of the line: the exchanges of the
 * communication layer, behind an interface so that the logic can be driven by a table.
 */
#pragma once

#include <comm/comm_records.h>

#include <optional>
#include <string>

namespace tkv {
class TKV_CommDLL;
}

namespace tamsel::backup {

class ModuleLine {
  public:
    virtual ~ModuleLine() = default;
    /// A read request through the module command sets (one sub-read when subIndex is set).
    virtual bool read(tkv::TagRequest& request) = 0;
    /// A write request (0x105).
    virtual bool write(tkv::TagRequest& request) = 0;
    /// A coded command (0x102).
    virtual bool coded(tkv::TagCodedCommand& command) = 0;
    /// The module's identity reply ("RV"), the two address digits first; nothing when it
    /// does not answer.
    virtual std::optional<std::string> identity(int address) = 0;
    /// Speaks to the modules of another target from now on; false when the driver refuses.
    virtual bool selectTarget(const std::string& target) = 0;
};

/// The communication layer's object as the line.
class CommModuleLine final : public ModuleLine {
  public:
    explicit CommModuleLine(tkv::TKV_CommDLL& comm) : m_comm(comm) {}
    bool read(tkv::TagRequest& request) override;
    bool write(tkv::TagRequest& request) override;
    bool coded(tkv::TagCodedCommand& command) override;
    std::optional<std::string> identity(int address) override;
    bool selectTarget(const std::string& target) override;

  private:
    tkv::TKV_CommDLL& m_comm;
    std::string m_target; ///< the last one selected here; empty: as the line was set up
};

} // namespace tamsel::backup
