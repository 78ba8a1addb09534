#pragma once

#include <cstdint>

#include "catalogue/fixed_text.h"

namespace kv5 {

// How a field's bytes are encoded in an entry. Integers and float bit
// patterns are big-endian. kInteger and kFloatTriple live only in the value
// store and the text; no field of the entry uses them, nor the two integers.
enum class FieldKind : std::int32_t {
  kNone = -1,  // a cleared definition: no field
  kText = 1,   // printable ASCII closed by a NUL
  kByte = 2,
  kInt16 = 3,
  kInt32 = 4,
  kFloat = 5,  // IEEE-754 single
  kInteger = 6,
  kFloatTriple = 7,
  kByteArray = 8,  // `length` bytes in entry order
};

// Names and labels are held in buffers of this size, NUL included.
constexpr std::size_t kNameCapacity = 100;

// One named field of an entry. The name is also the field's key in the text
// file. Fields that hold an equipment slot carry the slot's short label; the
// second copies of the "UG" slots are flagged as repeats.
struct FieldDefinition {
  std::int32_t offset = -1;  // from the entry's first byte; -1: no field
  FieldKind kind = FieldKind::kNone;
  std::int32_t length = 0;  // byte arrays only
  FixedText<kNameCapacity> name;
  FixedText<kNameCapacity> slot_label;
  bool repeat = false;

  bool registered() const { return offset != -1; }
};

}  // namespace kv5
