// The clearing of the value store, which writes only the entries a run
// touched: after it the whole store must be as cleared as it was at start.

#include "values/value_store.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "catalogue/catalogue.h"
#include "save_builder/save_builder.h"
#include "support/tool_session.h"
#include "text/text_import.h"
#include "values/entry_pass.h"

namespace kv5 {
namespace {

bool RecordIsClear(const ValueRecord& value) {
  const auto zero = [](auto x) { return x == 0; };
  return value.byte_value == 0 && value.integer_value == 0 &&
         std::all_of(value.floats.begin(), value.floats.end(), zero) &&
         std::all_of(value.bytes.begin(), value.bytes.end(), zero) &&
         std::string_view(value.text.c_str(), kStoreTextCapacity) ==
             std::string_view("\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", kStoreTextCapacity);
}

// The index of the first entry that is not cleared, or -1.
int FirstUnclearedEntry() {
  const ValueStore& store = TheValueStore();
  for (int index = 0; index < kStoreEntryCount; ++index) {
    const EntryValues& entry = store.entries[static_cast<std::size_t>(index)];
    const bool clear =
        !entry.touched &&
        std::none_of(entry.present.begin(), entry.present.end(), [](bool p) { return p; }) &&
        std::all_of(entry.values.begin(), entry.values.end(), RecordIsClear);
    if (!clear) return index;
  }
  return -1;
}

TEST(ValueStoreTest, ClearingAfterDecodeAndImportLeavesEveryEntryCleared) {
  ClearTables();
  BuildFieldCatalogue();
  ASSERT_EQ(FirstUnclearedEntry(), -1);

  SaveImage image;
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
  ASSERT_EQ(FirstUnclearedEntry(), 0) << "the decode and the import stored values";
  EXPECT_TRUE(TheValueStore().entries[199].touched) << "the range reaches the last entry";

  ResetValueStore();
  EXPECT_EQ(FirstUnclearedEntry(), -1);
  ClearTables();
  EXPECT_EQ(FirstUnclearedEntry(), -1) << "a second clearing finds nothing to do";
}

}  // namespace
}  // namespace kv5
