// What makes a slot an entry, which edition a save is, and the large pages
// its image is kept in.

#include "save/slots.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <numeric>

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
  void* data = std::aligned_alloc(align, (size + align - 1) / align * align);
  if (data == nullptr) throw std::bad_alloc();
  return data;
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

TEST(EditionTest, EveryByteOfTheTitleWindowAndNoOtherCounts) {
  using builder::Title;
  constexpr std::size_t kWindowEnd = kTitleWindowOffset + kTitleWindowLength;
  const std::pair<Title, Edition> titles[] = {{Title::kEditionFive, Edition::kFive},
                                              {Title::kEditionFour, Edition::kFour},
                                              {Title::kUnknown, Edition::kUnknown}};
  for (const auto& [title, edition] : titles) {
    const Bytes save = builder::SaveBuilder().WithTitle(title).WithLength(kWindowEnd).Build();
    EXPECT_EQ(DetectEdition(save), edition);
    for (std::size_t at = kTitleWindowOffset - 1; at < kWindowEnd && title != Title::kUnknown;
         ++at) {
      Bytes changed = save;
      changed[at] ^= 0x20;  // a letter of the other case, a zero no more
      EXPECT_EQ(DetectEdition(changed) == edition, at < kTitleWindowOffset) << at;
    }
    EXPECT_EQ(DetectEdition(Bytes(save.begin(), save.end() - 1)), Edition::kUnknown);
  }
}

TEST(LargePagesTest, ABufferOfALargePageOrMoreIsAlignedAndGoesBackTheWayItCame) {
  for (const std::size_t size : {kLargePageSize - 1, kLargePageSize, 3 * kLargePageSize - 5}) {
    const int news = aligned_news;
    {
      ImageBytes bytes(1000);
      std::iota(bytes.begin(), bytes.end(), std::uint8_t{7});
      bytes.resize(size);
      EXPECT_EQ(aligned_news - news, size < kLargePageSize ? 0 : 1) << size;
      const auto address = reinterpret_cast<std::uintptr_t>(bytes.data());
      EXPECT_TRUE(size < kLargePageSize || address % kLargePageSize == 0) << size;
      for (std::size_t i = 0; i < 1000; ++i) ASSERT_EQ(bytes[i], static_cast<std::uint8_t>(i + 7));
      EXPECT_EQ(bytes.back(), 0) << "new bytes are zero";
    }
    EXPECT_EQ(aligned_deletes, aligned_news) << size;
  }
}

}  // namespace
}  // namespace kv5
