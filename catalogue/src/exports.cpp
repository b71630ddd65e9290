// The C interface: converts the caller's buffers to and from the catalogue's
// C++ pieces. Nothing thrown inside may reach a C caller, so every entry
// point catches everything and falls back to leaving its outputs as they are.
#include "modtyp.h"

#include "associated.h"
#include "codes.h"
#include "commands.h"
#include "defaults.h"
#include "identity.h"
#include "strategy.h"
#include "text.h"
#include "type_names.h"
#include "variables.h"

#include <string_view>

namespace {

using namespace modtyp;

constexpr std::string_view kNone = "none";
constexpr std::string_view kRestart = "first";

template <typename Result, typename Body> Result guarded(Result fallback, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return fallback;
    }
}

template <typename Body> void guarded(Body&& body) noexcept {
    try {
        body();
    } catch (...) {
    }
}

void writeTypeName(std::int32_t code, char* name) {
    writeText(name, typeName(code), kNameSize);
}

} // namespace

extern "C" {

MODTYP_EXPORT char* MODTYP_API GetTypeName(int32_t code, char* name) {
    guarded([&] { writeTypeName(code, name); });
    return name;
}

MODTYP_EXPORT int32_t MODTYP_API GetTypeModule(const char* identity, int32_t* code, char* typeName,
                                               char* serial) {
    guarded([&] {
        const Identity decoded = decodeIdentity(inputText(identity));
        if (code != nullptr) {
            *code = decoded.code;
        }
        writeTypeName(decoded.code, typeName);
        writeText(serial, decoded.serial, kSerialSize);
    });
    return 1;
}

MODTYP_EXPORT int32_t MODTYP_API RechercheStrategie(int32_t code, int32_t kind) {
    return strategyOf(code, kind);
}

MODTYP_EXPORT char* MODTYP_API GetTypeAssocied(int32_t* code, char* name) {
    guarded([&] {
        if (code == nullptr) {
            return;
        }
        if (const auto associated = associatedCode(inputText(name, kNameSize))) {
            *code = *associated;
        }
        writeTypeName(*code, name);
    });
    return name;
}

MODTYP_EXPORT char* MODTYP_API GetTypeGenerique(int32_t* code, char* name) {
    guarded([&] {
        if (code == nullptr) {
            return;
        }
        *code = genericCode(*code);
        writeTypeName(*code, name);
    });
    return name;
}

MODTYP_EXPORT void MODTYP_API GetInfoTypeAssocied(const char* name, char* info) {
    writeText(info, associatedInfo(inputText(name, kNameSize)), kInfoSize);
}

MODTYP_EXPORT int32_t MODTYP_API IsLabelTypeGenerique(const char* label) {
    return isGenericLabel(inputText(label)) ? 1 : 0;
}

MODTYP_EXPORT int32_t MODTYP_API IsCodeTypeAssocie(int32_t code) {
    return (code & kAssociatedBit) != 0 ? 1 : 0;
}

MODTYP_EXPORT int32_t MODTYP_API GetAssociate(int32_t index, int32_t code, char* name) {
    if (index == 0) {
        return associateCount(code);
    }
    if (const auto associate = associateName(code, index)) {
        writeText(name, *associate, kNameSize);
    }
    return 0;
}

MODTYP_EXPORT char* MODTYP_API GetTargetName(int32_t code, char* name) {
    writeText(name, targetName(code), kNameSize);
    return name;
}

MODTYP_EXPORT void MODTYP_API GetInfo(int32_t request, int32_t code, char* name, int32_t* more) {
    if (request != kRequestVariableName || name == nullptr) {
        return;
    }
    const int fam = familyOf(code);
    if (fam == family::kVrx23 || fam == family::kVrx34 || fam == family::kDefault ||
        model(code) < code::kFirstWithVariables) {
        writeText(name, kNone, kVariableNameSize);
        if (more != nullptr) {
            *more = 0;
        }
        return;
    }
    const auto table = variableTable(code);
    if (table.empty()) {
        return;
    }
    const bool restart = inputText(name, kVariableNameSize) == kRestart;
    const VariableStep step = nextVariable(table, restart);
    writeText(name, step.name, kVariableNameSize);
    if (more != nullptr) {
        *more = step.more ? 1 : 0;
    }
}

MODTYP_EXPORT char* MODTYP_API FindCmde(int32_t code, int32_t purpose, const char* argument,
                                        char* command) {
    guarded([&] {
        writeText(command, serviceCommand(code, purpose, inputText(argument)), kCommandSize);
    });
    return command;
}

MODTYP_EXPORT void MODTYP_API CollectInfo(int32_t code, int32_t request, void* record) {
    if (request != kRequestFamilyDefaults || record == nullptr) {
        return;
    }
    writeFamilyDefaults(code, static_cast<unsigned char*>(record));
}

} // extern "C"
