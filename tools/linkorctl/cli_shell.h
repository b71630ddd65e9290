// The communication object's shell for a program without windows: boxes become lines on
// standard error, notes are shown only when asked for, and there is no file dialog.
#pragma once

#include <comm/comm_shell.h>

#include <mutex>
#include <string>
#include <vector>

namespace linkorctl {

class CliShell final : public tkv::TKV_CommShell {
  public:
    explicit CliShell(bool verbose) : m_verbose(verbose) {}

    void post(tkv::TKV_WindowHandle window, int32_t messageId, int32_t first,
              const std::string& text) override;
    void send(tkv::TKV_WindowHandle window, int32_t messageId, int32_t first,
              int32_t kind) override;
    void showBox(const std::string& text, const std::string& title) override;
    /// A script cannot answer a dialog: the driver is never asked for.
    bool askFile(tkv::TKV_WindowHandle owner, const std::string& title,
                 const std::string& filterName, const std::string& filterPattern,
                 const std::string& startDirectory, std::string& chosen) override;

    /// The boxes shown so far, each as "title: text" on one line.
    std::vector<std::string> boxes() const;

  private:
    bool m_verbose;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_boxes;
};

} // namespace linkorctl
