#include "catalogue/catalogue.h"

#include <algorithm>
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

// The import looks up the name of every field line, some 21,000 in the text
// of a full save, and comparing it with the 229 names one by one was half of
// the import's time. FindField searches the names sorted instead, equal
// names (the empty name of every id without a field) in id order. They are
// sorted again on the first lookup after a change to the catalogue.
struct NameKey {
  std::string_view name;  // into the catalogue's own buffer
  int id;
};

struct NameIndex {
  std::array<NameKey, kFieldCount> keys{};
  bool stale = true;
};

NameIndex& Names() {
  static NameIndex names;
  return names;
}

const std::array<NameKey, kFieldCount>& SortedNames() {
  NameIndex& names = Names();
  if (names.stale) {
    for (int id = 0; id < kFieldCount; ++id) {
      names.keys[static_cast<std::size_t>(id)] = {
          Catalogue()[static_cast<std::size_t>(id)].name.view(), id};
    }
    std::sort(names.keys.begin(), names.keys.end(), [](const NameKey& a, const NameKey& b) {
      return a.name != b.name ? a.name < b.name : a.id < b.id;
    });
    names.stale = false;
  }
  return names.keys;
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
  Names().stale = true;
  ResetValueStore();
}

void RegisterField(int id, std::string_view name, std::int32_t offset, FieldKind kind,
                   std::int32_t length, const char* slot_label, bool repeat) {
  if (id < 0 || id >= kFieldCount) return;
  FieldDefinition& field = Catalogue()[static_cast<std::size_t>(id)];
  field.offset = offset;
  field.kind = kind;
  field.name.Assign(name);
  Names().stale = true;
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
  const auto& keys = SortedNames();
  const auto key = std::lower_bound(
      keys.begin(), keys.end(), name,
      [](const NameKey& entry, std::string_view wanted) { return entry.name < wanted; });
  return key != keys.end() && key->name == name ? key->id : -1;
}

}  // namespace kv5
