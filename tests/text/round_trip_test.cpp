// Read mode and write mode end to end: a save becomes text, the text goes
// back into the save, and only what the text changed is different.

#include <gtest/gtest.h>
#include <unistd.h>

#include <random>
#include <string>

#include "catalogue/catalogue.h"
#include "save_builder/save_builder.h"
#include "support/tool_session.h"

namespace kv5 {
namespace {

using builder::SaveBuilder;
using testing::Bytes;
using testing::ToolSession;

const std::string kLoaded = "Save data loaded.\nKestrelvane 5 save detected.\n";

// A save with an entry in every slot, each field holding a value that its
// text form carries exactly: names closed by a NUL, floats in steps of 1/64.
Bytes SaveWithExactValues() {
  ClearTables();
  BuildFieldCatalogue();
  std::mt19937 random(118);
  SaveBuilder save(118);
  for (int slot = 1; slot <= 118; ++slot) {
    save.WithEntry(slot);
    for (int id = 0; id < kFieldCount; ++id) {
      const FieldDefinition& field = Field(id);
      const std::size_t offset = static_cast<std::size_t>(field.offset);
      switch (field.kind) {
        case FieldKind::kText: {
          std::string name(1 + random() % 19, ' ');
          for (char& c : name) c = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcxyz0123456789 .-'!?"[random() % 48];
          name.front() = 'K';
          name.back() = 'z';
          save.WithText(slot, offset, name);
          break;
        }
        case FieldKind::kFloat:
          save.WithFloat(slot, offset, static_cast<float>(static_cast<int>(random() % 200001) - 100000) / 64.0f);
          break;
        case FieldKind::kByte:
        case FieldKind::kByteArray: {
          Bytes bytes(field.kind == FieldKind::kByte ? 1 : static_cast<std::size_t>(field.length));
          for (std::uint8_t& byte : bytes) byte = static_cast<std::uint8_t>(random());
          save.WithBytes(slot, offset, bytes);
          break;
        }
        default:
          break;
      }
    }
  }
  return save.Build();
}

TEST(RoundTripTest, WritingBackAnUnchangedExportChangesNoByte) {
  const Bytes original = SaveWithExactValues();
  for (const std::string layout : {"-r", "-t"}) {
    ToolSession session;
    session.Write("KV5SaveData", original);
    EXPECT_EQ(session.Run({layout, "KV5SaveData"}),
              kLoaded + "Processing save data.\n"
                        "Found 118 custom character entries. 68 of those are from replays.\n"
                        "Wrote KV5SaveData.txt.\n");
    EXPECT_EQ(session.Run({"-w", "KV5SaveData", "KV5SaveData.txt"}),
              kLoaded + "Text file loaded.\nProcessing save data.\n"
                        "Found 118 custom character entries. 68 of those are from replays.\n"
                        "Modified 50 entries.\nWrote new save file.\n");
    EXPECT_EQ(session.List(), (std::vector<std::string>{"KV5SaveData", "KV5SaveData.txt"}));
    EXPECT_TRUE(session.Read("KV5SaveData") == original) << layout;
  }
}

TEST(RoundTripTest, OneLineChangesOnlyItsFieldInItsEntry) {
  const Bytes original = SaveBuilder(3).WithEntry(1).WithEntry(3).WithEntry(60).Build();
  ToolSession session;
  session.Write("KV5SaveData", original);
  session.Write("edit.txt", std::string("[ENTRY3]\r\nScale-Head=1.5\r\n"));
  EXPECT_EQ(session.Run({"-w", "KV5SaveData", "edit.txt"}),
            kLoaded + "Text file loaded.\nProcessing save data.\n"
                      "Found 3 custom character entries. 1 of those are from replays.\n"
                      "Modified 1 entries.\nWrote new save file.\n");
  Bytes expected = original;
  const std::size_t scale_head = builder::SlotStart(3) + 116;
  expected[scale_head] = 0x3F;
  expected[scale_head + 1] = 0xC0;
  expected[scale_head + 2] = 0x00;
  expected[scale_head + 3] = 0x00;
  EXPECT_TRUE(session.Read("KV5SaveData") == expected);
}

TEST(RoundTripTest, FieldsThatShareBytesAreWrittenInIdOrder) {
  const Bytes original = SaveBuilder(4).WithEntry(2).Build();
  ToolSession session;
  session.Write("KV5SaveData", original);
  session.Write("edit.txt", std::string("[ENTRY2]\nFace=AB CD\nVoice Malfestation=11\n"
                                        "Scale-Head=2\nHeight 2=3\n"));
  session.Run({"-w", "KV5SaveData", "edit.txt"});
  const Bytes saved = session.Read("KV5SaveData");
  const std::size_t entry = builder::SlotStart(2);
  EXPECT_EQ(saved[entry + 17], 0xAB) << "Face (id 13) is written after Voice Malfestation (id 9)";
  EXPECT_EQ(saved[entry + 18], 0xCD);
  EXPECT_EQ(saved[entry + 116], 0x40) << "Scale-Head (id 34) wins over Height 2 (id 29)";
  EXPECT_EQ(saved[entry + 117], 0x00);
}

TEST(RoundTripTest, EditsBeforeAnInvalidHeaderStillReachTheSave) {
  const Bytes original = SaveBuilder(5).WithEntry(1).WithEntry(2).Build();
  ToolSession session;
  session.Write("KV5SaveData", original);
  session.Write("edit.txt", std::string("[ENTRY1]\nVoice=42\n[ENTRY0]\n[ENTRY2]\nVoice=43\n"));
  EXPECT_EQ(session.Run({"-w", "KV5SaveData", "edit.txt"}),
            kLoaded + "Error: 0 is not a valid entry number!\nProcessing save data.\n"
                      "Found 2 custom character entries.\nModified 1 entries.\nWrote new save file.\n");
  const Bytes saved = session.Read("KV5SaveData");
  EXPECT_EQ(saved[builder::SlotStart(1) + 14], 0x42);
  EXPECT_EQ(saved[builder::SlotStart(2) + 14], original[builder::SlotStart(2) + 14]);
}

TEST(RoundTripTest, DirectoriesHoldTheTextAndTheNewSaveWithPathOption) {
  const Bytes original = SaveBuilder(6).WithEntry(1).Build();
  ToolSession session;
  session.Write("KV5SaveData", original);
  EXPECT_EQ(session.Run({"-p", "KV5SaveData"}),
            kLoaded + "Processing save data.\nFound 1 custom character entries.\n"
                      "Wrote txt/KV5SaveData.txt.\n");
  session.Write("edit.txt", std::string("[ENTRY1]\nVoice=42\n"));
  EXPECT_EQ(session.Run({"-w", "-p", "KV5SaveData", "edit.txt"}),
            kLoaded + "Text file loaded.\nProcessing save data.\nFound 1 custom character entries.\n"
                      "Modified 1 entries.\nWrote new save file.\n");
  EXPECT_TRUE(session.Read("KV5SaveData") == original) << "the save file stays as it was";
  Bytes expected = original;
  expected[builder::SlotStart(1) + 14] = 0x42;
  EXPECT_TRUE(session.Read("save/KV5SaveData") == expected);
  EXPECT_EQ(session.List(), (std::vector<std::string>{"KV5SaveData", "edit.txt", "save", "txt"}));
}

TEST(RoundTripTest, ATextFileThatCannotBeWrittenIsRemoved) {
  ToolSession session;
  session.Write("KV5SaveData", SaveBuilder(7).WithEntry(1).Build());
  ASSERT_EQ(symlink("/dev/full", session.PathOf("KV5SaveData.txt").c_str()), 0);
  EXPECT_EQ(session.Run({"KV5SaveData"}),
            kLoaded + "Processing save data.\nFound 1 custom character entries.\n"
                      "Error: Couldn't write file KV5SaveData.txt\n");
  EXPECT_EQ(session.List(), std::vector<std::string>{"KV5SaveData"});
}

}  // namespace
}  // namespace kv5
