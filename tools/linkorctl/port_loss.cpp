#include "port_loss.h"

#include <comm/comm_codes.h>
#include <comm/texts.h>

#include <cstdlib>

namespace linkorctl {

namespace {
constexpr std::string_view kStatusMark = ":=";
constexpr int kHexBase = 16;
} // namespace

bool portLost(int32_t status) {
    return status == LINKOR_SEND_FAILED;
}

int32_t probeStatus(const tkv::TagProbe& probe) {
    const std::string result(tkv::text::view(probe.result));
    const std::size_t at = result.rfind(kStatusMark);
    if (at == std::string::npos) {
        return 0;
    }
    const char* digits = result.c_str() + at + kStatusMark.size();
    char* end = nullptr;
    const long status = std::strtol(digits, &end, kHexBase);
    return end == digits ? 0 : static_cast<int32_t>(status);
}

std::string portLostText(const std::string& port) {
    return "port " + port + " lost";
}

} // namespace linkorctl
