#include "catalogue/code_tables.h"

#include <gtest/gtest.h>

#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/hex.h"

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

TEST_F(CodeTablesTest, TheBuildRegistersEveryCode) {
  EXPECT_EQ(VoiceSetCount(), 30);
  EXPECT_EQ(EquipmentCount(), 163);
  for (int index = 0; index < kModelCount; ++index) EXPECT_FALSE(ModelAt(index).name.empty());
  EXPECT_EQ(EquipmentAt(62).group, 72) << "record 63 is the first of the UG0 run";
  EXPECT_EQ(EquipmentAt(61).group, kNoGroup);
  EXPECT_EQ(EquipmentAt(162).group, kNoGroup);
}

TEST_F(CodeTablesTest, EquipmentLookupTakesTheFirstRecordWhoseLeadingBytesMatch) {
  EXPECT_EQ(Find({0xFF, 0x00, 0x00, 0xFF}), 60);
  EXPECT_EQ(Find({0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00}), 61);
  EXPECT_EQ(Find({0xFF, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00}), 60)
      << "a four-byte code is zero after its own bytes";
  EXPECT_EQ(Find({0x1B, 0x17, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}), 66);
  EXPECT_EQ(Find({0x19, 0x5E, 0x00, 0x00, 0x1D, 0x00, 0x00, 0x00}), 146);
  EXPECT_EQ(Find({}), -1);
  EXPECT_EQ(Find({0xAB, 0xCD, 0xEF, 0x01}), -1);
}

TEST_F(CodeTablesTest, RecordsNeverRegisteredTakePartInLookups) {
  EXPECT_EQ(Find({0x00, 0x00, 0x00, 0x00}), 163);
  EXPECT_TRUE(EquipmentAt(163).name.empty());
  EXPECT_EQ(FindVoiceSet(0xFF), 30);
  EXPECT_TRUE(VoiceSetAt(30).name.empty());
  EXPECT_EQ(FindVoiceSet(0x01), 0);
  EXPECT_EQ(FindVoiceSet(0x69), 29);
  EXPECT_EQ(FindVoiceSet(0x02), -1);
  EXPECT_EQ(FindStyle(0xFF), 5) << "the first of the three records without a style";
  EXPECT_EQ(FindStyle(0x1F), 28);
  EXPECT_EQ(FindStyle(0x05), -1);
}

TEST_F(CodeTablesTest, BothFormsOfRegistrationGiveTheSameRecord) {
  SetEquipmentGroup(80);
  AddEquipment(0x1B, 0x0C, 0x00, 0x00, "four bytes");
  AddEquipmentHex("1B0C0000", "no spaces");
  AddEquipmentHex("1B 0C 7", "lone last digit");
  for (const int index : {163, 164}) {
    EXPECT_EQ(std::vector<std::uint8_t>(EquipmentAt(index).code.begin(), EquipmentAt(index).code.begin() + 8),
              (std::vector<std::uint8_t>{0x1B, 0x0C, 0x00, 0x00, 0, 0, 0, 0}));
    EXPECT_EQ(EquipmentAt(index).group, 80);
  }
  EXPECT_EQ(EquipmentAt(165).code[2], 0) << "only two whole pairs";
  EXPECT_EQ(EquipmentCount(), 166);
}

TEST_F(CodeTablesTest, RegistrationsPastCapacityOrWithLongNamesAreRefused) {
  const std::string long_name(100, 'n');
  ::testing::internal::CaptureStdout();
  AddEquipmentHex("01 02 03 04", long_name);
  while (EquipmentCount() < kEquipmentCapacity) AddEquipment(1, 2, 3, 4, "filler");
  AddEquipment(9, 9, 9, 9, "one too many");
  while (VoiceSetCount() < kVoiceSetCapacity) AddVoiceSet(0x70, "filler");
  AddVoiceSet(0x71, "one too many");
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "Too long name for generic equipment! " + long_name + "\nWarning, max voice sets!");
  EXPECT_EQ(EquipmentCount(), kEquipmentCapacity);
  EXPECT_EQ(Find({9, 9, 9, 9}), -1);
  EXPECT_EQ(VoiceSetCount(), kVoiceSetCapacity);
  EXPECT_EQ(FindVoiceSet(0x71), -1);
}

TEST(HexTest, PairsReadHighDigitFirstAndAnythingElseAsZero) {
  EXPECT_EQ(HexPairToByte("1b", 0), 0x1B);
  EXPECT_EQ(HexPairToByte("xFF", 1), 0xFF);
  EXPECT_EQ(HexPairToByte("5", 0), 0x50);
  EXPECT_EQ(HexPairToByte("G7", 0), 0x07);
  EXPECT_EQ(HexPairToByte("", 0), 0x00);
}

}  // namespace
}  // namespace kv5
