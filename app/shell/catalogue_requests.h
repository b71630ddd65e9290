// Request 0x5558: one function of the module catalogue, with its arguments and result in
// the query record.
#pragma once

#include "app_request.h"

namespace tamsel::shell {

/// Runs @p query against the catalogue; false for an operation it does not know.
bool runCatalogueQuery(TagCatalogueQuery& query);

} // namespace tamsel::shell
