// What makes a slot an entry, which edition a save is, and the large pages
// its image is kept in.

#include "save/slots.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "save/edition.h"
#include "save/large_pages.h"
#include "save_builder/save_builder.h"

// The aligned forms of operator new and delete, counted: a buffer must go
// back the way it came, which a plain build would not notice.
int aligned_news = 0;
int aligned_deletes = 0;

void* operator new(std::size_t size, std::align_val_t alignment) {
  ++aligned_news;
  const auto align = static_cast<std::size_t>(alignment);
  if (void* data = std::aligned_alloc(align, (size + align - 1) / align * align)) return data;
  throw std::bad_alloc();
}

void operator delete(void* data, std::align_val_t) noexcept {
  ++aligned_deletes;
  std::free(data);
}

namespace kv5 {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(SlotsTest, AnEntryIsASlotInsideTheSaveThatOpensWithTheWholeSignature) {
  EXPECT_TRUE(SlotInImage(5338104, kSlotCount - 1));
  EXPECT_FALSE(SlotInImage(5338103, kSlotCount - 1));
  EXPECT_TRUE(SlotInImage(5338103, kSlotCount - 2));
  const Bytes save = builder::SaveBuilder().WithEntry(3).Build();
  EXPECT_TRUE(SlotHoldsEntry(save, 2));
  EXPECT_FALSE(SlotHoldsEntry(save, 1));
  for (std::size_t k = 0; k < kEntrySignature.size(); ++k) {
    Bytes damaged = save;
    damaged[builder::SlotStart(3) + k] ^= 0x40;
    EXPECT_FALSE(SlotHoldsEntry(damaged, 2)) << "signature byte " << k;
    damaged = Bytes(save.begin(), save.begin() + builder::SlotStart(3) + k);
    EXPECT_FALSE(SlotHoldsEntry(damaged, 2)) << "the save ends before signature byte " << k;
  }
}

// A save is of the edition its title says, every byte of the title window
// counting and the byte before it not; a save that ends inside it is none.
TEST(EditionTest, EveryByteOfTheTitleWindowAndNoOtherCounts) {
  using builder::Title;
  constexpr std::size_t kWindowEnd = kTitleWindowOffset + kTitleWindowLength;
  for (const auto& [title, edition] :
       {std::pair{Title::kEditionFive, Edition::kFive}, {Title::kEditionFour, Edition::kFour}}) {
    const Bytes save = builder::SaveBuilder().WithTitle(title).WithLength(kWindowEnd).Build();
    EXPECT_EQ(DetectEdition(Bytes(save.begin(), save.end() - 1)), Edition::kUnknown);
    EXPECT_EQ(DetectEdition(save), edition);
    for (std::size_t at = kTitleWindowOffset - 1; at < kWindowEnd; ++at) {
      Bytes changed = save;
      changed[at] ^= 0x20;  // a letter of the other case, a zero no more
      EXPECT_EQ(DetectEdition(changed) == edition, at < kTitleWindowOffset) << at;
    }
  }
}

TEST(LargePagesTest, ABufferOfALargePageOrMoreIsAlignedAndGoesBackTheWayItCame) {
  for (const std::size_t size : {kLargePageSize - 1, kLargePageSize, 3 * kLargePageSize - 5}) {
    const int news = aligned_news;
    {
      const ImageBytes bytes(size);
      const std::size_t alignment = size < kLargePageSize ? 1 : kLargePageSize;
      EXPECT_EQ(aligned_news - news, size < kLargePageSize ? 0 : 1) << size;
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(bytes.data()) % alignment, 0u) << size;
    }
    EXPECT_EQ(aligned_deletes, aligned_news) << size;
  }
}

}  // namespace
}  // namespace kv5
