#include "cli_shell.h"

#include "output.h"
#include <comm/comm_codes.h>
#include <comm/texts.h>

#include <iostream>

namespace linkorctl {

void CliShell::post(tkv::TKV_WindowHandle, int32_t, int32_t first, const std::string& text) {
    if (!m_verbose) {
        return;
    }
    const char* kind = first == tkv::kNoteTrace ? "trace" : "note";
    std::lock_guard<std::mutex> lock(m_mutex);
    std::cerr << "linkorctl: [" << kind << "] " << readable(text) << '\n' << std::flush;
}

void CliShell::send(tkv::TKV_WindowHandle, int32_t, int32_t, int32_t) {}

void CliShell::showBox(const std::string& text, const std::string& title) {
    // A box's lines read as one message on a terminal.
    std::string flat;
    for (const char c : text) {
        flat += c == '\n' ? std::string("; ") : std::string(1, c);
    }
    const std::string line =
        std::string(tkv::text::trim(title)) + ": " + std::string(tkv::text::trim(flat));
    std::lock_guard<std::mutex> lock(m_mutex);
    m_boxes.push_back(line);
    printError(readable(line));
}

bool CliShell::askFile(tkv::TKV_WindowHandle, const std::string&, const std::string&,
                       const std::string&, const std::string&, std::string&) {
    return false;
}

std::vector<std::string> CliShell::boxes() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_boxes;
}

} // namespace linkorctl
