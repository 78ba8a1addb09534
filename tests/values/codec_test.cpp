#include "values/codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "save_builder/save_builder.h"
#include "support/tool_session.h"
#include "text/text_import.h"
#include "values/entry_pass.h"

namespace kv5 {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::optional<ValueRecord> Decode(FieldKind kind, const Bytes& bytes) {
  ValueRecord value;
  if (!DecodeField(kind, 0, bytes, value)) return std::nullopt;
  return value;
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
  for (const std::uint8_t first : {0x00, 0x1F, 0x7F, 0x80, 0xFF}) {
    EXPECT_FALSE(Decode(FieldKind::kText, {first, 0x41, 0x00})) << int{first};
  }
  EXPECT_EQ(Decode(FieldKind::kText, Bytes(19, 'n'))->text.size(), 19u);
  EXPECT_FALSE(Decode(FieldKind::kText, Bytes(20, 'n'))) << "absent rather than cut short";
  value.text.Assign("Kai");
  const Bytes longer = {'L', 'o', 'n', 'g', 'e', 'r'};
  EXPECT_EQ(Encode(FieldKind::kText, value, longer, 6), (Bytes{'K', 'a', 'i', 0, 'e', 'r'}));
  EXPECT_EQ(Encode(FieldKind::kText, value, longer, 3), longer) << "no room for the NUL";
}

// True when no entry of the store holds anything, as at start.
bool StoreIsClear() {
  const auto zero = [](auto x) { return x == 0; };
  for (const EntryValues& entry : TheValueStore().entries) {
    if (entry.touched || std::count(entry.present.begin(), entry.present.end(), true) > 0)
      return false;
    for (const ValueRecord& value : entry.values) {
      if (value.byte_value != 0 || value.integer_value != 0 || !value.text.empty() ||
          !std::all_of(value.floats.begin(), value.floats.end(), zero) ||
          !std::all_of(value.bytes.begin(), value.bytes.end(), zero))
        return false;
    }
  }
  return true;
}

// The clearing of the value store writes only the entries a run touched:
// after it the whole store must be as cleared as it was at start.
TEST(ValueStoreTest, ClearingAfterDecodeAndImportLeavesEveryEntryCleared) {
  ClearTables();
  BuildFieldCatalogue();
  ASSERT_TRUE(StoreIsClear());
  SaveImage image;
  image.bytes.assign(100, 0);
  DecodeValue(FindField("Name"), 0, 0, image);
  EXPECT_TRUE(StoreIsClear()) << "a field found absent touches nothing";

  builder::SaveBuilder save(9);
  for (int slot = 1; slot <= 118; slot += 3) save.WithExactValues(slot);
  const std::vector<std::uint8_t> bytes = save.WithEntry(2).Build();
  image.bytes.assign(bytes.begin(), bytes.end());
  testing::ToolSession session;
  session.Write("edit.txt",
                "[ENTRY1to200]\nName=Abc\nScale-Head=2.5\nModel Type=01 02\nVoice=7F\n"
                "[ENTRY5]\nName=this one is too long to be stored\nColor-Skin=1 2 3\n");
  {
    testing::StdoutCapture quiet;
    ProcessSaveData(PassDirection::kDecode, image);
    File text = File::Open(session.PathOf("edit.txt"), "rb");
    ReadTextFile(text, "edit.txt");
  }
  ASSERT_FALSE(StoreIsClear()) << "the decode and the import stored values";
  EXPECT_TRUE(TheValueStore().entries[199].touched) << "the range reaches the last entry";
  ResetValueStore();
  EXPECT_TRUE(StoreIsClear());
}

}  // namespace
}  // namespace kv5
