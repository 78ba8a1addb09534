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

bool Unregistered(int id) {
  return id == 4 || id == 5 || id == 100 || id == 103 || id == 108 ||
         (id >= 153 && id <= 191) || id == 196 || id == 197;
}

TEST_F(CatalogueTest, EveryIdButTheUnregisteredOnesHoldsAField) {
  int registered = 0;
  for (int id = 0; id < kFieldCount; ++id) {
    const FieldDefinition& field = Field(id);
    EXPECT_EQ(field.registered(), !Unregistered(id)) << "id " << id;
    if (field.registered()) {
      ++registered;
    } else {
      EXPECT_EQ(field.kind, FieldKind::kNone) << "id " << id;
      EXPECT_TRUE(field.name.empty() && field.slot_label.empty()) << "id " << id;
    }
  }
  EXPECT_EQ(registered, 183);
}

TEST_F(CatalogueTest, NamesCanStandAsKeysOfTheTextFile) {
  std::set<std::string> names;
  for (int id = 0; id < kFieldCount; ++id) {
    if (!Field(id).registered()) continue;
    const std::string name(Field(id).name.view());
    EXPECT_TRUE(names.insert(name).second) << "duplicate name " << name;
    EXPECT_GE(name.size(), 2u) << name;
    EXPECT_LE(name.size(), 37u) << name;
    EXPECT_EQ(name.find('='), std::string::npos) << name;
    EXPECT_NE(name.front(), ' ') << name;
    EXPECT_NE(name.back(), ' ') << name;
    for (const char c : name) EXPECT_TRUE(c >= 32 && c <= 126) << name;
    EXPECT_EQ(FindField(name), id) << name;
  }
  EXPECT_EQ(FindField("Character style"), 107);
  EXPECT_EQ(FindField("character style"), -1);
  EXPECT_EQ(FindField("Name "), -1);
  EXPECT_EQ(FindField(""), 4) << "an empty name finds the first id without a field";
}

int FieldSize(const FieldDefinition& field) {
  switch (field.kind) {
    case FieldKind::kByte:
      return 1;
    case FieldKind::kFloat:
      return 4;
    case FieldKind::kByteArray:
      return field.length;
    default:
      return 20;  // a text value of at most 19 characters and its NUL
  }
}

TEST_F(CatalogueTest, FieldsLieBetweenTheSignatureAndTheThumbnail) {
  for (int id = 0; id < kFieldCount; ++id) {
    const FieldDefinition& field = Field(id);
    if (!field.registered()) continue;
    EXPECT_GE(field.offset, 10) << "id " << id;
    EXPECT_LE(field.offset + FieldSize(field), 13464) << "id " << id;
    if (field.kind == FieldKind::kByteArray) {
      EXPECT_TRUE(field.length == 2 || field.length == 4 || field.length == 8) << "id " << id;
    } else {
      EXPECT_EQ(field.length, 0) << "id " << id;
    }
  }
}

TEST_F(CatalogueTest, OnlyTheListedFieldsShareBytes) {
  std::set<std::pair<int, int>> sharing;
  for (int a = 0; a < kFieldCount; ++a) {
    for (int b = a + 1; b < kFieldCount; ++b) {
      const FieldDefinition& x = Field(a);
      const FieldDefinition& y = Field(b);
      if (!x.registered() || !y.registered()) continue;
      if (x.offset < y.offset + FieldSize(y) && y.offset < x.offset + FieldSize(x)) {
        sharing.insert({a, b});
      }
    }
  }
  // Text fields are counted at their longest, so a name may reach the next one.
  const std::set<std::pair<int, int>> expected = {{9, 13}, {10, 28}, {29, 34}, {30, 36}};
  EXPECT_EQ(sharing, expected);
}

TEST_F(CatalogueTest, RepeatFlagsMarkTheSecondCopiesOfTheUgSlots) {
  for (int id = 0; id < kFieldCount; ++id) {
    const bool repeat = (id >= 111 && id <= 124) || (id >= 139 && id <= 152);
    EXPECT_EQ(Field(id).repeat, repeat) << "id " << id;
  }
  for (int k = 0; k < 14; ++k) {
    const std::string label = "UG" + std::to_string(k);
    for (const int id : {72 + k, 111 + k, 125 + k, 139 + k}) {
      EXPECT_EQ(Field(id).slot_label.view(), label) << "id " << id;
    }
    // A repeat lies one slot array copy (288 bytes) after the slot it repeats.
    EXPECT_EQ(Field(111 + k).offset, Field(72 + k).offset + 288);
    EXPECT_EQ(Field(139 + k).offset, Field(125 + k).offset + 288);
  }
  EXPECT_TRUE(Field(99).slot_label.empty());
  EXPECT_TRUE(Field(195).slot_label.empty());
}

}  // namespace
}  // namespace kv5
