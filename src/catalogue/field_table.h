#pragma once

#include <array>
#include <cstdint>

#include "catalogue/field.h"

namespace kv5 {

// One registration of the field catalogue.
struct FieldRow {
  int id;
  const char* name;
  const char* slot_label;  // null: the field has no label
  std::int32_t offset;
  FieldKind kind;
  std::int32_t length;
  bool repeat;
};

constexpr std::size_t kRegisteredFieldCount = 183;

extern const std::array<FieldRow, kRegisteredFieldCount> kFieldTable;

// The fields of an entry as the export lists them, by id, in runs that
// belong together, each with a title for a front end; each run goes on to
// the next one's first id.
struct FieldGroupRow {
  int first_field;
  const char* title;
};

constexpr std::size_t kFieldGroupCount = 13;
extern const std::array<FieldGroupRow, kFieldGroupCount> kFieldGroups;

}  // namespace kv5
