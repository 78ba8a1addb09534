#include "text/text_import.h"

#include <gtest/gtest.h>

#include <string>

#include "catalogue/catalogue.h"
#include "support/tool_session.h"
#include "values/value_store.h"

namespace kv5 {
namespace {

constexpr int kName = 1;
constexpr int kVoice = 6;
constexpr int kVoicePitch = 7;
constexpr int kScaleHead = 34;
constexpr int kUpperBody = 73;

class TextImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearTables();
    BuildFieldCatalogue();
  }

  // Reads `text` as the text file; returns what the import printed.
  std::string Import(const std::string& text) {
    session_.Write("edit.txt", text);
    File file = File::Open(session_.PathOf("edit.txt"), "rb");
    testing::StdoutCapture output;
    ReadTextFile(file, "edit.txt");
    return output.Take();
  }

  static const EntryValues& Entry(int number) {
    return TheValueStore().entries[static_cast<std::size_t>(number - 1)];
  }
  static bool Present(int number, int field) {
    return Entry(number).present[static_cast<std::size_t>(field)];
  }
  static const ValueRecord& Value(int number, int field) {
    return Entry(number).values[static_cast<std::size_t>(field)];
  }
  static int TouchedEntries() {
    int touched = 0;
    for (const EntryValues& entry : TheValueStore().entries) touched += entry.touched;
    return touched;
  }

 private:
  testing::ToolSession session_;
};

TEST_F(TextImportTest, AHeaderAndOneLineChangeOneFieldOfOneEntry) {
  EXPECT_EQ(Import("[ENTRY3]\r\nScale-Head=1.5\r\n"), "Text file loaded.\n");
  EXPECT_TRUE(Present(3, kScaleHead));
  EXPECT_EQ(Value(3, kScaleHead).floats[0], 1.5f);
  EXPECT_EQ(TouchedEntries(), 1);
  int present = 0;
  for (const bool flag : Entry(3).present) present += flag;
  EXPECT_EQ(present, 1);
}

TEST_F(TextImportTest, LinesMayEndInLfAloneButNotInCrAlone) {
  EXPECT_EQ(Import("[ENTRY2]\nScale-Head=1.5\n"), "Text file loaded.\n");
  EXPECT_TRUE(Present(2, kScaleHead));
  ResetValueStore();
  // Without LF the whole file is one line: a header, and nothing else is read.
  EXPECT_EQ(Import("[ENTRY2]\rScale-Head=1.5\r"), "Text file loaded.\n");
  EXPECT_EQ(TouchedEntries(), 0);
}

TEST_F(TextImportTest, HeadersMayHideInAnyCaseBehindCommentsOrAByteOrderMark) {
  EXPECT_EQ(Import("\xEF\xBB\xBF[entry1]\nVoice=11\n#[EnTrY2]\nVoice=22\nx [ENTRY3] y\nVoice=33\n"),
            "Text file loaded.\n");
  EXPECT_EQ(Value(1, kVoice).byte_value, 0x11);
  EXPECT_EQ(Value(2, kVoice).byte_value, 0x22);
  EXPECT_EQ(Value(3, kVoice).byte_value, 0x33);
}

TEST_F(TextImportTest, RangesReachEveryEntryBetweenTheirNumbers) {
  EXPECT_EQ(Import("[ENTRY1to3]\nVoice=AA\n[ENTRY5TO5]\nVoice=BB\n[ENTRY9to7]\nVoice=CC\n"
                   "[ENTRY50to200]\nVoice=DD\n"),
            "Text file loaded.\n");
  for (const int number : {1, 2, 3}) EXPECT_EQ(Value(number, kVoice).byte_value, 0xAA);
  EXPECT_FALSE(Present(4, kVoice));
  EXPECT_EQ(Value(5, kVoice).byte_value, 0xBB);
  EXPECT_FALSE(Present(8, kVoice)) << "a range that runs backwards changes nothing";
  EXPECT_EQ(Value(200, kVoice).byte_value, 0xDD);
  EXPECT_EQ(TouchedEntries(), 3 + 1 + 151);
}

TEST_F(TextImportTest, ReplaySectionsAreSkippedWithoutLookingAtTheirLines) {
  EXPECT_EQ(Import("[ENTRY51]\nNo such field=1\n[ENTRY1234567890]\nNor this=2\n[ENTRY4]\nVoice=44\n"),
            "Text file loaded.\n");
  EXPECT_EQ(TouchedEntries(), 1);
  EXPECT_EQ(Value(4, kVoice).byte_value, 0x44);
}

TEST_F(TextImportTest, AnInvalidHeaderEndsTheReadingButKeepsWhatCameBefore) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"[ENTRY 3]", "Error: 0 is not a valid entry number!\n"},
      {"[ENTRY0]", "Error: 0 is not a valid entry number!\n"},
      {"[ENTRY]", "Error: 0 is not a valid entry number!\n"},
      {"[ENTRY1 to 3]", "Invalid entry number found at line 2.\n"},
      {"[ENTRY1to0]", "Invalid entry number found at line 2.\n"},
      {"[ENTRY1to201]", "Invalid entry number found at line 2.\n"},
      {"[ENTRY1to1234567890]", "Invalid entry number found at line 2.\n"},
      {"[ENTRY1] toast", "Invalid entry number found at line 2.\n"},
  };
  for (const auto& [header, message] : cases) {
    ResetValueStore();
    EXPECT_EQ(Import("[ENTRY7]\nVoice=77\n" + header + "\nVoice Pitch=01\n"), message) << header;
    EXPECT_EQ(Value(7, kVoice).byte_value, 0x77) << header;
    EXPECT_EQ(TouchedEntries(), 1) << header;
  }
}

