#include "save/edition.h"

#include <gtest/gtest.h>

#include "save_builder/save_builder.h"

namespace kv5 {
namespace {

using builder::SaveBuilder;
using builder::Title;

constexpr std::size_t kWindowEnd = 5805;  // one past the window's last byte

std::vector<std::uint8_t> SaveWithTitle(Title title) {
  return SaveBuilder().WithTitle(title).WithLength(8000).Build();
}

TEST(EditionTest, RecognisesBothEditionsAndNothingElse) {
  EXPECT_EQ(DetectEdition(SaveWithTitle(Title::kEditionFive)), Edition::kFive);
  EXPECT_EQ(DetectEdition(SaveWithTitle(Title::kEditionFour)), Edition::kFour);
  EXPECT_EQ(DetectEdition(SaveWithTitle(Title::kUnknown)), Edition::kUnknown);
}

TEST(EditionTest, LooksOnlyInsideTheWindow) {
  for (const Title title : {Title::kEditionFive, Title::kEditionFour}) {
    std::vector<std::uint8_t> save = SaveWithTitle(title);
    const Edition expected = DetectEdition(save);
    save[kTitleWindowOffset - 1] = 0xFF;
    save[kWindowEnd] = 0xFF;
    EXPECT_EQ(DetectEdition(save), expected);
  }
}

TEST(EditionTest, EveryByteOfTheWindowCounts) {
  std::vector<std::uint8_t> save = SaveWithTitle(Title::kEditionFive);
  save[kWindowEnd - 1] = 'X';  // edition 5's title must end in two zero bytes
  EXPECT_EQ(DetectEdition(save), Edition::kUnknown);

  save = SaveWithTitle(Title::kEditionFour);
  save[kWindowEnd - 1] = 'v';  // the last byte compared is the letter V itself
  EXPECT_EQ(DetectEdition(save), Edition::kUnknown);

  save = SaveWithTitle(Title::kEditionFive);
  save[kTitleWindowOffset + 2] = 'e';  // "KeSTRELVANE V": capitals matter
  EXPECT_EQ(DetectEdition(save), Edition::kUnknown);
}

TEST(EditionTest, ASaveTooShortForTheWindowIsUnknown) {
  std::vector<std::uint8_t> save = SaveWithTitle(Title::kEditionFive);
  save.resize(kWindowEnd);
  EXPECT_EQ(DetectEdition(save), Edition::kFive);
  save.resize(kWindowEnd - 1);
  EXPECT_EQ(DetectEdition(save), Edition::kUnknown);
  EXPECT_EQ(DetectEdition(ConstByteSpan()), Edition::kUnknown);
}

}  // namespace
}  // namespace kv5
