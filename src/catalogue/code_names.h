#pragma once

#include "catalogue/code_tables.h"
#include "save/reporter.h"

namespace kv5 {

// Registers the display names of every known code: the model table, then the
// voice sets, then the equipment with their groups.
void FillCodeNameTables(CodeNameTables& tables, Reporter& report);

}  // namespace kv5
