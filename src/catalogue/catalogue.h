#pragma once

#include <cstdint>
#include <string_view>

#include "catalogue/field.h"

namespace kv5 {

// Field ids run from 0 to 228; not every id holds a field.
constexpr int kFieldCount = 229;

// Empties the code name tables, the field catalogue and the value store, in
// that order. Called once per run before BuildFieldCatalogue.
void ClearTables();

// Fills the definition of field `id`. A null `slot_label` leaves the label
// as it is. An id outside the catalogue is ignored.
void RegisterField(int id, std::string_view name, std::int32_t offset, FieldKind kind,
                   std::int32_t length, const char* slot_label, bool repeat);

// Registers every field of an entry, then fills the code name tables.
void BuildFieldCatalogue();

// The definition of field `id`, 0 to 228.
const FieldDefinition& Field(int id);

// The first field id, in ascending order, whose name equals `name` exactly;
// -1 when none does. Ids without a field have an empty name, so an empty
// name finds the first of them.
int FindField(std::string_view name);

}  // namespace kv5
