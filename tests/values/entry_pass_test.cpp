#include "values/entry_pass.h"

#include <gtest/gtest.h>

#include <string>

#include "catalogue/catalogue.h"
#include "save_builder/save_builder.h"
#include "support/tool_session.h"
#include "values/value_store.h"

namespace kv5 {
namespace {

using builder::SaveBuilder;

class EntryPassTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearTables();
    BuildFieldCatalogue();
    TheValueStore().modified_count = 0;
  }

  static std::string Pass(PassDirection direction, SaveImage& image) {
    testing::StdoutCapture output;
    ProcessSaveData(direction, image);
    return output.Take();
  }

  static EntryValues& Entry(int slot) { return TheValueStore().entries[static_cast<std::size_t>(slot)]; }
};

SaveImage ImageOf(std::vector<std::uint8_t> bytes) {
  SaveImage image;
  image.bytes = std::move(bytes);
  image.edition = Edition::kFive;
  return image;
}

TEST_F(EntryPassTest, CountsEntriesAndReplaysInTheSummary) {
  SaveImage empty = ImageOf(SaveBuilder().Build());
  EXPECT_EQ(Pass(PassDirection::kDecode, empty),
            "Processing save data.\nFound 0 custom character entries.\n");
  EXPECT_EQ(Pass(PassDirection::kEncode, empty),
            "Processing save data.\nFound 0 custom character entries.\nModified 0 entries.\n");

  SaveImage custom = ImageOf(SaveBuilder().WithEntry(1).WithEntry(3).Build());
  EXPECT_EQ(Pass(PassDirection::kDecode, custom),
            "Processing save data.\nFound 2 custom character entries.\n");
  EXPECT_TRUE(Entry(0).touched && Entry(2).touched);
  EXPECT_FALSE(Entry(1).touched);
  EXPECT_EQ(TheValueStore().scanned_slot_count, 118);

  SaveImage replays = ImageOf(SaveBuilder().WithEntry(50).WithEntry(51).WithEntry(118).Build());
  EXPECT_EQ(Pass(PassDirection::kDecode, replays),
            "Processing save data.\nFound 3 custom character entries. 2 of those are from replays.\n");
}

TEST_F(EntryPassTest, ASaveCutShortEndsThePassWithoutASummary) {
  const std::size_t inside_slot_10 = builder::SlotStart(10) + 100;
  SaveImage image = ImageOf(SaveBuilder().WithEntry(2).WithLength(inside_slot_10).Build());
  EXPECT_EQ(Pass(PassDirection::kDecode, image), "Processing save data.\n");
  EXPECT_EQ(TheValueStore().scanned_slot_count, 9);
  EXPECT_TRUE(Entry(1).touched);
}

TEST_F(EntryPassTest, DecodesEveryFieldOfAnEntry) {
  SaveImage image = ImageOf(SaveBuilder()
                                .WithBlankEntry(3)
                                .WithText(3, 13249, "Kai")
                                .WithFloat(3, 116, 1.25f)
                                .WithBytes(3, 1132, {0x1B, 0x0C, 0x00, 0x00})
                                .Build());
  Pass(PassDirection::kDecode, image);
  const EntryValues& entry = Entry(2);
  EXPECT_EQ(entry.values[1].text.view(), "Kai");
  EXPECT_FALSE(entry.present[0]) << "a blank text field is absent";
  EXPECT_EQ(entry.values[34].floats[0], 1.25f) << "Scale-Head";
  EXPECT_EQ(entry.values[29].floats[0], 1.25f) << "Height 2 shares its bytes";
  EXPECT_EQ(entry.values[72].bytes[0], 0x1B);
  EXPECT_FALSE(entry.present[4]) << "an id without a field";
}

TEST_F(EntryPassTest, WritesBackOnlyTheGivenFieldsOfTouchedCustomEntries) {
  const std::vector<std::uint8_t> original =
      SaveBuilder(11).WithEntry(1).WithEntry(3).WithEntry(52).Build();
  SaveImage image = ImageOf(original);
  // As if the text named Scale-Head for slots 2, 3 and 52; slot 2 holds no entry.
  for (const int slot : {1, 2, 51}) {
    Entry(slot).values[34].floats[0] = 1.5f;
    Entry(slot).present[34] = true;
    Entry(slot).touched = true;
  }
  EXPECT_EQ(Pass(PassDirection::kEncode, image),
            "Processing save data.\nFound 3 custom character entries. 1 of those are from replays.\n"
            "Modified 1 entries.\n");
  const std::size_t scale_head = builder::SlotStart(3) + 116;
  for (std::size_t i = 0; i < original.size(); ++i) {
    if (i >= scale_head && i < scale_head + 4) continue;
    ASSERT_EQ(image.bytes[i], original[i]) << "byte " << i;
  }
  EXPECT_EQ(std::vector<std::uint8_t>(image.bytes.begin() + scale_head, image.bytes.begin() + scale_head + 4),
            (std::vector<std::uint8_t>{0x3F, 0xC0, 0x00, 0x00}));
}

TEST_F(EntryPassTest, DecodingAndEncodingAgainChangesOnlyTheEndsOfTexts) {
  const std::vector<std::uint8_t> original = SaveBuilder(5).WithEntry(4).WithEntry(20).Build();
  SaveImage image = ImageOf(original);
  Pass(PassDirection::kDecode, image);
  Pass(PassDirection::kEncode, image);
  for (std::size_t i = 0; i < original.size(); ++i) {
    if (image.bytes[i] == original[i]) continue;
    // The only change allowed: a NUL after a decoded text, in place of the
    // unprintable byte that ended it.
    EXPECT_EQ(image.bytes[i], 0) << "byte " << i;
    EXPECT_TRUE(original[i] < 32 || original[i] > 126) << "byte " << i;
  }
}

}  // namespace
}  // namespace kv5
