// Whole entries and thumbnails moved between a save and files of their own,
// through the real binary: exact console output, exact bytes on disk.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "save_builder/save_builder.h"
#include "support/tool_session.h"

namespace kv5 {
namespace {

using builder::SaveBuilder;
using builder::SlotStart;
using testing::Bytes;
using testing::ToolSession;

constexpr std::size_t kEntry = 29832;
constexpr std::size_t kThumbOffset = 13464;
constexpr std::size_t kThumb = 16368;
const std::string kLoaded = "Save data loaded.\nKestrelvane 5 save detected.\n";
// Entries in slots 1 and 3; slot 2 and every other slot are empty (noise).
const Bytes kSave = SaveBuilder(11).WithEntry(1).WithEntry(3).Build();

Bytes Slice(const Bytes& bytes, std::size_t offset, std::size_t size) {
  return Bytes(bytes.begin() + static_cast<long>(offset),
               bytes.begin() + static_cast<long>(offset + size));
}

Bytes Patched(Bytes bytes, std::size_t offset, const Bytes& patch) {
  std::copy(patch.begin(), patch.end(), bytes.begin() + static_cast<long>(offset));
  return bytes;
}

Bytes Pattern(std::size_t size) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + 1);
  return bytes;
}

TEST(ExtractTest, WritesTheSlotsBytesAndOverwritesAnEarlierFile) {
  struct Case {
    std::vector<std::string> options;
    std::string name, message;
    std::size_t offset, size;
  };
  for (const Case& c : std::vector<Case>{
           {{"-x"}, "entry3.bin", "Saved entry #3 to entry3.bin.\n", 0, kEntry},
           {{"-p", "-x"}, "entries/entry3.bin", "Saved entry #3 to entries/entry3.bin.\n", 0, kEntry},
           {{"-xt"}, "image3.ptc", "Saved thumbnail to image3.ptc.\n", kThumbOffset, kThumb},
           {{"-xt", "-p"}, "thumbnails/image3.ptc", "Saved thumbnail to thumbnails/image3.ptc.\n",
            kThumbOffset, kThumb}}) {
    ToolSession session;
    session.Write("KV5SaveData", kSave);
    std::vector<std::string> arguments = c.options;
    arguments.insert(arguments.end(), {"KV5SaveData", "3"});
    // The first run makes any directory, the second finds it there.
    EXPECT_EQ(session.Run(arguments), kLoaded + c.message);
    session.Write(c.name, Bytes(40000, 0xAA));
    EXPECT_EQ(session.Run(arguments), kLoaded + c.message);
    EXPECT_EQ(session.Read(c.name), Slice(kSave, SlotStart(3) + c.offset, c.size)) << c.name;
    EXPECT_EQ(session.Read("KV5SaveData"), kSave);
    EXPECT_EQ(session.List().size(), 2u);
  }
}

TEST(ExtractTest, AnEmptySlotOrOneOutsideTheSaveGivesNoFileAndNoDirectory) {
  ToolSession session;
  session.Write("KV5SaveData", kSave);
  // This save ends inside slot 3, whose signature is there all the same.
  session.Write("short", SaveBuilder(11).WithEntry(3).WithLength(SlotStart(3) + 100).Build());
  for (const std::string mode : {"-x", "-xt"}) {
    EXPECT_EQ(session.Run({"-p", mode, "KV5SaveData", "2"}),
              kLoaded + "Error: Entry #2 is not valid in save file.\n");
    EXPECT_EQ(session.Run({mode, "short", "3"}),
              kLoaded + "Error: Save file isn't big enough to contain entry #3.\n");
  }
  EXPECT_EQ(session.List(), (std::vector<std::string>{"KV5SaveData", "short"}));
}

TEST(ReplaceTest, AnEntryLandsUnchangedInItsOwnSlotOrAnyOther) {
  ToolSession session;
  session.Write("KV5SaveData", kSave);
  session.Run({"-x", "KV5SaveData", "3"});
  const std::string done = kLoaded + "entry3.bin loaded.\nReplaced entry #";
  EXPECT_EQ(session.Run({"-rp", "KV5SaveData", "3", "entry3.bin"}),
            done + "3 with entry3.bin.\nWrote new savedata file.\n");
  EXPECT_EQ(session.Read("KV5SaveData"), kSave);

  // Into the empty slot 2, and into slot 40 named as "40abc".
  const Bytes entry = Slice(kSave, SlotStart(3), kEntry);
  EXPECT_EQ(session.Run({"-rp", "KV5SaveData", "2", "entry3.bin"}),
            done + "2 with entry3.bin.\nWrote new savedata file.\n");
  EXPECT_EQ(session.Run({"-rp", "KV5SaveData", "40abc", "entry3.bin"}),
            done + "40 with entry3.bin.\nWrote new savedata file.\n");
  EXPECT_EQ(session.Read("KV5SaveData"),
            Patched(Patched(kSave, SlotStart(2), entry), SlotStart(40), entry));
  EXPECT_EQ(session.List(), (std::vector<std::string>{"KV5SaveData", "entry3.bin"}));
}

