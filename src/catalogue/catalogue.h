#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "catalogue/code_tables.h"
#include "catalogue/field.h"
#include "save/reporter.h"

namespace kv5 {

// Field ids run from 0 to 228; not every id holds a field.
constexpr int kFieldCount = 229;

// The fields that other parts of the tool name, by id.
constexpr int kNameField = 1;
constexpr int kModelTypeField = 3;
constexpr int kVoiceField = 6;
constexpr int kFightingStyleField = 11;
constexpr int kFirstEquipmentField = 15;  // "Creation Mode Head Equipment"
constexpr int kFirstSlotField = 72;       // "UG0-Neck", the first labelled equipment slot
constexpr int kLastEquipmentField = 195;  // "Head Equipment (armor break?)"

// The definitions of an entry's fields and the code name tables: what the
// tool knows of the save format beyond its bytes. It starts empty, as
// registrations fill it.
class Catalogue {
 public:
  // Fills the definition of field `id`. A null `slot_label` leaves the label
  // as it is. An id outside the catalogue is ignored.
  void RegisterField(int id, std::string_view name, std::int32_t offset, FieldKind kind,
                     std::int32_t length, const char* slot_label, bool repeat);

  // The definition of field `id`, 0 to 228.
  const FieldDefinition& Field(int id) const { return fields_[static_cast<std::size_t>(id)]; }

  // The first field id, in ascending order, whose name equals `name`
  // exactly; -1 when none does. Ids without a field have an empty name, so
  // an empty name finds the first of them.
  int FindField(std::string_view name) const;

  CodeNameTables& codes() { return codes_; }
  const CodeNameTables& codes() const { return codes_; }

  // Sorts the indexes now, so that no lookup changes the catalogue.
  void Prepare() const;

 private:
  // The import looks up the name of every field line, some 21,000 in the
  // text of a full save, and comparing it with the 229 names one by one was
  // half of the import's time. FindField searches the names sorted instead,
  // equal names (the empty name of every id without a field) in id order.
  // They are sorted again on the first lookup after a change.
  struct NameKey {
    std::string_view name;  // into the catalogue's own buffer
    int id;
  };
  using NameKeys = std::array<NameKey, kFieldCount>;
  const NameKeys& SortedNames() const;

  std::array<FieldDefinition, kFieldCount> fields_;
  CodeNameTables codes_;
  mutable NameKeys names_{};
  mutable bool names_stale_ = true;
};

// Registers every field of an entry, then fills the code name tables, into
// `catalogue`; reports what the registrations warn of.
void BuildFieldCatalogue(Catalogue& catalogue, Reporter& report);

// The catalogue every session shares: built once, on first use, and never
// changed after.
const Catalogue& SharedCatalogue();

// Its definitions and lookups.
inline const FieldDefinition& Field(int id) { return SharedCatalogue().Field(id); }
inline int FindField(std::string_view name) { return SharedCatalogue().FindField(name); }
inline const CodeNameTables& CodeNames() { return SharedCatalogue().codes(); }

}  // namespace kv5
