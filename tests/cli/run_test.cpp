// The tool as a player runs it: a save in a fresh directory, a command line,
// the exact console output and the files left behind.

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "save_builder/save_builder.h"
#include "support/tool_session.h"

namespace kv5 {
namespace {

using builder::SaveBuilder;
using builder::Title;
using testing::Bytes;
using testing::ToolSession;

const std::string kUsage =
    "KV5 savegame tool. v0.2.7\n\n"
    "-r for reading and converting save to text.\n"
    "Ex. kv5save.exe -r KV5SaveData\n\n"
    "-w for updating save data with info in text file.\n"
    "Ex. kv5save.exe -w KV5SaveData KV5SaveData.txt\n\n"
    "-x extract a specific entry to a single binary file.\n"
    "Ex. kv5save.exe -x KV5SaveData 40\n\n"
    "-rp replace a specific entry with an entry binary file.\n"
    "Ex. kv5save.exe -rp KV5SaveData 40 entry50.bin\n\n"
    "-xt extract a specific thumbnail to a single binary file.\n"
    "-rt replace a specific thumbnail with a thumbnail binary file.\n"
    "-p to write any new files into specific directories.\n\n"
    "-t to create symmetry in generated text files.\n\n"
    "Remember to keep backups of files before modifying them.\n"
    "Also remember to resign the save file before using it.\n";

const std::string kLoaded = "Save data loaded.\nKestrelvane 5 save detected.\n";

const Bytes kSave = SaveBuilder(7).WithEntry(1).WithEntry(3).Build();

TEST(CommandLineTest, WithoutASaveOnlyTheUsageIsPrinted) {
  ToolSession session;
  EXPECT_EQ(session.Run({}), kUsage);
  EXPECT_EQ(session.Run({"-x", "-p", "-t"}), kUsage);
  EXPECT_TRUE(session.List().empty());
}

TEST(CommandLineTest, SavesThatAreNotOfEditionFiveGetTheUsage) {
  ToolSession session;
  session.Write("empty", Bytes());
  EXPECT_EQ(session.Run({"empty"}),
            "Save data loaded.\nSave data is in unknown format.\n" + kUsage);
  session.Write("four", SaveBuilder().WithTitle(Title::kEditionFour).Build());
  EXPECT_EQ(session.Run({"-w", "four", "four.txt"}),
            "Save data loaded.\nKestrelvane 4 save detected.\n" + kUsage);
  session.Write("other", SaveBuilder().WithTitle(Title::kUnknown).Build());
  EXPECT_EQ(session.Run({"other"}), "Save data loaded.\nSave data is in unknown format.\n" + kUsage);
  EXPECT_EQ(session.List(), (std::vector<std::string>{"empty", "four", "other"}));
}

TEST(CommandLineTest, ASaveThatCannotBeReadIsReported) {
  ToolSession session;
  EXPECT_EQ(session.Run({"KV5SaveData"}), "Error: Couldn't open KV5SaveData.");
  ASSERT_EQ(mkdir(session.PathOf("folder").c_str(), 0755), 0);
  EXPECT_EQ(session.Run({"folder"}), "Error: Couldn't read folder.\n");
  EXPECT_EQ(session.List(), std::vector<std::string>{"folder"});
}

TEST(CommandLineTest, TooFewArgumentsGiveTheUsageAfterLoading) {
  ToolSession session;
  session.Write("KV5SaveData", kSave);
  for (const std::vector<std::string>& arguments :
       std::vector<std::vector<std::string>>{{"-w", "KV5SaveData"},
                                             {"-x", "KV5SaveData"},
                                             {"-rp", "KV5SaveData", "3"},
                                             {"-xt", "KV5SaveData"},
                                             {"-rt", "KV5SaveData", "3"}}) {
    EXPECT_EQ(session.Run(arguments), kLoaded + kUsage) << arguments[0];
  }
  EXPECT_EQ(session.List(), std::vector<std::string>{"KV5SaveData"});
}

TEST(CommandLineTest, EntryNumbersOutsideOneTo118AreRefusedInEveryMode) {
  ToolSession session;
  session.Write("KV5SaveData", kSave);
  session.Write("entry.bin", Bytes(29832, 0));
  const std::vector<std::pair<std::string, std::string>> numbers = {
      {"0", "0"}, {"119", "119"}, {"abc", "0"}, {"-3", "-3"},
      {"99999999999", "2147483647"}, {"4294967297", "2147483647"}, {"-4294967295", "-2147483648"}};
  for (const std::string mode : {"-x", "-rp", "-xt", "-rt"}) {
    for (const auto& [number, shown] : numbers) {
      EXPECT_EQ(session.Run({mode, "KV5SaveData", number, "entry.bin"}),
                kLoaded + "Error: " + shown + " is not a valid entry number.\n")
          << mode << ' ' << number;
    }
  }
  EXPECT_EQ(session.List(), (std::vector<std::string>{"KV5SaveData", "entry.bin"}));
  EXPECT_EQ(session.Read("KV5SaveData"), kSave);
}

TEST(CommandLineTest, WriteModeNeedsATextFileItCanOpen) {
  ToolSession session;
  session.Write("KV5SaveData", kSave);
  EXPECT_EQ(session.Run({"-w", "KV5SaveData", "missing.txt"}),
            kLoaded + "Error: Couldn't open file missing.txt for reading\n");
  EXPECT_EQ(session.List(), std::vector<std::string>{"KV5SaveData"});
}

TEST(CommandLineTest, ReadModeReportsATextFileItCannotCreate) {
  ToolSession session;
  session.Write("KV5SaveData", kSave);
  ASSERT_EQ(mkdir(session.PathOf("KV5SaveData.txt").c_str(), 0755), 0);
  EXPECT_EQ(session.Run({"KV5SaveData"}),
            kLoaded + "Error: Couldn't open file KV5SaveData.txt for writing\n");
}

TEST(NewSaveTest, AFailedWriteLeavesTheSaveAsItWas) {
  ToolSession session;
  session.Write("KV5SaveData", kSave);
  session.Write("edit.txt", std::string());
  ASSERT_EQ(symlink("/dev/full", session.PathOf("KV5SaveData.new").c_str()), 0);
  const std::string output = session.Run({"-w", "KV5SaveData", "edit.txt"});
  EXPECT_NE(output.find("Error: Couldn't write file KV5SaveData.new\n"), std::string::npos);
  EXPECT_EQ(output.find("Wrote new save file."), std::string::npos);
  EXPECT_EQ(session.List(), (std::vector<std::string>{"KV5SaveData", "edit.txt"}));
  EXPECT_EQ(session.Read("KV5SaveData"), kSave);
}

TEST(NewSaveTest, ANewSaveThatCannotBeCreatedLeavesTheSaveAsItWas) {
  ToolSession session;
  session.Write("KV5SaveData", kSave);
  session.Write("edit.txt", std::string());
  ASSERT_EQ(mkdir(session.PathOf("KV5SaveData.new").c_str(), 0755), 0);
  const std::string output = session.Run({"-w", "KV5SaveData", "edit.txt"});
  EXPECT_NE(output.find("Error: Couldn't open file KV5SaveData.new for writing\n"),
            std::string::npos);
  EXPECT_EQ(session.Read("KV5SaveData"), kSave);
}

TEST(PathTest, PathsThatDoNotFitTheirBufferAreRefusedBeforeAnythingIsWritten) {
  ToolSession session;
  const std::string too_long(2600, 's');
  EXPECT_EQ(session.Run({too_long}), "Error: Path is too long: " + too_long + "\n");

  // A save path of 2599 characters fits, but not with "txt/" and ".txt".
  std::string path;
  for (int depth = 0; depth < 12; ++depth) {
    path += std::string(199, 'd');
    ASSERT_EQ(mkdir(session.PathOf(path).c_str(), 0755), 0);
    path += '/';
  }
  path += std::string(2599 - path.size(), 'f');
  session.Write(path, kSave);
  EXPECT_EQ(session.Run({"-p", path}),
            kLoaded + "Error: Path is too long: txt/" + path + ".txt\n");
  session.Write("edit.txt", std::string());
  EXPECT_EQ(session.Run({"-p", "-w", path, "edit.txt"}),
            kLoaded + "Text file loaded.\nProcessing save data.\nFound 2 custom character entries.\n"
                      "Modified 0 entries.\nError: Path is too long: save/" + path + "\n");
  EXPECT_FALSE(session.Exists("txt"));
  EXPECT_FALSE(session.Exists("save"));
}

}  // namespace
}  // namespace kv5
