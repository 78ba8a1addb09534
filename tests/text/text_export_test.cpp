#include "text/text_export.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "catalogue/catalogue.h"
#include "save_builder/save_builder.h"
#include "support/tool_session.h"
#include "values/entry_pass.h"

namespace kv5 {
namespace {

using builder::SaveBuilder;

// The field lines of an entry whose bytes are all zero after the signature,
// with LF line ends.
std::string BlankEntryLines() {
  std::ifstream in(std::string(KV5_TEST_DATA_DIR) + "/text/expected/blank_entry.txt");
  std::stringstream lines;
  lines << in.rdbuf();
  return lines.str();
}

std::string WithCrLf(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::string Section(int number, const std::string& lines) {
  return "[ENTRY" + std::to_string(number) + "]\r\n" + WithCrLf(lines) + "\r\n";
}

class TextExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearTables();
    BuildFieldCatalogue();
  }

  // Decodes the save and exports it; returns the text file.
  std::string Export(std::vector<std::uint8_t> bytes, bool aligned = false) {
    SaveImage image;
    image.bytes = std::move(bytes);
    OutputFile file(session_.PathOf("out.txt"));
    testing::StdoutCapture output;
    ProcessSaveData(PassDirection::kDecode, image);
    WriteTextFile(file, aligned);
    const std::string printed = output.Take();
    EXPECT_NE(printed.find("Wrote " + session_.PathOf("out.txt") + ".\n"), std::string::npos);
    return session_.ReadText("out.txt");
  }

 private:
  testing::ToolSession session_;
};

TEST_F(TextExportTest, ASaveTooShortForAnyEntryGivesAnEmptyFile) {
  EXPECT_EQ(Export(SaveBuilder().WithLength(builder::SlotStart(1) + 100).Build()), "");
}

TEST_F(TextExportTest, EachEntryIsASectionAndReplaysFollowTheMarker) {
  const std::string lines = BlankEntryLines();
  EXPECT_EQ(Export(SaveBuilder().WithBlankEntry(1).WithBlankEntry(3).WithBlankEntry(52).Build()),
            Section(1, lines) + Section(3, lines) + "#REPLAY\r\n" + Section(52, lines));
}

TEST_F(TextExportTest, TheMarkerStandsOnlyWhenTheSaveReachesTheReplaySlots) {
  const std::string lines = BlankEntryLines();
  const std::size_t end_of_slot_50 = builder::SlotStart(50) + 29832;
  EXPECT_EQ(Export(SaveBuilder().WithBlankEntry(50).WithLength(end_of_slot_50).Build()),
            Section(50, lines));
  EXPECT_EQ(Export(SaveBuilder().WithBlankEntry(50).WithLength(builder::SlotStart(52)).Build()),
            Section(50, lines) + "#REPLAY\r\n");
}

TEST_F(TextExportTest, AlignedTextPutsEveryEqualsInColumn41) {
  std::string aligned;
  std::istringstream lines(BlankEntryLines());
  for (std::string line; std::getline(lines, line);) {
    const std::size_t equals = line.find('=');
    aligned += line.substr(0, equals) + std::string(40 - equals, ' ') + line.substr(equals) + "\n";
  }
  EXPECT_EQ(Export(SaveBuilder().WithBlankEntry(2).Build(), true),
            Section(2, aligned) + "#REPLAY\r\n");
}

TEST_F(TextExportTest, ValuesAreWrittenInTheFormOfTheirKindWithTheirNotes) {
  const std::string text = Export(SaveBuilder()
                                      .WithBlankEntry(1)
                                      .WithText(1, 13249, "Kai Lenn")
                                      .WithBytes(1, 10, {0x00, 0x01})
                                      .WithBytes(1, 14, {0x3A, 0x0C})
                                      .WithBytes(1, 32, {0x00, 0x05, 0x01, 0x00})
                                      .WithBytes(1, 1140, {0x1B, 0x17, 0x00, 0x00})
                                      .WithBytes(1, 1420, {0x7F, 0xFF, 0xFF, 0x7F})
                                      .WithBytes(1, 4197, {0xFF})
                                      .WithFloat(1, 116, -0.5f)
                                      .Build());
  for (const std::string line : {"Name=Kai Lenn\r\n", "Model Type=00 01 (female KVC)\r\n",
                                 "Voice=3A (Fenna Holt)\r\n", "Voice Pitch=0C\r\n",
                                 "Creation Mode Head Equipment=00 05 01 00 (Ada Kestel outfit 2)\r\n",
                                 "UG1-Upperbody1=1B 17 00 00 (Linen shirt, UG1)\r\n",
                                 "UG0 (repeat)=7F FF FF 7F\r\n",
                                 "Fighting Style=FF (Dorian Pike: no style of his own)\r\n",
                                 "Height 2=-0.500000\r\n", "Scale-Head=-0.500000\r\n"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line;
  }
}

TEST_F(TextExportTest, CodesOnlyAnEmptyRecordMatchesGetNoNote) {
  const std::string text = Export(SaveBuilder().WithBlankEntry(1).WithBytes(1, 14, {0xFF}).Build());
  EXPECT_NE(text.find("\r\nVoice=FF\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nUG0-Neck=00 00 00 00\r\n"), std::string::npos);
}

TEST_F(TextExportTest, NamesThatWouldNotReadBackAreLeftOut) {
  for (const std::string name : {"Kai, Lenn", "Kai (2)", "Kai  ", "[entry9]", "x[ENTRY"}) {
    const std::string text = Export(SaveBuilder().WithBlankEntry(1).WithText(1, 13249, name).Build());
    EXPECT_EQ(text.find("\r\nName="), std::string::npos) << name;
  }
  for (const std::string name : {" ", " Kai", "[[ENTRY", "a=b"}) {
    const std::string text = Export(SaveBuilder().WithBlankEntry(1).WithText(1, 13249, name).Build());
    EXPECT_NE(text.find("\r\nName=" + name + "\r\n"), std::string::npos) << name;
  }
}

}  // namespace
}  // namespace kv5
