#include "comm_file_line_link.h"

#include <string>

namespace tamsel::shell {

bool TCommFileLineLink::fileLine(const QByteArray& line, int mode, QByteArray& result) {
    std::string out;
    const bool ok = m_comm.sendFileLine(line.constData(), mode, out);
    result = QByteArray::fromStdString(out);
    return ok;
}

bool TCommFileLineLink::pollingEnabled() {
    return m_comm.pollingEnabled();
}

} // namespace tamsel::shell