TEST_F(TextImportTest, BadLinesAreReportedWithTheirNumberFromZero) {
  const std::string long_line(1200, 'x');
  EXPECT_EQ(Import("Bogus=1\n[ENTRY1]\nBogus=1\n   \n\n# a comment\n" + long_line + "\nvoice=12\n Voice=12\n"),
            "Invalid variable name found at line 2.\n"
            "Invalid variable name found at line 3.\n"
            "Major error thing warning. Length of variable name exeeded during ReadEnemyData()\n"
            "Invalid variable name found at line 7.\n"
            "Invalid variable name found at line 8.\n"
            "Invalid variable name found at line 9.\n"
            "Text file loaded.\n");
  EXPECT_EQ(TouchedEntries(), 0);
}

TEST_F(TextImportTest, NamesMayHave148CharactersBeforeTheEquals) {
  EXPECT_EQ(Import("[ENTRY1]\n" + std::string(148, 'n') + "=1\n" + std::string(149, 'n') + "=1\n"),
            "Invalid variable name found at line 1.\n"
            "Major error thing warning. Length of variable name exeeded during ReadEnemyData()\n"
            "Text file loaded.\n");
}

TEST_F(TextImportTest, ValuesReadLikeTheExportWritesThem) {
  EXPECT_EQ(Import("[ENTRY1]\n"
                   "Voice    =  3a (Fenna Holt)\n"
                   "Voice Pitch=5\n"
                   "UG1-Upperbody1=1B 17 00 00 (Linen shirt, UG1)\n"
                   "Model Type=0001\n"
                   "Scale-Head= -0.5 (note)\n"
                   "Name= Kai Lenn  (from a replay)\n"),
            "Text file loaded.\n");
  EXPECT_EQ(Value(1, kVoice).byte_value, 0x3A);
  EXPECT_EQ(Value(1, kVoicePitch).byte_value, 0x50) << "a single digit is the high one";
  EXPECT_EQ(std::vector<std::uint8_t>(Value(1, kUpperBody).bytes.begin(), Value(1, kUpperBody).bytes.begin() + 4),
            (std::vector<std::uint8_t>{0x1B, 0x17, 0x00, 0x00}));
  EXPECT_EQ(Value(1, 3).bytes[1], 0x01);
  EXPECT_EQ(Value(1, kScaleHead).floats[0], -0.5f);
  EXPECT_EQ(Value(1, kName).text.view(), " Kai Lenn");
}

TEST_F(TextImportTest, LinesWithoutAValueChangeNothing) {
  EXPECT_EQ(Import("[ENTRY1]\nVoice=3A\nName=Kai\nScale-Head=2\n"
                   "[ENTRY2]\nVoice=\nVoice Pitch\nName=\nScale-Head= , ()\n=5\n"),
            "Text file loaded.\n");
  EXPECT_FALSE(Entry(2).touched);
}

TEST_F(TextImportTest, TooLongValuesAreRefusedAndReadingGoesOn) {
  const std::string nineteen(19, 'a');
  const std::string twenty(20, 'b');
  const std::string hundred(100, 'c');
  EXPECT_EQ(Import("[ENTRY1]\nName=" + nineteen + "\nName 2=" + twenty + "\nName Formatting?=" +
                   hundred + "\nModel Type=1B\nVoice=11\n"),
            "Error: bufS is too long during EditValue(). bufS is " + twenty + "\n" +
                "String length limit exceeded for " + hundred + " during " + hundred +
                ". Bad things will happen now.\n" +
                "Error while reading a byte array value. Line is 1B\n" + "Text file loaded.\n");
  EXPECT_EQ(Value(1, kName).text.view(), nineteen);
  EXPECT_FALSE(Present(1, 2));
  EXPECT_FALSE(Present(1, 0));
  EXPECT_FALSE(Present(1, 3));
  EXPECT_EQ(Value(1, kVoice).byte_value, 0x11);
}

TEST_F(TextImportTest, TheLaterLineForAFieldWins) {
  Import("[ENTRY1to2]\nVoice=11\n[ENTRY2]\nVoice=22\nVoice=33\n");
  EXPECT_EQ(Value(1, kVoice).byte_value, 0x11);
  EXPECT_EQ(Value(2, kVoice).byte_value, 0x33);
}

TEST_F(TextImportTest, KindsNoEntryFieldUsesAreReadToo) {
  RegisterField(4, "Triple", 200, FieldKind::kFloatTriple, 0, nullptr, false);
  RegisterField(5, "Number", 210, FieldKind::kInt32, 0, nullptr, false);
  Import("[ENTRY1]\nTriple=1.5 2\nNumber=-12abc\n[ENTRY2]\nTriple=0000803F 00000040 1234\n");
  EXPECT_EQ(Value(1, 4).floats, (std::array<float, 3>{1.5f, 2.0f, 2.0f}));
  EXPECT_EQ(Value(1, 5).integer_value, -12);
  EXPECT_EQ(Value(2, 4).floats, (std::array<float, 3>{1.0f, 2.0f, 0.0f}));
}

}  // namespace
}  // namespace kv5
