#include "text/tokens.h"

#include <gtest/gtest.h>

namespace kv5 {
namespace {

TEST(TokensTest, SectionHeadersAreFoundInAnyLetterCaseInOnePass) {
  EXPECT_EQ(FindEntryHeader("[ENTRY3]"), 6);
  EXPECT_EQ(FindEntryHeader("[entry3]"), 6);
  EXPECT_EQ(FindEntryHeader("[EnTrY3]"), 6);
  EXPECT_EQ(FindEntryHeader("#[ENTRY3]"), 7);
  EXPECT_EQ(FindEntryHeader("\xEF\xBB\xBF[ENTRY1]"), 9) << "behind a byte order mark";
  EXPECT_EQ(FindEntryHeader("Name=[ENTRY"), 11);
  EXPECT_EQ(FindEntryHeader("[[ENTRY3]"), -1)
      << "the second [ broke the match and is not tried again";
  EXPECT_EQ(FindEntryHeader("[ENTR3]"), -1);
  EXPECT_EQ(FindEntryHeader("Scale-Head=1.5 [x] ([eNTRY12"), 26);
  EXPECT_EQ(FindEntryHeader("Scale-Head=1.5"), -1);
  EXPECT_EQ(FindEntryHeader(""), -1);
}

TEST(TokensTest, EntryNumbersAreDigitsRightAtTheStart) {
  EXPECT_EQ(ReadEntryNumber("3]"), 2);
  EXPECT_EQ(ReadEntryNumber("118to"), 117);
  EXPECT_EQ(ReadEntryNumber("0]"), -1);
  EXPECT_EQ(ReadEntryNumber(" 3]"), -1);
  EXPECT_EQ(ReadEntryNumber(""), -1);
  EXPECT_EQ(ReadEntryNumber("999999999"), 999999998);
  EXPECT_EQ(ReadEntryNumber("1234567890"), kEntryNumberTooLarge);
  EXPECT_EQ(ReadEntryNumber("0000000001"), kEntryNumberTooLarge) << "ten digits, whatever they say";
}

TEST(TokensTest, TokensRunBetweenSeparators) {
  const std::string_view value = " 1B 0C,00 (Linen shirt, UG1)";
  EXPECT_EQ(FindValueToken(value, 1, false), "1B");
  EXPECT_EQ(FindValueToken(value, 3, false), "00");
  EXPECT_EQ(FindValueToken(value, 4, false), "Linen");
  EXPECT_EQ(FindValueToken(value, 1, true), " 1B 0C") << "the space is no separator for text";
  EXPECT_EQ(FindValueToken(value, 2, true), "00 ");
  EXPECT_EQ(FindValueToken(" , ( ) ", 1, false), std::nullopt);
  EXPECT_EQ(FindValueToken("", 1, true), std::nullopt);
  EXPECT_EQ(FindValueToken("   ", 1, true), "   ");
}

TEST(TokensTest, NumbersReadAsAtoiAndAtofDo) {
  EXPECT_EQ(ReadDecimalInteger("-12abc"), -12);
  EXPECT_EQ(ReadDecimalInteger("abc"), 0);
  EXPECT_EQ(ReadDecimalInteger("99999999999"), 2147483647);
  EXPECT_EQ(ReadDecimalFloat("1.5"), 1.5f);
  EXPECT_EQ(ReadDecimalFloat("-2e1x"), -20.0f);
  EXPECT_EQ(ReadDecimalFloat("x"), 0.0f);
  EXPECT_EQ(ReadDecimalFloat("0.950000"), 0.95f) << "the nearest float to the text";
}

TEST(TokensTest, HexGroupsHoldAFloatLeastSignificantByteFirst) {
  EXPECT_EQ(HexGroupToFloat("0000803F"), 1.0f);
  EXPECT_EQ(HexGroupToFloat("00000040"), 2.0f);
  EXPECT_EQ(HexGroupToFloat("000080bf"), -1.0f);
  EXPECT_EQ(HexGroupToFloat("zz00803F"), 1.0f) << "a character that is no digit counts as 0";
}

TEST(TokensTest, TrimmingKeepsTheFirstCharacter) {
  for (const auto& [text, trimmed] : std::vector<std::pair<std::string, std::string>>{
           {"Kai  ", "Kai"}, {" Kai ", " Kai"}, {"   ", " "}, {"", ""}, {"a b", "a b"}}) {
    std::string copy = text;
    TrimTrailingSpaces(copy);
    EXPECT_EQ(copy, trimmed) << '"' << text << '"';
    EXPECT_EQ(WithoutTrailingSpaces(text), trimmed) << '"' << text << '"';
  }
}

}  // namespace
}  // namespace kv5
