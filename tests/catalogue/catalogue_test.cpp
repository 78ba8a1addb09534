// The lookups of the field and code tables against plain walks over them.

#include "catalogue/catalogue.h"

#include <gtest/gtest.h>

#include "catalogue/code_tables.h"
#include "catalogue/hex.h"
#include "text/annotation.h"

namespace kv5 {
namespace {

using Code = std::vector<std::uint8_t>;

// Each lookup as the plain walk over its whole table: the first match wins,
// records never registered take part.
template <typename Matches>
int Walk(int count, Matches matches) {
  for (int index = 0; index < count; ++index)
    if (matches(index)) return index;
  return -1;
}

// Looks up every name, and names one change away from one (cut short, one
// more character, a space at either end, another letter case); every code
// registered at the lengths fields have, and with one byte off; every
// style and voice set code.
void ExpectLookupsWalkTheirTables(const char* when) {
  std::vector<std::string> names = {"", " ", "=", "~", std::string(1, '\0'), std::string(148, 'x')};
  for (int id = 0; id < kFieldCount; ++id) {
    const std::string name(Field(id).name.view());
    if (name.empty()) continue;
    names.insert(names.end(), {name, name + " ", " " + name, name + "~", name + '\0',
                               name.substr(0, name.size() - 1),
                               static_cast<char>(name[0] ^ 0x20) + name.substr(1)});
  }
  for (const std::string& name : names) {
    ASSERT_EQ(FindField(name),
              Walk(kFieldCount, [&](int id) { return Field(id).name.view() == name; }))
        << when << ": \"" << name << "\"";
  }
  ASSERT_EQ(FindEquipment(ConstByteSpan()), -1);
  for (int index = 0; index <= EquipmentCount() && index < kEquipmentCapacity; ++index) {
    for (const std::size_t length : {1, 2, 3, 4, 5, 8, 12}) {
      Code code(EquipmentAt(index).code.begin(), EquipmentAt(index).code.begin() + length);
      for (std::size_t at = 0; at <= length; ++at) {
        if (at < length) code[at] ^= 0x01;
        const int walked = Walk(kEquipmentCapacity, [&](int record) {
          return std::equal(code.begin(), code.end(), EquipmentAt(record).code.begin());
        });
        ASSERT_EQ(FindEquipment(code), walked) << when << ", " << length << " bytes of " << index;
        if (at < length) code[at] ^= 0x01;
      }
    }
  }
  for (int code = 0; code < 256; ++code) {
    EXPECT_EQ(FindStyle(static_cast<std::uint8_t>(code)),
              Walk(kModelCount, [&](int index) { return ModelAt(index).style_code == code; }));
    EXPECT_EQ(FindVoiceSet(static_cast<std::uint8_t>(code)),
              Walk(kVoiceSetCapacity, [&](int index) { return VoiceSetAt(index).code == code; }));
  }
}

// Both forms of a code give one record; a text never runs past its buffer;
// every equipment slot, the last one too, names the equipment of its code.
// Then every lookup finds what a walk over its table finds.
TEST(CatalogueTest, CodesAreNamedInEveryFormAndSlotAndLookupsFindWhatAWalkFinds) {
  ClearTables();
  BuildFieldCatalogue();
  SetEquipmentGroup(80);
  AddEquipment(0x1B, 0x0C, 0x00, 0x00, "four bytes");
  AddEquipmentHex("1B0C0000", "no spaces");
  AddEquipmentHex("1B 0c 7", "lone last digit");
  for (const int index : {163, 164, 165}) {
    EXPECT_EQ(Code(EquipmentAt(index).code.begin(), EquipmentAt(index).code.begin() + 5),
              (Code{0x1B, 0x0C, 0x00, 0x00, 0x00}));
    EXPECT_EQ(EquipmentAt(index).group, 80);
  }
  EXPECT_EQ(HexPairToByte("xff", 1) + HexPairToByte("G7", 0), 0xFF + 0x07);
  FixedText<4> text;
  text.Assign("abcdef");
  EXPECT_EQ(std::string(text.c_str(), 4), std::string("abc\0", 4));

  ValueRecord item;
  std::copy_n(EquipmentAt(0).code.begin(), 4, item.bytes.begin());
  for (const int field : {14, 15, 195, 198}) {
    std::string note;
    AppendAnnotation(note, field, item);
    EXPECT_EQ(note.empty(), field == 14 || field == 198) << "field " << field;
  }
  ExpectLookupsWalkTheirTables("after the build");
  EXPECT_EQ(EquipmentAt(66).group, 73);
  EXPECT_EQ(EquipmentAt(146).group, kNoGroup);
  // Changes after a lookup count at once: a field name given to a lower id
  // than its own, new names for ids without a field, a renamed field; codes
  // that only a record never registered matched, one shared by earlier
  // records, the same first four bytes with a longer code.
  RegisterField(5, "Voice", 300, FieldKind::kByte, 0, nullptr, false);
  RegisterField(4, "Triple", 200, FieldKind::kFloatTriple, 0, nullptr, false);
  RegisterField(6, "Voice 2", 14, FieldKind::kByte, 0, nullptr, false);
  SetEquipmentGroup(kNoGroup);
  AddEquipmentHex("00 00 00 00 00 00 00 01", "zeros and one");
  AddEquipmentHex("FF 00 00 FF", "again");
  AddEquipmentHex("1B 17 00 00 AA", "longer");
  ExpectLookupsWalkTheirTables("after registrations");
  ClearTables();
  ExpectLookupsWalkTheirTables("after clearing");
}

}  // namespace
}  // namespace kv5
