#include "save/slots.h"

#include <gtest/gtest.h>

#include "save_builder/save_builder.h"

namespace kv5 {
namespace {

TEST(SlotsTest, EntriesFollowTheSaveLayout) {
  EXPECT_EQ(SlotOffset(0), 74220);
  EXPECT_EQ(SlotOffset(kSlotCount - 1) + kEntrySize, 5338104);
  for (int slot = 1; slot < kSlotCount; ++slot) {
    const std::int32_t gap = SlotOffset(slot) - (SlotOffset(slot - 1) + kEntrySize);
    EXPECT_GE(gap, 0) << "slot " << slot + 1 << " overlaps the one before it";
    // The custom slots come in three runs without gaps between their entries.
    if (slot < kCustomSlotCount) {
      const std::int32_t expected_gap = slot == 23 ? 16384 : slot == 46 ? 8192 : 0;
      EXPECT_EQ(gap, expected_gap) << "before slot " << slot + 1;
    }
  }
  EXPECT_EQ(kThumbnailSize, 16368);
}

TEST(SlotsTest, ASlotIsInsideTheImageOnlyWhenItsWholeEntryIs) {
  EXPECT_TRUE(SlotInImage(5338104, kSlotCount - 1));
  EXPECT_FALSE(SlotInImage(5338103, kSlotCount - 1));
  EXPECT_TRUE(SlotInImage(5338103, kSlotCount - 2));

  // A save that ends in the middle of slot 10.
  const std::int64_t size = SlotOffset(9) + kEntrySize / 2;
  EXPECT_TRUE(SlotInImage(size, 8));
  for (int slot = 9; slot < kSlotCount; ++slot) EXPECT_FALSE(SlotInImage(size, slot));
  EXPECT_FALSE(SlotInImage(0, 0));
}

TEST(SlotsTest, AnEntryIsASlotThatOpensWithTheSignature) {
  std::vector<std::uint8_t> save = builder::SaveBuilder().WithEntry(3).Build();
  EXPECT_TRUE(SlotHoldsEntry(save, 2));
  EXPECT_FALSE(SlotHoldsEntry(save, 1));
  for (std::size_t k = 0; k < kEntrySignature.size(); ++k) {
    std::vector<std::uint8_t> damaged = save;
    damaged[builder::SlotStart(3) + k] ^= 0x40;
    EXPECT_FALSE(SlotHoldsEntry(damaged, 2)) << "signature byte " << k;
  }
}

}  // namespace
}  // namespace kv5
