#include "discovery/localize_run.h"

namespace tamsel::discovery {

namespace {
constexpr const char* kInProgress = "Localize in progress";
constexpr const char* kProgressMark = " .";
} // namespace

std::string LocalizeRun::start(int address, const LocalizeLine& line) {
    m_running = true;
    m_stop = false;
    m_done = 0;
    m_address = address;
    m_line = line;
    return kInProgress;
}

LocalizeStep LocalizeRun::step() {
    LocalizeStep s;
    if (!m_running) {
        return s;
    }
    const bool first = m_done == 0;
    s.captureMouse = first;
    if (!m_stop) {
        s.lineAppend = kProgressMark;
    }
    ++m_done;
    // The twentieth pair is the last: the stop it sets makes this probe close the line.
    if (m_done >= kLocalizeSteps) {
        m_stop = true;
    }
    s.probe = ProbeTry{kLocalizeTarget, m_line.port, m_line.protocol, m_line.baud,
                       m_address,       first,       m_stop};
    s.last = m_stop;
    if (s.last) {
        m_running = false;
    }
    return s;
}

} // namespace tamsel::discovery
