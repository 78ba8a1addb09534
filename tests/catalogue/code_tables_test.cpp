#include "catalogue/code_tables.h"

#include <gtest/gtest.h>

#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/hex.h"
#include "support/tool_session.h"

namespace kv5 {
namespace {

class CodeTablesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearTables();
    BuildFieldCatalogue();
  }
};

int Find(std::vector<std::uint8_t> code) { return FindEquipment(code); }

TEST_F(CodeTablesTest, LookupsTakeTheFirstMatchOverTheWholeTable) {
  EXPECT_EQ(EquipmentCount(), 163);
  EXPECT_EQ(VoiceSetCount(), 30);
  EXPECT_EQ(Find({0xFF, 0x00, 0x00, 0xFF}), 60);
  EXPECT_EQ(Find({0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00}), 61);
  EXPECT_EQ(Find({0xFF, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00}), 60)
      << "a four-byte code ends in zeros";
  EXPECT_EQ(Find({0x1B, 0x17, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}), 66);
  EXPECT_EQ(EquipmentAt(66).group, 73);
  EXPECT_EQ(EquipmentAt(146).group, kNoGroup);
  EXPECT_EQ(Find({}), -1);
  EXPECT_EQ(Find({0xAB, 0xCD, 0xEF, 0x01}), -1);
  // Records never registered take part: their code is zero, their voice FF.
  EXPECT_EQ(Find({0x00, 0x00, 0x00, 0x00}), 163);
  EXPECT_EQ(FindVoiceSet(0xFF), 30);
  EXPECT_EQ(FindVoiceSet(0x69), 29);
  EXPECT_EQ(FindVoiceSet(0x02), -1);
  EXPECT_EQ(FindStyle(0xFF), 5) << "the first of the three fighters without a style";
  EXPECT_EQ(FindStyle(0x05), -1);
}

TEST_F(CodeTablesTest, BothFormsOfRegistrationGiveTheSameRecord) {
  SetEquipmentGroup(80);
  AddEquipment(0x1B, 0x0C, 0x00, 0x00, "four bytes");
  AddEquipmentHex("1B0C0000", "no spaces");
  AddEquipmentHex("1B 0C 7", "lone last digit");
  for (const int index : {163, 164, 165}) {
    EXPECT_EQ(std::vector<std::uint8_t>(EquipmentAt(index).code.begin(),
                                        EquipmentAt(index).code.begin() + 5),
              (std::vector<std::uint8_t>{0x1B, 0x0C, 0x00, 0x00, 0x00}));
    EXPECT_EQ(EquipmentAt(index).group, 80);
  }
}

TEST_F(CodeTablesTest, RegistrationsPastCapacityOrWithLongNamesAreRefused) {
  const std::string long_name(100, 'n');
  testing::StdoutCapture output;
  AddEquipmentHex("01 02 03 04", long_name);
  while (EquipmentCount() < kEquipmentCapacity) AddEquipment(1, 2, 3, 4, "filler");
  AddEquipment(9, 9, 9, 9, "one too many");
  while (VoiceSetCount() < kVoiceSetCapacity) AddVoiceSet(0x70, "filler");
  AddVoiceSet(0x71, "one too many");
  EXPECT_EQ(output.Take(),
            "Too long name for generic equipment! " + long_name + "\nWarning, max voice sets!");
  EXPECT_EQ(Find({9, 9, 9, 9}), -1);
  EXPECT_EQ(FindVoiceSet(0x71), -1);
}

TEST(HexTest, PairsReadHighDigitFirstAndAnythingElseAsZero) {
  EXPECT_EQ(HexPairToByte("1b", 0), 0x1B);
  EXPECT_EQ(HexPairToByte("xFF", 1), 0xFF);
  EXPECT_EQ(HexPairToByte("5", 0), 0x50);
  EXPECT_EQ(HexPairToByte("G7", 0), 0x07);
}

}  // namespace
}  // namespace kv5
