// The line probes of the scan: they run on a line of their own, the probe line.
#include "comm/comm_dll.h"
#include "comm/texts.h"

#include <chrono>
#include <string>
#include <thread>

namespace tkv {

namespace {
constexpr auto kConsoleWait = std::chrono::milliseconds(20);
constexpr auto kRecoveryWait = std::chrono::milliseconds(800);
constexpr const char* kConsole = "CONSOLE";
} // namespace

void TKV_CommDLL::closeProbe() {
    std::lock_guard<std::recursive_mutex> wire(m_guard.wire());
    if (m_probeLine != 0 && m_driver.close != nullptr) {
        m_driver.close(m_probeLine);
    }
    m_probeLine = 0;
}

bool TKV_CommDLL::openProbe(TagProbe& p, bool checked) {
    std::lock_guard<std::recursive_mutex> wire(m_guard.wire());
    if (m_driver.open == nullptr) {
        return false;
    }
    // A probe line left open by an earlier probe would keep its port: it is closed rather
    // than forgotten, unless it is the working line.
    if (m_probeLine != 0 && m_probeLine != m_line.load()) {
        m_driver.close(m_probeLine);
    }
    m_probeLine = 0;
    const std::string port(text::view(p.port));
    const std::string baud(text::view(p.baud));
    const std::string protocol(text::view(p.protocol));
    const std::string target(text::view(p.target));
    p.step = kProbeOpening;
    const int32_t line = m_driver.open(port.c_str(), 0, 0);
    if (line == 0) {
        if (checked) {
            diagnose(text::format("echec open pour %s = %02X", port.c_str(), 0U));
        }
        return false;
    }
    m_probeLine = line;
    p.step = kProbeInitialising;
    const int32_t init = m_driver.init(line, baud.c_str(), protocol.c_str(), nullptr);
    if (init != kStatusOk && checked) {
        diagnose(text::format("echec init := %04X baud := %s  protocole= %s",
                              static_cast<unsigned>(init), baud.c_str(), protocol.c_str()));
        closeProbe();
        return false;
    }
    p.step = kProbeSelectingTarget;
    std::string reply;
    const int32_t dial = dialogue(line, text::format("/%s/", target.c_str()), reply);
    if (dial != kStatusOk && checked) {
        diagnose(text::format("echec dial := %04X target=%s", static_cast<unsigned>(dial),
                              target.c_str()));
        closeProbe();
        return false;
    }
    text::copy(p.lastTarget, target);
    return true;
}

bool TKV_CommDLL::probeAsk(TagProbe& p) {
    std::lock_guard<std::recursive_mutex> wire(m_guard.wire());
    if (p.openFirst != 0) {
        if (!openProbe(p, true)) {
            return false;
        }
    } else if (text::view(p.target) != text::view(p.lastTarget)) {
        std::string reply;
        dialogue(m_probeLine, text::format("/%s/", std::string(text::view(p.target)).c_str()),
                 reply);
        text::copy(p.lastTarget, text::view(p.target));
    }
    std::string reply;
    if (text::view(p.protocol).find(kConsole) != std::string_view::npos) {
        dialogue(m_probeLine, text::format("%02dGS", p.address), reply);
        std::this_thread::sleep_for(kConsoleWait);
    }
    p.step = kProbeAsking;
    const std::string command = text::format("%02dRV", p.address);
    const int32_t status = dialogue(m_probeLine, command, reply);
    if (status == kStatusOk) {
        diagnose(text::format("%s-->%s", command.c_str(), reply.c_str()));
        text::copy(p.result, reply);
        p.step = kProbeAnswered;
    } else {
        const std::string failure =
            text::format("%s-->%s:=%04X  (%02d)", command.c_str(), reply.c_str(),
                         static_cast<unsigned>(status), m_probeLine);
        text::copy(p.result, failure);
        // A silent address is the common case of a scan; only address 0 reports it.
        if (p.address == 0 || status != kStatusReceiveTimeout) {
            diagnose(failure);
        }
        if (status == kStatusReceiveFailed || status == kStatusXoffMissing) {
            std::this_thread::sleep_for(kRecoveryWait);
        }
    }
    if (p.closeAfter != 0) {
        closeProbe();
    }
    return status == kStatusOk;
}

bool TKV_CommDLL::probeReset(TagProbe& p) {
    std::lock_guard<std::recursive_mutex> wire(m_guard.wire());
    if (p.openFirst != 0) {
        openProbe(p, false);
    }
    std::string reply;
    dialogue(m_probeLine, text::format("%02dMR", p.address), reply);
    dialogue(m_probeLine, text::format("%02dGS", p.address), reply);
    if (p.closeAfter != 0) {
        closeProbe();
    }
    return true;
}

bool TKV_CommDLL::probeSend(TagProbe& p) {
    std::lock_guard<std::recursive_mutex> wire(m_guard.wire());
    if (p.openFirst != 0) {
        diagnose(text::format("%s %s %s", std::string(text::view(p.baud)).c_str(),
                              std::string(text::view(p.protocol)).c_str(),
                              std::string(text::view(p.target)).c_str()));
        openProbe(p, false);
    }
    std::string reply;
    const int32_t status = dialogue(m_probeLine, std::string(text::view(p.result)), reply);
    diagnose(text::format("cr = %x", static_cast<unsigned>(status)));
    p.step = status;
    text::copy(p.result, reply);
    if (p.closeAfter != 0) {
        closeProbe();
    }
    return status == kStatusOk;
}

} // namespace tkv
