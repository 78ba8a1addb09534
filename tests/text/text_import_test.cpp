// The import in-process, for what a case file cannot show: lines longer than
// a read, and the value kinds that no field of an entry has.

#include "text/text_import.h"

#include <gtest/gtest.h>

#include <string>

#include "catalogue/catalogue.h"
#include "support/tool_session.h"
#include "values/value_store.h"

namespace kv5 {
namespace {

class TextImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearTables();
    BuildFieldCatalogue();
  }

  // Reads `text` as the text file; returns what the import printed, which
  // is a problem for the run's status unless it is only the loaded line.
  std::string Import(const std::string& text) {
    session_.Write("edit.txt", text);
    File file = File::Open(session_.PathOf("edit.txt"), "rb");
    testing::StdoutCapture output;
    const ImportedText result = ReadTextFile(file, "edit.txt");
    const std::string printed = output.Take();
    EXPECT_EQ(result.problem_reported, printed != "Text file loaded.\n") << printed;
    EXPECT_FALSE(result.read_failed);
    return printed;
  }

  static const ValueRecord& Value(int number, int field) {
    return TheValueStore()
        .entries[static_cast<std::size_t>(number - 1)]
        .values[static_cast<std::size_t>(field)];
  }

 private:
  testing::ToolSession session_;
};

TEST_F(TextImportTest, ALongLineIsReadAsSeveralLinesOf1059Characters) {
  // 1059 characters without "=": a name far too long; then the rest of the
  // line on its own; then the next line, numbered two further on.
  EXPECT_EQ(Import("[ENTRY1]\n" + std::string(1200, 'x') + "\nVoice=12\nBogus\n"),
            "Major error thing warning. Length of variable name exeeded during ReadEnemyData()\n"
            "Invalid variable name found at line 2.\n"
            "Invalid variable name found at line 4.\n"
            "Text file loaded.\n");
  EXPECT_EQ(Value(1, 6).byte_value, 0x12);
  EXPECT_EQ(Import("[ENTRY1]\nVoice=3" + std::string(1060, ' ') + "4\n"),
            "Invalid variable name found at line 2.\nText file loaded.\n");
  EXPECT_EQ(Value(1, 6).byte_value, 0x30) << "the 4 is in the next piece, a line of its own";
}

TEST_F(TextImportTest, EveryMessageCountsAsAProblem) {
  const std::string lines[] = {"Bogus=1",
                               std::string(150, 'n') + "=1",
                               "Model Type=1B",
                               "Name 2=Twenty characters...",
                               "Name Formatting?=" + std::string(100, 'c'),
                               "Voice=11"};
  for (const std::string& line : lines) Import("[ENTRY1]\n" + line + "\n");
  Import("[ENTRY0]\n");
  Import("[ENTRY1to]\n");
}

TEST_F(TextImportTest, KindsNoEntryFieldUsesAreReadToo) {
  RegisterField(4, "Triple", 200, FieldKind::kFloatTriple, 0, nullptr, false);
  RegisterField(5, "Number", 210, FieldKind::kInt32, 0, nullptr, false);
  Import(
      "[ENTRY1]\nTriple=1.5 2\nNumber=-12abc\n[ENTRY2]\nTriple=0000803F 00000040 1234\n"
      "[ENTRY3]\nTriple=1.5\nNumber=\n");
  EXPECT_EQ(Value(1, 4).floats, (std::array<float, 3>{1.5f, 2.0f, 2.0f}));
  EXPECT_EQ(Value(1, 5).integer_value, -12);
  EXPECT_EQ(Value(2, 4).floats, (std::array<float, 3>{1.0f, 2.0f, 0.0f}))
      << "a short last group is dropped and its float kept";
  EXPECT_EQ(Value(3, 4).floats, (std::array<float, 3>{1.5f, 1.5f, 1.5f}));
  EXPECT_FALSE(TheValueStore().entries[2].present[5]) << "no value carried over from entry 1";
}

}  // namespace
}  // namespace kv5
