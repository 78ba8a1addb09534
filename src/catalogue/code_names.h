#pragma once

namespace kv5 {

// Registers the display names of every known code: the model table, then the
// voice sets, then the equipment with their groups.
void FillCodeNameTables();

}  // namespace kv5
