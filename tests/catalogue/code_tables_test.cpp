#include "catalogue/code_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// FindEquipment as the plain walk over every record, the first match winning.
int WalkEquipment(const std::vector<std::uint8_t>& code) {
  if (code.empty()) return -1;
  for (int index = 0; index < kEquipmentCapacity; ++index) {
    if (std::equal(code.begin(), code.end(), EquipmentAt(index).code.begin())) return index;
  }
  return -1;
}

// Codes to look up: every registered code at the lengths the fields have,
// with its tail changed, and cut short; codes with one byte off; zeros.
std::vector<std::vector<std::uint8_t>> ProbeCodes() {
  std::vector<std::vector<std::uint8_t>> codes;
  for (int index = 0; index <= EquipmentCount() && index < kEquipmentCapacity; ++index) {
    const auto& code = EquipmentAt(index).code;
    for (const std::size_t length : {1, 2, 3, 4, 5, 8, 12}) {
      std::vector<std::uint8_t> probe(code.begin(), code.begin() + length);
      codes.push_back(probe);
      for (std::size_t at = 0; at < length; ++at) {
        probe[at] ^= 0x01;
        codes.push_back(probe);
        probe[at] ^= 0x01;
      }
    }
  }
  codes.push_back(std::vector<std::uint8_t>(kEquipmentCodeCapacity, 0));
  return codes;
}

TEST_F(CodeTablesTest, EquipmentLookupFindsWhatAWalkOverTheTableFinds) {
  auto check = [](const char* when) {
    for (const std::vector<std::uint8_t>& code : ProbeCodes()) {
      ASSERT_EQ(Find(code), WalkEquipment(code))
          << when << ", code of " << code.size() << " bytes starting " << int{code[0]};
    }
  };
  check("after the build");
  // Registrations after a lookup count at once: a code that only a record
  // never registered matched, one shared by earlier records, and the same
  // first four bytes with a longer code.
  SetEquipmentGroup(kNoGroup);
  AddEquipmentHex("00 00 00 00 00 00 00 01", "zeros and one");
  AddEquipmentHex("FF 00 00 FF", "again");
  AddEquipmentHex("1B 17 00 00 AA", "longer");
  EXPECT_EQ(Find({0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01}), 163);
  EXPECT_EQ(Find({0x1B, 0x17, 0x00, 0x00, 0xAA}), 165);
  check("after more registrations");
  ClearTables();
  EXPECT_EQ(Find({0x1B, 0x17, 0x00, 0x00}), -1) << "a cleared table names nothing";
  EXPECT_EQ(Find({0x00, 0x00, 0x00, 0x00}), 0);
  check("after clearing");
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
