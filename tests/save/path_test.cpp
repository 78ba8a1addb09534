#include "save/path.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "save_builder/save_builder.h"
#include "support/tool_session.h"

namespace kv5 {
namespace {

using testing::ToolSession;

TEST(PathTest, FormedNamesOfMoreThan2603BytesAreRefusedWithTheWholeName) {
  // Formed names have room for 2603 bytes: "txt/" and ".txt" around the file
  // name, "save/" before it.
  const std::string fits(2595, 'f');
  EXPECT_EQ(TextFileNameFor("dir/" + fits, true)->size(), 2603u);
  EXPECT_EQ(NewSaveNameFor("dir/" + fits + "fff", true)->size(), 2603u);
  testing::StdoutCapture capture;
  EXPECT_FALSE(TextFileNameFor("dir/" + fits + "f", true));
  EXPECT_FALSE(NewSaveNameFor("dir/" + fits + "ffff", true, PathRules::kWindows));
  EXPECT_EQ(capture.Take(), "Error: Path is too long: txt/" + fits + "f.txt\n" +
                                "Error: Path is too long: save\\" + fits + "ffff\n");
}

// The real tool in directories as deep as a file system allows: a save path
// of 2599 bytes and a text or entry path of 2603 are taken in every mode, a
// byte more is refused with the whole path.
TEST(PathTest, TheLongestPathsAreTakenAndLongerOnesRefused) {
  ToolSession session;
  std::string deep;
  for (int depth = 0; depth < 12; ++depth) {
    deep += std::string(199, 'd');
    ASSERT_EQ(mkdir(session.PathOf(deep).c_str(), 0755), 0);
    deep += '/';
  }
  const std::string save = deep + std::string(2599 - deep.size(), 's');
  const std::string text = deep + std::string(2603 - deep.size(), 't');
  const std::string entry = deep + std::string(2603 - deep.size(), 'e');
  const std::string name = save.substr(deep.size());
  session.Write(save, builder::SaveBuilder(7).WithEntry(1).WithEntry(3).Build());
  session.Write(text, std::string());
  session.Write(entry, testing::Bytes(29832, 1));

  const std::string loaded = "Save data loaded.\nKestrelvane 5 save detected.\n";
  const std::string found = "Processing save data.\nFound 2 custom character entries.\n";
  const std::string edited =
      loaded + "Text file loaded.\n" + found + "Modified 0 entries.\n" + "Wrote new save file.\n";
  EXPECT_EQ(session.Run({save}), loaded + found + "Wrote " + save + ".txt.\n");
  EXPECT_EQ(session.Run({"-w", save, text}), edited);
  EXPECT_EQ(session.Run({"-p", save}), loaded + found + "Wrote txt/" + name + ".txt.\n");
  EXPECT_EQ(session.Run({"-p", "-w", save, text}), edited);
  EXPECT_EQ(session.Read("save/" + name), session.Read(save));
  EXPECT_EQ(session.Run({"-rp", save, "2", entry}), loaded + entry +
                                                        " loaded.\nReplaced entry #2 with " +
                                                        entry + ".\nWrote new savedata file.\n");

  const std::string too_long = "Error: Path is too long: ";
  EXPECT_EQ(session.Run({save + "s"}, 1), too_long + save + "s\n");
  EXPECT_EQ(session.Run({"-w", save, text + "t"}, 1), loaded + too_long + text + "t\n");
  EXPECT_EQ(session.Run({"-rp", save, "2", entry + "e"}, 1), loaded + too_long + entry + "e\n");
}

}  // namespace
}  // namespace kv5
