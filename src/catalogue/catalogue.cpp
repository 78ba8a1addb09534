#include "catalogue/catalogue.h"

#include <algorithm>

#include "catalogue/code_names.h"
#include "catalogue/field_table.h"

namespace kv5 {

const Catalogue::NameKeys& Catalogue::SortedNames() const {
  if (names_stale_) {
    for (int id = 0; id < kFieldCount; ++id) {
      names_[static_cast<std::size_t>(id)] = {Field(id).name.view(), id};
    }
    std::sort(names_.begin(), names_.end(), [](const NameKey& a, const NameKey& b) {
      return a.name != b.name ? a.name < b.name : a.id < b.id;
    });
    names_stale_ = false;
  }
  return names_;
}

void Catalogue::RegisterField(int id, std::string_view name, std::int32_t offset, FieldKind kind,
                              std::int32_t length, const char* slot_label, bool repeat) {
  if (id < 0 || id >= kFieldCount) return;
  FieldDefinition& field = fields_[static_cast<std::size_t>(id)];
  field.offset = offset;
  field.kind = kind;
  field.name.Assign(name);
  names_stale_ = true;
  if (slot_label != nullptr) field.slot_label.Assign(slot_label);
  field.length = length;
  field.repeat = repeat;
}

int Catalogue::FindField(std::string_view name) const {
  const NameKeys& keys = SortedNames();
  const auto key = std::lower_bound(
      keys.begin(), keys.end(), name,
      [](const NameKey& entry, std::string_view wanted) { return entry.name < wanted; });
  return key != keys.end() && key->name == name ? key->id : -1;
}

void Catalogue::Prepare() const {
  SortedNames();
  codes_.Prepare();
}

void BuildFieldCatalogue(Catalogue& catalogue, Reporter& report) {
  for (const FieldRow& row : kFieldTable) {
    catalogue.RegisterField(row.id, row.name, row.offset, row.kind, row.length, row.slot_label,
                            row.repeat);
  }
  FillCodeNameTables(catalogue.codes(), report);
}

const Catalogue& SharedCatalogue() {
  // The shipped tables warn of nothing (a test holds them to that), so what
  // the build reports is left here.
  static const Catalogue shared = [] {
    Catalogue catalogue;
    MessageText warnings;
    BuildFieldCatalogue(catalogue, warnings);
    catalogue.Prepare();
    return catalogue;
  }();
  return shared;
}

}  // namespace kv5
