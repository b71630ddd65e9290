#include "backup/module_line.h"

#include <comm/comm_dll.h>
#include <comm/texts.h>

namespace tamsel::backup {

bool CommModuleLine::read(tkv::TagRequest& request) {
    return m_comm.readRequest(request);
}

bool CommModuleLine::write(tkv::TagRequest& request) {
    return m_comm.writeRequest(request);
}

bool CommModuleLine::coded(tkv::TagCodedCommand& command) {
    return m_comm.sendCodedCommand(command);
}

std::optional<std::string> CommModuleLine::identity(int address) {
    tkv::TagFreeText r;
    r.mode = tkv::kFreeTextAsTyped;
    tkv::text::copy(r.text, tkv::text::format("%02dRV", address));
    if (!m_comm.sendFreeText(r)) {
        return std::nullopt;
    }
    return std::string(tkv::text::view(r.reply));
}

bool CommModuleLine::selectTarget(const std::string& target) {
    if (target == m_target) {
        return true;
    }
    if (!m_comm.sendSetting(("/" + target + "/").c_str())) {
        return false;
    }
    m_target = target;
    return true;
}

} // namespace tamsel::backup
