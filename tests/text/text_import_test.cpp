// The import in-process, for what a case file cannot show: that a message
// counts against the run's status, and lines longer than a read.

#include "text/text_import.h"

#include <gtest/gtest.h>

#include "catalogue/catalogue.h"
#include "support/tool_session.h"
#include "values/value_store.h"

namespace kv5 {
namespace {

// Reads `text` as the text file; returns what the import printed, which is
// a problem for the run's status unless it is only the loaded line.
std::string Import(const std::string& text) {
  testing::ToolSession session;
  session.Write("edit.txt", text);
  File file = File::Open(session.PathOf("edit.txt"), "rb");
  testing::StdoutCapture output;
  const ImportedText result = ReadTextFile(file, "edit.txt");
  const std::string printed = output.Take();
  EXPECT_EQ(result.problem_reported, printed != "Text file loaded.\n") << printed;
  EXPECT_FALSE(result.read_failed);
  return printed;
}

const ValueRecord& Value(int number, int field) {
  return TheValueStore().entries[number - 1].values[static_cast<std::size_t>(field)];
}

TEST(TextImportTest, ALongLineIsReadAsSeveralLinesOf1059Characters) {
  ClearTables();
  BuildFieldCatalogue();
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

}  // namespace
}  // namespace kv5
