#include "catalogue/catalogue.h"

#include <array>

#include "catalogue/code_names.h"
#include "catalogue/code_tables.h"
#include "catalogue/field_table.h"
#include "values/value_store.h"

namespace kv5 {
namespace {

std::array<FieldDefinition, kFieldCount>& Catalogue() {
  static std::array<FieldDefinition, kFieldCount> catalogue;
  return catalogue;
}

}  // namespace

void ClearTables() {
  ClearCodeNameTables();
  for (FieldDefinition& field : Catalogue()) {
    field.offset = -1;
    field.kind = FieldKind::kNone;
    field.length = 0;
    field.name.Clear();
    field.slot_label.Clear();
  }
  ResetValueStore();
}

void RegisterField(int id, std::string_view name, std::int32_t offset, FieldKind kind,
                   std::int32_t length, const char* slot_label, bool repeat) {
  if (id < 0 || id >= kFieldCount) return;
  FieldDefinition& field = Catalogue()[static_cast<std::size_t>(id)];
  field.offset = offset;
  field.kind = kind;
  field.name.Assign(name);
  if (slot_label != nullptr) field.slot_label.Assign(slot_label);
  field.length = length;
  field.repeat = repeat;
}

void BuildFieldCatalogue() {
  for (const FieldRow& row : kFieldTable) {
    RegisterField(row.id, row.name, row.offset, row.kind, row.length, row.slot_label, row.repeat);
  }
  FillCodeNameTables();
}

const FieldDefinition& Field(int id) { return Catalogue()[static_cast<std::size_t>(id)]; }

int FindField(std::string_view name) {
  const auto& catalogue = Catalogue();
  for (int id = 0; id < kFieldCount; ++id) {
    if (catalogue[static_cast<std::size_t>(id)].name.view() == name) return id;
  }
  return -1;
}

}  // namespace kv5
