#include "values/codec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kv5 {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::optional<ValueRecord> Decode(FieldKind kind, const Bytes& bytes) {
  ValueRecord value;
  return DecodeField(kind, 0, bytes, value) ? std::optional(value) : std::nullopt;
}

// Encodes into the first `room` bytes of `into`.
Bytes Encode(FieldKind kind, const ValueRecord& value, Bytes into, std::size_t room) {
  EncodeField(kind, 0, value, ByteSpan(into.data(), room));
  return into;
}

// Integers, which no field of an entry has and so no round trip of a save
// covers, are big-endian. Text is the printable run at the field's first
// byte, written back with its NUL only where there is room for it.
TEST(CodecTest, NumbersAreBigEndianAndTextEndsAtTheFirstUnprintableByte) {
  EXPECT_EQ(Decode(FieldKind::kInt16, {0xFF, 0xFE})->integer_value, 65534);
  EXPECT_EQ(Decode(FieldKind::kInt32, {0x80, 0x00, 0x00, 0x01})->integer_value, -2147483647);
  ValueRecord value;
  value.integer_value = -2;
  EXPECT_EQ(Encode(FieldKind::kInt16, value, Bytes(3, 0x55), 3), (Bytes{0xFF, 0xFE, 0x55}));
  EXPECT_EQ(Decode(FieldKind::kText, {'A', 'b', '~', 0x7F, 'D'})->text.view(), "Ab~");
  EXPECT_EQ(Decode(FieldKind::kText, {' ', 'B'})->text.view(), " B") << "ended by the image";
  for (const std::uint8_t first : {0x00, 0x1F, 0x7F, 0x80, 0xFF})
    EXPECT_FALSE(Decode(FieldKind::kText, {first, 0x41, 0x00})) << int{first};
  value.text.Assign("Kai");
  const Bytes longer = {'L', 'o', 'n', 'g', 'e', 'r'};
  EXPECT_EQ(Encode(FieldKind::kText, value, longer, 6), (Bytes{'K', 'a', 'i', 0, 'e', 'r'}));
  EXPECT_EQ(Encode(FieldKind::kText, value, longer, 3), longer) << "no room for the NUL";
}

}  // namespace
}  // namespace kv5
