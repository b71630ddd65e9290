#include "progress.h"

#include <iostream>
#include <unistd.h>

namespace linkorctl {

Progress::Progress() : m_terminal(::isatty(STDERR_FILENO) == 1) {}

Progress::~Progress() {
    clear();
}

void Progress::show(const std::string& text) {
    if (!m_terminal) {
        return;
    }
    std::cerr << "\r\033[K" << text << std::flush;
    m_shown = true;
}

void Progress::clear() {
    if (m_terminal && m_shown) {
        std::cerr << "\r\033[K" << std::flush;
        m_shown = false;
    }
}

} // namespace linkorctl
