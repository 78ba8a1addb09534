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

}  // namespace kv5
