#include "jbus/jbus_lists.h"

#include "base/driver_state.h"
#include "base/word_lists.h"
#include "kv/kv_types.h"
#include "linkor_status.h"

#include <string>
#include <strings.h>

namespace linkor::jbus {

namespace {

constexpr const char* kJbusType = "JBUS";
constexpr const char* kJbusProtocols = "JBUS-232 JBUS-485";

bool isJbusType(const char* type) {
    return type != nullptr && strcasecmp(type, kJbusType) == 0;
}

std::string allBauds() {
    std::string out;
    for (const char* baud : kv::kBaudTexts) {
        if (!out.empty()) {
            out += ' ';
        }
        out += baud;
    }
    return out;
}

} // namespace

void typeList(char* out) {
    copyOut(out, kJbusType, kListBufferSize);
}

int32_t protocolList(char* out, const char* type) {
    if (type == nullptr) {
        copyOut(out, kJbusProtocols, kListBufferSize);
        return LINKOR_OK;
    }
    if (!isJbusType(type)) {
        copyOut(out, "", kListBufferSize);
        return LINKOR_BAD_MODULE_TYPE;
    }
    copyOut(out, std::string(type) + ": " + kJbusProtocols, kListBufferSize);
    return LINKOR_OK;
}

int32_t baudList(char* out, const char* type, const char* protocol) {
    if (type == nullptr) {
        copyOut(out, allBauds(), kListBufferSize);
        return LINKOR_OK;
    }
    if (!isJbusType(type)) {
        copyOut(out, "", kListBufferSize);
        return LINKOR_BAD_MODULE_TYPE;
    }
    std::string list = std::string(type) + ": ";
    if (protocol != nullptr) {
        list += std::string(protocol) + ": "; // echoed, not checked
    }
    copyOut(out, list + allBauds(), kListBufferSize);
    return LINKOR_OK;
}

int32_t messageText(char* out, int32_t code) {
    const Language language = driverState().jbusLanguage;
    if (const char* text = findMessage(code, language)) {
        copyOut(out, text, kMessageBufferSize);
        return LINKOR_OK;
    }
    copyOut(out, unknownCodeMessage(language), kMessageBufferSize);
    return -1;
}

} // namespace linkor::jbus