TEST(ReplaceTest, ThumbnailsUpToFullSizeAreZeroFilledLongerOnesRefused) {
  for (const std::size_t size : {std::size_t{0}, std::size_t{5}, kThumb, kThumb + 1}) {
    ToolSession session;
    session.Write("KV5SaveData", kSave);
    session.Write("pic.ptc", Pattern(size));
    const std::string output = session.Run({"-rt", "KV5SaveData", "2", "pic.ptc"});
    if (size > kThumb) {
      EXPECT_EQ(output, kLoaded + "Error: pic.ptc is too big!\n");
      EXPECT_EQ(session.Read("KV5SaveData"), kSave);
      continue;
    }
    EXPECT_EQ(output, kLoaded + "pic.ptc loaded.\nReplaced entry #2's thumbnail with pic.ptc.\n"
                                "Wrote new savedata file.\n");
    Bytes thumbnail = Pattern(size);
    thumbnail.resize(kThumb, 0);
    EXPECT_EQ(session.Read("KV5SaveData"),
              Patched(kSave, SlotStart(2) + kThumbOffset, thumbnail)) << size;
    EXPECT_EQ(session.List().size(), 2u);
  }
}

TEST(ReplaceTest, WithDirectoriesTheNewSaveGoesIntoSaveAndTheSaveStays) {
  ToolSession session;
  session.Write("KV5SaveData", kSave);
  session.Write("entry.bin", Pattern(kEntry));
  for (int run = 0; run < 2; ++run) {  // without, then with the directory "save"
    EXPECT_EQ(session.Run({"-p", "-rp", "KV5SaveData", "1", "entry.bin"}),
              kLoaded + "entry.bin loaded.\nReplaced entry #1 with entry.bin.\n"
                        "Wrote new savedata file.\n");
    EXPECT_EQ(session.Read("save/KV5SaveData"), Patched(kSave, SlotStart(1), Pattern(kEntry)));
  }
  EXPECT_EQ(session.Read("KV5SaveData"), kSave);
  EXPECT_EQ(session.List(), (std::vector<std::string>{"KV5SaveData", "entry.bin", "save"}));
}

TEST(ReplaceTest, TheSlotIsCheckedBeforeTheFileAndTheFileBeforeItsSize) {
  // An entry file is exactly one entry, a thumbnail file at most one thumbnail.
  ToolSession session;
  const Bytes short_save = SaveBuilder(11).WithEntry(1).WithLength(SlotStart(3) + 100).Build();
  session.Write("KV5SaveData", short_save);
  session.Write("big", Pattern(kEntry + 1));
  session.Write("small", Pattern(kEntry - 1));
  for (const std::string mode : {"-rp", "-rt"}) {
    EXPECT_EQ(session.Run({mode, "KV5SaveData", "3", "missing"}),
              kLoaded + "Error: Save file isn't big enough to contain entry #3.\n");
    EXPECT_EQ(session.Run({mode, "KV5SaveData", "1", "missing"}),
              kLoaded + "Error: Couldn't open file missing for reading\n");
    EXPECT_EQ(session.Run({mode, "KV5SaveData", "1", "big"}),
              kLoaded + (mode == "-rp" ? "Error: big is not the correct size.\n"
                                       : "Error: big is too big!\n"));
  }
  EXPECT_EQ(session.Run({"-rp", "KV5SaveData", "1", "small"}),
            kLoaded + "Error: small is not the correct size.\n");
  EXPECT_EQ(session.List(), (std::vector<std::string>{"KV5SaveData", "big", "small"}));
  EXPECT_EQ(session.Read("KV5SaveData"), short_save);
}

TEST(TransferFailureTest, AFileThatCannotBeWrittenWholeIsRemovedAndTheSaveKept) {
  ToolSession session;
  session.Write("KV5SaveData", kSave);
  session.Write("entry.bin", Pattern(kEntry));
  ASSERT_EQ(symlink("/dev/full", session.PathOf("entry1.bin").c_str()), 0);
  ASSERT_EQ(symlink("/dev/full", session.PathOf("image1.ptc").c_str()), 0);
  ASSERT_EQ(symlink("/dev/full", session.PathOf("KV5SaveData.new").c_str()), 0);
  EXPECT_EQ(session.Run({"-x", "KV5SaveData", "1"}),
            kLoaded + "Error: Couldn't write file entry1.bin\n");
  EXPECT_EQ(session.Run({"-xt", "KV5SaveData", "1"}),
            kLoaded + "Error: Couldn't write file image1.ptc\n");
  EXPECT_EQ(session.Run({"-rp", "KV5SaveData", "1", "entry.bin"}),
            kLoaded + "entry.bin loaded.\nError: Couldn't write file KV5SaveData.new\n");
  EXPECT_EQ(session.List(), (std::vector<std::string>{"KV5SaveData", "entry.bin"}));
  EXPECT_EQ(session.Read("KV5SaveData"), kSave);

  ASSERT_EQ(mkdir(session.PathOf("entry1.bin").c_str(), 0755), 0);
  EXPECT_EQ(session.Run({"-x", "KV5SaveData", "1"}),
            kLoaded + "Error: Couldn't open file entry1.bin for writing\n");
}

TEST(TransferFailureTest, AnInputThatReadsShortOfItsLengthIsNotUsed) {
  // sysfs files claim a length of a page but hold a few bytes.
  const std::string input = "/sys/devices/system/cpu/online";
  if (access(input.c_str(), R_OK) != 0) GTEST_SKIP() << "no " << input;
  ToolSession session;
  session.Write("KV5SaveData", kSave);
  EXPECT_EQ(session.Run({"-rt", "KV5SaveData", "1", input}),
            kLoaded + "Error: Couldn't read " + input + ".\n");
  EXPECT_EQ(session.List(), std::vector<std::string>{"KV5SaveData"});
  EXPECT_EQ(session.Read("KV5SaveData"), kSave);
}

}  // namespace
}  // namespace kv5
