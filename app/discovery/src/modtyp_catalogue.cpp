#include "discovery/modtyp_catalogue.h"

#include "modtyp.h"

#include <array>

namespace tamsel::discovery {

namespace {
// The library's stated bounds are 12 bytes for names, 16 for serials, 29 for the information
// text and 255 for commands; one size above all of them keeps every call inside its buffer.
constexpr std::size_t kBuffer = 256;
// A chosen name is read up to 12 bytes by the library.
constexpr std::size_t kNameInput = 11;

using Buffer = std::array<char, kBuffer>;
} // namespace

std::string ModtypCatalogue::typeName(int32_t code) {
    Buffer name{};
    return ::GetTypeName(code, name.data());
}

DecodedType ModtypCatalogue::typeModule(const std::string& identity) {
    Buffer name{};
    Buffer serial{};
    DecodedType d;
    ::GetTypeModule(identity.c_str(), &d.code, name.data(), serial.data());
    d.typeName = name.data();
    d.serial = serial.data();
    return d;
}

NamedType ModtypCatalogue::typeAssocied(int32_t code, const std::string& name) {
    Buffer text{};
    name.copy(text.data(), kNameInput);
    NamedType t{code, {}};
    t.name = ::GetTypeAssocied(&t.code, text.data());
    return t;
}

NamedType ModtypCatalogue::typeGenerique(int32_t code) {
    Buffer name{};
    NamedType t{code, {}};
    t.name = ::GetTypeGenerique(&t.code, name.data());
    return t;
}

std::string ModtypCatalogue::infoTypeAssocied(const std::string& name) {
    Buffer info{};
    ::GetInfoTypeAssocied(name.c_str(), info.data());
    return info.data();
}

int32_t ModtypCatalogue::strategy(int32_t code, int32_t kind) {
    return ::RechercheStrategie(code, kind);
}

bool ModtypCatalogue::isLabelGeneric(const std::string& typeName) {
    return ::IsLabelTypeGenerique(typeName.c_str()) != 0;
}

bool ModtypCatalogue::isCodeAssociated(int32_t code) {
    return ::IsCodeTypeAssocie(code) != 0;
}

int32_t ModtypCatalogue::associateCount(int32_t code) {
    Buffer unused{};
    return ::GetAssociate(0, code, unused.data());
}

std::string ModtypCatalogue::associate(int32_t code, int32_t index) {
    Buffer name{};
    ::GetAssociate(index, code, name.data());
    return name.data();
}

std::string ModtypCatalogue::targetName(int32_t code) {
    Buffer name{};
    return ::GetTargetName(code, name.data());
}

std::string ModtypCatalogue::findCmde(int32_t code, int32_t purpose, const std::string& argument) {
    Buffer command{};
    return ::FindCmde(code, purpose, argument.c_str(), command.data());
}

} // namespace tamsel::discovery
