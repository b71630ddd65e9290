#include "catalogue_requests.h"

#include <modtyp.h>

namespace tamsel::shell {

bool runCatalogueQuery(TagCatalogueQuery& q) {
    switch (q.operation) {
    case catop::kTypeName:
        GetTypeName(q.value, q.textA);
        return true;
    case catop::kTypeModule:
        GetTypeModule(q.input == nullptr ? "" : q.input, &q.value, q.textA, q.textB);
        return true;
    case catop::kTypeAssocied:
        GetTypeAssocied(&q.value, q.textA);
        return true;
    case catop::kTypeGenerique:
        GetTypeGenerique(&q.value, q.textA);
        return true;
    case catop::kInfoTypeAssocied:
        GetInfoTypeAssocied(q.textA, q.textB);
        return true;
    case catop::kStrategy:
        q.value = RechercheStrategie(q.value, q.argument);
        return true;
    case catop::kLabelGenerique:
        q.value = IsLabelTypeGenerique(q.textA);
        return true;
    case catop::kCodeAssocie:
        q.value = IsCodeTypeAssocie(q.value);
        return true;
    case catop::kAssociateCount:
        q.value = GetAssociate(0, q.value, q.textA);
        return true;
    case catop::kAssociate:
        GetAssociate(q.argument, q.value, q.textA);
        return true;
    case catop::kTargetName:
        GetTargetName(q.value, q.textA);
        return true;
    case catop::kVariableInfo:
        GetInfo(257, q.value, q.textA, &q.argument);
        return true;
    case catop::kFindCmde:
        FindCmde(q.value, q.argument, q.textB, q.textA);
        return true;
    case catop::kCollectInfo:
        if (q.data != nullptr) {
            CollectInfo(q.value, q.argument, q.data);
        }
        return true;
    default:
        return false;
    }
}

} // namespace tamsel::shell
