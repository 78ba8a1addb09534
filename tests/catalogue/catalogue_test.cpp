// The field table checked against what the rest of the tool relies on, not
// restated row by row.

#include "catalogue/catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

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

// FindField as the plain walk over the ids, the first equal name winning.
int WalkNames(std::string_view name) {
  for (int id = 0; id < kFieldCount; ++id) {
    if (Field(id).name.view() == name) return id;
  }
  return -1;
}

// Every name, and names one change away from one: cut short, one more
// character, a space at either end, another letter case.
std::vector<std::string> ProbeNames() {
  std::vector<std::string> names = {"", " ", "=", std::string(148, 'x')};
  for (int id = 0; id < kFieldCount; ++id) {
    const std::string name(Field(id).name.view());
    names.insert(names.end(),
                 {name, name + " ", " " + name, name + "~", name + std::string(1, '\0')});
    if (!name.empty()) {
      names.push_back(name.substr(0, name.size() - 1));
      std::string other = name;
      other[0] = static_cast<char>(other[0] ^ 0x20);
      names.push_back(other);
    }
  }
  return names;
}

TEST_F(CatalogueTest, NameLookupFindsWhatAWalkOverTheIdsFinds) {
  auto check = [](const char* when) {
    for (const std::string& name : ProbeNames()) {
      ASSERT_EQ(FindField(name), WalkNames(name)) << when << ": \"" << name << "\"";
    }
  };
  check("after the build");
  // Changes after a lookup count at once: a name given to a lower id than
  // its own, a new name for an id without a field, a renamed field.
  RegisterField(5, "Voice", 300, FieldKind::kByte, 0, nullptr, false);
  RegisterField(4, "Triple", 200, FieldKind::kFloatTriple, 0, nullptr, false);
  RegisterField(6, "Voice 2", 14, FieldKind::kByte, 0, nullptr, false);
  EXPECT_EQ(FindField("Voice"), 5);
  EXPECT_EQ(FindField("Triple"), 4);
  EXPECT_EQ(FindField(""), 100) << "the first id still without a field";
  check("after registrations");
  ClearTables();
  EXPECT_EQ(FindField(""), 0);
  EXPECT_EQ(FindField("Voice"), -1);
  check("after clearing");
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
