#include "values/codec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kv5 {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::optional<ValueRecord> Decode(FieldKind kind, const Bytes& bytes, std::int32_t length = 0) {
  ValueRecord value;
  if (!DecodeField(kind, length, bytes, value)) return std::nullopt;
  return value;
}

Bytes Encode(FieldKind kind, const ValueRecord& value, Bytes into, std::int32_t length = 0) {
  EncodeField(kind, length, value, into);
  return into;
}

TEST(CodecTest, NumbersAreBigEndianAndComeBackAsTheyWent) {
  EXPECT_EQ(Decode(FieldKind::kInt16, {0xFF, 0xFE})->integer_value, 65534);
  EXPECT_EQ(Decode(FieldKind::kInt32, {0x80, 0x00, 0x00, 0x01})->integer_value, -2147483647);
  EXPECT_EQ(Decode(FieldKind::kFloat, {0x3F, 0x80, 0x00, 0x00})->floats[0], 1.0f);
  const std::vector<std::pair<FieldKind, Bytes>> cases = {
      {FieldKind::kInt16, {0xFF, 0xFE}},
      {FieldKind::kInt32, {0x80, 0x00, 0x00, 0x01}},
      {FieldKind::kByte, {0xA7}},
      {FieldKind::kFloat, {0xBF, 0x00, 0x00, 0x00}},
      {FieldKind::kFloat, {0x7F, 0xA0, 0x00, 0x01}},  // a NaN with a payload
  };
  for (const auto& [kind, bytes] : cases) {
    EXPECT_EQ(Encode(kind, *Decode(kind, bytes), Bytes(bytes.size(), 0x55)), bytes);
  }
}

TEST(CodecTest, ByteArraysKeepTheirOrderAndLength) {
  const Bytes bytes = {1, 2, 3, 4, 5, 6, 7, 8};
  const ValueRecord value = *Decode(FieldKind::kByteArray, bytes, 8);
  EXPECT_EQ(Encode(FieldKind::kByteArray, value, Bytes(10, 0xEE), 8),
            (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 0xEE, 0xEE}));
  EXPECT_TRUE(Decode(FieldKind::kByteArray, bytes, 0)) << "an empty array is still present";
}

TEST(CodecTest, TextIsThePrintableRunAtTheFieldsFirstByte) {
  EXPECT_EQ(Decode(FieldKind::kText, {0x41, 0x62, 0x63, 0x01, 0x44})->text.view(), "Abc");
  EXPECT_EQ(Decode(FieldKind::kText, {0x41, 0x20, 0x42, 0x00})->text.view(), "A B");
  EXPECT_EQ(Decode(FieldKind::kText, {0x41, 0x42})->text.view(), "AB") << "ended by the image";
  for (const std::uint8_t first : {0x00, 0x1F, 0x7F, 0x80, 0xFF}) {
    EXPECT_FALSE(Decode(FieldKind::kText, {first, 0x41, 0x00})) << int{first};
  }
  const std::string nineteen(19, 'n');
  Bytes bytes(nineteen.begin(), nineteen.end());
  EXPECT_EQ(Decode(FieldKind::kText, bytes)->text.view(), nineteen);
  bytes.push_back('n');
  EXPECT_FALSE(Decode(FieldKind::kText, bytes)) << "absent rather than cut short";
}

TEST(CodecTest, EncodedTextEndsWithOneNulAndLeavesTheRestAlone) {
  ValueRecord value;
  value.text.Assign("Kai");
  EXPECT_EQ(Encode(FieldKind::kText, value, Bytes{'L', 'o', 'n', 'g', 'e', 'r'}),
            (Bytes{'K', 'a', 'i', 0, 'e', 'r'}));
}

TEST(CodecTest, KindsThatLiveOnlyInTheTextAreNeitherDecodedNorEncoded) {
  for (const FieldKind kind : {FieldKind::kInteger, FieldKind::kFloatTriple, FieldKind::kNone}) {
    EXPECT_FALSE(Decode(kind, Bytes(12, 1)));
    ValueRecord value;
    value.floats = {1.0f, 2.0f, 3.0f};
    EXPECT_EQ(Encode(kind, value, Bytes(12, 0x55)), Bytes(12, 0x55));
  }
}

}  // namespace
}  // namespace kv5
