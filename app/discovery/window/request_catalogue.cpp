#include "request_catalogue.h"

#include "config_codes.h"

#include <contract/records.h>
#include <contract/request_codes.h>

#include <algorithm>
#include <cstring>

namespace tamsel::discovery {

namespace {

using contract::TagCatalogueQuery;

template <std::size_t N> void put(char (&to)[N], const std::string& from) {
    const std::size_t n = std::min(from.size(), N - 1);
    std::memcpy(to, from.data(), n);
    to[n] = '\0';
}

template <std::size_t N> std::string get(const char (&from)[N]) {
    return std::string(from, strnlen(from, N));
}

TagCatalogueQuery query(int32_t operation, int32_t value = 0) {
    TagCatalogueQuery q;
    q.operation = operation;
    q.value = value;
    return q;
}

} // namespace

void TRequestCatalogue::ask(TagCatalogueQuery& q) {
    m_app.request(contract::req::kCatalogue, kConfigDialog, &q);
}

std::string TRequestCatalogue::typeName(int32_t code) {
    TagCatalogueQuery q = query(catalogue_op::kTypeName, code);
    ask(q);
    return get(q.textA);
}

DecodedType TRequestCatalogue::typeModule(const std::string& identity) {
    TagCatalogueQuery q = query(catalogue_op::kTypeModule);
    q.input = identity.c_str();
    ask(q);
    return DecodedType{q.value, get(q.textA), get(q.textB)};
}

NamedType TRequestCatalogue::typeAssocied(int32_t code, const std::string& name) {
    TagCatalogueQuery q = query(catalogue_op::kTypeAssocied, code);
    put(q.textA, name);
    ask(q);
    return NamedType{q.value, get(q.textA)};
}

NamedType TRequestCatalogue::typeGenerique(int32_t code) {
    TagCatalogueQuery q = query(catalogue_op::kTypeGenerique, code);
    ask(q);
    return NamedType{q.value, get(q.textA)};
}

std::string TRequestCatalogue::infoTypeAssocied(const std::string& name) {
    TagCatalogueQuery q = query(catalogue_op::kInfoTypeAssocied);
    put(q.textA, name);
    ask(q);
    return get(q.textB);
}

int32_t TRequestCatalogue::strategy(int32_t code, int32_t kind) {
    TagCatalogueQuery q = query(catalogue_op::kStrategy, code);
    q.argument = kind;
    ask(q);
    return q.value;
}

bool TRequestCatalogue::isLabelGeneric(const std::string& typeName) {
    TagCatalogueQuery q = query(catalogue_op::kLabelGenerique);
    put(q.textA, typeName);
    ask(q);
    return q.value != 0;
}

bool TRequestCatalogue::isCodeAssociated(int32_t code) {
    TagCatalogueQuery q = query(catalogue_op::kCodeAssocie, code);
    ask(q);
    return q.value != 0;
}

int32_t TRequestCatalogue::associateCount(int32_t code) {
    TagCatalogueQuery q = query(catalogue_op::kAssociateCount, code);
    ask(q);
    return q.value;
}

std::string TRequestCatalogue::associate(int32_t code, int32_t index) {
    TagCatalogueQuery q = query(catalogue_op::kAssociate, code);
    q.argument = index;
    ask(q);
    return get(q.textA);
}

std::string TRequestCatalogue::targetName(int32_t code) {
    TagCatalogueQuery q = query(catalogue_op::kTargetName, code);
    ask(q);
    return get(q.textA);
}

std::string TRequestCatalogue::findCmde(int32_t code, int32_t purpose,
                                        const std::string& argument) {
    TagCatalogueQuery q = query(catalogue_op::kFindCmde, code);
    q.argument = purpose;
    put(q.textB, argument);
    ask(q);
    return get(q.textA);
}

} // namespace tamsel::discovery
