// The command-file send's line link over the driver binding: the one place where the
// terminal's send meets the binding.
#pragma once

#include <comm/comm_dll.h>
#include <contract/file_line_link.h>

namespace tamsel::shell {

class TCommFileLineLink final : public contract::TFileLineLink {
  public:
    explicit TCommFileLineLink(tkv::TKV_CommDLL& comm) : m_comm(comm) {}
    bool fileLine(const QByteArray& line, int mode, QByteArray& result) override;
    bool pollingEnabled() override;

  private:
    tkv::TKV_CommDLL& m_comm;
};

} // namespace tamsel::shell
