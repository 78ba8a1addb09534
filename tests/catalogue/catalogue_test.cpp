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
void ExpectLookupsWalkTheirTables(const Catalogue& catalogue, const char* when) {
  const auto Field = [&](int id) -> const FieldDefinition& { return catalogue.Field(id); };
  const auto FindField = [&](std::string_view name) { return catalogue.FindField(name); };
  const CodeNameTables& codes = catalogue.codes();
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
  ASSERT_EQ(codes.FindEquipment(ConstByteSpan()), -1);
  for (int index = 0; index <= codes.EquipmentCount() && index < kEquipmentCapacity; ++index) {
    for (const std::size_t length : {1, 2, 3, 4, 5, 8, 12}) {
      Code code(codes.EquipmentAt(index).code.begin(),
                codes.EquipmentAt(index).code.begin() + length);
      for (std::size_t at = 0; at <= length; ++at) {
        if (at < length) code[at] ^= 0x01;
        const int walked = Walk(kEquipmentCapacity, [&](int record) {
          return std::equal(code.begin(), code.end(), codes.EquipmentAt(record).code.begin());
        });
        ASSERT_EQ(codes.FindEquipment(code), walked)
            << when << ", " << length << " bytes of " << index;
        if (at < length) code[at] ^= 0x01;
      }
    }
  }
  for (int code = 0; code < 256; ++code) {
    EXPECT_EQ(codes.FindStyle(static_cast<std::uint8_t>(code)), Walk(kModelCount, [&](int index) {
                return codes.ModelAt(index).style_code == code;
              }));
    EXPECT_EQ(
        codes.FindVoiceSet(static_cast<std::uint8_t>(code)),
        Walk(kVoiceSetCapacity, [&](int index) { return codes.VoiceSetAt(index).code == code; }));
  }
}

// Both forms of a code give one record; a text never runs past its buffer;
// every equipment slot, the last one too, names the equipment of its code.
// Then every lookup finds what a walk over its table finds.
TEST(CatalogueTest, CodesAreNamedInEveryFormAndSlotAndLookupsFindWhatAWalkFinds) {
  // The shipped tables warn of nothing, and the shared catalogue is theirs.
  Catalogue catalogue;
  MessageText warnings;
  BuildFieldCatalogue(catalogue, warnings);
  EXPECT_EQ(warnings.text(), "");
  CodeNameTables& codes = catalogue.codes();
  codes.SetEquipmentGroup(80);
  codes.AddEquipment(0x1B, 0x0C, 0x00, 0x00, "four bytes", warnings);
  codes.AddEquipmentHex("1B0C0000", "no spaces", warnings);
  codes.AddEquipmentHex("1B 0c 7", "lone last digit", warnings);
  for (const int index : {163, 164, 165}) {
    EXPECT_EQ(
        Code(codes.EquipmentAt(index).code.begin(), codes.EquipmentAt(index).code.begin() + 5),
        (Code{0x1B, 0x0C, 0x00, 0x00, 0x00}));
    EXPECT_EQ(codes.EquipmentAt(index).group, 80);
  }
  EXPECT_EQ(HexPairToByte("xff", 1) + HexPairToByte("G7", 0), 0xFF + 0x07);
  FixedText<4> text;
  text.Assign("abcdef");
  EXPECT_EQ(std::string(text.c_str(), 4), std::string("abc\0", 4));

  ValueRecord item;
  std::copy_n(CodeNames().EquipmentAt(0).code.begin(), 4, item.bytes.begin());
  for (const int field : {kFirstEquipmentField - 1, kFirstEquipmentField, kLastEquipmentField,
                          kLastEquipmentField + 3}) {
    std::string note;
    AppendAnnotation(note, field, item);
    EXPECT_EQ(note.empty(), field < kFirstEquipmentField || field > kLastEquipmentField)
        << "field " << field;
  }
  ExpectLookupsWalkTheirTables(SharedCatalogue(), "the shared catalogue");
  EXPECT_EQ(CodeNames().EquipmentAt(66).group, kFirstSlotField + 1);
  EXPECT_EQ(CodeNames().EquipmentAt(146).group, kNoGroup);
  // Changes after a lookup count at once: a field name given to a lower id
  // than its own, new names for ids without a field, a renamed field; codes
  // that only a record never registered matched, one shared by earlier
  // records, the same first four bytes with a longer code.
  ExpectLookupsWalkTheirTables(catalogue, "after the build");
  catalogue.RegisterField(5, "Voice", 300, FieldKind::kByte, 0, nullptr, false);
  catalogue.RegisterField(4, "Triple", 200, FieldKind::kFloatTriple, 0, nullptr, false);
  catalogue.RegisterField(6, "Voice 2", 14, FieldKind::kByte, 0, nullptr, false);
  codes.SetEquipmentGroup(kNoGroup);
  codes.AddEquipmentHex("00 00 00 00 00 00 00 01", "zeros and one", warnings);
  codes.AddEquipmentHex("FF 00 00 FF", "again", warnings);
  codes.AddEquipmentHex("1B 17 00 00 AA", "longer", warnings);
  ExpectLookupsWalkTheirTables(catalogue, "after registrations");
  ExpectLookupsWalkTheirTables(Catalogue(), "when empty");
  // A full voice set table warns once, and a name that cannot be held is
  // refused with a warning.
  Catalogue full;
  for (int code = 0; code < kVoiceSetCapacity + 2; ++code)
    full.codes().AddVoiceSet(static_cast<std::uint8_t>(code), "voice", warnings);
  full.codes().AddEquipmentHex("01", std::string(kNameCapacity, 'n'), warnings);
  EXPECT_EQ(warnings.text(), "Warning, max voice sets!Too long name for generic equipment! " +
                                 std::string(kNameCapacity, 'n') + "\n");
  EXPECT_EQ(full.codes().VoiceSetCount(), kVoiceSetCapacity);
  EXPECT_EQ(full.codes().EquipmentCount(), 0);
}

}  // namespace
}  // namespace kv5
