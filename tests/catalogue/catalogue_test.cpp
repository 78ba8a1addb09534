// The field table checked against what the rest of the tool relies on, not
// restated row by row.

#include "catalogue/catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace kv5 {
namespace {

class CatalogueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearTables();
    BuildFieldCatalogue();
  }
};

// Bytes a field may occupy: a text value of 19 characters has a NUL after it.
int Extent(const FieldDefinition& field) {
  switch (field.kind) {
    case FieldKind::kByte:
      return 1;
    case FieldKind::kFloat:
      return 4;
    case FieldKind::kByteArray:
      return field.length;
    default:
      return 20;
  }
}

TEST_F(CatalogueTest, FieldsLieInsideTheEntryUnderUniqueNames) {
  const auto unregistered = [](int id) {
    return id == 4 || id == 5 || id == 100 || id == 103 || id == 108 || (id >= 153 && id <= 191) ||
           id == 196 || id == 197;
  };
  std::set<std::string> names;
  for (int id = 0; id < kFieldCount; ++id) {
    const FieldDefinition& field = Field(id);
    ASSERT_EQ(field.registered(), !unregistered(id)) << "id " << id;
    if (!field.registered()) {
      EXPECT_TRUE(field.kind == FieldKind::kNone && field.name.empty()) << "id " << id;
      continue;
    }
    const std::string name(field.name.view());
    EXPECT_TRUE(names.insert(name).second) << name;
    // A name is the key of a text line: found by exact comparison, cut at "=",
    // trimmed of trailing spaces.
    EXPECT_TRUE(name.size() >= 2 && name.size() <= 37 && name.find('=') == std::string::npos &&
                name.front() != ' ' && name.back() != ' ')
        << name;
    EXPECT_EQ(FindField(name), id) << name;
    EXPECT_GE(field.offset, 10) << name << " overlaps the signature";
    EXPECT_LE(field.offset + Extent(field), 13464) << name << " reaches the thumbnail";
    const bool byte_array = field.kind == FieldKind::kByteArray;
    EXPECT_TRUE(byte_array ? field.length == 2 || field.length == 4 || field.length == 8
                           : field.length == 0)
        << name;
  }
  EXPECT_EQ(names.size(), 183u);
  EXPECT_EQ(FindField("character style"), -1) << "letter case counts";
  EXPECT_EQ(FindField(""), 4) << "an empty name finds the first id without a field";
}

TEST_F(CatalogueTest, OnlyTheKnownPairsOfFieldsShareBytes) {
  std::set<std::pair<int, int>> sharing;
  for (int a = 0; a < kFieldCount; ++a) {
    for (int b = a + 1; b < kFieldCount; ++b) {
      const FieldDefinition& x = Field(a);
      const FieldDefinition& y = Field(b);
      if (x.registered() && y.registered() && x.offset < y.offset + Extent(y) &&
          y.offset < x.offset + Extent(x)) {
        sharing.insert({a, b});
      }
    }
  }
  // Voice Malfestation and Face, Character Type and Height 1, Height 2 and
  // Scale-Head, Height 3 and Scale-Entirebody.
  EXPECT_EQ(sharing, (std::set<std::pair<int, int>>{{9, 13}, {10, 28}, {29, 34}, {30, 36}}));
}

TEST_F(CatalogueTest, RepeatFlagsMarkTheSecondCopiesOfTheUgSlots) {
  for (int id = 0; id < kFieldCount; ++id) {
    EXPECT_EQ(Field(id).repeat, (id >= 111 && id <= 124) || (id >= 139 && id <= 152))
        << "id " << id;
  }
  for (int k = 0; k < 14; ++k) {
    for (const int id : {72 + k, 111 + k, 125 + k, 139 + k}) {
      EXPECT_EQ(Field(id).slot_label.view(), "UG" + std::to_string(k)) << "id " << id;
    }
    // A repeat lies one slot array copy, 288 bytes, after the slot it repeats.
    EXPECT_EQ(Field(111 + k).offset, Field(72 + k).offset + 288);
    EXPECT_EQ(Field(139 + k).offset, Field(125 + k).offset + 288);
  }
}

}  // namespace
}  // namespace kv5
