// Texts a module or a user may hand to the catalogue: identity replies, labels, names and
// command arguments, with every output buffer allocated at the size the interface states.
#include "modtyp.h"

#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr size_t kTypeName = 12;
constexpr size_t kSerial = 16;
constexpr size_t kCommand = 255;
constexpr size_t kInfo = 29;
constexpr size_t kTargetName = 12;
constexpr size_t kRecord = 512;

int32_t codeOf(const uint8_t* data, size_t size) {
    uint32_t code = 0;
    std::memcpy(&code, data, std::min<size_t>(size, sizeof code));
    return static_cast<int32_t>(code);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int32_t code = codeOf(data, size);
    const std::string text(reinterpret_cast<const char*>(data), size); // NUL ends it early

    int32_t decoded = 0;
    const auto typeName = std::make_unique<char[]>(kTypeName);
    const auto serial = std::make_unique<char[]>(kSerial);
    GetTypeModule(text.c_str(), &decoded, typeName.get(), serial.get());
    GetTypeName(decoded, typeName.get());
    GetTypeName(code, typeName.get());

    const auto target = std::make_unique<char[]>(kTargetName);
    GetTargetName(code, target.get());

    const auto command = std::make_unique<char[]>(kCommand);
    for (int32_t purpose = 0; purpose <= 9; ++purpose) {
        FindCmde(code, purpose, text.c_str(), command.get());
        FindCmde(decoded, purpose, text.c_str(), command.get());
    }

    const auto info = std::make_unique<char[]>(kInfo);
    GetInfoTypeAssocied(text.c_str(), info.get());
    IsLabelTypeGenerique(text.c_str());
    for (int32_t kind = 0; kind <= 11; ++kind) {
        RechercheStrategie(code, kind);
    }
    int32_t associated = code;
    GetTypeAssocied(&associated, typeName.get());
    associated = code;
    GetTypeGenerique(&associated, typeName.get());

    const auto record = std::make_unique<unsigned char[]>(kRecord);
    CollectInfo(code, 1, record.get());
    return 0;
}
