#include "save/edition.h"

#include <gtest/gtest.h>

#include "save_builder/save_builder.h"

namespace kv5 {
namespace {

using builder::Title;

constexpr std::size_t kWindowEnd = 5805;  // one past the title window

std::vector<std::uint8_t> SaveWithTitle(Title title) {
  return builder::SaveBuilder().WithTitle(title).WithLength(8000).Build();
}

TEST(EditionTest, EveryByteOfTheWindowAndNoOtherCounts) {
  EXPECT_EQ(DetectEdition(SaveWithTitle(Title::kEditionFive)), Edition::kFive);
  EXPECT_EQ(DetectEdition(SaveWithTitle(Title::kEditionFour)), Edition::kFour);
  EXPECT_EQ(DetectEdition(SaveWithTitle(Title::kUnknown)), Edition::kUnknown);
  const std::vector<std::pair<std::size_t, std::uint8_t>> changes = {
      {kTitleWindowOffset - 1, 0xFF},
      {kWindowEnd, 0xFF},             // outside: no matter
      {kWindowEnd - 1, 'X'},          // edition 5 ends in two zeros
      {kTitleWindowOffset + 2, 'e'},  // capitals matter
  };
  for (const auto& [offset, byte] : changes) {
    std::vector<std::uint8_t> save = SaveWithTitle(Title::kEditionFive);
    save[offset] = byte;
    const bool inside = offset >= kTitleWindowOffset && offset < kWindowEnd;
    EXPECT_EQ(DetectEdition(save), inside ? Edition::kUnknown : Edition::kFive) << offset;
  }
  std::vector<std::uint8_t> four = SaveWithTitle(Title::kEditionFour);
  four[kWindowEnd - 1] = 'v';  // the last byte compared is the letter V itself
  EXPECT_EQ(DetectEdition(four), Edition::kUnknown);
}

TEST(EditionTest, ASaveTooShortForTheWindowIsUnknown) {
  std::vector<std::uint8_t> save = SaveWithTitle(Title::kEditionFive);
  save.resize(kWindowEnd);
  EXPECT_EQ(DetectEdition(save), Edition::kFive);
  save.resize(kWindowEnd - 1);
  EXPECT_EQ(DetectEdition(save), Edition::kUnknown);
}

}  // namespace
}  // namespace kv5
